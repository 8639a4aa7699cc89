import QtQuick 2.15
import "SceneGraphMirror.js" as Mirror

// A titled list of challenges.
Item {
    id: list

    property string title
    property var challenges: []
    property bool acceptable: false
    property Component headerDelegate: Component {
        Rectangle {
            width: parent ? parent.width : 320
            height: 32
            color: "#e6e6e6"
            Text {
                anchors.left: parent.left
                anchors.leftMargin: 6
                anchors.verticalCenter: parent.verticalCenter
                text: list.title
                font.pixelSize: 16
                color: "#222222"
                textFormat: Text.PlainText
            }
        }
    }
    property Component itemDelegate: Component {
        ChallengeItemDelegate {
            challengeData: modelData
            acceptable: list.acceptable
            onSelected: function(data) { list.challengeClicked(data) }
            onAcceptClicked: function(data) { list.challengeAcceptedClicked(data) }
        }
    }
    property bool __completed: false

    signal challengeClicked(var challengeData)
    signal challengeAcceptedClicked(var challengeData)

    Component.onCompleted: __completed = true

    Flickable {
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: column
            width: parent.width

            Loader {
                width: parent.width
                sourceComponent: list.headerDelegate
            }
            Repeater {
                model: Array.isArray(list.challenges) ? list.challenges : []
                delegate: list.itemDelegate
                onItemAdded: Mirror.mirrorChildren(column, list.__completed)
            }
        }
    }
}
