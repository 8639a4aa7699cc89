import QtQuick 2.15

// The game network shown to the player: a full-window page under a navigation header, one of
// "leaderboard", "achievement", "challenge" and "profile" at a time (the view's state). A game puts it
// into its window and hands it to ZanthGameNetwork's gameNetworkView.
Item {
    id: view

    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    readonly property real viewHeight: height - header.height
    readonly property real viewWidth: width
    property real viewMargin: 3
    property string initialStateBeforeShow
    property var pushedStatesStack: []
    property string subState
    property alias header: header
    property alias leaderboardView: leaderboardView
    property alias achievementView: achievementView
    property alias challengeView: challengeView
    property alias friendsView: challengeView.friendsView
    property alias profileView: profileView
    property alias achievementDelegate: achievementView.achievementDelegate
    property alias leaderboardHeaderDelegate: leaderboardView.leaderboardHeaderDelegate
    property alias leaderboardItemDelegate: leaderboardView.leaderboardItemDelegate

    signal backClicked
    signal showCalled

    function show(newState, initialState) {
        if (initialState)
            initialStateBeforeShow = initialState
        if (newState && newState !== state) {
            pushedStatesStack = pushedStatesStack.concat([state])
            state = newState
        }
        showCalled()
    }

    function moreOptionsFor(pageState) {
        function entry(text, icon) {
            return { text: text, iconUrl: "qrc:/qml/Zanth/gamenetwork/gnView/img/" + icon + ".png", iconHoverUrl: "qrc:/qml/Zanth/gamenetwork/gnView/img/" + icon + "-hover.png" }
        }
        if (pageState === "leaderboard")
            return [entry(qsTr("All Time"), "alltime"), entry(qsTr("This Week"), "week"),
                    entry(qsTr("Today"), "today"), entry(qsTr("Profile"), "profile")]
        if (pageState === "profile")
            return [entry(qsTr("About"), "about")]
        return [entry(qsTr("Profile"), "profile")]
    }

    function moreOptionChosen(text) {
        if (text === qsTr("Profile"))
            show("profile")
        else if (text === qsTr("Challenges"))
            show("challenge")
        else if (text === qsTr("All Time"))
            leaderboardView.timeFrame = "alltime"
        else if (text === qsTr("This Week"))
            leaderboardView.timeFrame = "week"
        else if (text === qsTr("Today"))
            leaderboardView.timeFrame = "day"
        else if (text === qsTr("About"))
            profileView.showAboutView()
    }

    anchors.fill: parent
    state: "leaderboard"
    states: [
        State { name: "leaderboard" },
        State { name: "achievement" },
        State { name: "challenge" },
        State { name: "profile" }
    ]

    Rectangle {
        anchors.fill: parent
        color: "white"
    }

    // Presses never reach what lies under the view.
    MouseArea {
        anchors.fill: parent
        onWheel: function(wheel) { wheel.accepted = true }
    }

    Item {
        id: pages
        x: view.viewMargin
        y: header.height
        width: view.viewWidth - 2 * view.viewMargin
        height: view.viewHeight

        LeaderboardView {
            id: leaderboardView
            objectName: "leaderboardView"
            anchors.fill: parent
            visible: view.state === "leaderboard"
            gameNetworkItem: view.gameNetworkItem
        }
        AchievementView {
            id: achievementView
            objectName: "achievementView"
            anchors.fill: parent
            visible: view.state === "achievement"
            gameNetworkItem: view.gameNetworkItem
        }
        ChallengeView {
            id: challengeView
            objectName: "challengeView"
            anchors.fill: parent
            visible: view.state === "challenge"
            gameNetworkItem: view.gameNetworkItem
        }
        ProfileView {
            id: profileView
            objectName: "profileView"
            anchors.fill: parent
            visible: view.state === "profile"
            gameNetworkItem: view.gameNetworkItem
        }
    }

    NavigationHeader {
        id: header
        objectName: "navigationHeader"
        width: view.width
        z: 100
        pressArea: view
        title: view.state === "leaderboard" ? qsTr("Highscores")
             : view.state === "achievement" ? qsTr("Achievements")
             : view.state === "challenge" ? qsTr("Challenges") : qsTr("Profile")
        subtitle: view.state === "leaderboard" ? leaderboardView.timeFrameText : ""
        moreOptions: view.moreOptionsFor(view.state)
        onBackClicked: view.backClicked()
        onLeaderboardClicked: view.show("leaderboard")
        onAchievementClicked: view.show("achievement")
        onMoreOptionClicked: function(text) { view.moreOptionChosen(text) }
    }
}
