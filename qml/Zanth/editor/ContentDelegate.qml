import QtQuick 2.15
import Zanth 1.0

// The editor's frame: a header with the type's name, the page name and the page buttons; the pages
// below it. A click on the title lists the editable types to switch between.
Item {
    id: frame

    property var editor
    property alias groupContainer: groupContainer
    property bool prevButtonVisible: false
    property bool nextButtonVisible: false
    property real h: width / 5

    signal headerPrev
    signal headerNext

    function title() {
        if (!editor)
            return ""
        var meta = editor.currentMetaData
        return meta && meta.displayname ? meta.displayname : String(editor.currentEditableType)
    }

    function toggleTypeList() {
        typeList.types = editor.getAllEditableTypes()
        typeList.visible = !typeList.visible
        editor.__mirror(typeList)
    }

    objectName: "contentDelegate"
    anchors.fill: parent

    onHeaderPrev: editor.prevGroup()
    onHeaderNext: editor.nextGroup()

    GUIWindow {
        anchors.fill: parent
    }

    Button {
        objectName: "itemEditorHeader_prevButton"
        width: frame.h
        height: frame.h
        iconName: "arrow"
        visible: frame.prevButtonVisible
        onClicked: frame.headerPrev()
    }

    Item {
        id: titleArea

        objectName: "itemEditorHeader_title"
        x: (frame.width - width) / 2
        width: 2 * frame.h
        height: frame.h

        // Both texts span the space between the page buttons: the scene graph's font runs wider
        // than Qt's measure of the text, and a box of that measure would wrap it.
        Text {
            x: frame.h - titleArea.x
            y: 1
            width: frame.width - 2 * frame.h
            horizontalAlignment: Text.AlignHCenter
            text: frame.title()
            color: "white"
            font.pixelSize: frame.h / 3
        }

        Text {
            objectName: "itemEditorHeader_group"
            x: frame.h - titleArea.x
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 5
            width: frame.width - 2 * frame.h
            horizontalAlignment: Text.AlignHCenter
            text: frame.editor ? frame.editor.currentGroup : ""
            color: "white"
            font.pixelSize: frame.h / 3 - 2
        }

        MouseArea {
            anchors.fill: parent
            onClicked: frame.toggleTypeList()
        }
    }

    Button {
        objectName: "itemEditorHeader_nextButton"
        x: frame.width - frame.h
        width: frame.h
        height: frame.h
        iconName: "arrow"
        mirrorX: true
        visible: frame.nextButtonVisible
        onClicked: frame.headerNext()
    }

    Item {
        id: groupContainer

        y: frame.h
        width: frame.width
        height: frame.height - frame.h
    }

    GUIWindow {
        id: typeList

        property var types: []

        objectName: "itemEditorTypeList"
        y: frame.h
        z: 5
        width: frame.width
        height: Math.min(frame.height - frame.h, typeColumn.height)
        visible: false

        Flickable {
            anchors.fill: parent
            clip: true
            contentHeight: typeColumn.height
            interactive: typeColumn.height > height
            flickableDirection: Flickable.VerticalFlick

            Column {
                id: typeColumn

                width: typeList.width

                Repeater {
                    model: typeList.types

                    Button {
                        width: typeColumn.width
                        height: frame.h
                        text: modelData
                        onClicked: {
                            frame.editor.currentEditableType = text
                            typeList.visible = false
                        }
                    }
                }
            }
        }
    }
}
