// Key-value storage over a local SQLite database: one table "settings" of keys and JSON texts.
// One copy of this script runs per Storage item (no library marker), so the cache is per item.
// Writes run synchronously on the main thread, so a write is in the database when setData returns.
.import QtQuick.LocalStorage 2.15 as Sql

var isInitialized = false
var databaseID
var database
var dataCache = {}

function log() {
    if (!storage.logOutputStorageEnabled)
        return
    var parts = []
    for (var i = 0; i < arguments.length; ++i)
        parts.push(String(arguments[i]))
    console.debug(parts.join(" "))
}

// Computed once, so that it stays usable while the item is being destroyed.
function getDatabaseId() {
    if (databaseID === undefined)
        databaseID = system.getConfigValue("identifier") + "-" + storage.databaseName
    return databaseID
}

function getDatabase(dbID) {
    if (!database)
        database = Sql.LocalStorage.openDatabaseSync(dbID === undefined ? getDatabaseId() : dbID,
                                                     "1.0", "StorageDatabase", 100000)
    return database
}

function initialize(dbID) {
    if (isInitialized)
        return
    getDatabase(dbID).transaction(function(tx) {
        tx.executeSql("CREATE TABLE IF NOT EXISTS settings(setting TEXT UNIQUE, value TEXT)")
    })
    isInitialized = true
    log("Storage: initialized database", getDatabaseId())
}

function copyOf(value) {
    return JSON.parse(JSON.stringify(value))
}

// The JSON text of value, or undefined for a value that has none (undefined, a function, an object
// that holds itself): such a value can't be read back and is never written.
function jsonText(value) {
    try {
        var text = JSON.stringify(value)
        return typeof text === "string" ? text : undefined
    } catch (error) {
        return undefined
    }
}

// The value as its error message shows it. An object without JSON text may hold itself, and the text of
// an array that holds itself recurses until the program's stack is gone: such an object is named only.
function shownValue(value) {
    if (value !== null && typeof value === "object" && jsonText(value) === undefined)
        return Object.prototype.toString.call(value)
    return String(value)
}

function isCached(key) {
    return storage.cacheEnabled && dataCache[key] !== undefined
}

// 1, or undefined when the value has no JSON text (the stored value then stays) or the write failed.
function setData(key, value) {
    var text = jsonText(value)
    if (text === undefined)
        return undefined
    if (isCached(key) && JSON.stringify(dataCache[key]) === text)
        return 1
    var result = setDBData(key, value)
    if (result !== undefined && storage.cacheEnabled)
        dataCache[key] = JSON.parse(text)
    return result
}

function setDBData(key, value, dbID) {
    var text = jsonText(value)
    var affected = 0
    try {
        if (text !== undefined) {
            initialize(dbID)
            getDatabase(dbID).transaction(function(tx) {
                affected = tx.executeSql("INSERT OR REPLACE INTO settings VALUES (?,?);", [key, text]).rowsAffected
            })
        }
    } catch (error) {
        log("Storage: write failed:", error)
    }
    if (affected > 0)
        return 1
    console.debug("ERROR: Storage: call of Storage.setData() was not successful for key", key)
    return undefined
}

function getData(key) {
    if (isCached(key))
        return copyOf(dataCache[key])
    var result
    try {
        initialize()
        getDatabase().transaction(function(tx) {
            var rows = tx.executeSql("SELECT value FROM settings WHERE setting=?;", [key]).rows
            if (rows.length > 0 && rows.item(0).value)
                result = JSON.parse(rows.item(0).value)
        })
    } catch (error) {
        log("Storage: read failed for key", key, error)
        result = undefined
    }
    if (storage.cacheEnabled && result !== undefined) {
        dataCache[key] = result
        return copyOf(result)
    }
    return result
}

// Does nothing: values are written one key at a time with setData.
function setMultiData(keyValueMap) {
}

function clearData(key) {
    initialize()
    if (storage.cacheEnabled)
        delete dataCache[key]
    getDatabase().transaction(function(tx) {
        tx.executeSql("DELETE FROM settings WHERE setting=?;", [key])
    })
    return 1
}

function removeStorage() {
    initialize()
    if (storage.cacheEnabled)
        dataCache = {}
    getDatabase().transaction(function(tx) {
        tx.executeSql("DROP TABLE settings")
    })
    isInitialized = false
    initialize()
}

function toggleChacheEnabled() {
    storage.cacheEnabled = !storage.cacheEnabled
}

function isChacheEnabled() {
    return storage.cacheEnabled
}
