import QtQuick 2.15

// The button's face. Icon buttons load this name with "-" and the icon name before the size suffix
// ("button-arrow-sd.png"), so every icon the application uses is drawn beside it.
// The images are drawn at build time into the engine's resource tree only, so they are named there: this
// file may be read from a copy on disk (the checkout's plugins/generic, when started from there).
QtObject {
    property url buttonImage: "qrc:/plugins/generic/Zanth/gui/skins/images/button-sd.png"
}
