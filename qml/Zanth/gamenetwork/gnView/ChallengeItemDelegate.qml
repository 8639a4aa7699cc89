import QtQuick 2.15

// One challenge: who challenged whom with which scores; open challenges can be accepted.
Item {
    id: row

    objectName: "challengeRow"
    property var challengeData: ({})
    property bool acceptable: false

    signal selected(var challengeData)
    signal acceptClicked(var challengeData)

    function nameOf(player) {
        return player && player.name !== undefined && player.name !== null ? String(player.name) : "?"
    }
    function scoreOf(value) {
        return value === undefined || value === null || !isFinite(Number(value)) ? "-" : String(Math.round(Number(value)))
    }

    width: parent ? parent.width : 320
    height: 52

    MouseArea {
        anchors.fill: parent
        onClicked: row.selected(row.challengeData)
    }

    Column {
        anchors.left: parent.left
        anchors.leftMargin: 6
        anchors.right: accept.left
        anchors.verticalCenter: parent.verticalCenter

        Text {
            objectName: "challengePlayers"
            width: parent.width
            elide: Text.ElideRight
            text: row.nameOf(row.challengeData.challenger) + " " + qsTr("vs.") + " "
                  + row.nameOf(row.challengeData.challenged)
            font.pixelSize: 17
            color: "#222222"
            textFormat: Text.PlainText
        }
        Text {
            objectName: "challengeScores"
            text: row.scoreOf(row.challengeData.challenger_score) + " : "
                  + row.scoreOf(row.challengeData.challenged_score)
            font.pixelSize: 13
            color: "#555555"
            textFormat: Text.PlainText
        }
    }

    GNButton {
        id: accept
        objectName: "acceptChallengeButton"
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        visible: row.acceptable
        width: row.acceptable ? implicitWidth : 0
        text: qsTr("Accept")
        onClicked: row.acceptClicked(row.challengeData)
    }
}
