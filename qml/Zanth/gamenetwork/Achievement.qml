import QtQuick 2.15

// One achievement of the game, declared by the game in ZanthGameNetwork's achievements.
QtObject {
    property string key
    property int target: 1
    property int points: 5
    property bool hidden: false
    property string name
    property string description
    property string descriptionAfterEarning
    property url iconSource
    property var data
    property bool registerOnFacebook: true
    property int counter: 0
    readonly property bool unlocked: counter >= target
    readonly property real percent: target > 0 ? counter / target : 0
    // ISO 8601 times of the server, empty until known.
    property string awardedAt
    property string updatedAt
    property string createdAt
    property int pictureId: 0
}
