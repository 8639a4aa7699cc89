import QtQuick 2.15
import Zanth 1.0

// Turns arrow keys into two axes: xAxis -1 left, +1 right; yAxis +1 up (forward), -1 down. Keys reach
// it by forwarding from a focused item (Keys.forwardTo). Releasing a key whose opposite was pressed
// later leaves the later one in force; auto-repeats are ignored. The pressed states live in the script.
ScriptComponent {
    id: controller

    property real xAxis: 0
    property real yAxis: 0
    property var inputActionsToKeyCode: ({
            "up": Qt.Key_Up,
            "down": Qt.Key_Down,
            "left": Qt.Key_Left,
            "right": Qt.Key_Right,
            "fire": Qt.Key_Return
        })

    signal inputActionPressed(string actionName)
    signal inputActionReleased(string actionName)

    function isPressed(actionName) {
        return scriptFile ? scriptFile.isPressed(actionName) : false
    }

    function setInputActionPressedStatus(actionName, isPressed) {
        if (scriptFile)
            scriptFile.setPressed(actionName, isPressed)
        if (isPressed)
            inputActionPressed(actionName)
        else
            inputActionReleased(actionName)
    }

    objectName: "TwoAxisController"
    // Absolute, so that the script is found beside this file wherever the controller is declared.
    javaScriptSourceUrl: Qt.resolvedUrl("TwoAxisControllerComponent.js")
    Keys.onPressed: (event) => {
        if (event.isAutoRepeat || !enabled)
            return
        for (var action in inputActionsToKeyCode) {
            if (inputActionsToKeyCode[action] !== event.key)
                continue
            if (action === "left")
                xAxis = -1
            else if (action === "right")
                xAxis = 1
            else if (action === "up")
                yAxis = 1
            else if (action === "down")
                yAxis = -1
            setInputActionPressedStatus(action, true)
            event.accepted = true
        }
    }
    Keys.onReleased: (event) => {
        if (event.isAutoRepeat || !enabled)
            return
        for (var action in inputActionsToKeyCode) {
            if (inputActionsToKeyCode[action] !== event.key)
                continue
            if (action === "left" && xAxis === -1)
                xAxis = 0
            else if (action === "right" && xAxis === 1)
                xAxis = 0
            else if (action === "up" && yAxis === 1)
                yAxis = 0
            else if (action === "down" && yAxis === -1)
                yAxis = 0
            setInputActionPressedStatus(action, false)
            event.accepted = true
        }
    }
}
