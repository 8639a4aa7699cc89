import QtQuick 2.15

// A plain push button for the game-network pages: a label, optionally an icon before it, dimmed while
// pressed. Stands in for the engine's skinned Button here, so the pages need no skin module.
Item {
    id: button

    property alias text: label.text
    property alias textColor: label.color
    property alias font: label.font
    property url iconSource
    property url iconHoverSource
    property real marginHorizontal: 10
    property real marginVertical: 5
    property alias color: background.color
    property alias radius: background.radius
    readonly property bool pressed: mouseArea.pressed

    signal clicked

    implicitWidth: row.implicitWidth + 2 * marginHorizontal
    implicitHeight: Math.max(row.implicitHeight, 24) + 2 * marginVertical
    opacity: pressed ? 0.5 : 1.0

    // The scene graph draws a rectangle's colour without its alpha, so a clear button has no rectangle.
    Rectangle {
        id: background
        anchors.fill: parent
        visible: color.a > 0
        radius: 4
        color: "#01a9e2"
    }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 4

        Image {
            visible: button.iconSource != ""
            width: 24
            height: 24
            anchors.verticalCenter: parent.verticalCenter
            source: button.pressed && button.iconHoverSource != "" ? button.iconHoverSource : button.iconSource
        }

        Text {
            id: label
            visible: text !== ""
            anchors.verticalCenter: parent.verticalCenter
            color: "white"
            font.pixelSize: 14
            textFormat: Text.PlainText
        }
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        onClicked: button.clicked()
    }
}
