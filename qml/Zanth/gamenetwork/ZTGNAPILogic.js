// Queue and transfer of ZanthGameNetworkAPI. One copy runs per api (no library marker), so the queue
// and the transfer in flight belong to that api.
.import Zanth 1.0 as Zanth

var sendRequestQueue = []
// The XMLHttpRequest of the request in flight.
var transfer = null
// While an answer is dispatched, requests made by its handlers wait, so that they go out in order and
// after the connection state has been updated.
var dispatching = false
var requestNumber = 0

function defaultHostingUrl() {
    var configured = system.getConfigValue("gameNetworkHostingUrl")
    return configured ? String(configured) : "https://gamenetwork.zanth.io/api/"
}

function getSendRequestQueue() {
    return sendRequestQueue
}

function setSendRequestQueue(queue) {
    sendRequestQueue = queue ? queue : []
    updateWaitingForResponse()
}

function addToSendRequestQueue(request) {
    sendRequestQueue.push(request)
}

// Every request keeps one id from its first sending on, through the offline store and restarts; the
// id is the client's own and never sent.
function newRequestId() {
    requestNumber++
    return Date.now() + "-" + requestNumber + "-" + Math.floor(Math.random() * 1000000)
}

function sameRequest(first, second) {
    return !!first && !!second && first.__requestId !== undefined && first.__requestId === second.__requestId
}

// The JSON text sent: functions and the client's own "__" members stay out.
function wireText(request) {
    var sent = {}
    for (var key in request) {
        if (key.indexOf("__") !== 0)
            sent[key] = request[key]
    }
    return JSON.stringify(sent)
}

// JSON text for logs and message boxes: login tokens never show, nor the client's own "__" members.
function maskedText(value) {
    return JSON.stringify(value, function(key, member) {
        if (key.indexOf("__") === 0)
            return undefined
        if ((key === "token" || key === "oauth_token") && member !== undefined && member !== null && member !== "")
            return "***"
        return member
    })
}

function platformName() {
    var platforms = [[Zanth.System.IOS, "iOS"], [Zanth.System.Android, "Android"], [Zanth.System.Mac, "Mac"],
                     [Zanth.System.Windows, "Windows"], [Zanth.System.Symbian, "Symbian"],
                     [Zanth.System.Meego, "Meego"], [Zanth.System.Linux, "Linux"],
                     [Zanth.System.BlackBerry, "BlackBerry"]]
    for (var i = 0; i < platforms.length; ++i) {
        if (system.isPlatform(platforms[i][0]))
            return platforms[i][1]
    }
    return "Unknown Platform"
}

function getEncryptedRequest(request) {
    return api.url + encodeURIComponent(Zanth.GibberishAES.enc(wireText(request), api.password))
}

function isRequestWithActionInQueue(action, key) {
    for (var i = 0; i < sendRequestQueue.length; ++i) {
        if (sendRequestQueue[i].action === action && sendRequestQueue[i].key === key)
            return true
    }
    return false
}

function isRequestOnItsWay(request) {
    if (sameRequest(api.currentlySendingRequest, request))
        return true
    for (var i = 0; i < sendRequestQueue.length; ++i) {
        if (sameRequest(sendRequestQueue[i], request))
            return true
    }
    return false
}

// A write whose transfer failed after it left may have reached the server. While the session that sent
// it lasts, it goes out again as the very same packet (token and counter), so that the server's counter
// check tells: it is either taken now or refused as already received.
function isSamePacketResend(request) {
    return !!request.__kept && request.action !== "login" && request.__sentTimestamp !== undefined
            && api.authenticated && !!api.__authenticationToken && request.__sentToken === api.__authenticationToken
}

