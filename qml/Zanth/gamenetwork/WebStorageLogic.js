// Local records, the request queue and the synchronisation of WebStorage. One copy runs per
// WebStorage (no library marker); works on its ids.
//
// A local record is {data, metaData: {inServerSync, updatedAt}}, updatedAt being the server's time of
// the last write that reached it; the all-keys entry maps each prefixed key to {updatedAt}.

var deletedValue = "_deleted_"
var requestQueueKey = "_requestQueue"

var requestQueue = []
// The request sent and not yet answered; after a failed transfer it is sent again on the next login
// or when the connection returns.
var requestInFlight = null
var completed = false
var authenticationPending = false
// While an answer is handled, requests it makes wait, so that they go out with the metadata it wrote.
var handlingAnswer = false

function modifiedKey(key) {
    key = String(key)
    return key.indexOf(webStorage.__keyPrefix) === 0 ? key : webStorage.__keyPrefix + key
}

function plainKey(key) {
    key = String(key)
    return key.indexOf(webStorage.__keyPrefix) === 0 ? key.substring(webStorage.__keyPrefix.length) : key
}

function copyOf(value) {
    return value === undefined ? undefined : JSON.parse(JSON.stringify(value))
}

function isPlainObject(value) {
    return value !== null && typeof value === "object" && !Array.isArray(value)
}

function parsedValue(text) {
    if (typeof text !== "string")
        return text
    try {
        return JSON.parse(text)
    } catch (exception) {
        return text
    }
}

function getRecord(key) {
    var name = modifiedKey(key)
    if (!storage.hasValue(name))
        return undefined
    var record = storage.getValue(name)
    return isPlainObject(record) ? record : undefined
}

function putRecord(key, record) {
    storage.setValue(modifiedKey(key), record)
}

function getValue(key) {
    var record = getRecord(key)
    return record ? record.data : undefined
}

function getMetaValue(key) {
    var record = getRecord(key)
    return record ? record.metaData : undefined
}

function setMetaValue(key, metaData) {
    var record = getRecord(key)
    if (!record)
        return
    record.metaData = metaData
    putRecord(key, record)
}

function getAllKeysLocal() {
    var all = getValue(webStorage.allKeysIdentifier)
    return isPlainObject(all) ? all : {}
}

function addToAllKeys(key, updatedAt) {
    key = modifiedKey(key)
    if (key === webStorage.allKeysIdentifier)
        return
    var all = getAllKeysLocal()
    if (all[key] && all[key].updatedAt === updatedAt)
        return
    all[key] = { updatedAt: updatedAt }
    setValue(webStorage.allKeysIdentifier, all)
}

function removeFromAllKeys(key) {
    key = modifiedKey(key)
    var all = getAllKeysLocal()
    if (!all[key])
        return
    delete all[key]
    setValue(webStorage.allKeysIdentifier, all)
}

function isIgnoredKey(key) {
    var ignored = webStorage.ignoredKeysForServerSyncMap
    return !!ignored && (!!ignored[key] || !!ignored[plainKey(key)])
}

// A value without JSON text (undefined, a function, an object that holds itself) can be neither stored
// nor sent: writing it would wipe the key's value here and on the server.
function hasJsonText(value) {
    try {
        return typeof JSON.stringify(value) === "string"
    } catch (exception) {
        return false
    }
}

function setValue(key, value, callback) {
    if (!hasJsonText(value)) {
        console.debug("ERROR: WebStorage: the value for", plainKey(key), "has no JSON text (undefined, a function"
                      + " or an object that holds itself), nothing was written")
        return
    }
    key = modifiedKey(key)
    var record = getRecord(key)
    if (!record) {
        record = { data: value, metaData: { inServerSync: false } }
    } else {
        var metaData = record.metaData ? record.metaData : {}
        if (webStorage.initiallyInServerSync && metaData.inServerSync
                && JSON.stringify(value) === JSON.stringify(record.data))
            return
        record.data = value
        metaData.inServerSync = false
        record.metaData = metaData
    }
    putRecord(key, record)
    if (isIgnoredKey(key))
        return
    queueRequest({ action: "set_data", key: key, value: value, userCallback: callback,
                   ignoreToken: !webStorage.perUserStore })
}

function clearValue(key, callback) {
    setValue(key, deletedValue, callback)
    storage.clearValue(modifiedKey(key))
    removeFromAllKeys(key)
}

function clearAll() {
    var all = getAllKeysLocal()
    for (var key in all)
        clearValue(key)
}

function clearAllLocally() {
    storage.clearAll()
    requestQueue = []
    storeQueue()
}

function synchWithServer() {
    getServerValue(webStorage.allKeysIdentifier)
}

