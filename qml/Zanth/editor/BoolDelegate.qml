import QtQuick 2.15

// A switch for a boolean property.
ItemEditorBaseDelegate {
    id: delegate

    property bool checked: !!initialValue

    labelText: labelName + ": " + checked

    Rectangle {
        width: 36
        height: 16
        radius: 8
        color: delegate.checked ? "#e08a2c" : "#3a3a44"
        Rectangle {
            width: 14; height: 14; radius: 7; y: 1
            x: delegate.checked ? parent.width - width - 1 : 1
            color: "white"
        }
        MouseArea {
            anchors.fill: parent
            onClicked: {
                delegate.checked = !delegate.checked
                delegate.write(delegate.checked)
            }
        }
    }
}
