import QtQuick 2.15

// The current leaderboard for one time frame: the friends' block above the block of all players. Six
// blocks exist (friends and all players, each for all time, a week and a day); the time frame shows two.
Item {
    id: leaderboardView

    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    // "alltime", "week" or "day"
    property string timeFrame: "alltime"
    readonly property string timeFrameText: timeFrame === "week" ? qsTr("This Week")
                                          : timeFrame === "day" ? qsTr("Today") : qsTr("All Time")
    readonly property var blocks: [friendsAllTime, allAllTime, friendsWeek, allWeek, friendsDay, allDay]
    property alias flickable: flickable
    property Component leaderboardHeaderDelegate: Component { LeaderboardHeaderDelegate {} }
    property Component leaderboardItemDelegate: Component {
        LeaderboardItemDelegate {
            scoreData: modelData
            index: model.index
            gameNetworkItem: leaderboardView.gameNetworkItem
            onSelected: function(scoreData) { leaderboardView.scoreSelected(scoreData) }
        }
    }

    signal scoreSelected(var scoreData)

    function hoursOf(frame) {
        return frame === "week" ? 24 * 7 : frame === "day" ? 24 : 0
    }

    function blockFor(timeLimit, friendsOnly) {
        var hours = Number(timeLimit)
        if (!isFinite(hours))
            hours = 0
        for (var i = 0; i < blocks.length; ++i) {
            if (blocks[i].timeFrame === hours && blocks[i].friendsOnly === !!friendsOnly)
                return blocks[i]
        }
        return null
    }

    // Called for every "get_scores" answer.
    function updateLeaderboardData(data, request) {
        if (!request)
            return
        var block = blockFor(request.time_limit, request.friends_only)
        if (!block) {
            console.debug("[LeaderboardView] WARNING: no leaderboard for the time limit", request.time_limit)
            return
        }
        var scrolledTo = flickable.contentY
        block.scores = data && Array.isArray(data.scores) && data.scores.length > 0 ? data.scores : []
        block.friendsOnly = !!request.friends_only
        block.pagingEntry = pagingEntryFor(request)
        flickable.contentY = Math.max(0, Math.min(scrolledTo, flickable.contentHeight - flickable.height))
    }

    function pagingEntryFor(request) {
        var level = gameNetworkItem ? gameNetworkItem.pageForRequestMetaData : null
        var keys = ["get_scores", String(request.key), String(!!request.friends_only), String(request.time_limit)]
        for (var i = 0; i < keys.length && level; ++i)
            level = level[keys[i]]
        return level ? level : null
    }

    function clearAllLeaderboards() {
        for (var i = 0; i < blocks.length; ++i)
            blocks[i].clear()
    }

    Flickable {
        id: flickable
        anchors.fill: parent
        contentWidth: width
        contentHeight: content.height
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: content
            width: flickable.width

            Leaderboard {
                id: friendsAllTime
                objectName: "friendsalltime"
                width: parent.width
                visible: leaderboardView.visible && leaderboardView.timeFrame === "alltime"
                gameNetworkItem: leaderboardView.gameNetworkItem
                timeFrame: 0
                headerDelegate: leaderboardView.leaderboardHeaderDelegate
                itemDelegate: leaderboardView.leaderboardItemDelegate
            }
            Leaderboard {
                id: allAllTime
                objectName: "allalltime"
                width: parent.width
                visible: leaderboardView.visible && leaderboardView.timeFrame === "alltime"
                gameNetworkItem: leaderboardView.gameNetworkItem
                timeFrame: 0
                friendsOnly: false
                headerDelegate: leaderboardView.leaderboardHeaderDelegate
                itemDelegate: leaderboardView.leaderboardItemDelegate
            }
            Leaderboard {
                id: friendsWeek
                objectName: "friendsweek"
                width: parent.width
                visible: leaderboardView.visible && leaderboardView.timeFrame === "week"
                gameNetworkItem: leaderboardView.gameNetworkItem
                timeFrame: 24 * 7
                headerDelegate: leaderboardView.leaderboardHeaderDelegate
                itemDelegate: leaderboardView.leaderboardItemDelegate
            }
            Leaderboard {
                id: allWeek
                objectName: "allweek"
                width: parent.width
                visible: leaderboardView.visible && leaderboardView.timeFrame === "week"
                gameNetworkItem: leaderboardView.gameNetworkItem
                timeFrame: 24 * 7
                friendsOnly: false
                headerDelegate: leaderboardView.leaderboardHeaderDelegate
                itemDelegate: leaderboardView.leaderboardItemDelegate
            }
            Leaderboard {
                id: friendsDay
                objectName: "friendsday"
                width: parent.width
                visible: leaderboardView.visible && leaderboardView.timeFrame === "day"
                gameNetworkItem: leaderboardView.gameNetworkItem
                timeFrame: 24
                headerDelegate: leaderboardView.leaderboardHeaderDelegate
                itemDelegate: leaderboardView.leaderboardItemDelegate
            }
            Leaderboard {
                id: allDay
                objectName: "allday"
                width: parent.width
                visible: leaderboardView.visible && leaderboardView.timeFrame === "day"
                gameNetworkItem: leaderboardView.gameNetworkItem
                timeFrame: 24
                friendsOnly: false
                headerDelegate: leaderboardView.leaderboardHeaderDelegate
                itemDelegate: leaderboardView.leaderboardItemDelegate
            }
        }
    }
}
