import QtQuick 2.15
import Zanth 1.0

// A single line of text in the engine's own text input, which the scene graph draws.
ItemEditorBaseDelegate {
    id: delegate

    function __show(value) {
        input.text = value === null || value === undefined ? "" : String(value)
    }

    modelWrite: input.text
    labelText: labelName + ": " + input.text

    onInitialValueChanged: __show(initialValue)
    onModelChanged: {
        if (isDefined(model) && model !== null && String(model) !== input.text)
            __show(model)
    }

    TextInputZanth {
        id: input

        objectName: "stringDelegateInput"
        width: delegate.width
        height: 19
        placeholderText: "< Click here and enter text >"
        color: "white"
        placeholderColor: "#a0a0a8"
        font.pixelSize: 11
    }
}
