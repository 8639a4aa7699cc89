import QtQuick 2.15

// One row of a leaderboard: position, name and score. Names come from the server and are shown as
// plain text, so a name holding markup is shown as typed.
Item {
    id: row

    property var scoreData: ({})
    property int index: 0
    property var gameNetworkItem: null
    // The player's own row below a page that does not reach the player's position.
    property bool outOfPage: false

    readonly property var user: scoreData && scoreData.user ? scoreData.user : ({})
    readonly property bool isLoggedInUser: gameNetworkItem !== null && user.id !== undefined
                                           && String(user.id) === String(gameNetworkItem.user.userId)
    readonly property string displayName: {
        var name = user.name !== undefined && user.name !== null ? String(user.name) : ""
        if (isLoggedInUser || outOfPage)
            return qsTr("Me") + " (" + name + ")"
        // A name the player never chose is the server's number for the player.
        if (/^[0-9]/.test(name))
            return qsTr("Player ") + name
        return name
    }

    signal selected(var scoreData)

    width: parent ? parent.width : 320
    height: 56

    Rectangle {
        anchors.fill: parent
        visible: row.isLoggedInUser || row.outOfPage
        color: row.outOfPage ? "brown" : "#01a9e2"
        opacity: 0.2
    }

    Text {
        id: position
        objectName: "position"
        anchors.left: parent.left
        anchors.leftMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        width: 60
        text: (row.scoreData && row.scoreData.pos !== undefined && row.scoreData.pos !== null
               ? Number(row.scoreData.pos) : row.index) + 1
        font.pixelSize: 32
        color: "#222222"
        textFormat: Text.PlainText
    }

    Text {
        objectName: "name"
        anchors.left: position.right
        anchors.right: score.left
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        text: row.displayName
        font.pixelSize: 20
        color: "#222222"
        textFormat: Text.PlainText
    }

    Text {
        id: score
        objectName: "score"
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        text: Math.round(Number(row.scoreData ? row.scoreData.value : 0))
        font.pixelSize: 15
        color: "#555555"
        textFormat: Text.PlainText
    }

    Rectangle {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 1
        color: "#dddddd"
    }

    MouseArea {
        anchors.fill: parent
        onClicked: row.selected(row.scoreData)
    }
}
