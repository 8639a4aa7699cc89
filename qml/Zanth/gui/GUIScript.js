// Run-time bindings of one widget instance (no library marker: each importing widget has its own table).
// The QML text of a binding holds only the widget's own expressions, which are written in the widget's
// source; the target and the property name, which may come from a file or the user, are assigned from
// JavaScript and never pasted into QML source.

// Target's text form -> { property name: Binding }.
var bindings = {}

// A dotted path of identifiers, as the widgets write them ("range.value").
var expressionPattern = /^[A-Za-z_$][A-Za-z0-9_$]*(\.[A-Za-z_$][A-Za-z0-9_$]*)*$/

function __createBinding(target, toProp, valueExpression, whenExpression) {
    if (!target || typeof toProp !== "string" || !(toProp in target)) {
        console.log("[GUIScript] ERROR: no property", toProp, "to bind on", target)
        return false
    }
    var key = String(target)
    if (bindings[key] && bindings[key][toProp])
        return false
    if (!expressionPattern.test(valueExpression)
            || (whenExpression !== undefined && !expressionPattern.test(whenExpression))) {
        console.log("[GUIScript] ERROR: a binding expression must be a property path:", valueExpression)
        return false
    }
    var text = "import QtQuick 2.15; Binding { restoreMode: Binding.RestoreNone; "
    if (whenExpression !== undefined)
        text += "when: " + whenExpression + "; "
    text += "value: " + valueExpression + "; }"
    var binding = Qt.createQmlObject(text, target)
    binding.property = toProp
    binding.target = target
    if (!bindings[key])
        bindings[key] = {}
    bindings[key][toProp] = binding
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
    var key = String(target)
    var made = bindings[key]
    if (!made)
        return false
    for (var property in made) {
        // Detached now: destroy() completes only at the end of the frame.
        made[property].target = null
        made[property].destroy()
    }
    delete bindings[key]
    return true
}
