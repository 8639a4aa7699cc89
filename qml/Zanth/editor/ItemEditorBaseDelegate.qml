import QtQuick 2.15

// Common part of the property widgets: a label above the widget; an edit goes through the editor to
// every item of the current type.
Column {
    id: base

    property string propName
    property var propMetaData: ({})
    property var editor
    property var initialValue
    property alias labelText: label.text
    property string labelName: propMetaData && propMetaData.label ? propMetaData.label : propName

    function write(value) {
        if (editor)
            editor.writeProperty(propName, value)
    }

    function isDefined(value) {
        return value !== undefined
    }

    width: parent ? parent.width : 120
    spacing: 2

    Text {
        id: label
        width: base.width
        color: base.propMetaData && base.propMetaData.color ? base.propMetaData.color : "white"
        font.pixelSize: 10
        text: base.labelName + ": -"
        elide: Text.ElideRight
    }
}
