import QtQuick 2.15

QtObject {
    property real contentWidth: 200
    property real spacing: 6
    property real leftMargin: 8
    property real rightMargin: 8
    property real textureDisplaySize: 64
    property color textColor: "#ffffff"
    property real seperatorSize: 2
    property color separatorColor: "#ff8a24"
}
