import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0

// A skinned push button sized to its text. With an icon name it shows the skin's icon variant of the
// button image ("button-sd.png" with icon "arrow" gives "button-arrow-sd.png").
Item {
    id: button

    property alias text: label.text
    property color textColor: "white"
    property alias textItem: label
    property alias font: label.font
    property alias mouseArea: mouseArea
    property real marginHorizontal: 10
    property real marginVertical: 5
    property string iconName: ""
    property bool mirrorX: false
    property bool mirrorY: false
    property ButtonSkin platformStyle: ButtonSkin {}

    signal clicked

    // The skin image for the icon, or an empty URL when the image name has no size suffix.
    function __imageSource() {
        var name = String(platformStyle.buttonImage)
        if (iconName === "")
            return name
        // "-hd2" before "-hd": else a "-hd2" name would lose its "2".
        var suffixes = ["-sd", "-hd2", "-hd"]
        for (var i = 0; i < suffixes.length; ++i) {
            var at = name.indexOf(suffixes[i])
            if (at >= 0) {
                var cut = name.substring(0, at)
                console.log("modified url:", cut)
                return cut + "-" + iconName + suffixes[i] + ".png"
            }
        }
        return ""
    }

    objectName: "button"
    width: label.implicitWidth + 2 * marginHorizontal
    height: label.implicitHeight + 2 * marginVertical

    MultiResolutionImage {
        id: image

        anchors.fill: parent
        source: button.__imageSource()
        mirrorX: button.mirrorX
        mirrorY: button.mirrorY
        opacity: mouseArea.pressed ? 0.5 : 1.0
    }

    Text {
        id: label

        anchors.centerIn: parent
        color: button.textColor
        font.pixelSize: 12
    }

    MouseArea {
        id: mouseArea

        anchors.fill: parent
        onClicked: button.clicked()
    }
}
