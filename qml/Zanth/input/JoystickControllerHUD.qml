import QtQuick 2.15
import Zanth 1.0

// A virtual joystick: pressing and dragging on the pad moves the thumb and sets the outputs,
// x -1 (left) to +1 (right) and y -1 (below the centre) to +1 (above). The user supplies both images.
Image {
    id: joystick

    property alias backgroundImageSource: joystick.source
    // Resolved against the file the joystick is declared in, as the background is.
    property url thumbSource
    property real controllerXPosition: 0
    property real controllerYPosition: 0
    property real joystickRadius: 50
    property real thumbRadius: joystickRadius / 2

    function setJoystickPosition(x, y) {
        var dx = x - width / 2
        var dy = y - height / 2
        var distance = Math.sqrt(dx * dx + dy * dy)
        var angle = Math.atan2(dy, dx)
        if (distance > joystickRadius) {
            dx = joystickRadius * Math.cos(angle)
            dy = joystickRadius * Math.sin(angle)
        }
        controllerXPosition = dx / joystickRadius
        controllerYPosition = -dy / joystickRadius
        var maximum = joystickRadius - thumbRadius
        if (distance > maximum) {
            dx = maximum * Math.cos(angle)
            dy = maximum * Math.sin(angle)
        }
        thumb.x = dx
        thumb.y = dy
    }

    function __resolved(url) {
        var text = url.toString()
        if (text === "" || text.indexOf(":") >= 0 || text.charAt(0) === "/" || typeof fileUtils === "undefined")
            return url
        return fileUtils.getPathUrl(text, joystick)
    }

    function resetJoystick() {
        controllerXPosition = 0
        controllerYPosition = 0
        thumb.x = 0
        thumb.y = 0
    }

    width: 2 * joystickRadius
    height: 2 * joystickRadius
    Component.onCompleted: console.debug("joystick width:", width)

    Image {
        id: thumb

        objectName: "thumbImage"
        source: joystick.__resolved(joystick.thumbSource)
        width: 2 * joystick.thumbRadius
        height: 2 * joystick.thumbRadius
        transform: Translate {
            x: -thumb.width / 2 + joystick.width / 2
            y: -thumb.height / 2 + joystick.width / 2
        }
        Component.onCompleted: console.debug("thumb width:", width)
    }

    MultiTouchArea {
        anchors.fill: parent
        onPressed: joystick.setJoystickPosition(mouseX, mouseY)
        onPositionChanged: joystick.setJoystickPosition(mouseX, mouseY)
        onReleased: joystick.resetJoystick()
    }
}
