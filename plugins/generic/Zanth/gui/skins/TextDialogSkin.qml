import QtQuick 2.15

// A dark speech panel with an ember "next" button.
// The images are drawn at build time into the engine's resource tree only, so they are named there: this
// file may be read from a copy on disk (the checkout's plugins/generic, when started from there).
QtObject {
    property url backgroundImage: "qrc:/plugins/generic/Zanth/gui/skins/images/textdialog-background-sd.png"
    property color backgroundColor: "#1c2233"
    property color textColor: "#ffffff"
    property url buttonImage: "qrc:/plugins/generic/Zanth/gui/skins/images/textdialog-button-sd.png"
    property color buttonColor: "#ff8a24"
}
