import QtQuick 2.15
import Zanth 1.0

// One thumbnail of an image viewer: the image stretched over a square; a click selects it.
Item {
    id: thumbnail

    property url source
    property real size: 64

    signal selected(url source)

    objectName: "imageRepeaterModel"
    width: size
    height: size

    Image {
        anchors.fill: parent
        source: thumbnail.source
    }

    MouseArea {
        anchors.fill: parent
        onClicked: thumbnail.selected(thumbnail.source)
    }
}
