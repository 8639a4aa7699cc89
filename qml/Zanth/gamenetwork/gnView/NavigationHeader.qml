import QtQuick 2.15

// The bar above the game-network pages: back, the page's title and subtitle, buttons for the
// leaderboards and the achievements, and a "more" menu of the entries in moreOptions
// ({text, iconUrl, iconHoverUrl}). The menu closes on any press outside it.
Rectangle {
    id: header

    property alias title: titleText.text
    property alias subtitle: subtitleText.text
    property var moreOptions: []
    property bool menuOpen: false
    // The area whose presses close the open menu; the header's parent by default.
    property Item pressArea: parent

    signal backClicked
    signal leaderboardClicked
    signal achievementClicked
    signal moreOptionClicked(string text)

    height: 48
    color: "#f2f2f2"

    GNButton {
        id: backButton
        objectName: "backButton"
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        color: "transparent"
        iconSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/back.png"
        iconHoverSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/back-hover.png"
        onClicked: header.backClicked()
    }

    Column {
        anchors.left: backButton.right
        anchors.right: buttons.left
        anchors.verticalCenter: parent.verticalCenter

        Text {
            id: titleText
            objectName: "headerTitle"
            width: parent.width
            elide: Text.ElideRight
            font.pixelSize: 20
            color: "#222222"
            textFormat: Text.PlainText
        }
        Text {
            id: subtitleText
            objectName: "headerSubtitle"
            width: parent.width
            visible: text !== ""
            font.pixelSize: 12
            color: "#555555"
            textFormat: Text.PlainText
        }
    }

    Row {
        id: buttons
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter

        GNButton {
            objectName: "leaderboardButton"
            color: "transparent"
            iconSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/highscores.png"
            iconHoverSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/highscores-hover.png"
            onClicked: header.leaderboardClicked()
        }
        GNButton {
            objectName: "achievementButton"
            color: "transparent"
            iconSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/achievements.png"
            iconHoverSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/achievements-hover.png"
            onClicked: header.achievementClicked()
        }
        GNButton {
            objectName: "moreButton"
            color: "transparent"
            iconSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/more.png"
            iconHoverSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/more-hover.png"
            onClicked: header.menuOpen = !header.menuOpen
        }
    }

    // Catches presses outside the menu while it is open; it lies under the menu, over everything else.
    MouseArea {
        parent: header.pressArea
        anchors.fill: parent
        z: 98
        enabled: header.menuOpen
        visible: header.menuOpen
        onPressed: header.menuOpen = false
    }

    Rectangle {
        id: menu
        objectName: "moreMenu"
        anchors.right: parent.right
        anchors.top: parent.bottom
        z: 99
        visible: header.menuOpen
        width: menuColumn.width + 2
        height: menuColumn.height + 2
        color: "#cccccc"

        Column {
            id: menuColumn
            x: 1
            y: 1

            Repeater {
                model: header.moreOptions
                onItemAdded: function(index, item) {
                    if (typeof rootGameWindow !== "undefined" && rootGameWindow)
                        rootGameWindow.loadItemWithSceneGraph(menuColumn)
                }

                GNButton {
                    objectName: "moreEntry_" + modelData.text
                    width: 160
                    radius: 0
                    color: "white"
                    textColor: "#222222"
                    text: modelData.text
                    iconSource: modelData.iconUrl ? modelData.iconUrl : ""
                    iconHoverSource: modelData.iconHoverUrl ? modelData.iconHoverUrl : ""
                    onClicked: {
                        header.menuOpen = false
                        header.moreOptionClicked(modelData.text)
                    }
                }
            }
        }
    }
}
