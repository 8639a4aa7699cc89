import QtQuick 2.15
import "SceneGraphMirror.js" as Mirror

// The game's achievements with the player's progress. In development builds it also brings the
// server's definitions in line with the game's, once per start.
Item {
    id: achievementView

    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    property bool displayNotificationWhenAchievementIsReached: true
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

    onVisibleChanged: {
        if (visible && __completed && gameNetworkItem && gameNetworkItem.gameNetworkView)
            gameNetworkItem.showAchievements()
    }
    Component.onCompleted: __completed = true

    Connections {
        target: achievementView.gameNetworkItem
        ignoreUnknownSignals: true
        function onUserAchievementsChanged() { achievementView.updateClientAchievementsFromServerAchievements() }
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
