// Start-up, answers, scores, achievements, the user and the paging of leaderboards of ZanthGameNetwork.
// One copy runs per ZanthGameNetwork (no library marker); works on its ids.
.import "OfflineHandler.js" as OfflineHandler

// Server refusals after which the session is started again with a new login.
var reloginCodes = [12, 14, 15, 100, 101, 111, 112]
// A forced login is under way: further refusals start no other one until a login succeeds.
var reloginPending = false

var offensiveWords = ["fuck", "shit", "cunt", "bitch", "asshole", "bastard", "dick", "pussy", "whore", "slut",
                      "wanker", "nazi"]

function initializeAfterAppStart() {
    if (gameNetwork.clearAllUserDataAtStartup) {
        localStorage.clearAll()
        gameNetwork.clearAllStoragesLocally()
    }
    if (gameNetwork.clearOfflineSendingQueueAtStartup)
        localStorage.clearValue(localStorage.localOfflineSendingQueue)
    gameNetwork.userScores = localStorage.readValue(localStorage.userScores, {})
    gameNetwork.userAchievements = localStorage.readValue(localStorage.userAchievements, [])
    user.setUserPropertyMap(localStorage.readValue(localStorage.userData, {}))
    OfflineHandler.initializeAfterAppStart()
    gameNetwork.initialized = true
    if (gameNetwork.autoLogin) {
        if (user.facebookId && user.facebookToken && gameNetwork.facebookItem)
            gameNetwork.facebookItem.openSession()
        authenticateLocalPlayer(false)
    }
    api.sendFirstRequestFromQueue()
}

function storeUserData() {
    localStorage.setValue(localStorage.userData, user.getUserPropertyMap())
}

// The counter is stored at every change, so that no restart sends a counter the server has seen.
function storeCounter() {
    if (user.timestamp === api.timestamp)
        return
    user.timestamp = api.timestamp
    storeUserData()
}

function authenticateLocalPlayer(forcedLogin) {
    if (forcedLogin) {
        user.authenticationToken = ""
        storeUserData()
    }
    if (user.authenticationToken && user.userId && user.userId != 0) {
        api.__authenticationToken = user.authenticationToken
        api.timestamp = user.timestamp
        if (!api.connectionError)
            api.authenticated = true
        return
    }
    api.authenticateLocalPlayer(user)
}

function isLoginOnItsWay() {
    return (api.currentlySendingRequest !== undefined && api.currentlySendingRequest.action === "login")
            || api.isRequestWithActionInQueue("login", undefined)
}

// A stored write that may have arrived in this session goes out ahead of the reads (the api puts it
// first): after any later counter the server could no longer tell whether it has it. The writes the
// server refused earlier go again too.
function startSession() {
    api.sendTogether(function() {
        api.getUserScore()
        api.getAchievementProgress()
        gameNetwork.synchAllStorages()
        OfflineHandler.sendStoredRequests(true)
    })
    gameNetwork.userAuthenticated()
}

// Offline, the service is tried at once rather than at the next step of the back-off.
function sync() {
    if (api.connectionError)
        api.retryConnection()
    if (api.authenticated)
        startSession()
    else
        authenticateLocalPlayer(false)
}

function connectionReturned() {
    if (!gameNetwork.initialized)
        return
    if (api.authenticated)
        OfflineHandler.sendStoredRequests(false)
    else if (!isLoginOnItsWay())
        authenticateLocalPlayer(false)
}

function handleApiError(errorData) {
    OfflineHandler.handleConnectionError(errorData)
    gameNetwork.error(errorData)
}

function updateUserInitiallyInSync() {
    if (!gameNetwork.userInitiallyInSync && !api.waitingForResponse && gameNetwork.userScoresInitiallySynced
            && gameNetwork.userAchievementsInitiallySynced)
        gameNetwork.userInitiallyInSync = true
}

function handleServerResponse(request, response) {
    var data = response.data
    if (response.status !== "success") {
        handleRefusal(request, response)
        return
    }
    OfflineHandler.requestAnswered(request)
    var handler = responseHandlers[request.action]
    if (handler)
        handler(request, data)
    else
        console.debug("ERROR: ZTGN: do not know how to handle the request action:", request.action)
}

// The counter refusal "can not resend packet"
var alreadyReceivedCode = 15

