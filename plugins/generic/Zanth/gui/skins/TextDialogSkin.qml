import QtQuick 2.15

// A dark speech panel with an ember "next" button.
QtObject {
    property url backgroundImage: Qt.resolvedUrl("images/textdialog-background-sd.png")
    property color backgroundColor: "#1c2233"
    property color textColor: "#ffffff"
    property url buttonImage: Qt.resolvedUrl("images/textdialog-button-sd.png")
    property color buttonColor: "#ff8a24"
}
