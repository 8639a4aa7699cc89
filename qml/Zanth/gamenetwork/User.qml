import QtQuick 2.15

// The player on the game network, kept across starts under the local key "userData".
QtObject {
    property string deviceId
    property string facebookId
    property string facebookToken
    property bool facebookTokenValid: false
    property string authenticationToken
    // The counter the next request of the session carries.
    property int timestamp: 1
    property var userId: 0
    property string name
    property string firstName
    property string lastName
    property string gender
    property string locale
    property string profileImageUrl
    property int profileImageId: 0

    readonly property var __storedProperties: ["deviceId", "facebookId", "facebookToken", "facebookTokenValid",
        "userId", "name", "firstName", "lastName", "gender", "locale", "profileImageUrl", "profileImageId",
        "authenticationToken", "timestamp"]

    function getUserPropertyMap() {
        var map = {}
        for (var i = 0; i < __storedProperties.length; ++i)
            map[__storedProperties[i]] = this[__storedProperties[i]]
        return map
    }

    // Takes the stored values except the device id, which is always this device's.
    function setUserPropertyMap(map) {
        if (!map || typeof map !== "object")
            return
        for (var i = 0; i < __storedProperties.length; ++i) {
            var name = __storedProperties[i]
            if (name !== "deviceId" && map[name] !== undefined && map[name] !== null)
                this[name] = map[name]
        }
    }
}
