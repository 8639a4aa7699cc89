import QtQuick 2.15
import Zanth 1.0

// A switch for a boolean property.
ItemEditorBaseDelegate {
    id: delegate

    function __show(value) {
        toggle.checked = !!value
        labelText = labelName + ": " + toggle.checked
    }

    modelWrite: toggle.checked

    onInitialValueChanged: __show(initialValue)
    onModelChanged: {
        if (isDefined(model) && model !== null)
            __show(model)
    }

    Switch {
        id: toggle

        onCheckedChanged: delegate.labelText = delegate.labelName + ": " + checked
    }
}
