import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0

// Chooses a texture among the images beside the current one, on the widget library's image viewer.
ItemEditorBaseDelegate {
    id: delegate

    property string __listedFolder: ""
    property Utils __utils: Utils {}

    function __folderOf(url) {
        return String(url).replace(/[^\/]*$/, "")
    }

    // The thumbnails are the PNG files of the shown texture's folder, in name order.
    function __listFolder(url) {
        var folder = __folderOf(url)
        if (folder === "" || folder === __listedFolder)
            return
        __listedFolder = folder
        var names = fileUtils.listFiles(url, ["*.png"])
        names.sort()
        var sources = []
        for (var i = 0; i < names.length; ++i)
            sources.push(fileUtils.getPathUrl(names[i], url))
        viewer.imageSources = sources
    }

    function __show(value) {
        if (value === null || value === undefined)
            return
        viewer.fileUrl = value
        __listFolder(viewer.fileUrl)
    }

    modelWrite: viewer.fileUrl
    labelText: labelName + ": " + (String(viewer.fileUrl) === "" ? "" : __utils.cropPath(viewer.fileUrl, false))

    onInitialValueChanged: __show(initialValue)
    onModelChanged: {
        if (isDefined(model) && model !== null && String(model) !== String(viewer.fileUrl))
            __show(model)
    }

    ImageViewer {
        id: viewer

        objectName: "textureItem"
        width: delegate.width
        thumbnailsPerRow: Math.max(1, Math.floor((width - platformStyle.leftMargin - platformStyle.rightMargin + platformStyle.spacing)
                                                 / (platformStyle.textureDisplaySize + platformStyle.spacing)))
        platformStyle: ImageViewerSkin {
            textureDisplaySize: 36
            spacing: 4
            leftMargin: 0
            rightMargin: 0
        }
    }
}
