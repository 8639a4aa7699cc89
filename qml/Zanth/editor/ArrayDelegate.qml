import QtQuick 2.15

// A list of numbers, or of maps of numbers, edited element by element: add, remove and reorder
// elements and set each field with a slider. Metadata: `elementsMetaData`, one entry per field.
ItemEditorBaseDelegate {
    id: delegate

    property var content: null
    // The whole list as the widgets hold it; every change reaches the items.
    property var modelWrite
    property bool __ready: false

    labelText: labelName

    onModelWriteChanged: {
        if (__ready)
            write(modelWrite)
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
        if (initialValue !== undefined && initialValue !== null && initialValue.length !== undefined) {
            content.defaultValueIsSet = true
            content.model = initialValue
        }
        __ready = true
    }
}
