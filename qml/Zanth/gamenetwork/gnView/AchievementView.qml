import QtQuick 2.15
import "SceneGraphMirror.js" as Mirror

// The game's achievements with the player's progress. In development builds it also brings the
// server's definitions in line with the game's, once per start. An achievement the player reaches is
// announced by a banner over the game window, whether the page shows or not.
Item {
    id: achievementView

    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    property bool displayNotificationWhenAchievementIsReached: true
    // Milliseconds the banner of one reached achievement stays.
    property int notificationDuration: 3000
    // Sends every achievement to the server, changed or not.
    property bool updateServerAchievementData: false
    property Component achievementDelegate: Component {
        AchievementDelegate {
            achievement: modelData
            index: model.index
            onSelected: function(key, index) { achievementView.achievementClicked(key, index) }
        }
    }
    property bool __serverAchievementsChecked: false
    property bool __completed: false
    property Item __notification: null

    signal achievementClicked(string key, int index)

    // The server's field names and the game's property names for the fields the game defines.
    readonly property var __fieldNames: ({ key: "key", target: "target", points: "points", hidden: "hidden",
        name: "name", description: "description", description_after_earning: "descriptionAfterEarning",
        registered_on_facebook: "registerOnFacebook" })

    function updateServerAchievementsFromClientAchievements(userAchievements) {
        if (gameNetworkItem && !__serverAchievementsChecked && !system.publishBuild && system.desktopPlatform) {
            __serverAchievementsChecked = true
            var achievements = gameNetworkItem.achievements
            for (var i = 0; i < achievements.length; ++i) {
                var client = achievements[i]
                var server = serverAchievement(userAchievements, client.key)
                if (updateServerAchievementData || !server || differs(client, server))
                    gameNetworkItem.api.saveAchievement(definitionOf(client))
            }
        }
        updateClientAchievementsFromServerAchievements()
    }

    function serverAchievement(userAchievements, key) {
        if (!Array.isArray(userAchievements))
            return null
        for (var i = 0; i < userAchievements.length; ++i) {
            var entry = userAchievements[i]
            if (entry && entry.achievement && entry.achievement.key === key)
                return entry.achievement
        }
        return null
    }

    function differs(client, server) {
        for (var field in server) {
            var name = __fieldNames[field]
            if (name !== undefined && String(client[name]) !== String(server[field]))
                return true
        }
        return false
    }

    function definitionOf(achievement) {
        return { key: achievement.key, target: achievement.target, points: achievement.points,
                 name: achievement.name, description: achievement.description,
                 icon: String(achievement.iconSource), data: achievement.data,
                 registered_on_facebook: achievement.registerOnFacebook }
    }

    // The player's progress from the server into the game's achievements; without server data (another
    // player) every achievement starts again.
    function updateClientAchievementsFromServerAchievements() {
        if (!gameNetworkItem)
            return
        var userAchievements = gameNetworkItem.userAchievements
        var achievements = gameNetworkItem.achievements
        for (var i = 0; i < achievements.length; ++i) {
            var achievement = achievements[i]
            var entry = null
            for (var j = 0; Array.isArray(userAchievements) && j < userAchievements.length; ++j) {
                var candidate = userAchievements[j]
                if (candidate && candidate.achievement && candidate.achievement.key === achievement.key)
                    entry = candidate
            }
            achievement.counter = entry && entry.counter ? entry.counter : 0
            achievement.awardedAt = entry && entry.awarded_at ? entry.awarded_at : ""
            achievement.updatedAt = entry && entry.updated_at ? entry.updated_at : ""
            achievement.createdAt = entry && entry.created_at ? entry.created_at : ""
            achievement.pictureId = entry && entry.picture_id ? entry.picture_id : 0
        }
    }

    // The banner lives in the game window, made at the first reached achievement.
    function notifyAchievementReached(key) {
        if (!displayNotificationWhenAchievementIsReached || !gameNetworkItem)
            return
        if (!__notification) {
            var window = Mirror.gameWindowOf(achievementView)
            if (!window) {
                console.debug("WARNING: AchievementView: no game window to show the reached achievement", key, "in")
                return
            }
            __notification = notificationComponent.createObject(window, { duration: Qt.binding(function() {
                return achievementView.notificationDuration }) })
            window.loadItemWithSceneGraph(__notification)
        }
        var achievement = null
        for (var i = 0; i < gameNetworkItem.achievements.length; ++i) {
            if (gameNetworkItem.achievements[i].key === key)
                achievement = gameNetworkItem.achievements[i]
        }
        __notification.show({ key: key, name: achievement && achievement.name !== "" ? achievement.name : key,
                              iconSource: achievement && achievement.iconSource != "" ? String(achievement.iconSource) : "" })
    }

    onVisibleChanged: {
        if (visible && __completed && gameNetworkItem && gameNetworkItem.gameNetworkView)
            gameNetworkItem.showAchievements()
    }
    Component.onCompleted: __completed = true
    Component.onDestruction: {
        if (__notification)
            __notification.destroy()
    }

    Connections {
        target: achievementView.gameNetworkItem
        ignoreUnknownSignals: true
        function onUserAchievementsChanged() { achievementView.updateClientAchievementsFromServerAchievements() }
        function onAchievementUnlocked(key) { achievementView.notifyAchievementReached(key) }
    }

    Component {
        id: notificationComponent

        AchievementNotification {
            objectName: "achievementNotification"
        }
    }

    Flickable {
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: column
            width: parent.width

            Repeater {
                model: achievementView.gameNetworkItem ? achievementView.gameNetworkItem.achievements : []
                delegate: achievementView.achievementDelegate
                onItemAdded: Mirror.mirrorChildren(column, achievementView.__completed)
            }
        }
    }
}
