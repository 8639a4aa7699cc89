// The level editor's work; one copy per LevelEditor (no library marker), reaching its items by id.

var recordFields = ["levelMetaData", "entityData", "editableComponentData", "customData"]

// A deep copy of plain data; unlike a JSON round trip it keeps keys whose value is undefined.
function copyOf(value) {
    if (value === null || typeof value !== "object")
        return value
    if (Array.isArray(value))
        return value.map(copyOf)
    var result = {}
    for (var key in value)
        result[key] = copyOf(value[key])
    return result
}

function isMap(value) {
    return value !== null && typeof value === "object" && !Array.isArray(value)
}

function initialize() {
    if (!levelEditor.entityManagerItem)
        console.debug("ERROR: LevelEditor: the entityManager property is invalid - put an EntityManager to your main.qml file with the id entityManager to solve this error")

    applicationQMLStorage.clearAllLevels()
    var qmlLevels = levelEditor.qmlLevelList
    if (qmlLevels && qmlLevels.length) {
        for (var i = 0; i < qmlLevels.length; ++i)
            applicationQMLStorage.saveLevel(copyOf(qmlLevels[i]))
    }

    applicationJSONStorage.clearAllLevels()
    var folder = levelEditor.applicationJSONLevelsDirectory.toString()
    if (folder === "")
        return
    // The file names are appended to the folder's text.
    if (folder.charAt(folder.length - 1) !== "/")
        folder += "/"
    var fileNames = fileUtils.listFiles(levelEditor.applicationJSONLevelsDirectory, ["*.json"])
    fileNames.sort()
    for (var f = 0; f < fileNames.length; ++f) {
        var record = parseLevelFile(fileUtils.readFile(folder + fileNames[f]))
        if (record)
            applicationJSONStorage.saveLevel(record)
        else
            console.debug("ERROR: LevelEditor: skipped the malformed level file", folder + fileNames[f])
    }
}

// The record in an exported level file, or undefined when the text is no such record.
function parseLevelFile(text) {
    var record
    try {
        record = JSON.parse(text)
    } catch (error) {
        return undefined
    }
    if (!isMap(record) || !isMap(record.levelMetaData))
        return undefined
    for (var i = 1; i < recordFields.length; ++i) {
        var field = record[recordFields[i]]
        if (field === undefined || field === null)
            record[recordFields[i]] = {}
        else if (!isMap(field))
            return undefined
    }
    return record
}

function propertiesOf(properties) {
    var given = isMap(properties) ? properties : {}
    return {
        levelMetaData: isMap(given.levelMetaData) ? copyOf(given.levelMetaData) : {},
        customData: isMap(given.customData) ? copyOf(given.customData) : {}
    }
}

function createNewLevel(newLevelProperties) {
    var properties = propertiesOf(newLevelProperties)
    var meta = properties.levelMetaData
    meta.levelId = undefined
    meta.storageLocation = levelEditor.authorGeneratedLevelsLocation
    loadLevelBase(meta)
    updateCurrentLevel({ levelMetaData: meta, entityData: {}, editableComponentData: {},
                         customData: properties.customData })
    levelEditor.newLevelFinished(true)
}

function duplicateCurrentLevel(newLevelProperties) {
    var properties = propertiesOf(newLevelProperties)
    properties.levelMetaData.levelId = undefined
    if (saveCurrentLevel(properties))
        levelEditor.newLevelFinished(false)
}

function loadedLevelBase() {
    var loader = levelEditor.levelLoader
    var base = loader ? loader.loadedLevel : null
    return base && base.levelData !== undefined ? base : null
}

function logNoLevelBase() {
    console.debug("ERROR: LevelEditorLogic: no LevelBase loaded - either no LevelLoader defined or the loaded level was not derived from LevelBase as it has no levelData property!?")
}

// Fills the save properties' empty keys from the loaded level base; keys the caller set stay.
function takeValuesOfLevelBase(saveProperties, base, field) {
    var values = base.levelData[field]
    if (!isMap(values))
        return
    for (var key in values) {
        if (field === "levelMetaData" && key === "levelId")
            continue
        if (!saveProperties[field][key])
            saveProperties[field][key] = copyOf(values[key])
        else
            console.debug("WARNING: LevelEditorLogic: found a property that was already set in saveProperties to overwrite with saveCurrentLevel() within " + field + ":", key)
    }
}

