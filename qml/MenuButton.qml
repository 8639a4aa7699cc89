import QtQuick 2.15

// A full-width menu button.
Rectangle {
    id: button

    property alias text: label.text
    property bool enabled: true
    signal clicked

    width: parent ? parent.width : 100
    height: 22
    radius: 3
    color: mouse.pressed ? "#e08a2c" : "#3a3a44"
    border.color: "#6a6a74"
    opacity: enabled ? 1 : 0.5

    Text {
        id: label
        anchors.centerIn: parent
        width: parent.width - 6
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        color: "white"
        font.pixelSize: 11
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        onClicked: if (button.enabled) button.clicked()
    }
}
