import QtQuick 2.15
import Zanth 1.0

// The game network's local store and the names of its keys.
Storage {
    readonly property string userData: "userData"
    readonly property string userScores: "userScores"
    readonly property string userAchievements: "userAchievements"
    readonly property string localOfflineSendingQueue: "offlineSendingQueue"
    // Kept by each WebStorage in its own store.
    readonly property string webStorageWriteRequestQueue: "_requestQueue"

    // The stored value, or fallback when there is none.
    function readValue(key, fallback) {
        var value = hasValue(key) ? getValue(key) : undefined
        return value === undefined || value === null ? fallback : value
    }
}