// Queues the request; a login goes to the front, and so does a write sent again as the same packet,
// which must reach the server before any later counter of its session. It is sent as soon as nothing
// is in flight.
function sendRequest(request) {
    if (!request || !request.action) {
        console.debug("ERROR: ZanthGameNetworkAPI: a request without action was not sent")
        return
    }
    // A request without JSON text (data holding itself) could never leave: in flight, it would hold
    // every later request back for good.
    try {
        wireText(request)
    } catch (exception) {
        console.debug("ERROR: ZanthGameNetworkAPI: the", request.action, "request has no JSON text (" + exception
                      + "), it was not sent")
        return
    }
    var isNew = request.__requestId === undefined
    if (isNew)
        request.__requestId = newRequestId()
    if (request.action === "login") {
        sendRequestQueue.unshift(request)
    } else if (isSamePacketResend(request)) {
        var at = 0
        while (at < sendRequestQueue.length && sendRequestQueue[at].action === "login")
            ++at
        sendRequestQueue.splice(at, 0, request)
    } else {
        sendRequestQueue.push(request)
    }
    if (isNew)
        api.requestQueued(request)
    sendFirstRequestFromQueue()
}

// Requests made by work go out only once all of them are queued, so that their order is the queue's.
function sendTogether(work) {
    var wasDispatching = dispatching
    dispatching = true
    try {
        work()
    } finally {
        dispatching = wasDispatching
    }
    sendFirstRequestFromQueue()
}

function sendFirstRequestFromQueue() {
    if (canTransmit() && sendRequestQueue.length > 0)
        transmit(sendRequestQueue.shift())
    updateWaitingForResponse()
}

function canTransmit() {
    return !dispatching && api.initialized && !api.pauseRequests && api.currentlySendingRequest === undefined
}

// While offline, the request that began the error is sent again to see whether the service is back.
function retryConnection() {
    var probe = api.firstRequestForConnectionError
    if (api.connectionError && probe && canTransmit())
        transmit(probe)
    updateWaitingForResponse()
}

function updateWaitingForResponse() {
    api.waitingForResponse = api.currentlySendingRequest !== undefined || api.pauseRequests
}

function isProbe(request) {
    return sameRequest(request, api.firstRequestForConnectionError)
}

function stamp(request) {
    if (isSamePacketResend(request)) {
        request.token = request.__sentToken
        request.timestamp = request.__sentTimestamp
        request.__resent = true
        return
    }
    request.__resent = false
    if (api.authenticated && !request.ignoreToken)
        request.token = api.__authenticationToken
    else
        delete request.token
    if (request.action === "login") {
        delete request.timestamp
    } else {
        request.timestamp = api.timestamp
        api.timestamp = api.timestamp + 1
    }
    request.requestTimeStamp = Date.now()
    request.__sentToken = request.token
    request.__sentTimestamp = request.timestamp
}

function transmit(request) {
    // While offline a new request is reported at once; only the request that began the error goes out
    // again, when the back-off says so. A login is sent as it is: its answer ends the error just as well.
    if (api.connectionError && request.action !== "login" && !isProbe(request)) {
        forwardConnectionError(request, connectionErrorObject(request))
        sendFirstRequestFromQueue()
        return
    }
    if (api.simulateConnectionError) {
        forwardConnectionError(request, connectionErrorObject(request))
        sendFirstRequestFromQueue()
        return
    }
    // The same request may wait a second time (sent again from the offline store while it probed).
    sendRequestQueue = sendRequestQueue.filter(function(queued) { return !sameRequest(queued, request) })
    api.currentlySendingRequest = request
    api.waitingForResponse = true
    stamp(request)
    api.requestSent(request)
    var xhr = new XMLHttpRequest()
    transfer = xhr
    xhr.onreadystatechange = function() {
        if (xhr.readyState === XMLHttpRequest.DONE)
            transferDone(xhr, request)
    }
    xhr.open("GET", getEncryptedRequest(request))
    xhr.send()
}

// Statuses of a gateway that could not reach the service, or of a service down for the moment: the
// service itself has not answered the request.
var unavailableStatuses = [502, 503, 504]

