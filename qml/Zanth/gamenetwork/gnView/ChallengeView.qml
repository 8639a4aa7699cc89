import QtQuick 2.15

// Challenges between friends: a menu of the lists (open challenges for the player, the friends'
// pending ones, the history) and the friend list to challenge someone new.
Item {
    id: challengeView

    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    property alias friendsView: friendsView
    property alias openChallengesList: openList
    property alias pendingChallengesList: pendingList
    property alias challengeHistoryList: historyList
    property Component menuDelegate: Component {
        GNButton {
            objectName: "challengeMenu_" + modelData.text
            width: 220
            text: modelData.text
            onClicked: modelData.act()
        }
    }

    signal challengeClicked(var challengeData)
    signal challengeAcceptedClicked(var challengeData)

    onChallengeAcceptedClicked: function(challengeData) {
        if (gameNetworkItem && challengeData && challengeData.id !== undefined)
            gameNetworkItem.acceptChallenge(challengeData.id)
        state = "challengeOverview"
    }

    state: "challengeOverview"
    states: [
        State { name: "challengeOverview" },
        State { name: "openChallenges" },
        State { name: "pendingChallenges" },
        State { name: "challengeHistory" },
        State { name: "friendList" }
    ]

    Column {
        id: menu
        objectName: "challengeMenu"
        anchors.horizontalCenter: parent.horizontalCenter
        y: 12
        spacing: 8
        visible: challengeView.state === "challengeOverview"

        Repeater {
            model: [
                { text: qsTr("Open Challenges"), act: function() {
                    if (challengeView.gameNetworkItem) challengeView.gameNetworkItem.showOpenChallengesForLoggedInUser()
                    challengeView.state = "openChallenges" } },
                { text: qsTr("Pending Challenges"), act: function() {
                    if (challengeView.gameNetworkItem) challengeView.gameNetworkItem.showPendingChallengesOfFriends()
                    challengeView.state = "pendingChallenges" } },
                { text: qsTr("Challenge History"), act: function() {
                    if (challengeView.gameNetworkItem) challengeView.gameNetworkItem.showChallengeHistory()
                    challengeView.state = "challengeHistory" } },
                { text: qsTr("Challenge a Friend"), act: function() { challengeView.state = "friendList" } }
            ]
            delegate: challengeView.menuDelegate
        }
    }

    ChallengeList {
        id: openList
        objectName: "openChallengesList"
        anchors.fill: parent
        visible: challengeView.state === "openChallenges"
        title: qsTr("Open Challenges")
        acceptable: true
        challenges: challengeView.gameNetworkItem ? challengeView.gameNetworkItem.openChallenges : []
        onChallengeClicked: function(data) { challengeView.challengeClicked(data) }
        onChallengeAcceptedClicked: function(data) { challengeView.challengeAcceptedClicked(data) }
    }
    ChallengeList {
        id: pendingList
        objectName: "pendingChallengesList"
        anchors.fill: parent
        visible: challengeView.state === "pendingChallenges"
        title: qsTr("Pending Challenges")
        challenges: challengeView.gameNetworkItem ? challengeView.gameNetworkItem.pendingChallengesOfFriends : []
        onChallengeClicked: function(data) { challengeView.challengeClicked(data) }
    }
    ChallengeList {
        id: historyList
        objectName: "challengeHistoryList"
        anchors.fill: parent
        visible: challengeView.state === "challengeHistory"
        title: qsTr("Challenge History")
        challenges: challengeView.gameNetworkItem ? challengeView.gameNetworkItem.challengeHistory : []
        onChallengeClicked: function(data) { challengeView.challengeClicked(data) }
    }
    FriendsView {
        id: friendsView
        objectName: "friendsView"
        anchors.fill: parent
        visible: challengeView.state === "friendList"
        gameNetworkItem: challengeView.gameNetworkItem
    }
}
