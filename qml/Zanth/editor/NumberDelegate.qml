import QtQuick 2.15

// A number on a slider. Metadata: min, max, stepsize, invert, or `values` (the only numbers allowed).
ItemEditorBaseDelegate {
    id: delegate

    function decimals() {
        var step = String(slider.stepSize)
        var dot = step.indexOf(".")
        return dot < 0 ? 0 : step.length - dot - 1
    }

    function show(v) {
        labelText = labelName + ": " + Number(v).toFixed(decimals())
    }

    EditorSlider {
        id: slider
        width: delegate.width
        minimumValue: delegate.propMetaData.min !== undefined ? delegate.propMetaData.min : 0
        maximumValue: delegate.propMetaData.max !== undefined ? delegate.propMetaData.max : 100
        stepSize: delegate.propMetaData.stepsize !== undefined ? delegate.propMetaData.stepsize : 1
        values: delegate.propMetaData.values
        inverted: !!delegate.propMetaData.invert
        onMoved: (v) => {
            delegate.show(v)
            delegate.write(v)
        }
    }

    Component.onCompleted: {
        var v = Number(initialValue)
        if (slider.values && slider.values.length > 0 && slider.values.indexOf(v) < 0) {
            // Not among the offered values: keep it, but say so; the knob rests on the nearest one.
            console.log("[NumberDelegate] WARNING: " + propName + " holds " + v + ", which is none of the offered values")
            slider.value = slider.clampToStep(v)
            labelText = labelName + ": " + v
            return
        }
        slider.value = v
        show(v)
    }
}
