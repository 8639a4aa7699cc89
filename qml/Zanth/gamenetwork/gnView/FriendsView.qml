import QtQuick 2.15
import "SceneGraphMirror.js" as Mirror

// The player's friends on the game network, each with a button to challenge them.
Item {
    id: friendsView

    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    property bool __completed: false

    signal friendClicked(var friendData)
    signal challengeFriendClicked(var friendData)

    onChallengeFriendClicked: function(friendData) {
        if (gameNetworkItem && friendData && friendData.id !== undefined)
            gameNetworkItem.createChallenge(friendData.id)
    }
    Component.onCompleted: __completed = true

    Flickable {
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: column
            width: parent.width

            Rectangle {
                width: parent.width
                height: 32
                color: "#e6e6e6"
                Text {
                    anchors.left: parent.left
                    anchors.leftMargin: 6
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Friends")
                    font.pixelSize: 16
                    color: "#222222"
                    textFormat: Text.PlainText
                }
            }

            Repeater {
                model: friendsView.gameNetworkItem && Array.isArray(friendsView.gameNetworkItem.friends)
                       ? friendsView.gameNetworkItem.friends : []
                onItemAdded: Mirror.mirrorChildren(column, friendsView.__completed)

                Item {
                    width: column.width
                    height: 44

                    MouseArea {
                        anchors.fill: parent
                        onClicked: friendsView.friendClicked(modelData)
                    }
                    Text {
                        anchors.left: parent.left
                        anchors.leftMargin: 6
                        anchors.right: challenge.left
                        anchors.verticalCenter: parent.verticalCenter
                        elide: Text.ElideRight
                        text: modelData && modelData.name !== undefined ? String(modelData.name) : ""
                        font.pixelSize: 18
                        color: "#222222"
                        textFormat: Text.PlainText
                    }
                    GNButton {
                        id: challenge
                        anchors.right: parent.right
                        anchors.rightMargin: 6
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Challenge")
                        iconSource: "img/challenge.png"
                        onClicked: friendsView.challengeFriendClicked(modelData)
                    }
                }
            }
        }
    }
}
