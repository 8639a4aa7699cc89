import QtQuick 2.15

QtObject {
    property url backgroundImage: Qt.resolvedUrl("images/guiwindow-background-sd.png")
}