// The service can't be reached or is unavailable when there is no answer (no connection, a silent
// server ended by the network's transfer timeout), a gateway's status, or an answer that can't be read
// (a proxy's page): the request's fate is unknown, and it counts as offline. Any other HTTP status is
// the service's answer to this request: an error answer like a refusal.
function transferDone(xhr, request) {
    if (transfer !== xhr)
        return
    transfer = null
    if (api.currentlySendingRequest !== request)
        return
    var status = xhr.status
    var text = xhr.responseText
    if (status === 0 || (status >= 200 && status <= 299 && !text))
        serviceUnavailable(request, connectionErrorObject(request))
    else if (unavailableStatuses.indexOf(status) >= 0)
        serviceUnavailable(request, unreadableAnswerError(request, "HTTP status " + status))
    else if (status < 200 || status > 299)
        answerReceived(request, { status: "error", data: { code: status, message: "HTTP status " + status },
                                  httpStatus: status }, "")
    else
        serverResultCallback(text, request)
}

// Ends a transfer still in flight without reporting it (the api is going away).
function abortTransfer() {
    var xhr = transfer
    transfer = null
    if (xhr)
        xhr.abort()
}

function connectionErrorObject(request) {
    return { code: 1, errorType: "connectionError", serverRequest: request,
             message: "Could not establish internet connection" }
}

function emitError(errorData) {
    try {
        api.error(errorData)
    } catch (exception) {
        console.debug("ERROR: ZanthGameNetworkAPI: an error handler failed:", exception)
    }
}

function forwardConnectionError(request, errorObject) {
    var reported
    if (!api.connectionError) {
        reported = true
        api.firstRequestForConnectionError = request
        errorObject.firstTimeConnectionErrorOccured = true
    } else {
        reported = !isProbe(request)
        errorObject.firstTimeConnectionErrorOccured = false
    }
    if (api.currentlySendingRequest === request)
        api.currentlySendingRequest = undefined
    api.connectionError = true
    if (reported)
        emitError(errorObject)
    updateWaitingForResponse()
}

function unreadableAnswerError(request, reason) {
    var errorObject = connectionErrorObject(request)
    errorObject.message = "The answer of the server could not be read: " + reason
    return errorObject
}

// However often it happens, the request is not given up: the back-off of the owner sends it again.
function serviceUnavailable(request, errorObject) {
    forwardConnectionError(request, errorObject)
    sendFirstRequestFromQueue()
}

function parseAnswer(text) {
    if (!text)
        return null
    try {
        var answer = JSON.parse(text)
        return answer !== null && typeof answer === "object" && !Array.isArray(answer) ? answer : null
    } catch (exception) {
        return null
    }
}

function serverResultCallback(text, request) {
    var plainText = Zanth.GibberishAES.dec(text, api.password)
    var response = parseAnswer(plainText)
    if (!response) {
        serviceUnavailable(request, unreadableAnswerError(request, plainText ? "it is no JSON object"
                                                                             : "it could not be decrypted"))
        return
    }
    if (request.action === "login" && response.status === "success"
            && !(response.data && response.data.token && response.data.user)) {
        serviceUnavailable(request, unreadableAnswerError(request, "the login answer has no token or no user"))
        return
    }
    answerReceived(request, response, plainText)
}

// The service answered the request: it is dispatched, the connection counts as back, and the next
// request goes out.
function answerReceived(request, response, plainText) {
    var isLogin = request.action === "login"
    api.requestCounter = api.requestCounter + 1
    api.lastRequest = wireText(request)
    api.lastResponse = plainText ? plainText : JSON.stringify(response)
    if (isLogin) {
        if (response.status === "success")
            api.__authenticationToken = response.data.token
        else
            console.debug("ERROR: user could not successfully be logged in, response status was", response.status)
    }
    if (api.currentlySendingRequest === request)
        api.currentlySendingRequest = undefined
    dispatching = true
    guarded(request, function() { api.responseFinished(request, response) })
    if (isLogin && response.status === "success")
        guarded(request, function() { api.authenticated = true })
    if (typeof request.callback === "function")
        guarded(request, function() { request.callback(request, response) })
    dispatching = false
    api.connectionError = false
    sendFirstRequestFromQueue()
}

// A failing handler of one answer must not keep the next request from going out.
function guarded(request, step) {
    try {
        step()
    } catch (exception) {
        console.debug("ERROR: ZanthGameNetworkAPI: handling the answer to", request.action, "failed:", exception)
    }
}
