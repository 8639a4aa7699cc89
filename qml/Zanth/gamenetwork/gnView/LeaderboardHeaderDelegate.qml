import QtQuick 2.15

// The title row of one leaderboard block.
Rectangle {
    property bool friendsOnly: true

    width: parent ? parent.width : 320
    height: 32
    color: "#e6e6e6"

    Text {
        anchors.left: parent.left
        anchors.leftMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        text: parent.friendsOnly ? qsTr("Friends") : qsTr("All Players")
        font.pixelSize: 16
        color: "#222222"
        textFormat: Text.PlainText
    }
}
