import QtQuick 2.15

// Chooses a texture among the images beside the current one.
ItemEditorBaseDelegate {
    id: delegate

    property url fileUrl: initialValue !== undefined ? initialValue : ""
    property var thumbnails: []

    labelText: labelName + ": " + String(fileUrl).replace(/^.*\//, "")

    Flow {
        width: delegate.width
        spacing: 2
        Repeater {
            model: delegate.thumbnails
            Rectangle {
                width: 20; height: 20
                color: String(delegate.fileUrl) === String(modelData) ? "#e08a2c" : "#2a2a30"
                Image { anchors.fill: parent; anchors.margins: 2; source: modelData }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        delegate.fileUrl = modelData
                        delegate.write(delegate.fileUrl)
                    }
                }
            }
        }
    }

    Component.onCompleted: {
        if (String(fileUrl) === "")
            return
        var folder = String(fileUrl).replace(/[^\/]*$/, "")
        var names = fileUtils.listFiles(folder, ["*.png"])
        var list = []
        for (var i = 0; i < names.length; ++i)
            list.push(folder + names[i])
        thumbnails = list
    }
}