function getServerValue(keys, callback) {
    var names = Array.isArray(keys) ? keys.map(modifiedKey) : [modifiedKey(keys)]
    queueRequest({ action: "get_data", keys: names, userCallback: callback, ignoreToken: !webStorage.perUserStore })
}

function isWrite(request) {
    return request.action === "set_data" || request.action === "set_user_data"
}

// The queue as stored: the writes only, the one in flight first, without callbacks.
function storeQueue() {
    // Before completion the stored queue has not been read back yet.
    if (!completed)
        return
    var writes = []
    var pending = requestInFlight ? [requestInFlight].concat(requestQueue) : requestQueue
    for (var i = 0; i < pending.length; ++i) {
        if (!isWrite(pending[i]))
            continue
        var stored = copyOf(pending[i])
        if (typeof pending[i].userCallback === "function")
            stored.__userCallbackLost = true
        writes.push(stored)
    }
    storage.setValue(requestQueueKey, writes)
}

function queueRequest(request) {
    requestQueue.push(request)
    storeQueue()
    sendNext()
}

function api() {
    return webStorage.gameNetworkItem ? webStorage.gameNetworkItem.api : null
}

function sendNext() {
    if (!completed || handlingAnswer || requestInFlight || requestQueue.length === 0)
        return
    send(requestQueue.shift())
}

function send(request) {
    var gameNetworkApi = api()
    if (!gameNetworkApi) {
        console.debug("ERROR: WebStorage: there is no gameNetworkItem to synchronise", webStorage.databaseName, "with")
        return
    }
    requestInFlight = request
    webStorage.inServerSync = false
    storeQueue()
    request.callback = answered
    if (isWrite(request)) {
        var metaData = getMetaValue(request.key)
        if (metaData && metaData.updatedAt)
            request.client_updated_at = metaData.updatedAt
        gameNetworkApi.setValue(request)
    } else {
        gameNetworkApi.getValue(request)
    }
}

// The request in flight goes out again unless the game network still has it on its way; without one
// the queue starts.
function resendOrStart() {
    if (!completed)
        return
    if (!requestInFlight) {
        sendNext()
        return
    }
    var gameNetworkApi = api()
    if (gameNetworkApi && !gameNetworkApi.isRequestOnItsWay(requestInFlight))
        send(requestInFlight)
}

function handleAuthentication() {
    if (!completed) {
        authenticationPending = true
        return
    }
    authenticationPending = false
    resendOrStart()
    synchWithServer()
}

function initialize() {
    var stored = storage.hasValue(requestQueueKey) ? storage.getValue(requestQueueKey) : undefined
    if (Array.isArray(stored)) {
        requestQueue = stored.concat(requestQueue)
    } else {
        if (stored !== undefined)
            console.debug("ERROR: WebStorage: the stored request queue is no list and was dropped")
        storage.setValue(requestQueueKey, requestQueue)
    }
    completed = true
    var gameNetwork = webStorage.gameNetworkItem
    if (authenticationPending || (gameNetwork && gameNetwork.authenticated))
        handleAuthentication()
    else
        sendNext()
}

function answered(request, response) {
    var gameNetworkApi = api()
    if (!requestInFlight || !gameNetworkApi || !gameNetworkApi.isSameRequest(request, requestInFlight))
        return
    requestInFlight = null
    handlingAnswer = true
    try {
        if (response.status === "success") {
            if (isWrite(request))
                handleWriteAnswer(request, response.data ? response.data : {})
            else
                handleReadAnswer(request, isPlainObject(response.data) ? response.data : {})
        } else {
            console.debug("ERROR: WebStorage: Response status was error")
        }
    } finally {
        handlingAnswer = false
    }
    if (requestQueue.length > 0) {
        sendNext()
    } else if (!requestInFlight) {
        webStorage.inServerSync = true
        if (!webStorage.initiallyInServerSync)
            webStorage.initiallyInServerSync = true
        storeQueue()
    }
    if (typeof request.userCallback === "function")
        request.userCallback(response.data)
    else if (request.__userCallbackLost)
        console.debug("WARNING: WebStorage: the answer for", request.key ? request.key : request.keys,
                      "came after a restart, its callback is gone")
}

function mergeClientAndServerData(client, server) {
    if (client === null || client === undefined)
        return copyOf(server)
    var result
    if (isPlainObject(client) && isPlainObject(server)) {
        result = copyOf(client)
        for (var key in server)
            result[key] = key in client ? mergeClientAndServerData(client[key], server[key]) : copyOf(server[key])
        return result
    }
    if (Array.isArray(client) && Array.isArray(server)) {
        result = copyOf(client)
        for (var i = 0; i < server.length; ++i)
            result[i] = i < client.length ? mergeClientAndServerData(client[i], server[i]) : copyOf(server[i])
        return result
    }
    return copyOf(server)
}

