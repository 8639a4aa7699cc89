// Run-time bindings of one widget instance (no library marker: each importing widget has its own table).
// The QML text of a binding holds only the widget's own expressions, which are written in the widget's
// source; the target and the property name, which may come from a file or the user, are assigned from
// JavaScript and never pasted into QML source.

// One entry a bound target: { target: object, bindings: { property name: Binding } }. Entries are
// found by the target itself: its text form changes with its objectName, and a new object may take a
// destroyed one's address. A destroyed target's entry goes with its bindings.
var entries = []

function __entryOf(target) {
    for (var i = 0; i < entries.length; ++i) {
        if (entries[i].target === target)
            return entries[i]
    }
    return undefined
}

function __forget(entry) {
    var index = entries.indexOf(entry)
    if (index >= 0)
        entries.splice(index, 1)
}

// A dotted path of identifiers, as the widgets write them ("range.value").
var expressionPattern = /^[A-Za-z_$][A-Za-z0-9_$]*(\.[A-Za-z_$][A-Za-z0-9_$]*)*$/

function __createBinding(target, toProp, valueExpression, whenExpression) {
    if (!target || typeof toProp !== "string" || !(toProp in target)) {
        console.log("[GUIScript] ERROR: no property", toProp, "to bind on", target)
        return false
    }
    var entry = __entryOf(target)
    if (entry && entry.bindings[toProp])
        return false
    if (!expressionPattern.test(valueExpression)
            || (whenExpression !== undefined && !expressionPattern.test(whenExpression))) {
        console.log("[GUIScript] ERROR: a binding expression must be a property path:", valueExpression)
        return false
    }
    // The binding is a child of the target; its watch tells when it goes, with the target or by
    // removeBinding. (A Binding takes its own handlers for properties of its target.)
    var text = "import QtQuick 2.15; Binding { restoreMode: Binding.RestoreNone; "
    if (whenExpression !== undefined)
        text += "when: " + whenExpression + "; "
    text += "value: " + valueExpression + "; "
    text += "property QtObject watch: QtObject { signal gone; Component.onDestruction: gone() } }"
    var binding
    try {
        binding = Qt.createQmlObject(text, target)
    } catch (error) {
        // A target that is no object of the QML engine (a plain script object) cannot hold a Binding.
        console.log("[GUIScript] ERROR: cannot bind", toProp, "on", target, "-", error)
        return false
    }
    binding.property = toProp
    binding.target = target
    if (!entry) {
        entry = { "target": target, "bindings": {} }
        entries.push(entry)
    }
    entry.bindings[toProp] = binding
    binding.watch.gone.connect(function() { __forget(entry) })
    return true
}

// Makes target's property toProp follow valueExpression (evaluated in the calling widget's scope).
// False when this widget already binds that property of the target, or the property does not exist.
function addBinding(target, toProp, valueExpression) {
    return __createBinding(target, toProp, valueExpression, undefined)
}

// As addBinding, but the binding writes only while whenExpression holds.
function addBindingWhen(target, toProp, valueExpression, whenExpression) {
    return __createBinding(target, toProp, valueExpression, whenExpression)
}

// Destroys every binding this widget made for target; the target keeps its values. False when there
// was none.
function removeBinding(target) {
    var entry = __entryOf(target)
    if (!entry)
        return false
    __forget(entry)
    for (var property in entry.bindings) {
        // Detached now: destroy() completes only at the end of the frame.
        entry.bindings[property].target = null
        entry.bindings[property].destroy()
    }
    return true
}
