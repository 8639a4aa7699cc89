import QtQuick 2.15

// A list of numbers, or of maps of numbers, edited element by element: add, remove and reorder
// elements and set each field with a slider. Metadata: `elementsMetaData`, one entry per field. The
// list editor sets modelWrite to the whole list on every change.
ItemEditorBaseDelegate {
    id: delegate

    property var content: null
    property bool __ready: false

    function __isList(value) {
        return value !== undefined && value !== null && value.length !== undefined
    }

    labelText: labelName

    onInitialValueChanged: {
        if (!content || !__isList(initialValue))
            return
        content.defaultValueIsSet = true
        content.model = copyValue(initialValue)
    }
    onModelChanged: {
        if (!content || !__isList(model) || sameValue(model, modelWrite))
            return
        var wasActive = bindingActive
        bindingActive = false
        content.model = copyValue(model)
        bindingActive = wasActive
    }

    Component.onCompleted: {
        var component = Qt.createComponent("ArrayContentDelegate.qml")
        if (component.status !== Component.Ready) {
            console.log("[ArrayDelegate] ERROR: loading component failed:" + component.errorString())
            return
        }
        content = component.createObject(delegate, {
            "width": delegate.width, "owner": delegate, "editor": delegate.editor,
            "elementsMetaData": propMetaData ? propMetaData.elementsMetaData : undefined
        })
        if (!content) {
            console.log("[ArrayDelegate] ERROR: creating content delegate failed!")
            return
        }
        __ready = true
    }
}