// Milliseconds of an ISO 8601 time with optional seconds, fraction and offset ("Z", "+hh:mm", "+hhmm").
function timeOf(text) {
    var match = /^(\d{4})-(\d\d)-(\d\d)[T ](\d\d):(\d\d)(?::(\d\d)(?:\.(\d+))?)?(Z|[+-]\d\d:?\d\d)?$/.exec(String(text))
    if (!match)
        return NaN
    var fraction = match[7] ? Number("0." + match[7]) * 1000 : 0
    var time = Date.UTC(Number(match[1]), Number(match[2]) - 1, Number(match[3]), Number(match[4]), Number(match[5]),
                        match[6] ? Number(match[6]) : 0, fraction)
    var offset = match[8]
    if (offset && offset !== "Z") {
        var digits = offset.replace(":", "")
        var minutes = Number(digits.substring(1, 3)) * 60 + Number(digits.substring(3, 5))
        time -= (digits.charAt(0) === "-" ? -1 : 1) * minutes * 60000
    }
    return time
}

// Key by key: a key only the client knows is added; of a key both know, the later entry wins, and
// keys newer on the server are read again.
function mergeAllKeys(client, server) {
    var merged = isPlainObject(server) ? copyOf(server) : {}
    var newerOnServer = []
    client = isPlainObject(client) ? client : {}
    for (var key in client) {
        if (!(key in merged)) {
            merged[key] = client[key]
            continue
        }
        var clientTime = timeOf(client[key] ? client[key].updatedAt : undefined)
        var serverTime = timeOf(merged[key] ? merged[key].updatedAt : undefined)
        if (clientTime > serverTime)
            merged[key] = client[key]
        else if (serverTime > clientTime)
            newerOnServer.push(key)
    }
    return { merged: merged, newerOnServer: newerOnServer }
}

function isSameAsSent(sentText, value) {
    return sentText === JSON.stringify(value) || (typeof value === "string" && sentText === value)
}

function handleWriteAnswer(request, data) {
    var key = modifiedKey(data.key !== undefined ? data.key : request.key)
    var serverValue = parsedValue(data.value)
    if (serverValue !== deletedValue)
        addToAllKeys(key, data.updated_at)
    var record = getRecord(key)
    var localValue = record ? record.data : undefined
    var inSync = isSameAsSent(data.value, localValue)
    if (!inSync && data.conflict)
        inSync = resolveWriteConflict(key, localValue, serverValue, data)
    record = getRecord(key)
    if (record) {
        record.metaData = { inServerSync: inSync, updatedAt: data.updated_at }
        putRecord(key, record)
    }
    if (serverValue === deletedValue)
        webStorage.clearValueFinished(data)
    else
        webStorage.writeValueFinished({ key: plainKey(key), value: record ? record.data : undefined })
}

// Returns whether the key is in sync afterwards (its value was settled on this device only).
function resolveWriteConflict(key, localValue, serverValue, data) {
    var strategy = webStorage.dataConflictStrategy
    var merged
    var inSync = false
    if (key === webStorage.allKeysIdentifier) {
        var keys = mergeAllKeys(localValue, serverValue)
        merged = keys.merged
        setValue(key, merged)
        if (keys.newerOnServer.length > 0)
            getServerValue(keys.newerOnServer)
    } else if (serverValue === deletedValue && localValue !== undefined) {
        merged = localValue
        setValue(key, merged)
    } else if (strategy === "serverDataMergesClientData") {
        merged = mergeClientAndServerData(localValue, serverValue)
        if (JSON.stringify(merged) === data.value) {
            putRecord(key, { data: merged, metaData: { inServerSync: true, updatedAt: data.updated_at } })
            inSync = true
        } else {
            setValue(key, merged)
        }
    } else if (strategy === "clientDataMergesServerData") {
        merged = mergeClientAndServerData(serverValue, localValue)
        setValue(key, merged)
    } else if (strategy === "serverDataOverwritesClientData") {
        merged = serverValue
        putRecord(key, { data: merged, metaData: { inServerSync: true, updatedAt: data.updated_at } })
        inSync = true
    } else if (strategy === "clientDataOverwritesServerData") {
        merged = localValue
        setValue(key, merged)
    } else if (strategy !== "userResolve") {
        console.debug("ERROR: WebStorage: unknown dataConflictStrategy value:", strategy)
    }
    webStorage.writeConflict({ key: plainKey(key), value: merged, clientValue: localValue, serverValue: serverValue,
                               usedDataConflictStrategy: strategy })
    return inSync
}

