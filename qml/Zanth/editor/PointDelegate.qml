import QtQuick 2.15

// A point as two sliders. Metadata min, max, stepsize, invert as {x, y}, used only when both are given.
ItemEditorBaseDelegate {
    id: delegate

    function pick(key, axis, fallback) {
        var m = propMetaData ? propMetaData[key] : undefined
        if (m && m.x !== undefined && m.y !== undefined)
            return m[axis]
        return fallback
    }

    function show() {
        labelText = labelName + ": (" + sliderX.value + "," + sliderY.value + ")"
    }

    function edited() {
        show()
        write(Qt.point(sliderX.value, sliderY.value))
    }

    EditorSlider {
        id: sliderX
        width: delegate.width
        minimumValue: delegate.pick("min", "x", 0)
        maximumValue: delegate.pick("max", "x", 100)
        stepSize: delegate.pick("stepsize", "x", 1)
        inverted: !!delegate.pick("invert", "x", false)
        onMoved: delegate.edited()
    }
    EditorSlider {
        id: sliderY
        width: delegate.width
        minimumValue: delegate.pick("min", "y", 0)
        maximumValue: delegate.pick("max", "y", 100)
        stepSize: delegate.pick("stepsize", "y", 1)
        inverted: !!delegate.pick("invert", "y", false)
        onMoved: delegate.edited()
    }

    Component.onCompleted: {
        if (initialValue !== undefined && initialValue !== null) {
            sliderX.value = Number(initialValue.x)
            sliderY.value = Number(initialValue.y)
        }
        show()
    }
}
