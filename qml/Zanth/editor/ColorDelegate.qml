import QtQuick 2.15
import Zanth 1.0

// A colour as the widget library's picker: red, green and blue sliders under a preview bar. The
// colour's opacity has properties of its own on the targets (the opacity sliders), so the picker
// leaves it as it was.
ItemEditorBaseDelegate {
    id: delegate

    property var __value
    property real __alpha: 1
    property bool __setting: false
    property bool __initialized: false

    function __meta(key, fallback) {
        return propMetaData && propMetaData[key] !== undefined ? propMetaData[key] : fallback
    }

    // An item's opacity may have been changed through its own property after the read target's colour
    // was read: a bound item's current alpha wins.
    function __currentAlpha() {
        var targets = boundTargets()
        for (var i = targets.length - 1; i >= 0; --i) {
            if (targets[i] === readTarget)
                continue
            var c = targets[i][propName]
            if (c !== undefined && c !== null)
                return editor.readColorPropertyWithAlpha(c)
        }
        return __alpha
    }

    function __show(value) {
        if (value === null || value === undefined || !editor)
            return
        var c = typeof value === "string" ? Qt.tint(value, "transparent") : value
        __alpha = editor.readColorPropertyWithAlpha(c)
        __value = Qt.rgba(editor.readColorPropertyWithRed(c), editor.readColorPropertyWithGreen(c),
                          editor.readColorPropertyWithBlue(c), __alpha)
        // Channel by channel the colour passes through mixtures that are no one's.
        var wasActive = bindingActive
        bindingActive = false
        __setting = true
        picker.setChannels(Math.round(editor.readColorPropertyWithRed(c) * 255),
                           Math.round(editor.readColorPropertyWithGreen(c) * 255),
                           Math.round(editor.readColorPropertyWithBlue(c) * 255), 255)
        __setting = false
        bindingActive = wasActive
        labelText = labelName + ": " + __value
    }

    modelWrite: __value

    onInitialValueChanged: {
        __show(initialValue)
        if (!__initialized) {
            picker.initialize()
            __initialized = true
        }
    }
    onModelChanged: {
        if (isDefined(model) && model !== null && !sameValue(model, __value))
            __show(model)
    }

    ColorPicker {
        id: picker

        width: delegate.width
        useAlpha: false
        minimumValue: delegate.__meta("min", 0)
        maximumValue: delegate.__meta("max", 255)
        stepSize: delegate.__meta("stepsize", 1)
        valueIndicatorVisible: delegate.__meta("indicator", true)
        useResetButton: delegate.__meta("useResetButton", true)
        onColorChanged: {
            if (delegate.__setting || !delegate.__initialized)
                return
            delegate.__alpha = delegate.__currentAlpha()
            delegate.__value = Qt.rgba(red / 255, green / 255, blue / 255, delegate.__alpha)
            delegate.labelText = delegate.labelName + ": " + delegate.__value
        }
    }
}
