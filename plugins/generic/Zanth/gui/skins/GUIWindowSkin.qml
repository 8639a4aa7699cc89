import QtQuick 2.15

// The images are drawn at build time into the engine's resource tree only, so they are named there: this
// file may be read from a copy on disk (the checkout's plugins/generic, when started from there).
QtObject {
    property url backgroundImage: "qrc:/plugins/generic/Zanth/gui/skins/images/guiwindow-background-sd.png"
}
