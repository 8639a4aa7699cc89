import QtQuick 2.15
import Zanth 1.0

// The levels of one location as a column of buttons; levelSelected carries the chosen level's meta data.
Flickable {
    id: levelSelectionList

    property alias levelMetaDataArray: repeater.model
    property alias levelColumn: levelColumn
    property Component levelItemDelegate: defaultLevelItemDelegate

    signal levelSelected(variant levelData)

    function __mirrorButtons() {
        if (typeof rootGameWindow !== "undefined" && rootGameWindow && levelColumn.parent)
            rootGameWindow.loadItemWithSceneGraph(levelColumn.parent)
    }

    width: levelColumn.width
    height: parent ? Math.min(levelColumn.height, parent.height) : levelColumn.height
    contentWidth: levelColumn.width
    contentHeight: levelColumn.height
    flickableDirection: Flickable.VerticalFlick

    Column {
        id: levelColumn

        spacing: 2

        Repeater {
            id: repeater

            delegate: levelSelectionList.levelItemDelegate
            // New buttons are mirrored into the scene graph once, after a new model made all of them.
            onItemAdded: Qt.callLater(levelSelectionList.__mirrorButtons)
        }
    }

    Component {
        id: defaultLevelItemDelegate

        SimpleButton {
            // Not the list's width: the list takes the column's, which takes the widest button's.
            width: Math.max(120, textItem.implicitWidth + 20)
            height: 20
            text: modelData.levelName

            onClicked: levelSelectionList.levelSelected(modelData)
        }
    }
}
