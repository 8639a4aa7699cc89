import QtQuick 2.15
import "EditorValues.js" as EditorValues

// Common part of the property widgets: a label above the widget, and the bindings that write the
// widget's value (modelWrite) into every bound target while bindingActive holds. The first target bound
// is the read target: the widget follows its value (model), so a change made to it by a script or a
// load shows in the widget and goes on to the other targets.
Column {
    id: base

    // Bound by each delegate to its widget's value.
    property var modelWrite
    property string propName
    property var propMetaData: ({})
    property bool bindingActive: false
    property var readTarget: null
    // The read target's value. Followed through its change signal rather than a binding: the widget
    // writes the value it was given back into the read target while that one notifies.
    property var model: null
    property var initialValue
    property var editor
    property alias labelText: label.text
    property string labelName: propMetaData && propMetaData.label ? propMetaData.label : propName

    // Bound targets by their text form: { target, binding }.
    property var __targets: ({})
    property var __watched: null

    // Binds the target's property to modelWrite; true when it is bound (or already was), false when the
    // target has no such property.
    function addBindingTarget(target) {
        if (!target)
            return false
        var key = String(target)
        if (__targets[key])
            return true
        if (propName === "" || !(propName in target)) {
            console.log("[ItemEditorBaseDelegate] ERROR: no property", propName, "to bind on", target)
            return false
        }
        var binding = bindingFactory.createObject(target, { "target": target, "property": propName })
        if (!binding)
            return false
        __targets[key] = { "target": target, "binding": binding }
        if (!readTarget) {
            initialValue = copyValue(target[propName])
            readTarget = target
        }
        if (isDefined(modelWrite) && !sameValue(readTarget[propName], modelWrite))
            readTarget[propName] = modelWrite
        bindingActive = true
        return true
    }

    // Unbinds the target, which keeps its value; another bound target becomes the read target.
    function removeBinding(target) {
        if (!target)
            return false
        var key = String(target)
        var entry = __targets[key]
        if (!entry)
            return false
        delete __targets[key]
        // Detached now: destroy() completes only at the end of the frame.
        entry.binding.target = null
        entry.binding.destroy()
        if (readTarget === target || String(readTarget) === key) {
            var next = null
            for (var other in __targets) {
                next = __targets[other].target
                break
            }
            readTarget = next
        }
        return true
    }

    function __readModel() {
        var value = __watched && propName !== "" ? __watched[propName] : null
        if (!sameValue(value, model))
            model = copyValue(value)
    }

    function __watch(target) {
        var signalName = propName + "Changed"
        if (__watched && __watched[signalName])
            __watched[signalName].disconnect(__readModel)
        __watched = target
        if (target && target[signalName])
            target[signalName].connect(__readModel)
        __readModel()
    }

    function boundTargets() {
        var all = []
        for (var key in __targets)
            all.push(__targets[key].target)
        return all
    }

    function isDefined(value) {
        return value !== undefined
    }

    function copyValue(value) {
        return EditorValues.copy(value)
    }

    function sameValue(a, b) {
        return EditorValues.same(a, b)
    }

    width: parent ? parent.width : 120
    spacing: 2

    onReadTargetChanged: __watch(readTarget)

    // Written before the bindings come on, so that the target, the widget and modelWrite agree and
    // do not chase one another.
    onVisibleChanged: {
        if (visible) {
            if (readTarget && isDefined(modelWrite) && !sameValue(readTarget[propName], modelWrite))
                readTarget[propName] = modelWrite
            bindingActive = true
        } else {
            bindingActive = false
        }
    }

    Component.onDestruction: __watch(null)

    // One binding a target; made from this compiled component rather than from QML text.
    Component {
        id: bindingFactory

        Binding {
            restoreMode: Binding.RestoreNone
            when: base.bindingActive
            value: base.modelWrite
        }
    }

    Text {
        id: label

        width: base.width
        color: base.propMetaData && base.propMetaData.color ? base.propMetaData.color : "white"
        font.pixelSize: 10
        text: base.labelName + ": -"
        elide: Text.ElideRight
    }
}