// A refusal of the service (or an HTTP error answer) of a write sets that write aside; the requests
// behind it go on.
function handleRefusal(request, response) {
    var code = response.data ? response.data.code : undefined
    // The same packet sent again after its answer was lost: the server has it already.
    if (request.__resent && code === alreadyReceivedCode) {
        console.debug("ZTGN: the server had received the", request.action, "request already")
        OfflineHandler.requestAnswered(request)
        return
    }
    var errorData = { code: 2, errorType: "serverResponseErrorStatus", serverRequest: request, serverResponse: response,
                      message: "Server response has an error." }
    console.debug("ERROR: ZanthGameNetwork: onError called:", api.maskedText(errorData))
    var reason = "code " + code
    if (reloginCodes.indexOf(code) < 0) {
        // An HTTP error may come before the server has looked at the packet: one sent again, whose first
        // sending may have arrived, goes again as the same packet.
        OfflineHandler.setAside(request, reason, request.__resent && response.httpStatus !== undefined)
        handleApiError(errorData)
        return
    }
    var wantsLogin = OfflineHandler.refusedForSession(request, reason)
    handleApiError(errorData)
    if (!wantsLogin)
        return
    if (reloginPending) {
        console.debug("WARNING: ZTGN: the server refused the session again with code", code,
                      "- no further login before one succeeds")
        return
    }
    reloginPending = true
    user.authenticationToken = ""
    storeUserData()
    authenticateLocalPlayer(true)
}

var responseHandlers = {
    "login": function(request, data) {
        reloginPending = false
        var userData = copyOf(data.user)
        userData.oauth_token_valid = data.oauth_token_valid
        userData.oauth_token = data.oauth_token
        updateUserData(userData, "login")
    },
    "disconnect_device": function(request, data) {
        updateUserData(data, "disconnect")
        gameNetwork.disconnectFacebookUserSuccessfullyFinished()
    },
    "delete_user_facebook_data": function(request, data) {
        gameNetwork.deleteFacebookDataSuccessfullyFinished()
    },
    "update_user": function(request, data) {
        updateUserData(data, "update")
    },
    "get_friends": function(request, data) {
        gameNetwork.friends = data.friends
    },
    "submit_score": scoreAnswered,
    "add_score": scoreAnswered,
    "get_user_scores": function(request, data) {
        var scores = data && typeof data === "object" ? data : {}
        localStorage.setValue(localStorage.userScores, scores)
        gameNetwork.userScores = scores
        gameNetwork.userScoresInitiallySynced = true
    },
    "get_scores": function(request, data) {
        updatePagingEntry(request, data)
        if (gameNetwork.leaderboardView)
            gameNetwork.leaderboardView.updateLeaderboardData(data, request)
    },
    "get_achievement_progress": function(request, data) {
        var achievements = Array.isArray(data) ? data : []
        localStorage.setValue(localStorage.userAchievements, achievements)
        gameNetwork.userAchievements = achievements
        if (gameNetwork.achievementView)
            gameNetwork.achievementView.updateServerAchievementsFromClientAchievements(achievements)
        gameNetwork.userAchievementsInitiallySynced = true
    },
    "add_achievement_progress": function(request, data) {
        var key = data && data.achievement ? data.achievement.key : request.key
        var achievements = gameNetwork.userAchievements.slice()
        var index = indexOfUserAchievement(achievements, key)
        if (index >= 0)
            achievements[index] = data
        else
            achievements.push(data)
        localStorage.setValue(localStorage.userAchievements, achievements)
        gameNetwork.userAchievements = achievements
        if (data.just_awarded)
            gameNetwork.achievementUnlockedAfterServerApproval(key)
    },
    "save_achievement": function(request, data) {
        api.getAchievementProgress()
    },
    "create_challenge": function(request, data) {
        gameNetwork.lastCreatedChallengeData = data
        gameNetwork.challengeCreated(data)
    },
    "accept_challenge": function(request, data) {
        gameNetwork.challengeAccepted(data)
    },
    "get_user_challenges": function(request, data) {
        var challenges = data && Array.isArray(data.challenges) ? data.challenges : []
        gameNetwork.lastQueriedUserChallengeList = challenges
        var scored = challenges.filter(function(challenge) { return challenge.challenger_score !== undefined })
        if (request.filter === "as_challenged" && request.state === "pending")
            gameNetwork.openChallenges = scored
        else if (request.filter === "as_challenger" && request.state === "pending")
            gameNetwork.pendingChallengesOfFriends = scored
        else if (request.filter === undefined && request.state === "completed")
            gameNetwork.challengeHistory = scored
    },
    "get_challenges": function(request, data) {
        gameNetwork.lastQueriedPublicChallengeList = data.challenges
    },
    "get_data": function() {},
    "set_data": function() {},
    "get_user_data": function() {},
    "set_user_data": function() {}
}

