import QtQuick 2.15
import Zanth 1.0
import "ZTGNAPILogic.js" as ZTGNAPILogic

// The wire protocol of the game network. A request is a JSON object with its action; sending adds the
// login token, the session's counter and the time, encrypts the text with the game's secret and sends it
// as one GET. One request is in flight at a time; the others wait in order, a login first. Answers are
// decrypted and handed to responseFinished, then to the request's own callback; an HTTP error other than
// a gateway's is handed on the same way, as an answer of status "error" with the HTTP status as its code
// and as its httpStatus.
// Without a readable answer the service counts as unreachable (connectionError): a new request is then
// reported at once, and only the request that failed first goes again, when retryConnection() is called.
Item {
    id: api

    property int gameId
    property string password
    // HTTPS with verified certificates; the configuration's "gameNetworkHostingUrl" names the service.
    property string hostingUrl: ZTGNAPILogic.defaultHostingUrl()
    property string url: hostingUrl + gameId + "?data="
    property bool authenticated: false
    property string __authenticationToken: ""
    // The counter the next request carries; the server refuses a counter it has seen or passed.
    property int timestamp: 1
    property string lastRequest
    property string lastResponse
    property string defaultLeaderboardName: "defaultLeaderboard"
    property bool connectionError: false
    property bool simulateConnectionError: false
    property bool pauseRequests: false
    property bool waitingForResponse: true
    property var currentlySendingRequest
    property var firstRequestForConnectionError
    property int requestCounter: 0
    // Requests wait in the queue while this is false (the owner has not read its local data yet).
    property bool initialized: true

    // errorData: {code, errorType, serverRequest, message} and, by code, serverResponse or
    // firstTimeConnectionErrorOccured.
    signal error(var errorData)
    signal responseFinished(var request, var response)
    // A request made for the first time has joined the queue (a request sent again does not emit it).
    signal requestQueued(var request)
    // A request leaves for the server, with its token and counter (also when it is sent again).
    signal requestSent(var request)

    function getSendRequestQueue() {
        return ZTGNAPILogic.getSendRequestQueue()
    }

    function setSendRequestQueue(queue) {
        ZTGNAPILogic.setSendRequestQueue(queue)
    }

    function addToSendRequestQueue(request) {
        ZTGNAPILogic.addToSendRequestQueue(request)
    }

    // The URL that carries the encrypted request.
    function getEncryptedRequest(request) {
        return ZTGNAPILogic.getEncryptedRequest(request)
    }

    function sendRequest(request) {
        ZTGNAPILogic.sendRequest(request)
    }

    function serverResultCallback(text, request) {
        ZTGNAPILogic.serverResultCallback(text, request)
    }

    function sendFirstRequestFromQueue() {
        ZTGNAPILogic.sendFirstRequestFromQueue()
    }

    // The requests work makes go out after all of them are queued, in the order of the queue.
    function sendTogether(work) {
        ZTGNAPILogic.sendTogether(work)
    }

    // While offline: sends the request that began the connection error again, unless one is in flight;
    // however often it fails, it is never given up.
    function retryConnection() {
        ZTGNAPILogic.retryConnection()
    }

    function forwardConnectionError(request, errorObject) {
        ZTGNAPILogic.forwardConnectionError(request, errorObject)
    }

    function isRequestWithActionInQueue(action, key) {
        return ZTGNAPILogic.isRequestWithActionInQueue(action, key)
    }

    // True when the request (or the same one sent again) is in flight or waiting in the queue.
    function isRequestOnItsWay(request) {
        return ZTGNAPILogic.isRequestOnItsWay(request)
    }

    // True when both are the same request (the same one sent again, also after a restart).
    function isSameRequest(first, second) {
        return ZTGNAPILogic.sameRequest(first, second)
    }

    // JSON text of a value with its login tokens masked, for logs and message boxes.
    function maskedText(value) {
        return ZTGNAPILogic.maskedText(value)
    }

    function authenticateLocalPlayer(user) {
        timestamp = 1
        __authenticationToken = ""
        authenticated = false
        var request = { action: "login", device_id: user.deviceId, platform: ZTGNAPILogic.platformName() }
        if (user.facebookId)
            request.facebook_id = user.facebookId
        if (user.facebookToken)
            request.oauth_token = user.facebookToken
        sendRequest(request)
    }

    function disconnectDevice(user) {
        sendRequest({ action: "disconnect_device", device_id: user.deviceId })
    }

    function deleteUserFacebookData(user) {
        sendRequest({ action: "delete_user_facebook_data" })
    }

    function updateUser(user) {
        sendRequest({ action: "update_user", screen_name: user.name, picture_id: user.profileImageId })
    }

    function getFriendCount() {
        sendRequest({ action: "get_friend_count" })
    }

    function getFriends(page, perPage) {
        sendRequest({ action: "get_friends", page: page, per_page: perPage })
    }

    function incrementAchievement(identifier, amount) {
        sendRequest({ action: "add_achievement_progress", key: identifier, amount: amount === undefined ? 1 : amount })
    }

    function getAllAchievements() {
        sendRequest({ action: "get_achievements" })
    }

    function getAchievementProgress() {
        sendRequest({ action: "get_achievement_progress" })
    }

    function saveAchievement(achievement) {
        sendRequest({ action: "save_achievement", key: achievement.key, target: achievement.target,
                      points: achievement.points, name: achievement.name, description: achievement.description,
                      icon: achievement.icon, data: achievement.data,
                      registered_on_facebook: achievement.registered_on_facebook })
    }

    function reportScore(score, leaderboard, challengeIdArray, sortOrder, data, useForFacebook) {
        sendRequest({ action: "submit_score", key: leaderboard ? leaderboard : defaultLeaderboardName, value: score,
                      sort_order: sortOrder, data: data, challenge_ids: challengeIdArray,
                      use_for_facebook: useForFacebook })
    }

    function reportRelativeScore(score, leaderboard, challengeIdArray, data) {
        sendRequest({ action: "add_score", key: leaderboard ? leaderboard : defaultLeaderboardName, value: score,
                      data: data, challenge_ids: challengeIdArray })
    }

    function getUserScore(leaderboardArray, showFriendsOnly, timeLimit) {
        sendRequest({ action: "get_user_scores", keys: leaderboardArray, friends_only: showFriendsOnly,
                      time_limit: timeLimit })
    }

    function getLeaderboardScores(leaderboard, showFriendsOnly, timeLimit, page, perPage, sortOrder) {
        sendRequest({ action: "get_scores", key: leaderboard ? leaderboard : defaultLeaderboardName,
                      friends_only: showFriendsOnly, time_limit: timeLimit, page: page, per_page: perPage,
                      sort_order: sortOrder })
    }

    function getScoreHistory(leaderboard, page, perPage) {
        sendRequest({ action: "get_score_history", key: leaderboard ? leaderboard : defaultLeaderboardName,
                      page: page, per_page: perPage })
    }

    // The request keeps its callbacks; a per-user read unless it asks for no token.
    function getValue(request) {
        if (!request.ignoreToken)
            request.action = "get_user_data"
        sendRequest(request)
    }

    function setValue(request) {
        if (!request.ignoreToken)
            request.action = "set_user_data"
        if (typeof request.value !== "string")
            request.value = JSON.stringify(request.value)
        sendRequest(request)
    }

    function createChallenge(challengedId) {
        sendRequest({ action: "create_challenge", challenged_id: challengedId })
    }

    function acceptChallenge(challengeId) {
        sendRequest({ action: "accept_challenge", challenge_id: challengeId })
    }

    function getChallenges(state, excludeChallengerId, page, perPage) {
        sendRequest({ action: "get_challenges", exclude_challenger_id: excludeChallengerId, state: state,
                      page: page, per_page: perPage })
    }

    function getUserChallenges(filter, state, page, perPage) {
        sendRequest({ action: "get_user_challenges", filter: filter, state: state, page: page, per_page: perPage })
    }

    // The URL of the package's request (the source of a DownloadablePackage); nothing is sent. It
    // carries the token and takes the next counter, like every request of the session.
    function getUrlForPackageKey(key) {
        var request = { action: "get_package", key: key, requestTimeStamp: Date.now(), timestamp: timestamp }
        if (authenticated)
            request.token = __authenticationToken
        timestamp = timestamp + 1
        return getEncryptedRequest(request)
    }

    onPauseRequestsChanged: ZTGNAPILogic.sendFirstRequestFromQueue()

    onError: function(errorData) {
        console.debug("ERROR: ZanthGameNetwork: onError called:", maskedText(errorData))
    }

    Component.onDestruction: ZTGNAPILogic.abortTransfer()
}
