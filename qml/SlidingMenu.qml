import QtQuick 2.15
import Zanth 1.0

// A menu at one edge of the window area that slides in and out; its editor works only while shown.
Item {
    id: menu

    property bool fromLeft: true
    property var area: scene.gameWindowAnchorItem
    property alias editor: editor
    property alias pullUp: pullUp
    property bool sliderOut: true
    property real hiddenX: fromLeft ? area.x - width : area.x + area.width
    property real shownX: fromLeft ? hiddenX + width : hiddenX - width

    // Before the menu starts to come in, by a slide or a drag of its pull-up.
    signal opening

    function slideIn() { opening(); sliderOut = false; x = shownX }
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

    // A drag moves the menu directly (past this), so only the slides of slide() and resizes animate.
    Behavior on x {
        SmoothedAnimation { duration: 800; velocity: -1; easing.type: Easing.InOutQuad }
    }

    ItemEditor {
        id: editor
        width: menu.width
        height: menu.height
        visible: Math.abs(menu.x - menu.hiddenX) > 0.5
    }

    // Turned upright on the menu's inner edge: its visible 20 x 54 box stands just outside the menu.
    Button {
        id: pullUp
        objectName: "pullUp"
        width: 54
        height: 20
        x: menu.fromLeft ? menu.width + height / 2 - width / 2 : -height / 2 - width / 2
        y: (menu.height - height) / 2
        rotation: menu.fromLeft ? -90 : 90
        iconName: "pullup"

        MultiTouchArea {
            x: -15
            y: -10
            width: pullUp.width + 30
            height: pullUp.height + 20
            drag.target: menu
            drag.dragAxis: MultiTouch.XAxis
            drag.minimumX: Math.min(menu.hiddenX, menu.shownX)
            drag.maximumX: Math.max(menu.hiddenX, menu.shownX)
            onPressed: menu.opening()
            onReleased: menu.slide()
        }
    }
}
