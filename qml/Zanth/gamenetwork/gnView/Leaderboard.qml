import QtQuick 2.15
import "SceneGraphMirror.js" as Mirror

// One leaderboard for one time frame, of friends or of all players: its header, a row per score, the
// player's own row when the player ranks below the shown page, and "Show more...".
Item {
    id: block

    property var gameNetworkItem: null
    property string leaderboardName: gameNetworkItem ? gameNetworkItem.currentActiveLeaderboard : ""
    // Hours; 0 means all time.
    property int timeFrame: 0
    property bool friendsOnly: true
    property var scores: []
    // The paging entry of the client for this block's request (page, perPage, pos, value, ...).
    property var pagingEntry: null
    property Component headerDelegate
    property Component itemDelegate
    readonly property bool playerBelowPage: pagingEntry !== null && pagingEntry !== undefined
                                            && pagingEntry.pos !== undefined && pagingEntry.pos !== null
                                            && Number(pagingEntry.pos) !== -1
                                            && Number(pagingEntry.pos) >= Number(pagingEntry.perPage)
    property bool __completed: false

    signal scoreSelected(var scoreData)

    function requestScores() {
        if (gameNetworkItem)
            gameNetworkItem.getLeaderboardScores(leaderboardName, timeFrame, friendsOnly)
    }

    function clear() {
        scores = []
        pagingEntry = null
    }

    function playerScoreData() {
        var user = gameNetworkItem ? gameNetworkItem.user : null
        return { pos: pagingEntry ? pagingEntry.pos : -1, value: pagingEntry ? pagingEntry.value : 0,
                 user: user ? { id: user.userId, name: user.name, facebook_id: user.facebookId,
                                first_name: user.firstName, last_name: user.lastName,
                                profile_picture: user.profileImageUrl } : {} }
    }

    state: playerBelowPage ? "loggedInUserNotInList" : ""
    states: State { name: "loggedInUserNotInList" }
    height: column.height

    onVisibleChanged: {
        if (visible && __completed)
            requestScores()
    }
    Component.onCompleted: {
        __completed = true
        if (visible)
            requestScores()
    }

    Column {
        id: column
        width: block.width

        Loader {
            width: parent.width
            sourceComponent: block.headerDelegate
            onLoaded: item.friendsOnly = Qt.binding(function() { return block.friendsOnly })
        }

        Repeater {
            model: block.scores
            delegate: block.itemDelegate
            onItemAdded: Mirror.mirrorChildren(column, block.__completed)
        }

        LeaderboardItemDelegate {
            objectName: "playerBelowPage"
            visible: block.state === "loggedInUserNotInList"
            outOfPage: true
            gameNetworkItem: block.gameNetworkItem
            scoreData: block.playerBelowPage ? block.playerScoreData() : ({})
            onSelected: function(scoreData) { block.scoreSelected(scoreData) }
        }

        GNButton {
            objectName: "showMoreButton"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: block.pagingEntry !== null && block.pagingEntry !== undefined
                     && block.pagingEntry.showLoadMoreButton === true
            text: qsTr("Show more...")
            onClicked: {
                if (block.gameNetworkItem)
                    block.gameNetworkItem.loadMore({ action: "get_scores", leaderboard: block.leaderboardName,
                                                     friendsOnly: block.friendsOnly, timeLimit: block.timeFrame })
            }
        }
    }
}
