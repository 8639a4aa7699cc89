import QtQuick 2.15
import Zanth 1.0
import "EditorValues.js" as EditorValues

// A point on the widget library's point selector: x along the bottom, y upright. Metadata min, max,
// stepsize, invert, indicator and useResetButton as {x, y}, each used only when both are given.
ItemEditorBaseDelegate {
    id: delegate

    property var __value
    property bool __setting: false

    function __pick(key, axis, fallback) {
        var m = propMetaData ? propMetaData[key] : undefined
        if (m && m.x !== undefined && m.y !== undefined)
            return m[axis]
        return fallback
    }

    function __label(x, y) {
        return labelName + ": (" + x + "," + y + ")"
    }

    function __show(value, asDefault) {
        if (value === null || value === undefined || value.x === undefined)
            return
        var x = Number(value.x)
        var y = Number(value.y)
        __value = Qt.point(x, y)
        // A half-set point is no one's.
        var wasActive = bindingActive
        bindingActive = false
        __setting = true
        if (asDefault) {
            selector.defaultValueX = x
            selector.defaultValueY = y
        }
        selector.valueX = x
        selector.valueY = y
        __setting = false
        bindingActive = wasActive
        labelText = __label(x.toFixed(EditorValues.decimals(selector.stepSizeX)), y.toFixed(EditorValues.decimals(selector.stepSizeY)))
    }

    function __moved() {
        if (__setting)
            return
        __value = Qt.point(selector.valueX, selector.valueY)
        labelText = __label(selector.elementX.formatValue(selector.valueX), selector.elementY.formatValue(selector.valueY))
    }

    modelWrite: __value

    onInitialValueChanged: __show(initialValue, true)
    onModelChanged: {
        if (isDefined(model) && model !== null && !sameValue(model, __value))
            __show(model, false)
    }

    PointSelector {
        id: selector

        width: delegate.width
        minimumValueX: delegate.__pick("min", "x", 0)
        minimumValueY: delegate.__pick("min", "y", 0)
        maximumValueX: delegate.__pick("max", "x", 100)
        maximumValueY: delegate.__pick("max", "y", 100)
        stepSizeX: delegate.__pick("stepsize", "x", 1)
        stepSizeY: delegate.__pick("stepsize", "y", 1)
        invertedX: delegate.__pick("invert", "x", false)
        invertedY: delegate.__pick("invert", "y", false)
        valueIndicatorX: delegate.__pick("indicator", "x", true)
        valueIndicatorY: delegate.__pick("indicator", "y", true)
        elementX.useResetButton: delegate.__pick("useResetButton", "x", true)
        elementY.useResetButton: delegate.__pick("useResetButton", "y", true)
        onValueXChanged: delegate.__moved()
        onValueYChanged: delegate.__moved()
    }
}
