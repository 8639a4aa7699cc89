// Keeps the game network's write requests until the server has taken them, so that scores and
// achievements made offline, or still unsent when the game quits, reach the server later. A write is
// stored when it is made and leaves the store only when the server has taken it: an answer of success,
// or the refusal that says it has that very packet already. Two kinds of failure are told apart:
// - the service can't be reached or is unavailable (the api's connection error): the writes keep their
//   order, and the request that failed first is tried again with a growing pause, for as long as it takes;
// - the server answered the request with an error: that request is set aside, still stored, and goes
//   again when the next session starts (a login, the next start, sync()); the requests behind it go on.
// Nothing is dropped for failing; only a store past offlineSendingQueueLimit loses its oldest writes.
// Included by ZanthGameNetworkLogic.js; works on the ids of ZanthGameNetwork.

// A login is never kept: the next start or reconnection logs in by itself.
var writeActions = ["save_level", "submit_score", "add_score", "add_achievement_progress", "create_challenge",
                    "accept_challenge", "update_user", "disconnect_device", "delete_user_facebook_data"]

var offlineSendingQueue = []
// False until the stored queue has been read: writes made before (from another item's onCompleted)
// wait in offlineSendingQueue and join the stored ones then.
var storedQueueRead = false
// Ids of the stored writes the server answered with an error in this run: they wait for the next session.
var setAsideIds = {}
// Ids of the stored writes whose refusal for the session has asked for a new login in this run.
var reloginAskedIds = {}
// Ids of the writes the size bound dropped: one that fails later is not stored again.
var droppedIds = {}
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
    if (storedQueueRead)
        localStorage.setValue(localStorage.localOfflineSendingQueue, offlineSendingQueue)
}

// Reads the stored queue (the first start stores an empty one). Writes made before it was read come
// after the stored ones, and like them go out from the store once a session starts.
function initializeAfterAppStart() {
    var stored = localStorage.readValue(localStorage.localOfflineSendingQueue, undefined)
    if (!Array.isArray(stored)) {
        if (stored !== undefined)
            console.debug("ERROR: OfflineHandler: the stored offline queue is no list and was dropped")
        stored = []
    }
    var early = offlineSendingQueue
    offlineSendingQueue = stored
    storedQueueRead = true
    for (var i = 0; i < early.length; ++i) {
        if (indexOfStored(early[i]) < 0)
            offlineSendingQueue.push(early[i])
    }
    api.setSendRequestQueue(api.getSendRequestQueue().filter(function(request) { return !isWriteRequest(request) }))
    applySizeBound()
    storeOfflineSendingQueue()
}

// Stores a write request (without its callbacks) unless it is stored already.
function keepRequest(request) {
    if (!isWriteRequest(request) || indexOfStored(request) >= 0 || droppedIds[request.__requestId])
        return
    request.__kept = true
    offlineSendingQueue.push(copyOf(request))
    applySizeBound()
    storeOfflineSendingQueue()
}

// A store that would grow without end keeps its newest writes.
function applySizeBound() {
    var limit = gameNetwork.offlineSendingQueueLimit
    while (limit > 0 && offlineSendingQueue.length > limit) {
        var oldest = offlineSendingQueue.shift()
        droppedIds[oldest.__requestId] = true
        console.debug("ERROR: OfflineHandler: more than", limit, "writes wait for the server"
                      + " (offlineSendingQueueLimit), the oldest was dropped:", api.maskedText(oldest))
    }
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

// The server has taken the request: its stored copy is done with.
function requestAnswered(request) {
    var index = indexOfStored(request)
    delete setAsideIds[request.__requestId]
    delete reloginAskedIds[request.__requestId]
    if (index < 0)
        return
    offlineSendingQueue.splice(index, 1)
    storeOfflineSendingQueue()
}

// The server answered the packet, so it can't be the one it takes later: the write goes as a new one.
function forgetPacket(stored) {
    var fields = ["token", "timestamp", "requestTimeStamp", "__sentToken", "__sentTimestamp"]
    for (var i = 0; i < fields.length; ++i)
        delete stored[fields[i]]
}

// The server answered the write with an error: it waits, still stored, for the next session, as a new
// request unless keepPacket.
function setAside(request, reason, keepPacket) {
    var index = indexOfStored(request)
    if (index < 0)
        return
    if (!keepPacket)
        forgetPacket(offlineSendingQueue[index])
    setAsideIds[request.__requestId] = true
    console.debug("WARNING: OfflineHandler: the server refused the", request.action, "request (" + reason
                  + "), it stays stored and goes again when the next session starts")
    storeOfflineSendingQueue()
}

// The server refused the write for the session: true when a new login is wanted for it. A write that
// had its new login in this run and is refused again waits for the next session instead, so that no
// refusal makes logins without end.
function refusedForSession(request, reason) {
    var index = indexOfStored(request)
    if (index < 0)
        return true
    if (reloginAskedIds[request.__requestId]) {
        setAside(request, reason)
        return false
    }
    reloginAskedIds[request.__requestId] = true
    forgetPacket(offlineSendingQueue[index])
    storeOfflineSendingQueue()
    return true
}

// Sends every stored request that is not already in flight, in the store's order; each gets a fresh
// counter and token. A stored write already waiting in the api (made while a login or the request that
// ended an outage was on its way) takes its place in that order too, behind the older ones: the server
// must see a player's writes in the order they were made (the last name chosen is the name). The writes
// set aside go only when a session starts.
function sendStoredRequests(sessionStarts) {
    api.sendTogether(function() {
        var waiting = api.getSendRequestQueue()
        var queued = {}
        var others = []
        for (var i = 0; i < waiting.length; ++i) {
            if (isWriteRequest(waiting[i]) && indexOfStored(waiting[i]) >= 0)
                queued[waiting[i].__requestId] = waiting[i]
            else
                others.push(waiting[i])
        }
        api.setSendRequestQueue(others)
        var stored = offlineSendingQueue.slice()
        for (var j = 0; j < stored.length; ++j) {
            var id = stored[j].__requestId
            if (queued[id]) {
                api.sendRequest(queued[id])
                continue
            }
            if (setAsideIds[id]) {
                if (!sessionStarts)
                    continue
                delete setAsideIds[id]
            }
            if (!api.isRequestOnItsWay(stored[j]))
                api.sendRequest(copyOf(stored[j]))
        }
    })
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
// in their order, the reads dropped.
function moveApiQueue() {
    var queue = api.getSendRequestQueue()
    api.setSendRequestQueue([])
    for (var i = 0; i < queue.length; ++i)
        keepRequest(queue[i])
}

// The back-off: the first try follows offlineRetryInterval after the connection was lost, each further
// one twice as late, up to offlineRetryMaxInterval; the first answer ends it, and the next loss of the
// connection starts again at offlineRetryInterval.
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
