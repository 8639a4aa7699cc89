import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0

// A speech panel that types its texts out one character at a time. When a text is fully shown, a
// button at the bottom right advances to the next; after the last text the dialog hides itself, or
// starts over when dialogTextRepeat is set.
Item {
    id: dialog

    property var dialogText: []
    // The part of the current text shown so far.
    property string dialogTextVisible: ""
    // Milliseconds per character.
    property int dialogTextDelay: 50
    property bool dialogTextRepeat: false
    property TextDialogSkin platformStyle: TextDialogSkin {}

    property int __index: 0
    property string __fullText: dialogText && dialogText.length > __index ? String(dialogText[__index]) : ""
    // The typewriter starts typing by itself once it is set up, and its controls only warn before that;
    // its first tick tells that it is ready.
    property bool __typerReady: false

    function __restart() {
        dialogTextVisible = ""
        nextButton.visible = false
        if (__typerReady) {
            typer.stop()
            typer.start()
        }
    }

    function __halt() {
        if (__typerReady)
            typer.stop()
    }

    function __advance() {
        nextButton.visible = false
        if (__index + 1 < dialogText.length) {
            ++__index
            __restart()
            return
        }
        __index = 0
        if (dialogTextRepeat) {
            __restart()
        } else {
            __halt()
            visible = false
        }
    }

    objectName: "textDialog"
    width: 200
    height: 55

    onVisibleChanged: {
        if (visible)
            __restart()
        else
            __halt()
    }
    onDialogTextChanged: {
        __index = 0
        if (visible)
            __restart()
    }
    Component.onCompleted: {
        if (visible)
            __restart()
    }

    TypeWriterItem {
        id: typer

        typeDelay: Math.max(1, dialog.dialogTextDelay)
        textSource: dialog.__fullText

        onTypeWriterTextChanged: {
            dialog.__typerReady = true
            dialog.dialogTextVisible = typeWriterText
        }
        // The typewriter empties its text at the end; the dialog keeps the whole text on show.
        onTypeWriterFinished: {
            dialog.__typerReady = true
            dialog.dialogTextVisible = dialog.__fullText
            nextButton.visible = true
        }
    }

    MultiResolutionImage {
        id: backgroundImage

        visible: String(dialog.platformStyle.backgroundImage) !== ""
        source: dialog.platformStyle.backgroundImage
        anchors.fill: parent
    }

    Rectangle {
        visible: !backgroundImage.visible
        anchors.fill: parent
        color: dialog.platformStyle.backgroundColor
    }

    Text {
        objectName: "textDialogText"
        anchors.fill: parent
        anchors.margins: 6
        anchors.rightMargin: 6 + nextButton.width
        wrapMode: Text.WordWrap
        text: dialog.dialogTextVisible
        color: dialog.platformStyle.textColor
        font.pixelSize: 12
    }

    Item {
        id: nextButton

        objectName: "textDialogButton"
        visible: false
        width: 32
        height: 32
        anchors.right: parent.right
        anchors.bottom: parent.bottom

        MultiResolutionImage {
            id: buttonImage

            visible: String(dialog.platformStyle.buttonImage) !== ""
            source: dialog.platformStyle.buttonImage
            anchors.fill: parent
        }

        Rectangle {
            visible: !buttonImage.visible
            anchors.fill: parent
            color: dialog.platformStyle.buttonColor
        }

        MouseArea {
            anchors.fill: parent
            onClicked: dialog.__advance()
        }
    }
}