// True once the level is stored; a failed write emits levelError code 4.
function saveCurrentLevel(saveProperties) {
    var properties = isMap(saveProperties) ? saveProperties : {}
    properties = { levelMetaData: isMap(properties.levelMetaData) ? properties.levelMetaData : {},
                   customData: isMap(properties.customData) ? properties.customData : {} }
    var base = loadedLevelBase()
    if (base) {
        base.levelAboutToBeSaved()
        takeValuesOfLevelBase(properties, base, "customData")
        takeValuesOfLevelBase(properties, base, "levelMetaData")
    } else {
        logNoLevelBase()
    }

    var entityManager = levelEditor.entityManagerItem
    var entityData = entityManager ? entityManager.storeEntitiesAsJson(levelEditor.toStoreEntityTypes) : {}
    var itemEditor = levelEditor.itemEditorItem
    var editableComponentData = itemEditor ? itemEditor.saveAllComponentsToJSON() : {}

    var current = levelEditor.currentLevelData
    var meta = copyOf(current && isMap(current.levelMetaData) ? current.levelMetaData : {})
    for (var key in properties.levelMetaData) {
        if (properties.levelMetaData[key] !== meta[key])
            meta[key] = properties.levelMetaData[key]
    }
    if (!meta.levelName)
        meta.levelName = "DefaultLevelName"

    var record = { levelMetaData: meta, entityData: copyOf(entityData || {}),
                   editableComponentData: copyOf(editableComponentData || {}),
                   customData: copyOf(properties.customData) }
    if (!authorGeneratedStorage.saveLevel(record)) {
        levelEditor.levelError({ code: 4, requestType: "saveCurrentLevel", requestParameters: "",
                                 message: "Error at saving level with name " + meta.levelName })
        return false
    }
    updateCurrentLevel(record)
    levelEditor.saveLevelFinished()
    return true
}

function removeCurrentLevel() {
    var levelId = levelEditor.currentLevelId
    if (levelId === undefined || levelId === null || levelId === 0) {
        levelEditor.levelError({ code: 3, requestType: "removeCurrentLevel", requestParameters: "",
                                 message: "RemoveCurrentLevel failed, because there is none active currently" })
        return
    }
    authorGeneratedStorage.removeLevel(levelId)
    var name = levelEditor.currentLevelName
    updateCurrentLevel(undefined)
    levelEditor.removeLevelFinished(name === undefined || name === null ? "" : String(name))
}

function getStore(storageLocation) {
    if (storageLocation === levelEditor.authorGeneratedLevelsLocation)
        return authorGeneratedStorage
    if (storageLocation === levelEditor.applicationQMLLevelsLocation)
        return applicationQMLStorage
    if (storageLocation === levelEditor.applicationJSONLevelsLocation)
        return applicationJSONStorage
    console.debug("ERROR: LevelEditorLogic: unsupported storageLocation in getStore:", storageLocation)
    return null
}

function loadSingleLevel(levelMetaData) {
    if (!isMap(levelMetaData)) {
        console.debug("ERROR: LevelEditor: loadSingleLevel needs the levelMetaData of a level")
        return
    }
    var location = levelMetaData.storageLocation === undefined ? levelEditor.authorGeneratedLevelsLocation
                                                                : levelMetaData.storageLocation
    var store = getStore(location)
    if (!store || !loadLevelBase(levelMetaData))
        return
    store.getLevel(levelMetaData.levelId)
    var record = copyOf(store.currentActiveLevel)
    if (!isMap(record)) {
        console.debug("ERROR: LevelEditor: no level with id", levelMetaData.levelId, "in storageLocation", location)
        return
    }
    if (location !== levelEditor.applicationQMLLevelsLocation) {
        var entityManager = levelEditor.entityManagerItem
        var entities = isMap(record.entityData) ? record.entityData : {}
        for (var entityId in entities) {
            var entity = entities[entityId]
            var created = entityManager ? entityManager.createEntityFromEntityTypeAndVariationType(entity)
                                        : undefined
            if (created === undefined)
                console.debug("ERROR: LevelEditor: loading the entity of type ", entity ? entity.entityType : entity,
                              "failed - did you add it to EntityManager.dynamicCreationEntityList?")
        }
        if (levelEditor.itemEditorItem)
            levelEditor.itemEditorItem.loadAllComponentsFromJSON(record.editableComponentData)
    }
    updateCurrentLevel(record)
    levelEditor.loadLevelFinished()
}

function loadAllLevelsFromStorageLocation(storageLocation) {
    var store = getStore(storageLocation)
    if (!store)
        return
    store.loadAllLevels()
    levelEditor.loadAllLevelsFromStorageLocationFinished(storageLocation, store.allLevels)
}