function copyOf(value) {
    return value === undefined ? {} : JSON.parse(JSON.stringify(value))
}

function scoreAnswered(request, data) {
    var key = request.key
    var serverValue = Number(data.value)
    var queued = api.isRequestWithActionInQueue(request.action, key)
    var scores = copyOf(gameNetwork.userScores)
    var local = scores[key]
    if (local && local.value !== serverValue && !queued) {
        local.value = serverValue
        localStorage.setValue(localStorage.userScores, scores)
        gameNetwork.userScores = scores
    }
    if (!queued)
        gameNetwork.userScoreInSync(key, serverValue)
    if (request.challenge_ids && Array.isArray(data.challenges)) {
        for (var i = 0; i < data.challenges.length; ++i) {
            var challenge = data.challenges[i]
            if (challenge.state === "completed")
                gameNetwork.challengeCompleted(challenge)
            else if (challenge.state === "pending" || challenge.state === "public")
                gameNetwork.challengeWithScoreSubmitted(challenge)
        }
    }
    if (data.changed)
        gameNetwork.newHighscoreAfterServerApproval(key, serverValue)
}

function textOf(value) {
    return value === undefined || value === null ? "" : String(value)
}

function updateUserData(data, source) {
    // Without its id the answer can't say whose data it is: taking it would pass for another player.
    if (!data || typeof data !== "object" || data.id === undefined || data.id === null) {
        console.debug("ERROR: ZTGN: the server sent no user data for", source)
        return
    }
    // The user object holds what "userData" stores.
    var previousUserId = user.userId
    var hadFacebookId = !!user.facebookId
    user.userId = data.id === undefined || data.id === null ? 0 : data.id
    user.name = textOf(data.name)
    user.firstName = textOf(data.first_name)
    user.lastName = textOf(data.last_name)
    user.profileImageUrl = textOf(data.profile_picture)
    user.facebookId = source === "disconnect" ? "" : textOf(data.facebook_id)
    user.profileImageId = data.picture_id ? data.picture_id : 0
    user.facebookToken = textOf(data.oauth_token)
    if (data.oauth_token_valid !== undefined) {
        user.facebookTokenValid = !!data.oauth_token_valid
        if (!user.facebookTokenValid && user.facebookId && gameNetwork.facebookItem) {
            gameNetwork.facebookItem.closeSession()
            gameNetwork.facebookItem.openSession()
        }
    }
    user.authenticationToken = api.__authenticationToken
    // A stored user id of 0 means no user yet: nothing of another player is kept then.
    if (previousUserId && previousUserId != 0 && previousUserId != user.userId) {
        clearUserData()
        if (source === "disconnect")
            authenticateLocalPlayer(true)
        gameNetwork.userIdChangedOrAboutToChange()
    }
    storeUserData()
    if (user.facebookId && !hadFacebookId)
        gameNetwork.facebookSuccessfullyConnected()
    else if (!user.facebookId && hadFacebookId)
        gameNetwork.facebookSuccessfullyDisconnected()
}

function clearUserData() {
    gameNetwork.userScores = {}
    gameNetwork.userAchievements = []
    gameNetwork.friends = []
    gameNetwork.openChallenges = []
    gameNetwork.pendingChallengesOfFriends = []
    gameNetwork.challengeHistory = []
    gameNetwork.pageForRequestMetaData = {}
    gameNetwork.userScoresInitiallySynced = false
    gameNetwork.userAchievementsInitiallySynced = false
    if (gameNetwork.leaderboardView)
        gameNetwork.leaderboardView.clearAllLeaderboards()
    localStorage.clearValue(localStorage.userScores)
    localStorage.clearValue(localStorage.userAchievements)
}

function isNewHighscore(relative, current, score, sortOrder) {
    if (relative)
        return true
    if (current === undefined || current === 0)
        return true
    if (sortOrder === "lowest_is_best")
        return score < current
    return score > current
}

