import QtQuick 2.15
import Zanth 1.0

// A number on a slider. Metadata: min, max, stepsize, invert, indicator, useResetButton, or `values`
// (the only numbers allowed, for enumerations such as blend factors).
ItemEditorBaseDelegate {
    id: delegate

    property bool __ready: false
    readonly property var slider: loader.item

    function decimals(step) {
        var text = String(step)
        var dot = text.indexOf(".")
        return dot < 0 ? 0 : text.length - dot - 1
    }

    function edited(v) {
        if (!__ready)
            return
        labelText = labelName + ": " + Number(v).toFixed(decimals(slider.stepSize))
        write(v)
    }

    Loader {
        id: loader
        width: delegate.width
        sourceComponent: delegate.propMetaData && delegate.propMetaData.values ? valueSlider : rangeSlider
    }

    Component {
        id: rangeSlider
        Slider {
            width: delegate.width
            minimumValue: delegate.propMetaData.min !== undefined ? delegate.propMetaData.min : 0
            maximumValue: delegate.propMetaData.max !== undefined ? delegate.propMetaData.max : 100
            stepSize: delegate.propMetaData.stepsize !== undefined ? delegate.propMetaData.stepsize : 1
            inverted: !!delegate.propMetaData.invert
            valueIndicatorVisible: !!delegate.propMetaData.indicator
            useResetButton: delegate.propMetaData.useResetButton !== undefined ? !!delegate.propMetaData.useResetButton : true
            onValueChanged: delegate.edited(value)
        }
    }

    Component {
        id: valueSlider
        EditorSlider {
            width: delegate.width
            values: delegate.propMetaData.values
            onMoved: (v) => delegate.edited(v)
        }
    }

    Component.onCompleted: {
        var v = Number(initialValue)
        if (slider.values && slider.values.length > 0 && slider.values.indexOf(v) < 0) {
            // Not among the offered values: keep it, but say so; the knob rests on the nearest one.
            console.log("[NumberDelegate] WARNING: " + propName + " holds " + v + ", which is none of the offered values")
            slider.value = slider.clampToStep(v)
            labelText = labelName + ": " + v
        } else {
            if (slider.defaultValue !== undefined)
                slider.defaultValue = v
            slider.value = v
            labelText = labelName + ": " + v.toFixed(decimals(slider.stepSize))
        }
        __ready = true
    }
}