// "../../evil" and "a/b" become "evil" and "b": an export never leaves the default writable folder.
function safeFileBaseName(name) {
    var text = String(name)
    var baseName = text.substring(Math.max(text.lastIndexOf("/"), text.lastIndexOf("\\")) + 1)
    baseName = baseName.replace(/[\x00-\x1f:]/g, "")
    return baseName === "" || baseName === "." || baseName === ".." ? "UndefinedLevel" : baseName
}

function exportLevelAsFile(filename) {
    var given = filename === undefined || filename === null || filename === "" ? levelEditor.currentLevelNameString
                                                                               : filename
    var fileName = safeFileBaseName(given) + ".json"
    var current = levelEditor.currentLevelData
    var exported = {}
    for (var i = 0; i < recordFields.length; ++i) {
        var field = current ? current[recordFields[i]] : undefined
        exported[recordFields[i]] = field === undefined || field === null ? {} : field
    }
    if (!fileUtils.writeFile(fileName, JSON.stringify(exported))) {
        levelEditor.levelError({ code: 2, requestType: "exportLevelAsFile", requestParameters: "",
                                 message: "Error at saving level as file with filename" + fileName })
        return
    }
    levelEditor.exportLevelAsFileFinished()
}

function clearAllLevels() {
    authorGeneratedStorage.clearAllLevels()
    updateCurrentLevel(undefined)
}

function updateCurrentLevel(record) {
    var current
    if (record) {
        current = copyOf(record)
        levelEditor.currentLevelData = current
        levelEditor.currentLevelId = current.levelMetaData ? current.levelMetaData.levelId : undefined
        levelEditor.currentLevelName = current.levelMetaData ? current.levelMetaData.levelName : undefined
    } else {
        current = { levelMetaData: { levelId: undefined, levelName: undefined }, entityData: {},
                    editableComponentData: {}, customData: {} }
        levelEditor.currentLevelData = current
        levelEditor.currentLevelId = undefined
        levelEditor.currentLevelName = undefined
    }
    var base = loadedLevelBase()
    for (var i = 0; i < recordFields.length; ++i) {
        var field = recordFields[i]
        var value = current[field] === undefined ? {} : current[field]
        levelData[field] = copyOf(value)
        if (base)
            base.levelData[field] = copyOf(value)
    }
    if (base)
        base.levelLoaded()
    else
        logNoLevelBase()
}

// Only level files of our own: relative names, file: and qrc: URLs. A level record must never point the
// loader at QML from the network.
function isLocalLevelUrl(url) {
    var text = String(url)
    if (text.indexOf("//") === 0 || text.indexOf("\\\\") === 0)
        return false
    var scheme = /^([A-Za-z][A-Za-z0-9+.\-]*):/.exec(text)
    if (!scheme)
        return true
    var name = scheme[1].toLowerCase()
    return name === "file" || name === "qrc"
}

// Points the loader at the level base of the meta data, removing the old level's entities first.
// False when the meta data names a level file the loader must not load.
function loadLevelBase(levelMetaData) {
    var url
    if (levelMetaData.levelBaseUrl !== undefined && levelMetaData.levelBaseUrl !== null) {
        url = levelMetaData.levelBaseUrl
    } else if (typeof levelMetaData.levelBaseName === "string" && levelMetaData.levelBaseName !== "") {
        var map = levelEditor.levelBaseNameToUrlMap
        var entry = map ? map[levelMetaData.levelBaseName] : undefined
        if (entry)
            url = entry.url
        else
            console.debug("ERROR: LevelEditor: this levelBaseName was not found in the levelBaseNameToUrlMap: ",
                          levelMetaData.levelBaseName)
    }

    var changed = false
    for (var key in levelMetaData) {
        if (levelMetaData[key] !== levelData[key])
            changed = true
    }

    if (url === undefined || url === null || String(url) === "") {
        if (changed)
            removeEntities()
        return true
    }
    if (!isLocalLevelUrl(url)) {
        console.debug("ERROR: LevelEditor: refused to load a level from a url that is not a local file:", url)
        return false
    }
    var loader = levelEditor.levelLoader
    if (!loader) {
        console.debug("ERROR: LevelEditor: a levelUrl would be set, but no levelLoaderItem is defined! toLoadLevelUrl:", url)
        return true
    }
    var text = String(url)
    var resolved = /^(file|qrc):/i.test(text) ? text : fileUtils.getPathUrl(text, loader).toString()
    if (resolved !== loader.levelSource.toString() || changed)
        removeEntities()
    loader.levelSource = resolved
    return true
}

function removeEntities() {
    if (levelEditor.entityManagerItem)
        levelEditor.entityManagerItem.removeEntitiesByFilter(levelEditor.toRemoveEntityTypes)
}
