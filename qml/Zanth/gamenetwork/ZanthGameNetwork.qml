import QtQuick 2.15
import Zanth 1.0
import "ZanthGameNetworkLogic.js" as Logic

// The game network for a game: the player's session across starts, the player's scores and
// achievements kept on the device (new highscores and unlocked achievements are known at once), the
// requests to the service through api, and the writes kept, also across starts, until the server has
// taken them.
Item {
    id: gameNetwork

    property alias gameId: api.gameId
    property alias secret: api.password
    property alias hostingUrl: api.hostingUrl
    property alias url: api.url
    property alias authenticated: api.authenticated
    property alias lastRequest: api.lastRequest
    property alias lastResponse: api.lastResponse
    property alias waitingForResponse: api.waitingForResponse
    property alias pauseRequests: api.pauseRequests
    property alias connectionError: api.connectionError
    property alias defaultLeaderboardName: api.defaultLeaderboardName
    property alias api: api

    property bool initialized: false
    property bool autoLogin: true
    property bool userInitiallyInSync: false

    property var gameNetworkView: null
    property var profileView: gameNetworkView ? gameNetworkView.profileView : null
    property var leaderboardView: gameNetworkView ? gameNetworkView.leaderboardView : null
    property var achievementView: gameNetworkView ? gameNetworkView.achievementView : null
    property var challengeView: gameNetworkView ? gameNetworkView.challengeView : null
    property var friendsView: gameNetworkView ? gameNetworkView.friendsView : null
    // A platform game-centre item (authenticated, reportScore, reportAchievement); none on this platform.
    property var gameCenterItem: null

    property string currentActiveLeaderboard: defaultLeaderboardName
    // leaderboard -> {value, pos, data}
    property var userScores: ({})
    readonly property real userHighscoreForCurrentActiveLeaderboard:
        userScores && userScores[currentActiveLeaderboard] && userScores[currentActiveLeaderboard].value !== undefined
        ? Number(userScores[currentActiveLeaderboard].value) : 0
    property list<Achievement> achievements
    property var userAchievements: []
    property bool userScoresInitiallySynced: false
    property bool userAchievementsInitiallySynced: false

    property var friends: []
    property var openChallenges: []
    property var pendingChallengesOfFriends: []
    property var challengeHistory: []
    property var lastCreatedChallengeData
    property var lastQueriedUserChallengeList: []
    property var lastQueriedPublicChallengeList: []

    property alias user: userObject
    property alias userName: userObject.name
    property alias facebookId: userObject.facebookId
    property alias facebookToken: userObject.facebookToken
    property alias facebookTokenValid: userObject.facebookTokenValid

    // The context object "facebook" of a Facebook plug-in; none exists on this platform.
    property var facebookItem: typeof facebook !== "undefined" ? facebook : null
    property bool autoLoginFacebook: true
    property bool askForWritePermissionsAtFacebookConnect: true
    property bool askForWritePermissionsAtScoreOrAchievementSubmit: true
    property var grantedFacebookPermissions: []
    readonly property bool grantedFacebookReadPermissions: grantedFacebookPermissions.indexOf("email") >= 0
                                                           && grantedFacebookPermissions.indexOf("read_friendlists") >= 0
    readonly property bool grantedFacebookWritePermissions: grantedFacebookPermissions.indexOf("publish_actions") >= 0
    readonly property string facebookConnectionState: {
        if (!facebookId || !facebookTokenValid)
            return "facebookNotConnected"
        if (!grantedFacebookReadPermissions)
            return "facebookNoReadPermissions"
        if (!grantedFacebookWritePermissions)
            return "facebookNoWritePermissions"
        return "facebookConnected"
    }

    // action "get_scores" -> leaderboard -> friends only -> time limit -> {page, perPage, totalCount, ...}
    property var pageForRequestMetaData: ({})
    property int defaultPerPageCount: 30
    // Which errors are shown in message boxes: 1 server refusals, 2 also lost connections, 3 everything.
    property int errorReportingLevel: system.debugBuild ? 2 : 1
    property bool clearOfflineSendingQueueAtStartup: false
    property bool clearAllUserDataAtStartup: false
    // While the service can't be reached (no connection, a silent server, a gateway's 502, 503 or 504,
    // an answer that can't be read), the request that failed first is sent again after this many
    // milliseconds, then after twice as long each time, up to offlineRetryMaxInterval; it is never given
    // up. The first answer ends the pause.
    property int offlineRetryInterval: 5000
    property int offlineRetryMaxInterval: 300000
    // The most writes kept for the server; past it the oldest is dropped with one error line. 0: no bound.
    property int offlineSendingQueueLimit: 1000

    signal userAuthenticated
    signal userIdChangedOrAboutToChange
    signal newHighscore(string leaderboard, real highscore)
    signal newHighscoreAfterServerApproval(string leaderboard, real highscore)
    signal userScoreInSync(string leaderboard, real score)
    signal achievementUnlocked(string key)
    signal achievementUnlockedAfterServerApproval(string key)
    signal challengeCreated(var challengeData)
    signal challengeWithScoreSubmitted(var challengeData)
    signal challengeAccepted(var challengeData)
    signal challengeCompleted(var challengeData)
    signal clearAllStoragesLocally
    signal clearAllStorages
    signal synchAllStorages
    signal disconnectFacebookUserSuccessfullyFinished
    signal deleteFacebookDataSuccessfullyFinished
    signal facebookSuccessfullyConnected
    signal facebookSuccessfullyDisconnected
    signal facebookConnectionError(var error)
    signal error(var errorData)

    // Absolute score: sortOrder "highest_is_best" (the default) or "lowest_is_best"; the leaderboard
    // defaults to currentActiveLeaderboard.
    function reportScore(score, leaderboard, challengeIdArray, sortOrder, data, useForFacebook) {
        Logic.reportScore(false, score, leaderboard, challengeIdArray, sortOrder, data, useForFacebook)
    }

    // Adds the score to the player's current one.
    function reportRelativeScore(score, leaderboard, challengeIdArray, data) {
        Logic.reportScore(true, score, leaderboard, challengeIdArray, undefined, data, undefined)
    }

    function unlockAchievement(key, bannerVisible) {
        Logic.unlockAchievement(key, bannerVisible)
    }

    // Nothing is sent for an achievement already awarded.
    function incrementAchievement(key, amount, bannerVisible) {
        Logic.incrementAchievement(key, amount, bannerVisible)
    }

    function userHighscoreForLeaderboard(leaderboardName, timeLimit) {
        api.getUserScore([leaderboardName ? leaderboardName : currentActiveLeaderboard], false, timeLimit)
    }

    function getLeaderboardScores(leaderboard, timeLimit, friendsOnly) {
        Logic.getLeaderboardScores(leaderboard, timeLimit, friendsOnly)
    }

    // request: {action "get_scores", leaderboard, friendsOnly, timeLimit}
    function loadMore(request) {
        Logic.loadMore(request)
    }

    function showLeaderboard(leaderboard, timeFrame, showImmediately) {
        if (leaderboard)
            currentActiveLeaderboard = leaderboard
        if (timeFrame && leaderboardView)
            leaderboardView.timeFrame = timeFrame
        __showView("leaderboard")
    }

    function showAchievements() {
        __showView("achievement")
    }

    function showProfileView() {
        __showView("profile")
    }

    function showFriendList() {
        __showChallengeState("friendList")
    }

    function showChallengeView() {
        __showChallengeState("challengeOverview")
    }

    function showOpenChallengesForLoggedInUser() {
        api.getUserChallenges("as_challenged", "pending")
        __showChallengeState("openChallenges")
    }

    function showPendingChallengesOfFriends() {
        api.getUserChallenges("as_challenger", "pending")
        __showChallengeState("pendingChallenges")
    }

    function showChallengeHistory() {
        api.getUserChallenges(undefined, "completed")
        __showChallengeState("challengeHistory")
    }

    function createChallenge(friendId) {
        api.createChallenge(friendId)
    }

    function acceptChallenge(challengeId) {
        api.acceptChallenge(challengeId)
    }

    // False, and nothing sent, for an empty name, one starting with a digit or holding a refused word.
    function updateUserName(newUserName) {
        return Logic.updateUserName(newUserName)
    }

    // Facebook needs its plug-in of a mobile platform: on a desktop platform this and the other Facebook
    // calls emit facebookConnectionError with errorId "notAvailableOnThisPlatform" and change nothing.
    function connectFacebookUser() {
        if (Logic.facebookUnavailable("connectFacebookUser", true))
            return
        if (facebookItem.accessToken)
            facebookItem.getGraphRequest("me")
        else
            facebookItem.openSession()
    }

    function disconnectFacebookUser(clearLocalData, clearServerDataOfFacebookUser) {
        if (Logic.facebookUnavailable("disconnectFacebookUser", false))
            return
        Logic.disconnectFacebookUser(clearLocalData, clearServerDataOfFacebookUser)
    }

    function deleteFacebookData() {
        if (Logic.facebookUnavailable("deleteFacebookData", false))
            return
        api.deleteUserFacebookData(user)
    }

    // Logged in: reads the player's scores and achievements again and resends the kept writes; else logs in.
    function sync() {
        Logic.sync()
    }

    function getUrlForPackageKey(key) {
        return api.getUrlForPackageKey(key)
    }

    // forcedLogin: a new login even when a session is stored.
    function authenticateLocalPlayer(forcedLogin) {
        Logic.authenticateLocalPlayer(forcedLogin)
    }

    function __showView(state) {
        if (!gameNetworkView) {
            console.debug("WARNING: ZTGN: there is no gameNetworkView to show", state)
            return
        }
        gameNetworkView.show(state)
    }

    function __showChallengeState(state) {
        if (challengeView)
            challengeView.state = state
        __showView("challenge")
    }

    onUserScoresInitiallySyncedChanged: Logic.updateUserInitiallyInSync()
    onUserAchievementsInitiallySyncedChanged: Logic.updateUserInitiallyInSync()
    onWaitingForResponseChanged: Logic.updateUserInitiallyInSync()

    Connections {
        target: typeof rootGameWindow !== "undefined" ? rootGameWindow : null
        ignoreUnknownSignals: true
        function onApplicationResumed() {
            if (gameNetwork.initialized && !api.authenticated)
                Logic.authenticateLocalPlayer(false)
        }
    }

    ZanthGameNetworkAPI {
        id: api

        initialized: gameNetwork.initialized
        onTimestampChanged: Logic.storeCounter()
        onAuthenticatedChanged: {
            if (authenticated)
                Logic.startSession()
        }
        onConnectionErrorChanged: Logic.connectionErrorChanged()
        onError: function(errorData) {
            Logic.handleApiError(errorData)
        }
        onResponseFinished: function(request, response) {
            Logic.handleServerResponse(request, response)
        }
        onRequestQueued: function(request) {
            Logic.requestQueued(request)
        }
        onRequestSent: function(request) {
            Logic.requestSent(request)
        }
    }

    Timer {
        id: offlineRetryTimer

        onTriggered: Logic.retryConnection()
    }

    User {
        id: userObject

        deviceId: system.UDID
    }

    GameNetworkLocalStorage {
        id: localStorage

        databaseName: "ztgn"
    }

    Component.onCompleted: Logic.initializeAfterAppStart()
}
