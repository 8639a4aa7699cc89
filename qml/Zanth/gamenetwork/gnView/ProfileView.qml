import QtQuick 2.15

// The player's profile: the name with a way to change it, synchronisation, and linking with Facebook.
Item {
    id: profileView

    property var gameNetworkItem: typeof gameNetwork !== "undefined" ? gameNetwork : null
    readonly property string userName: gameNetworkItem ? gameNetworkItem.userName : ""
    readonly property string facebookConnectionState: gameNetworkItem ? gameNetworkItem.facebookConnectionState
                                                                      : "facebookNotConnected"
    property bool __waitingForUserName: false

    function changeUserName() {
        __waitingForUserName = true
        nativeUtils.displayTextInput(qsTr("Change Username"), qsTr("Enter your new username:"), "", userName)
    }

    function userNameEntered(accepted, enteredText) {
        if (!__waitingForUserName)
            return
        __waitingForUserName = false
        if (!accepted || !gameNetworkItem)
            return
        if (!gameNetworkItem.updateUserName(enteredText))
            nativeUtils.displayMessageBox(qsTr("Invalid Username"),
                qsTr("You entered an invalid username, please try a different one. The username must not start with a number or contain any swearwords."))
    }

    function connectFacebook() {
        if (system.desktopPlatform) {
            nativeUtils.displayMessageBox(qsTr("Facebook Connection"),
                qsTr("Connecting with Facebook needs a mobile platform; it is not available on desktop platforms."))
            return
        }
        if (gameNetworkItem)
            gameNetworkItem.connectFacebookUser()
    }

    function showAboutView() {
        var user = gameNetworkItem ? gameNetworkItem.user : null
        nativeUtils.displayMessageBox(qsTr("About"),
            qsTr("Your scores and achievements are kept by the game network, so they are safe when you change your device. Please tell support this number:")
            + " " + (user ? user.deviceId + " (" + user.userId + ")" : ""))
    }

    Connections {
        target: typeof nativeUtils !== "undefined" ? nativeUtils : null
        ignoreUnknownSignals: true
        function onTextInputFinished(accepted, enteredText) { profileView.userNameEntered(accepted, enteredText) }
    }

    Flickable {
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height + 24
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: column
            x: 12
            y: 12
            width: parent.width - 24
            spacing: 10

            Text {
                objectName: "profileUserName"
                width: parent.width
                elide: Text.ElideRight
                text: profileView.userName !== "" ? profileView.userName : qsTr("No username yet")
                font.pixelSize: 22
                color: "#222222"
                textFormat: Text.PlainText
            }
            GNButton {
                objectName: "changeUserNameButton"
                text: qsTr("Change Username")
                iconSource: "qrc:/qml/Zanth/gamenetwork/gnView/img/profile.png"
                onClicked: profileView.changeUserName()
            }
            GNButton {
                objectName: "synchronizeButton"
                text: qsTr("Synchronize")
                onClicked: if (profileView.gameNetworkItem) profileView.gameNetworkItem.sync()
            }

            Text {
                width: parent.width
                wrapMode: Text.WordWrap
                font.pixelSize: 13
                color: "#555555"
                textFormat: Text.PlainText
                text: profileView.facebookConnectionState === "facebookNotConnected"
                      ? qsTr("Connect with Facebook to compare your scores with your friends.")
                      : profileView.facebookConnectionState === "facebookNoReadPermissions"
                        ? qsTr("Allow access to your friend list to see your friends' scores.")
                        : profileView.facebookConnectionState === "facebookNoWritePermissions"
                          ? qsTr("Allow posting to share your highscores and achievements with your friends.")
                          : qsTr("You are connected with Facebook.")
            }
            GNButton {
                objectName: "connectFacebookButton"
                visible: profileView.facebookConnectionState === "facebookNotConnected"
                text: qsTr("Connect with Facebook")
                onClicked: profileView.connectFacebook()
            }
            GNButton {
                visible: profileView.facebookConnectionState === "facebookNoReadPermissions"
                text: qsTr("Allow Facebook Friendlist")
                onClicked: profileView.connectFacebook()
            }
            GNButton {
                visible: profileView.facebookConnectionState === "facebookNoWritePermissions"
                text: qsTr("Allow Facebook Successes")
                onClicked: {
                    var facebookItem = profileView.gameNetworkItem ? profileView.gameNetworkItem.facebookItem : null
                    if (facebookItem)
                        facebookItem.postGraphRequest("")
                }
            }
            GNButton {
                visible: profileView.facebookConnectionState !== "facebookNotConnected"
                text: qsTr("Disconnect Facebook")
                onClicked: if (profileView.gameNetworkItem) profileView.gameNetworkItem.disconnectFacebookUser(true, false)
            }
        }
    }
}