function reportScore(relative, score, leaderboard, challengeIdArray, sortOrder, data, useForFacebook) {
    if (!leaderboard)
        leaderboard = gameNetwork.currentActiveLeaderboard
    var scores = copyOf(gameNetwork.userScores)
    var entry = scores[leaderboard] ? scores[leaderboard] : { pos: -1, value: -1 }
    var current = scores[leaderboard] ? entry.value : undefined
    // A first relative score counts from zero.
    var value = relative ? (current === undefined ? 0 : Number(current)) + score : score
    if (isNewHighscore(relative, current, score, sortOrder)) {
        entry.value = value
        scores[leaderboard] = entry
        localStorage.setValue(localStorage.userScores, scores)
        gameNetwork.userScores = scores
        gameNetwork.newHighscore(leaderboard, value)
    }
    if (relative) {
        api.reportRelativeScore(score, leaderboard, challengeIdArray, data)
    } else {
        askForWritePermissionBeforeSubmit()
        api.reportScore(score, leaderboard, challengeIdArray, sortOrder, data, useForFacebook !== false)
    }
    if (gameNetwork.gameCenterItem && gameNetwork.gameCenterItem.authenticated)
        gameNetwork.gameCenterItem.reportScore(score, leaderboard)
}

function findAchievement(key) {
    for (var i = 0; i < gameNetwork.achievements.length; ++i) {
        if (gameNetwork.achievements[i].key === key)
            return gameNetwork.achievements[i]
    }
    return null
}

function indexOfUserAchievement(list, key) {
    for (var i = 0; i < list.length; ++i) {
        if (list[i] && list[i].achievement && list[i].achievement.key === key)
            return i
    }
    return -1
}

function unlockAchievement(key, bannerVisible) {
    var achievement = findAchievement(key)
    if (!achievement) {
        console.debug("ERROR: ZTGN: unlockAchievement was called for key", key, "which is not in the achievements")
        return
    }
    incrementAchievement(key, achievement.target, bannerVisible)
}

// UTC in ISO 8601 to the second, as the server writes its times.
function utcTimeText(date) {
    function two(number) { return number < 10 ? "0" + number : String(number) }
    return date.getUTCFullYear() + "-" + two(date.getUTCMonth() + 1) + "-" + two(date.getUTCDate()) + "T"
            + two(date.getUTCHours()) + ":" + two(date.getUTCMinutes()) + ":" + two(date.getUTCSeconds()) + "Z"
}

function incrementAchievement(key, amount, bannerVisible) {
    if (amount === undefined)
        amount = 1
    var achievement = findAchievement(key)
    var achievements = copyOf(gameNetwork.userAchievements)
    var index = indexOfUserAchievement(achievements, key)
    var entry = index >= 0 ? achievements[index] : null
    if (entry && entry.awarded_at)
        return
    if (!entry) {
        entry = { achievement: { key: key }, counter: 0 }
        achievements.push(entry)
    }
    var target = achievement ? achievement.target : (entry.achievement.target ? entry.achievement.target : 1)
    entry.counter = Math.min((entry.counter ? entry.counter : 0) + amount, target)
    if (entry.counter >= target) {
        entry.awarded_at = utcTimeText(new Date())
        gameNetwork.achievementUnlocked(key)
    }
    localStorage.setValue(localStorage.userAchievements, achievements)
    gameNetwork.userAchievements = achievements
    askForWritePermissionBeforeSubmit()
    api.incrementAchievement(key, amount)
    if (gameNetwork.gameCenterItem && gameNetwork.gameCenterItem.authenticated)
        gameNetwork.gameCenterItem.reportAchievement(key, entry.counter / target * 100, bannerVisible)
}

function isValidUserName(name) {
    if (!name || name.length === 0)
        return false
    var first = name.charAt(0)
    if (first >= "0" && first <= "9")
        return false
    var lowerName = name.toLowerCase()
    if (lowerName.indexOf(qsTr("me").toLowerCase() + " (") >= 0 || lowerName.indexOf(qsTr("player").toLowerCase()) >= 0)
        return false
    for (var i = 0; i < offensiveWords.length; ++i) {
        if (lowerName.indexOf(offensiveWords[i]) >= 0)
            return false
    }
    return true
}

function updateUserName(name) {
    if (!isValidUserName(name))
        return false
    user.name = name
    storeUserData()
    api.updateUser(user)
    return true
}

