import QtQuick 2.15

// A banner at the top of the game window that tells the player an achievement was reached: its icon,
// "Achievement Unlocked" and its name, for duration milliseconds. Achievements reached while one shows
// follow one after another. It takes no input, so the game under it plays on.
Item {
    id: banner

    // Milliseconds each achievement stays.
    property int duration: 3000
    // {key, name, iconSource} of the achievement shown, null while none is.
    property var current: null
    property var __waiting: []

    // Shows the achievement now, or after those waiting.
    function show(achievement) {
        __waiting = __waiting.concat([achievement])
        if (current === null)
            __showNext()
    }

    function __showNext() {
        if (__waiting.length === 0) {
            current = null
            return
        }
        current = __waiting[0]
        __waiting = __waiting.slice(1)
        timer.restart()
    }

    x: parent ? Math.round((parent.width - width) / 2) : 0
    y: 8
    z: 10000
    width: parent ? Math.min(parent.width - 16, 360) : 360
    height: 60
    visible: current !== null

    Rectangle {
        anchors.fill: parent
        radius: 6
        color: "#222222"
    }

    Image {
        id: icon
        objectName: "notificationIcon"
        anchors.left: parent.left
        anchors.leftMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        width: 40
        height: 40
        source: banner.current && banner.current.iconSource ? banner.current.iconSource : "qrc:/qml/Zanth/gamenetwork/gnView/img/achievements-hover.png"
    }

    Column {
        anchors.left: icon.right
        anchors.leftMargin: 10
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter

        Text {
            objectName: "notificationTitle"
            text: qsTr("Achievement Unlocked")
            font.pixelSize: 13
            color: "#01a9e2"
            textFormat: Text.PlainText
        }
        Text {
            objectName: "notificationName"
            width: parent.width
            elide: Text.ElideRight
            text: banner.current ? banner.current.name : ""
            font.pixelSize: 18
            color: "white"
            textFormat: Text.PlainText
        }
    }

    Timer {
        id: timer

        interval: banner.duration
        onTriggered: banner.__showNext()
    }
}
