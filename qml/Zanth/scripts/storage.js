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

function isCached(key) {
    return storage.cacheEnabled && dataCache[key] !== undefined
}

function setData(key, value) {
    if (isCached(key) && JSON.stringify(dataCache[key]) === JSON.stringify(value))
        return 1
    var result = setDBData(key, value)
    if (result !== undefined && storage.cacheEnabled)
        dataCache[key] = copyOf(value)
    return result
}

function setDBData(key, value, dbID) {
    var affected = 0
    try {
        initialize(dbID)
        getDatabase(dbID).transaction(function(tx) {
            affected = tx.executeSql("INSERT OR REPLACE INTO settings VALUES (?,?);",
                                     [key, JSON.stringify(value)]).rowsAffected
        })
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
