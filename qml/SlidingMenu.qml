import QtQuick 2.15
import Zanth 1.0

// A menu at one edge of the window area that slides in and out; its editor works only while shown.
Item {
    id: menu

    property bool fromLeft: true
    property var area: scene.gameWindowAnchorItem
    property alias editor: editor
    property bool sliderOut: true
    property real hiddenX: fromLeft ? area.x - width : area.x + area.width
    property real shownX: fromLeft ? hiddenX + width : hiddenX - width

    function slideIn() { sliderOut = false; x = shownX }
    function slideOut() { sliderOut = true; x = hiddenX }

    // A tap toggles; a drag decides by the half-way mark.
    function slide() {
        scene.aboutPanel.closePanel()
        var pulled = Math.abs(x - hiddenX)
        if (sliderOut) {
            if (pulled > width / 2 || pulled < 1)
                slideIn()
            else
                slideOut()
        } else {
            if (pulled < width / 2 || Math.abs(x - shownX) < 1)
                slideOut()
            else
                slideIn()
        }
    }

    width: area.width / 2.5
    height: area.height
    y: area.y
    x: hiddenX

    Behavior on x {
        enabled: !pullArea.pressed
        SmoothedAnimation { duration: 800; easing.type: Easing.InOutQuad }
    }

    ItemEditor {
        id: editor
        width: menu.width
        height: menu.height
        visible: Math.abs(menu.x - menu.hiddenX) > 0.5
    }

    Rectangle {
        id: pullUp
        objectName: "pullUp"
        width: 20
        height: 54
        x: menu.fromLeft ? menu.width : -width
        y: (menu.height - height) / 2
        radius: 4
        color: "#e08a2c"
        opacity: 0.85
        Text { anchors.centerIn: parent; color: "white"; text: menu.fromLeft === menu.sliderOut ? ">" : "<" }

        MouseArea {
            id: pullArea
            property real startX
            property real startMenuX
            property bool moved: false
            x: -10; y: -15
            width: parent.width + 20
            height: parent.height + 30
            onPressed: (mouse) => {
                startX = mapToItem(null, mouse.x, 0).x
                startMenuX = menu.x
                moved = false
            }
            onPositionChanged: (mouse) => {
                var dx = (mapToItem(null, mouse.x, 0).x - startX) / (scene.xScaleForScene > 0 ? scene.xScaleForScene : 1)
                if (Math.abs(dx) > 3)
                    moved = true
                var lo = Math.min(menu.hiddenX, menu.shownX), hi = Math.max(menu.hiddenX, menu.shownX)
                menu.x = Math.max(lo, Math.min(hi, startMenuX + dx))
            }
            onReleased: menu.slide()
        }
    }
}
