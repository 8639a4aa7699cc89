import QtQuick 2.15
import Zanth 1.0
import "WebStorageLogic.js" as WebStorageLogic

// A key-value store that answers at once from the device and keeps each key in step with the game
// network's key-value data; conflicting changes are resolved by the server's update times and
// dataConflictStrategy. Values are anything JSON can hold.
Item {
    id: webStorage

    property string databaseName: "defaultDBName"
    // True: the data belongs to the logged-in player; false: it is shared by every player of the game.
    property bool perUserStore: true
    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    readonly property string allKeysIdentifier: __keyPrefix + "___allKeys"
    property bool inServerSync: false
    property bool initiallyInServerSync: false
    property bool initiallyInServerSyncOrError: false
    property bool syncLocalValueToServerIfExistsLocallyButNotOnServer: true
    // key -> true for keys kept on the device only
    property var ignoredKeysForServerSyncMap: ({})
    // "serverDataMergesClientData", "clientDataMergesServerData", "serverDataOverwritesClientData",
    // "clientDataOverwritesServerData" or "userResolve" (the game answers writeConflict with setValue)
    property string dataConflictStrategy: "serverDataMergesClientData"

    readonly property string __keyPrefix: databaseName + "_"

    // data: {key, value (the merged value), clientValue, serverValue, usedDataConflictStrategy}
    signal writeConflict(var data)
    signal readValueFinished(var data)
    signal writeValueFinished(var data)
    signal clearValueFinished(var data)
    signal errorAndNotInitiallySynced

    // The value on this device, or undefined.
    function getValue(key) {
        return WebStorageLogic.getValue(key)
    }

    // Stored at once; sent to the server in turn. callback(answerData) runs when the server answered.
    function setValue(key, value, callback) {
        WebStorageLogic.setValue(key, value, callback)
    }

    function clearValue(key, callback) {
        WebStorageLogic.clearValue(key, callback)
    }

    function clearAll() {
        WebStorageLogic.clearAll()
    }

    // Empties the store on this device only.
    function clearAllLocally() {
        WebStorageLogic.clearAllLocally()
    }

    function synchWithServer() {
        WebStorageLogic.synchWithServer()
    }

    // keys: one key or an array of keys; callback(answerData)
    function getServerValue(keys, callback) {
        WebStorageLogic.getServerValue(keys, callback)
    }

    // {inServerSync, updatedAt} of the key, or undefined.
    function getMetaValue(key) {
        return WebStorageLogic.getMetaValue(key)
    }

    function setMetaValue(key, metaData) {
        WebStorageLogic.setMetaValue(key, metaData)
    }

    // prefixed key -> {updatedAt}
    function getAllKeysLocal() {
        return WebStorageLogic.getAllKeysLocal()
    }

    function addToAllKeys(key, updatedAt) {
        WebStorageLogic.addToAllKeys(key, updatedAt)
    }

    function removeFromAllKeys(key) {
        WebStorageLogic.removeFromAllKeys(key)
    }

    // Both values are left as they are: a deep merge in which the server's values win.
    function mergeClientAndServerData(client, server) {
        return WebStorageLogic.mergeClientAndServerData(client, server)
    }

    onInitiallyInServerSyncChanged: {
        if (initiallyInServerSync)
            initiallyInServerSyncOrError = true
    }
    onErrorAndNotInitiallySynced: initiallyInServerSyncOrError = true

    Connections {
        target: webStorage.gameNetworkItem
        ignoreUnknownSignals: true

        function onSynchAllStorages() {
            WebStorageLogic.handleAuthentication()
        }
        function onClearAllStorages() {
            WebStorageLogic.clearAll()
        }
        function onClearAllStoragesLocally() {
            WebStorageLogic.clearAllLocally()
        }
        function onUserIdChangedOrAboutToChange() {
            webStorage.inServerSync = false
            webStorage.initiallyInServerSync = false
            webStorage.initiallyInServerSyncOrError = false
        }
        function onError() {
            if (!webStorage.initiallyInServerSync)
                webStorage.errorAndNotInitiallySynced()
        }
        function onConnectionErrorChanged() {
            if (!webStorage.gameNetworkItem.connectionError)
                WebStorageLogic.resendOrStart()
        }
    }

    Storage {
        id: storage

        databaseName: webStorage.perUserStore ? webStorage.databaseName : "_applicationStore" + webStorage.databaseName
    }

    Component.onCompleted: WebStorageLogic.initialize()
}
