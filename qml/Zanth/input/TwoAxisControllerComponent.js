// Pressed state per input action; one instance per controller.

var actions = {}
var keyMap = {}

function onInitialize(inputActionsToKeyCode) {
    keyMap = inputActionsToKeyCode
    actions = {}
    for (var action in keyMap)
        actions[action] = false
}

function isPressed(action) {
    return actions[action] === true
}

function setPressed(action, value) {
    actions[action] = value
}
