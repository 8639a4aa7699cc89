import QtQuick 2.15

// The button's face. Icon buttons load this name with "-" and the icon name before the size suffix
// ("button-arrow-sd.png"), so every icon the application uses is drawn beside it.
QtObject {
    property url buttonImage: Qt.resolvedUrl("images/button-sd.png")
}
