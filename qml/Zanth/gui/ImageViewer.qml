import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0
import "GUIScript.js" as GUIScript
import "ImageViewerStorage.js" as Storage

// Shows the image at fileUrl with its file name, and below a separator one thumbnail per entry of
// imageSources, thumbnailsPerRow to a row; clicking a thumbnail makes its image the shown one.
Item {
    id: viewer

    property url fileUrl
    property var imageSources: []
    property int thumbnailsPerRow: 1
    property ImageViewerSkin platformStyle: ImageViewerSkin {}
    property Utils __utils: Utils {}

    // The target's property follows fileUrl; false when it already did.
    function addBinding(target, property) {
        return GUIScript.addBinding(target, property, "viewer.fileUrl")
    }

    function removeBinding(target) {
        return GUIScript.removeBinding(target)
    }

    function __rebuildThumbnails() {
        for (var i = 0; i < Storage.thumbnails.length; ++i)
            Storage.thumbnails[i].destroy()
        Storage.thumbnails = []
        if (!imageSources)
            return
        var component = Qt.createComponent("ImageRepeaterModel.qml")
        if (component.status !== Component.Ready) {
            console.log("[ImageViewer] ERROR: loading repeater object failed:", component.errorString())
            return
        }
        for (var n = 0; n < imageSources.length; ++n) {
            var thumbnail = component.createObject(grid, {
                "source": imageSources[n],
                "size": platformStyle.textureDisplaySize
            })
            if (!thumbnail) {
                console.log("[ImageViewer] ERROR: creating repeater object failed!")
                continue
            }
            thumbnail.selected.connect(function(source) { viewer.fileUrl = source })
            Storage.thumbnails.push(thumbnail)
        }
        // A viewer not mirrored yet takes its thumbnails along when it is; mirroring them first would
        // hang them on no parent node.
        if (typeof sceneGraphWrapper !== "undefined" && sceneGraphWrapper.hasSceneGraphNode(viewer)
                && typeof rootGameWindow !== "undefined" && rootGameWindow)
            rootGameWindow.loadItemWithSceneGraph(grid)
    }

    objectName: "imageViewer"
    width: platformStyle.contentWidth
    height: column.height

    onImageSourcesChanged: __rebuildThumbnails()
    Component.onCompleted: __rebuildThumbnails()

    Column {
        id: column

        x: viewer.platformStyle.leftMargin
        width: viewer.width - viewer.platformStyle.leftMargin - viewer.platformStyle.rightMargin
        spacing: viewer.platformStyle.spacing

        Item {
            width: parent.width
            height: viewer.platformStyle.textureDisplaySize

            Image {
                objectName: "imageViewerImage"
                anchors.centerIn: parent
                width: viewer.platformStyle.textureDisplaySize
                height: viewer.platformStyle.textureDisplaySize
                source: viewer.fileUrl
            }
        }

        Text {
            objectName: "imageViewerFileName"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: String(viewer.fileUrl) === "" ? "" : viewer.__utils.cropPath(viewer.fileUrl, false)
            color: viewer.platformStyle.textColor
        }

        Rectangle {
            width: parent.width
            height: viewer.platformStyle.seperatorSize
            color: viewer.platformStyle.separatorColor
        }

        Grid {
            id: grid

            anchors.horizontalCenter: parent.horizontalCenter
            columns: Math.max(1, viewer.thumbnailsPerRow)
            spacing: viewer.platformStyle.spacing
        }
    }
}
