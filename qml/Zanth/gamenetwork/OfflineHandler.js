// Keeps the game network's write requests until the server has answered them, so that scores and
// achievements made offline, or still unsent when the game quits, reach the server later. A write is
// stored when it is made and leaves the store only with its answer (a refusal is an answer too, except
// one that asks for a new login: the write goes again after it). While the service can't be reached,
// the request that failed first is tried again with a growing pause.
// Included by ZanthGameNetworkLogic.js; works on the ids of ZanthGameNetwork.

// A login is never kept: the next start or reconnection logs in by itself.
var writeActions = ["save_level", "submit_score", "add_score", "add_achievement_progress", "create_challenge",
                    "accept_challenge", "update_user", "disconnect_device", "delete_user_facebook_data"]

var offlineSendingQueue = []
// A write refused this often for its session is refused for what it is: it is dropped.
var reloginRefusalsBeforeDropping = 3
// Milliseconds until the next try while offline; 0 while online.
var retryDelay = 0

function isWriteRequest(request) {
    return !!request && writeActions.indexOf(request.action) >= 0
}

function copyOf(request) {
    return JSON.parse(JSON.stringify(request))
}

function indexOfStored(request) {
    for (var i = 0; i < offlineSendingQueue.length; ++i) {
        if (api.isSameRequest(offlineSendingQueue[i], request))
            return i
    }
    return -1
}

function storeOfflineSendingQueue() {
    localStorage.setValue(localStorage.localOfflineSendingQueue, offlineSendingQueue)
}

// Reads the stored queue; the first start stores an empty one.
function initializeAfterAppStart() {
    var stored = localStorage.readValue(localStorage.localOfflineSendingQueue, undefined)
    if (Array.isArray(stored)) {
        offlineSendingQueue = stored
        return
    }
    if (stored !== undefined)
        console.debug("ERROR: OfflineHandler: the stored offline queue is no list and was dropped")
    offlineSendingQueue = []
    storeOfflineSendingQueue()
}

// Stores a write request (without its callbacks) unless it is stored already.
function keepRequest(request) {
    if (!isWriteRequest(request) || indexOfStored(request) >= 0)
        return
    request.__kept = true
    offlineSendingQueue.push(copyOf(request))
    storeOfflineSendingQueue()
}

// The stored copy learns the token and counter the write left with, before any answer: should the game
// end before one, the next start can send the same packet again.
function requestSent(request) {
    var index = request && request.__kept ? indexOfStored(request) : -1
    if (index < 0)
        return
    var stored = offlineSendingQueue[index]
    if (stored.__sentToken === request.__sentToken && stored.__sentTimestamp === request.__sentTimestamp)
        return
    var fields = ["token", "timestamp", "requestTimeStamp", "__sentToken", "__sentTimestamp"]
    for (var i = 0; i < fields.length; ++i) {
        if (request[fields[i]] === undefined)
            delete stored[fields[i]]
        else
            stored[fields[i]] = request[fields[i]]
    }
    storeOfflineSendingQueue()
}

// The server answered the request: its stored copy is done with.
function requestAnswered(request) {
    var index = indexOfStored(request)
    if (index < 0)
        return
    offlineSendingQueue.splice(index, 1)
    storeOfflineSendingQueue()
}

function dropRequest(request, reason) {
    if (indexOfStored(request) < 0)
        return
    console.debug("ERROR: OfflineHandler: the request", api.maskedText(request), "was dropped:", reason)
    requestAnswered(request)
}

// The server refused the write for the session: it stays and goes again after a new login, unless
// sessions keep refusing it. True when it was dropped (then no new login is wanted for it).
function requestRefusedForSession(request) {
    var index = indexOfStored(request)
    if (index < 0)
        return false
    var stored = offlineSendingQueue[index]
    stored.__reloginRefusals = (stored.__reloginRefusals ? stored.__reloginRefusals : 0) + 1
    if (stored.__reloginRefusals >= reloginRefusalsBeforeDropping) {
        dropRequest(request, "refused " + stored.__reloginRefusals + " times with a new login in between")
        return true
    }
    storeOfflineSendingQueue()
    return false
}

// Sends every stored request that is not already on its way; each gets a fresh counter and token.
function sendStoredRequests() {
    var stored = offlineSendingQueue.slice()
    for (var i = 0; i < stored.length; ++i) {
        if (!api.isRequestOnItsWay(stored[i]))
            api.sendRequest(copyOf(stored[i]))
    }
}

function showMessage(level, title, text) {
    if (gameNetwork.errorReportingLevel >= level)
        nativeUtils.displayMessageBox(title, text)
}

// Every error of the api and every refusal of the server comes here.
function handleConnectionError(errorData) {
    if (!errorData)
        return
    var request = errorData.serverRequest
    if (errorData.code === 2) {
        var serverData = errorData.serverResponse && errorData.serverResponse.data ? errorData.serverResponse.data : {}
        showMessage(1, "GameNetwork Error", "An error with code " + serverData.code
                    + " occured when connecting to the GameNetwork Server. Please try again later.\n\nError Message: "
                    + serverData.message)
    } else if (errorData.code === 1) {
        if (errorData.firstTimeConnectionErrorOccured)
            showMessage(2, "Connection Error", "Could not connect to the internet. The services of Zanth Game Network "
                        + "will be available again when you have internet access.")
        if (errorData.requestGivenUp) {
            dropRequest(request, "the server's answers could not be read")
            return
        }
        keepRequest(request)
        if (api.connectionError)
            moveApiQueue()
    } else if (errorData.code === 90) {
        showMessage(3, "No Login Request Sent", "This request was not a login although user is not authenticated. "
                    + "Thus this request will be saved (if write request) or discarded (if read request). Request infos:"
                    + api.maskedText(request))
        keepRequest(request)
    } else {
        console.debug("ERROR: unknown error code in OfflineHandler:", api.maskedText(errorData))
        showMessage(1, "Unknown error code in OfflineHandler", "Handle this error in OfflineHandler: "
                    + api.maskedText(errorData))
    }
}

// Offline, the requests waiting in the api would only fail one by one: the writes are kept for later,
// the reads dropped.
function moveApiQueue() {
    var queue = api.getSendRequestQueue()
    api.setSendRequestQueue([])
    for (var i = 0; i < queue.length; ++i)
        keepRequest(queue[i])
}

// The back-off: the first try follows offlineRetryInterval after the connection was lost, each further
// one twice as late, up to offlineRetryMaxInterval; an answer ends it.
function connectionStateChanged() {
    if (api.connectionError) {
        retryDelay = Math.max(1, gameNetwork.offlineRetryInterval)
        offlineRetryTimer.interval = retryDelay
        offlineRetryTimer.restart()
    } else {
        retryDelay = 0
        offlineRetryTimer.stop()
    }
}

function retryConnection() {
    if (!api.connectionError)
        return
    api.retryConnection()
    retryDelay = Math.min(retryDelay * 2, Math.max(retryDelay, gameNetwork.offlineRetryMaxInterval))
    offlineRetryTimer.interval = retryDelay
    offlineRetryTimer.restart()
}
