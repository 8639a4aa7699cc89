// Key-value storage over a local SQLite database: one table "settings" of keys and JSON texts.
// One copy of this script runs per Storage item (no library marker), so the cache is per item.
// Writes run synchronously on the main thread, so a write is in the database when setData returns.
.import QtQuick.LocalStorage 2.15 as Sql

var isInitialized = false
var databaseID
var database
// Tables keyed by storage keys inherit nothing, so that "__proto__" or "constructor" is a key like any
// other.
var dataCache = Object.create(null)

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
    getDatabase(dbID).transaction(createTable)
    isInitialized = true
    log("Storage: initialized database", getDatabaseId())
}

function createTable(tx) {
    tx.executeSql("CREATE TABLE IF NOT EXISTS settings(setting TEXT UNIQUE, value TEXT)")
}

// Runs the writes of the transaction in the database, creating the table in the same transaction when
// it may not be there yet: each transaction that changes the file waits for the disk.
function writeTransaction(writes, dbID) {
    var creating = !isInitialized
    getDatabase(dbID).transaction(function(tx) {
        if (creating)
            createTable(tx)
        writes(tx)
    })
    if (creating) {
        isInitialized = true
        log("Storage: initialized database", getDatabaseId())
    }
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

// Writes the values of the map in one transaction, so that a database written to disk at each commit is
// written once. Returns the keys not stored: those whose values have no JSON text (never written), or all
// of them when the write failed.
function setDataTogether(values) {
    var refused = []
    var texts = Object.create(null)
    for (var key in values) {
        var text = jsonText(values[key])
        if (text === undefined)
            refused.push(key)
        else if (!(isCached(key) && JSON.stringify(dataCache[key]) === text))
            texts[key] = text
    }
    var keys = Object.keys(texts)
    if (keys.length === 0)
        return refused
    var affected = 0
    try {
        writeTransaction(function(tx) {
            // The transaction is committed whatever its writes throw: a write that fails takes those
            // before it back itself.
            tx.executeSql("SAVEPOINT together")
            try {
                for (var i = 0; i < keys.length; ++i)
                    affected += tx.executeSql("INSERT OR REPLACE INTO settings VALUES (?,?);", [keys[i], texts[keys[i]]]).rowsAffected
            } catch (error) {
                tx.executeSql("ROLLBACK TO together")
                throw error
            }
        })
    } catch (error) {
        log("Storage: write failed:", error)
        affected = 0
    }
    if (affected < keys.length) {
        console.debug("ERROR: Storage: call of Storage.setValues() was not successful for keys", keys.join(", "))
        return refused.concat(keys)
    }
    if (storage.cacheEnabled) {
        for (var n = 0; n < keys.length; ++n)
            dataCache[keys[n]] = JSON.parse(texts[keys[n]])
    }
    return refused
}

function setDBData(key, value, dbID) {
    var text = jsonText(value)
    var affected = 0
    try {
        if (text !== undefined) {
            writeTransaction(function(tx) {
                affected = tx.executeSql("INSERT OR REPLACE INTO settings VALUES (?,?);", [key, text]).rowsAffected
            }, dbID)
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
        getDatabase().transaction(function(tx) {
            // A read creates nothing: before the first write there may be no table, and then nothing is
            // stored.
            if (!isInitialized) {
                if (tx.executeSql("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'settings';").rows.length === 0)
                    return
                isInitialized = true
            }
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
        dataCache = Object.create(null)
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
