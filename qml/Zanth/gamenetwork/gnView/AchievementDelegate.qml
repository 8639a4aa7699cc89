import QtQuick 2.15

// One achievement of the game: its icon, name, description (the one after earning once unlocked) and
// progress. A hidden achievement shows no name or description until unlocked.
Item {
    id: row

    property var achievement: null
    property int index: 0

    signal selected(string key, int index)

    readonly property bool unlocked: achievement !== null && achievement.unlocked
    readonly property bool concealed: achievement !== null && achievement.hidden && !unlocked

    width: parent ? parent.width : 320
    height: 60
    opacity: unlocked ? 1.0 : 0.6

    Image {
        id: icon
        anchors.left: parent.left
        anchors.leftMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        width: 40
        height: 40
        source: row.achievement && row.achievement.iconSource != "" ? row.achievement.iconSource
                : row.unlocked ? "qrc:/qml/Zanth/gamenetwork/gnView/img/achievements-hover.png" : "qrc:/qml/Zanth/gamenetwork/gnView/img/achievements.png"
    }

    Column {
        anchors.left: icon.right
        anchors.leftMargin: 8
        anchors.right: progress.left
        anchors.verticalCenter: parent.verticalCenter

        Text {
            width: parent.width
            elide: Text.ElideRight
            text: row.concealed ? qsTr("Hidden achievement") : (row.achievement ? row.achievement.name : "")
            font.pixelSize: 18
            color: "#222222"
            textFormat: Text.PlainText
        }
        Text {
            width: parent.width
            elide: Text.ElideRight
            text: !row.achievement || row.concealed ? ""
                  : row.unlocked && row.achievement.descriptionAfterEarning !== ""
                    ? row.achievement.descriptionAfterEarning : row.achievement.description
            font.pixelSize: 13
            color: "#555555"
            textFormat: Text.PlainText
        }
    }

    Text {
        id: progress
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        text: row.achievement ? row.achievement.counter + "/" + row.achievement.target : ""
        font.pixelSize: 15
        color: "#555555"
        textFormat: Text.PlainText
    }

    MouseArea {
        anchors.fill: parent
        onClicked: row.selected(row.achievement ? row.achievement.key : "", row.index)
    }
}
