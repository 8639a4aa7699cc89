// Pressed state per input action; included into the script context of one controller, whose key map
// it reads through the script component's id.

var actions = {}
var keyMap = {}

function onInitialize() {
    keyMap = scriptComponent.inputActionsToKeyCode
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
