import QtQuick 2.15
import Zanth 1.0

// The level records of one storage location: each record under its level id, and the meta data of all
// of them, in order of first saving, under "levels". The location's name is also its database name.
Storage {
    id: levelStorage

    property string storageLocation
    property variant allLevels
    property variant currentActiveLevel
    readonly property string __keyForAllLevels: "levels"
    // Beyond this many random draws the first free id is taken, so a full location can't spin forever.
    readonly property int __maximumRandomIdDraws: 100
    readonly property int __highestDrawnId: 10001

    databaseName: storageLocation

    // Stores the record under its id, drawing a new id when it has none; afterwards levelData.levelMetaData
    // holds the final id, times and location. False, with nothing stored, when the write fails or no id is
    // left to draw.
    function saveLevel(levelData) {
        var meta = levelData.levelMetaData ? levelData.levelMetaData : {}
        meta.lastModificationTime = __utcTimeText(new Date())
        meta.storageLocation = storageLocation

        var levels = __storedLevels()
        var index = __indexOfLevel(levels, meta.levelId)
        if (index >= 0) {
            console.debug("LevelStorage: overwrite existing level with id", meta.levelId, meta.levelName)
            if (meta.creationTime === undefined)
                meta.creationTime = levels[index].creationTime
            levels[index] = meta
        } else {
            var levelId = meta.levelId
            if (__hasLevelId(levelId)) {
                console.debug("LevelStorage: a levelId was set in the levelMetaData, but no level with this id existed before, thus create a new one in the local storage with this id now:", levelId)
            } else {
                levelId = __drawFreeLevelId(levels)
                if (levelId === undefined) {
                    console.debug("ERROR: LevelStorage: no free levelId left in storageLocation", storageLocation)
                    return false
                }
                console.debug("LevelStorage: save new level with name", meta.levelName, ", created id for it:", levelId)
            }
            meta.creationTime = meta.lastModificationTime
            meta.levelId = levelId
            levels.push(meta)
        }

        levelData.levelMetaData = meta
        var record = {
            levelMetaData: meta,
            entityData: levelData.entityData,
            editableComponentData: levelData.editableComponentData,
            customData: levelData.customData
        }
        if (setValue(meta.levelId, record) === undefined || setValue(__keyForAllLevels, levels) === undefined)
            return false
        allLevels = levels
        currentActiveLevel = record
        return true
    }

    function getLevel(levelId) {
        currentActiveLevel = hasValue(levelId) ? getValue(levelId) : undefined
    }

    function removeLevel(levelId) {
        var levels = __storedLevels()
        var index = __indexOfLevel(levels, levelId)
        if (index >= 0) {
            levels.splice(index, 1)
            console.debug("LevelStorage: removed level with id", levelId)
            setValue(__keyForAllLevels, levels)
            allLevels = levels
        } else {
            console.debug("LevelStorage: no level with id found to remove for id:", levelId)
        }
        clearValue(levelId)
        if (currentActiveLevel && currentActiveLevel.levelMetaData
                && currentActiveLevel.levelMetaData.levelId === levelId)
            currentActiveLevel = undefined
    }

    function loadAllLevels() {
        allLevels = __storedLevels()
    }

    function clearAllLevels() {
        clearAll()
        allLevels = []
        currentActiveLevel = undefined
    }

    // A missing "levels" key is a fresh location, not a failure.
    function __storedLevels() {
        var levels = hasValue(__keyForAllLevels) ? getValue(__keyForAllLevels) : undefined
        return Array.isArray(levels) ? levels : []
    }

    function __hasLevelId(levelId) {
        return levelId !== undefined && levelId !== null && levelId !== 0
    }

    function __indexOfLevel(levels, levelId) {
        if (!__hasLevelId(levelId))
            return -1
        for (var i = 0; i < levels.length; ++i) {
            if (levels[i] && levels[i].levelId === levelId)
                return i
        }
        return -1
    }

    function __drawFreeLevelId(levels) {
        var used = {}
        for (var i = 0; i < levels.length; ++i) {
            if (levels[i])
                used[levels[i].levelId] = true
        }
        for (var draw = 0; draw < __maximumRandomIdDraws; ++draw) {
            var levelId = Math.round(Math.random() * (__highestDrawnId - 1)) + 1
            if (!used[levelId])
                return levelId
        }
        for (var candidate = 1; candidate <= __highestDrawnId; ++candidate) {
            if (!used[candidate])
                return candidate
        }
        return undefined
    }

    // "Thu, 01 Jan 1970 00:00:00 GMT", whatever the script engine's own toUTCString() gives.
    function __utcTimeText(date) {
        var days = ["Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"]
        var months = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
        function twoDigits(number) { return number < 10 ? "0" + number : String(number) }
        return days[date.getUTCDay()] + ", " + twoDigits(date.getUTCDate()) + " " + months[date.getUTCMonth()]
                + " " + date.getUTCFullYear() + " " + twoDigits(date.getUTCHours()) + ":"
                + twoDigits(date.getUTCMinutes()) + ":" + twoDigits(date.getUTCSeconds()) + " GMT"
    }

    onStorageError: function(errorData) {
        if (Array.isArray(allLevels) && allLevels.length > 0)
            console.debug("ERROR: LevelStorage: onStorageError for storageLocation", storageLocation + ": "
                          + JSON.stringify(errorData))
    }
}
