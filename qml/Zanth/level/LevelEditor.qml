import QtQuick 2.15
import Zanth 1.0
import "LevelEditorLogic.js" as LevelEditorLogic

// Creates, saves, loads, duplicates, removes and exports the levels of a running game. A level is the
// entity manager's entities, the property editor's values, custom data and meta data, kept as a level
// record in one of three storage locations.
Item {
    id: levelEditor

    property variant toStoreEntityTypes
    property variant toRemoveEntityTypes
    property variant currentLevelData: ({})
    property variant currentLevelName
    property variant currentLevelId
    property string currentLevelNameString: currentLevelName ? String(currentLevelName) : "UndefinedLevel"
    property alias applicationQMLLevels: applicationQMLStorage.allLevels
    property alias applicationJSONLevels: applicationJSONStorage.allLevels
    property alias authorGeneratedLevels: authorGeneratedStorage.allLevels
    property string applicationJSONLevelsLocation: "applicationJSON"
    property string applicationQMLLevelsLocation: "applicationQML"
    property string authorGeneratedLevelsLocation: "authorGenerated"
    // The folder of the exported level files shipped with the game.
    property url applicationJSONLevelsDirectory
    property variant qmlLevelList
    property variant levelBaseNameToUrlMap
    property variant levelLoader: null
    property variant itemEditorItem: typeof itemEditor !== "undefined" ? itemEditor : null
    property variant entityManagerItem: typeof entityManager !== "undefined" ? entityManager : null

    // errorData: {code, requestType, requestParameters, message}
    signal levelError(variant errorData)
    signal saveLevelFinished
    signal loadLevelFinished
    signal newLevelFinished(bool createEmptyLevel)
    signal loadAllLevelsFromStorageLocationFinished(string storageLocation, variant allLevelsData)
    signal exportLevelAsFileFinished
    signal removeLevelFinished(string removedLevelName)

    // newLevelProperties and saveProperties below: optional {levelMetaData: {...}, customData: {...}}.
    function createNewLevel(newLevelProperties) {
        LevelEditorLogic.createNewLevel(newLevelProperties)
    }

    function duplicateCurrentLevel(newLevelProperties) {
        LevelEditorLogic.duplicateCurrentLevel(newLevelProperties)
    }

    function saveCurrentLevel(saveProperties) {
        LevelEditorLogic.saveCurrentLevel(saveProperties)
    }

    function removeCurrentLevel() {
        LevelEditorLogic.removeCurrentLevel()
    }

    function loadSingleLevel(levelMetaData) {
        LevelEditorLogic.loadSingleLevel(levelMetaData)
    }

    function loadAllLevelsFromStorageLocation(storageLocation) {
        LevelEditorLogic.loadAllLevelsFromStorageLocation(storageLocation)
    }

    // Online levels are not kept by this client.
    function publishLevel(storageLocation, levelId) {
    }

    // The name is reduced to a plain file name: the file always lands in the default writable folder.
    function exportLevelAsFile(filename) {
        LevelEditorLogic.exportLevelAsFile(filename)
    }

    function clearAllLevels() {
        LevelEditorLogic.clearAllLevels()
    }

    onLevelError: function(errorData) {
        console.debug("ERROR: LevelEditor: onLevelError occured with the following errorData:",
                      JSON.stringify(errorData))
    }

    Component.onCompleted: LevelEditorLogic.initialize()

    LevelStorage {
        id: authorGeneratedStorage
        storageLocation: levelEditor.authorGeneratedLevelsLocation
    }

    LevelStorage {
        id: applicationQMLStorage
        storageLocation: levelEditor.applicationQMLLevelsLocation
    }

    LevelStorage {
        id: applicationJSONStorage
        storageLocation: levelEditor.applicationJSONLevelsLocation
    }

    LevelData {
        id: levelData
    }
}
