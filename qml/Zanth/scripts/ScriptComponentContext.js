// The script context of one ScriptComponent (no library marker: one copy per component). Qt.include
// works only from script files; what the included file defines becomes part of this context.

function include(url) {
    return Qt.include(url).status === 0
}

function hasFunction(name) {
    try {
        return typeof eval(name) === "function"
    } catch (error) {
        return false
    }
}

function callFunction(name) {
    return eval(name)()
}
