import QtQuick 2.15

// A colour as red, green and blue sliders (0..255).
ItemEditorBaseDelegate {
    id: delegate

    // The colour's alpha is a property of its own on the targets (the opacity sliders): keep it.
    function edited() {
        var current = editor.masterValue(editor.currentEditableType, propName)
        var alpha = current !== undefined && current !== null && current.a !== undefined ? current.a : 1
        var c = Qt.rgba(red.value / 255, green.value / 255, blue.value / 255, alpha)
        swatch.color = c
        labelText = labelName + ": " + c
        write(c)
    }

    Row {
        spacing: 4
        Rectangle { id: swatch; width: 14; height: 44; color: "black"; border.color: "white" }
        Column {
            spacing: 1
            EditorSlider { id: red; width: delegate.width - 18; maximumValue: 255; onMoved: delegate.edited() }
            EditorSlider { id: green; width: delegate.width - 18; maximumValue: 255; onMoved: delegate.edited() }
            EditorSlider { id: blue; width: delegate.width - 18; maximumValue: 255; onMoved: delegate.edited() }
        }
    }

    Component.onCompleted: {
        if (initialValue === undefined || initialValue === null)
            return
        var c = typeof initialValue === "string" ? Qt.tint(initialValue, "transparent") : initialValue
        red.value = Math.round(editor.readColorPropertyWithRed(c) * 255)
        green.value = Math.round(editor.readColorPropertyWithGreen(c) * 255)
        blue.value = Math.round(editor.readColorPropertyWithBlue(c) * 255)
        swatch.color = c
        labelText = labelName + ": " + c
    }
}
