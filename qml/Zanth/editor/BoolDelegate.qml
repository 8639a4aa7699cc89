import QtQuick 2.15
import Zanth 1.0

// A switch for a boolean property.
ItemEditorBaseDelegate {
    id: delegate

    property bool __ready: false

    Switch {
        id: toggle
        onCheckedChanged: {
            delegate.labelText = delegate.labelName + ": " + checked
            if (delegate.__ready)
                delegate.write(checked)
        }
    }

    Component.onCompleted: {
        toggle.checked = !!initialValue
        labelText = labelName + ": " + toggle.checked
        __ready = true
    }
}
