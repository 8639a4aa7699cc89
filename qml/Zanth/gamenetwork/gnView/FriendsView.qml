import QtQuick 2.15
import "SceneGraphMirror.js" as Mirror

// The player's friends on the game network, each with a button to challenge them. The list is asked
// for whenever it comes into view; "Show more..." asks for one page more.
Item {
    id: friendsView

    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    readonly property var friends: gameNetworkItem && Array.isArray(gameNetworkItem.friends) ? gameNetworkItem.friends : []
    // How many friends the last request asked for.
    property int friendsRequested: 0
    property bool __completed: false

    signal friendClicked(var friendData)
    signal challengeFriendClicked(var friendData)

    // Asks for the first count friends (one page by default).
    function requestFriends(count) {
        if (!gameNetworkItem)
            return
        friendsRequested = count !== undefined ? count : gameNetworkItem.defaultPerPageCount
        gameNetworkItem.api.getFriends(1, friendsRequested)
    }

    onChallengeFriendClicked: function(friendData) {
        if (gameNetworkItem && friendData && friendData.id !== undefined)
            gameNetworkItem.createChallenge(friendData.id)
    }
    onVisibleChanged: {
        if (visible && __completed)
            requestFriends()
    }
    Component.onCompleted: {
        __completed = true
        if (visible)
            requestFriends()
    }

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
                model: friendsView.friends
                onItemAdded: Mirror.mirrorChildren(column, friendsView.__completed)

                Item {
                    objectName: "friendRow"
                    width: column.width
                    height: 44

                    MouseArea {
                        anchors.fill: parent
                        onClicked: friendsView.friendClicked(modelData)
                    }
                    Text {
                        objectName: "friendName"
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
                        objectName: "challengeFriendButton"
                        anchors.right: parent.right
                        anchors.rightMargin: 6
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Challenge")
                        iconSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/challenge.png"
                        onClicked: friendsView.challengeFriendClicked(modelData)
                    }
                }
            }

            // A full answer may not be all of them.
            GNButton {
                objectName: "moreFriendsButton"
                anchors.horizontalCenter: parent.horizontalCenter
                visible: friendsView.friendsRequested > 0 && friendsView.friends.length >= friendsView.friendsRequested
                text: qsTr("Show more...")
                onClicked: friendsView.requestFriends(friendsView.friendsRequested
                                                      + friendsView.gameNetworkItem.defaultPerPageCount)
            }
        }
    }
}
