import QtQuick 2.15

// The editor's frame: a header with the type's name, the page name and the page buttons; the pages
// below it. A click on the title lists the editable types to switch between.
Rectangle {
    id: frame

    property var editor
    property alias groupContainer: groupContainer
    property real h: width / 5

    signal headerPrev
    signal headerNext

    function title() {
        if (!editor)
            return ""
        var meta = editor.currentMetaData
        return meta && meta.displayname ? meta.displayname : String(editor.currentEditableType)
    }

    objectName: "contentDelegate"
    anchors.fill: parent
    color: "#1c1c22"
    opacity: 0.92
    border.color: "#55555f"

    onHeaderPrev: editor.prevGroup()
    onHeaderNext: editor.nextGroup()

    Rectangle {
        id: prevButton
        width: frame.h; height: frame.h
        color: "#33333d"
        visible: frame.editor ? frame.editor.prevButtonVisible : false
        Text { anchors.centerIn: parent; text: "<"; color: "white"; font.pixelSize: frame.h / 2 }
        MouseArea { anchors.fill: parent; onClicked: frame.headerPrev() }
    }
    Item {
        id: titleArea
        x: frame.h; width: frame.width - 2 * frame.h; height: frame.h
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 1
            text: frame.title()
            color: "white"
            font.pixelSize: frame.h / 3
        }
        // As wide as the title area: a box as wide as the text itself loses its fraction of a point
        // in the scene graph, and a two-word name then wraps into a second, clipped line.
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 5
            text: frame.editor ? frame.editor.currentGroup : ""
            color: "#e0e0e0"
            font.pixelSize: frame.h / 3 - 2
        }
        MouseArea {
            anchors.fill: parent
            onClicked: {
                typeList.model = frame.editor.getAllEditableTypes()
                typeList.visible = !typeList.visible
                frame.editor.__mirror(typeList)
            }
        }
    }
    Rectangle {
        objectName: "itemEditorHeader_nextButton"
        x: frame.width - frame.h
        width: frame.h; height: frame.h
        color: "#33333d"
        visible: frame.editor ? frame.editor.nextButtonVisible : false
        Text { anchors.centerIn: parent; text: ">"; color: "white"; font.pixelSize: frame.h / 2 }
        MouseArea { anchors.fill: parent; onClicked: frame.headerNext() }
    }

    Item {
        id: groupContainer
        y: frame.h
        width: frame.width
        height: frame.height - frame.h
    }

    Column {
        id: typeList
        property alias model: repeater.model
        y: frame.h
        width: frame.width
        visible: false
        z: 5
        Repeater {
            id: repeater
            Rectangle {
                width: typeList.width; height: frame.h * 0.6
                color: "#2a2a30"; border.color: "#55555f"
                Text { anchors.centerIn: parent; text: modelData; color: "white" }
                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        frame.editor.currentEditableType = modelData
                        typeList.visible = false
                    }
                }
            }
        }
    }
}