function handleReadAnswer(request, data) {
    var keys = Array.isArray(request.keys) ? request.keys : []
    for (var i = 0; i < keys.length; ++i) {
        var key = modifiedKey(keys[i])
        if (key === webStorage.allKeysIdentifier)
            readAllKeys(data[key])
        else
            readKey(key, data[key])
    }
}

function readAllKeys(serverEntry) {
    var serverMap = serverEntry ? parsedValue(serverEntry.value) : {}
    if (!isPlainObject(serverMap))
        serverMap = {}
    var localRecord = getRecord(webStorage.allKeysIdentifier)
    var localMap = localRecord && isPlainObject(localRecord.data) ? localRecord.data : {}
    var toRead = []
    for (var key in serverMap) {
        if (!localMap[key] || !serverMap[key] || localMap[key].updatedAt !== serverMap[key].updatedAt)
            toRead.push(key)
    }
    // While this device's key list is on its way to the server, the server's older list must not
    // replace it: the keys it lacks are new here, not deleted elsewhere.
    var localListPending = !!localRecord && !!localRecord.metaData && !localRecord.metaData.inServerSync
    if (localListPending) {
        if (toRead.length > 0)
            getServerValue(toRead)
        webStorage.readValueFinished({ key: plainKey(webStorage.allKeysIdentifier), value: getAllKeysLocal() })
        return
    }
    if (serverEntry && (!localRecord || !localRecord.metaData || localRecord.metaData.updatedAt !== serverEntry.updated_at))
        putRecord(webStorage.allKeysIdentifier,
                  { data: serverMap, metaData: { inServerSync: true, updatedAt: serverEntry.updated_at } })
    for (key in localMap) {
        if (key in serverMap)
            continue
        var record = getRecord(key)
        if (record && record.metaData && !record.metaData.inServerSync
                && webStorage.syncLocalValueToServerIfExistsLocallyButNotOnServer) {
            setValue(key, record.data)
        } else {
            storage.clearValue(modifiedKey(key))
        }
    }
    if (toRead.length > 0)
        getServerValue(toRead)
    webStorage.readValueFinished({ key: plainKey(webStorage.allKeysIdentifier), value: getAllKeysLocal() })
}

function readKey(key, serverEntry) {
    var record = getRecord(key)
    if (!serverEntry) {
        webStorage.readValueFinished({ key: plainKey(key), value: record ? record.data : undefined })
        return
    }
    var serverValue = parsedValue(serverEntry.value)
    var metaData = record && record.metaData ? record.metaData : { inServerSync: true, updatedAt: "dummy" }
    if (serverValue === deletedValue && record && metaData.inServerSync) {
        clearValue(key)
        return
    }
    var localValue = record ? record.data : undefined
    var value = localValue
    var changed = false
    var writeBack = false
    if (JSON.stringify(serverValue) !== JSON.stringify(localValue)) {
        if (!metaData.inServerSync) {
            console.debug("WARNING: WebStorage: the value of", plainKey(key), "changed on this device and is kept")
        } else if (localValue === undefined) {
            value = serverValue
            changed = true
        } else {
            var strategy = webStorage.dataConflictStrategy
            if (strategy === "serverDataMergesClientData") {
                value = mergeClientAndServerData(localValue, serverValue)
                changed = true
                writeBack = JSON.stringify(value) !== JSON.stringify(serverValue)
            } else if (strategy === "clientDataMergesServerData") {
                value = mergeClientAndServerData(serverValue, localValue)
                changed = true
                writeBack = true
            } else if (strategy === "serverDataOverwritesClientData") {
                value = serverValue
                changed = true
            } else if (strategy === "clientDataOverwritesServerData") {
                changed = true
                writeBack = true
            } else if (strategy === "userResolve") {
                webStorage.writeConflict({ key: plainKey(key), value: undefined, clientValue: localValue,
                                           serverValue: serverValue, usedDataConflictStrategy: strategy })
            } else {
                console.debug("ERROR: WebStorage: unknown dataConflictStrategy value:", strategy)
            }
        }
    }
    if (serverEntry.updated_at !== metaData.updatedAt)
        addToAllKeys(key, serverEntry.updated_at)
    if (changed) {
        // The server's time goes first, so that writing back is no conflict.
        putRecord(key, { data: value, metaData: { inServerSync: !writeBack, updatedAt: serverEntry.updated_at } })
        if (writeBack)
            queueRequest({ action: "set_data", key: key, value: value, ignoreToken: !webStorage.perUserStore })
    } else if (record && metaData.inServerSync && serverEntry.updated_at !== metaData.updatedAt) {
        record.metaData = { inServerSync: true, updatedAt: serverEntry.updated_at }
        putRecord(key, record)
    }
    webStorage.readValueFinished({ key: plainKey(key), value: value })
}
