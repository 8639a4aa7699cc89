import QtQuick 2.15

// A single line of text.
ItemEditorBaseDelegate {
    id: delegate

    labelText: labelName + ": " + input.text

    Rectangle {
        width: delegate.width
        height: 19
        color: "#2a2a30"
        TextInput {
            id: input
            anchors.fill: parent
            anchors.margins: 2
            color: "white"
            font.pixelSize: 11
            text: delegate.initialValue !== undefined ? String(delegate.initialValue) : ""
            onEditingFinished: delegate.write(text)
        }
    }
}