function askForWritePermissionBeforeSubmit() {
    var facebook = gameNetwork.facebookItem
    if (!facebook || !gameNetwork.askForWritePermissionsAtScoreOrAchievementSubmit || !user.facebookId
            || gameNetwork.grantedFacebookWritePermissions)
        return
    facebook.postGraphRequest("")
}

// True, with one error line and facebookConnectionError, when the Facebook call can't be made here:
// on a desktop platform, or (when it needs one) without the plug-in's facebook object.
function facebookUnavailable(call, needsPlugin) {
    var reason = system.desktopPlatform ? "is not available on desktop platforms"
               : needsPlugin && !gameNetwork.facebookItem ? "needs the Facebook plug-in, which is missing" : ""
    if (!reason)
        return false
    console.debug("ERROR: ZTGN: Facebook:", call, reason)
    gameNetwork.facebookConnectionError({ errorId: "notAvailableOnThisPlatform", message: call + " " + reason })
    return true
}

function disconnectFacebookUser(clearLocalData, clearServerDataOfFacebookUser) {
    if (gameNetwork.facebookItem)
        gameNetwork.facebookItem.closeSession()
    clearUserData()
    gameNetwork.userIdChangedOrAboutToChange()
    if (clearServerDataOfFacebookUser)
        api.deleteUserFacebookData(user)
    if (clearLocalData !== false)
        gameNetwork.clearAllStoragesLocally()
    api.disconnectDevice(user)
    user.facebookId = ""
    user.facebookToken = ""
    storeUserData()
}

function pagingKeys(request) {
    var leaderboard = request.leaderboard !== undefined ? request.leaderboard : request.key
    var friendsOnly = request.friendsOnly !== undefined ? request.friendsOnly : request.friends_only
    var timeLimit = request.timeLimit !== undefined ? request.timeLimit : request.time_limit
    return ["get_scores", String(leaderboard), String(!!friendsOnly), String(timeLimit)]
}

function pagingEntry(request) {
    var level = gameNetwork.pageForRequestMetaData
    var keys = pagingKeys(request)
    for (var i = 0; i < keys.length && level; ++i)
        level = level[keys[i]]
    return level ? level : null
}

function updatePagingEntry(request, data) {
    if (!data)
        return
    var state = copyOf(gameNetwork.pageForRequestMetaData)
    var keys = pagingKeys(request)
    var level = state
    for (var i = 0; i < keys.length - 1; ++i) {
        if (!level[keys[i]] || typeof level[keys[i]] !== "object")
            level[keys[i]] = {}
        level = level[keys[i]]
    }
    level[keys[keys.length - 1]] = { page: data.page, perPage: data.per_page, totalCount: data.total_count,
                                     showLoadMoreButton: data.total_count > data.per_page,
                                     perSinglePage: gameNetwork.defaultPerPageCount, lastUpdated: String(Date.now()),
                                     pos: data.pos, value: data.value }
    gameNetwork.pageForRequestMetaData = state
}

function getLeaderboardScores(leaderboard, timeLimit, friendsOnly) {
    var request = { action: "get_scores", leaderboard: leaderboard ? leaderboard : gameNetwork.currentActiveLeaderboard,
                    friendsOnly: friendsOnly, timeLimit: timeLimit }
    var entry = pagingEntry(request)
    api.getLeaderboardScores(request.leaderboard, friendsOnly, timeLimit, entry ? entry.page : 1,
                             entry ? entry.perPage : gameNetwork.defaultPerPageCount)
}

// One more page from the top: the same request with a page size grown by one page.
function loadMore(request) {
    var entry = pagingEntry(request)
    var leaderboard = request.leaderboard ? request.leaderboard : gameNetwork.currentActiveLeaderboard
    api.getLeaderboardScores(leaderboard, request.friendsOnly, request.timeLimit, undefined,
                             (entry && entry.perPage ? entry.perPage : gameNetwork.defaultPerPageCount)
                             + gameNetwork.defaultPerPageCount)
}

function requestQueued(request) {
    OfflineHandler.keepRequest(request)
}

function requestSent(request) {
    OfflineHandler.requestSent(request)
}

function connectionErrorChanged() {
    OfflineHandler.connectionStateChanged()
    if (!api.connectionError)
        connectionReturned()
}

function retryConnection() {
    OfflineHandler.retryConnection()
}
