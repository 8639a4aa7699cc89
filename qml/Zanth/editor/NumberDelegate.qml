import QtQuick 2.15
import Zanth 1.0
import "EditorValues.js" as EditorValues

// A number on a slider. Metadata: min, max, stepsize, invert, indicator, useResetButton, or `values`
// (the only numbers allowed, for enumerations such as blend factors). A value the slider cannot show
// (out of range, off the step, none of the values) is kept as it is: the slider stays where it is.
ItemEditorBaseDelegate {
    id: delegate

    readonly property var slider: loader.item
    // The number written; changed by the user's moves and by the read target, never by the slider
    // rounding a value it cannot show.
    property var __value
    property bool __setting: false

    function __fits(v) {
        if (slider.values && slider.values.length > 0)
            return slider.values.indexOf(v) >= 0
        if (v < slider.minimumValue || v > slider.maximumValue)
            return false
        if (slider.stepSize <= 0)
            return true
        var steps = (v - slider.minimumValue) / slider.stepSize
        return Math.abs(steps - Math.round(steps)) < 1e-6
    }

    function __show(value, asDefault) {
        var v = Number(value)
        if (isNaN(v) || !slider)
            return
        __value = v
        if (__fits(v)) {
            __setting = true
            if (asDefault && slider.defaultValue !== undefined)
                slider.defaultValue = v
            slider.value = v
            __setting = false
            labelText = labelName + ": " + v.toFixed(EditorValues.decimals(slider.stepSize))
        } else {
            if (asDefault && slider.values && slider.values.length > 0)
                console.log("[NumberDelegate] WARNING: " + propName + " holds " + v + ", which is none of the offered values")
            labelText = labelName + ": " + v
        }
    }

    function __moved(v) {
        if (__setting)
            return
        __value = v
        labelText = labelName + ": " + (slider.formatValue ? slider.formatValue(v) : Number(v).toFixed(EditorValues.decimals(slider.stepSize)))
    }

    modelWrite: __value

    onInitialValueChanged: __show(initialValue, true)
    // While the bindings are off the widget keeps its value, which it writes back when it shows again.
    onModelChanged: {
        if (bindingActive && isDefined(model) && model !== null && Number(model) !== __value)
            __show(model, false)
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
            onValueChanged: delegate.__moved(value)
        }
    }

    Component {
        id: valueSlider

        EditorSlider {
            width: delegate.width
            values: delegate.propMetaData.values
            onMoved: (v) => delegate.__moved(v)
        }
    }
}
