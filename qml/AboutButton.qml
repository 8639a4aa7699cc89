import QtQuick 2.15
import Zanth 1.0

// A button of the about screen: one of three frames of the about sheet for rest, hover and press.
Item {
    id: button

    property string normalFrame: "left_normal.png"
    property string hoverFrame: "left_hover.png"
    property string clickFrame: "left_click.png"
    property string sheet: "img/aboutscreen-sd.json"
    property alias text: label.text
    property alias textColor: label.color
    property bool hovered: false
    property bool pressed: false

    signal clicked

    width: 40
    height: 40
    opacity: enabled ? 1 : 0.5

    // Three still sprites rather than one with a changing frame: a switch is then only a visibility flip.
    SingleSpriteFromFile {
        translateToCenterAnchor: false
        z: -1
        filename: button.sheet
        source: button.normalFrame
        visible: !button.pressed && !button.hovered
    }
    SingleSpriteFromFile {
        translateToCenterAnchor: false
        z: -1
        filename: button.sheet
        source: button.hoverFrame
        visible: button.hovered && !button.pressed
    }
    SingleSpriteFromFile {
        translateToCenterAnchor: false
        z: -1
        filename: button.sheet
        source: button.clickFrame
        visible: button.pressed
    }
    Text {
        id: label
        anchors.centerIn: parent
        color: "white"
        font.pixelSize: 12
    }
    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        onEntered: button.hovered = true
        onExited: button.hovered = false
        onPressed: button.pressed = true
        onReleased: button.pressed = false
        onCanceled: { button.pressed = false; button.hovered = false }
        onClicked: if (button.enabled) button.clicked()
    }
}
