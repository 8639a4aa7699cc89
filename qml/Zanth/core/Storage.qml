import QtQuick 2.15
import "../scripts/storage.js" as StorageScript

// Persistent key-value data: any value that survives JSON.stringify, under a string key.
Item {
    id: storage

    // Items with the same name share one database, named after the configuration's identifier.
    property string databaseName
    property bool cacheEnabled: true
    property bool logOutputStorageEnabled: false

    // errorData: {code, message, requestType}
    signal storageError(variant errorData)

    // The stored value (a copy), or undefined with storageError code 10; with a callback the value
    // goes to the callback instead.
    function getValue(key, callback) {
        var result = StorageScript.getData(key)
        var errorData
        if (result === undefined)
            errorData = { code: 10, message: "getValue for key '" + key + "' failed", requestType: "getValue" }
        return __handleResult(result, errorData, callback)
    }

    // 1 once the value is stored, or undefined with storageError code 11. A value without JSON text
    // (undefined, a function, an object that holds itself) is refused before anything is written: the
    // stored value stays.
    function setValue(key, value) {
        var result = StorageScript.setData(key, value)
        var errorData
        if (result === undefined)
            errorData = { code: 11, message: "setValue for key '" + key + "' and value '" + StorageScript.shownValue(value)
                                             + "' failed",
                          requestType: "setValue" }
        return __handleResult(result, errorData)
    }

    // Stores every value of the map, as setValue stores one, in a single write: 1 once all are stored, or
    // undefined with storageError code 11 for each key whose value has no JSON text (the others are still
    // stored), or for every key when the write failed (none is then stored).
    function setValues(map) {
        var failed = StorageScript.setDataTogether(map)
        for (var i = 0; i < failed.length; ++i)
            storageError({ code: 11, message: "setValue for key '" + failed[i] + "' and value '"
                                              + StorageScript.shownValue(map[failed[i]]) + "' failed",
                           requestType: "setValue" })
        return failed.length === 0 ? 1 : undefined
    }

    // True when a value is stored under the key; unlike getValue, a missing key is no error.
    function hasValue(key) {
        return StorageScript.getData(key) !== undefined
    }

    function clearValue(key) {
        StorageScript.clearData(key)
    }

    function clearAll() {
        StorageScript.removeStorage()
        StorageScript.initialize()
    }

    function __handleResult(result, errorData, callback) {
        if (result === undefined) {
            storageError(errorData)
            return undefined
        }
        if (callback) {
            callback(result)
            return undefined
        }
        return result
    }

    onStorageError: function(errorData) {
        if (errorData)
            console.debug(errorData.message)
        else
            console.debug("ERROR: Storage.onStorageError called without errorData")
    }
}
