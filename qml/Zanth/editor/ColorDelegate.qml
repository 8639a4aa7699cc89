import QtQuick 2.15
import Zanth 1.0

// A colour as the widget library's picker: red, green and blue sliders (0..255) under a preview bar.
ItemEditorBaseDelegate {
    id: delegate

    property bool __ready: false

    // The colour's alpha is a property of its own on the targets (the opacity sliders): keep it.
    function edited() {
        var current = editor.masterValue(editor.currentEditableType, propName)
        var alpha = current !== undefined && current !== null && current.a !== undefined ? current.a : 1
        var c = Qt.rgba(picker.red / 255, picker.green / 255, picker.blue / 255, alpha)
        labelText = labelName + ": " + c
        write(c)
    }

    ColorPicker {
        id: picker
        width: delegate.width
        useAlpha: false
        maximumValue: 255
        valueIndicatorVisible: delegate.propMetaData && delegate.propMetaData.indicator !== undefined
                               ? delegate.propMetaData.indicator : true
        // Only the user's moves write: setting the channels from the targets must not echo back.
        onColorChanged: if (delegate.__ready) delegate.edited()
    }

    Component.onCompleted: {
        if (initialValue !== undefined && initialValue !== null) {
            var c = typeof initialValue === "string" ? Qt.tint(initialValue, "transparent") : initialValue
            picker.red = Math.round(editor.readColorPropertyWithRed(c) * 255)
            picker.green = Math.round(editor.readColorPropertyWithGreen(c) * 255)
            picker.blue = Math.round(editor.readColorPropertyWithBlue(c) * 255)
            labelText = labelName + ": " + c
        }
        picker.initialize()
        __ready = true
    }
}
