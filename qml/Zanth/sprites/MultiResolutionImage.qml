import QtQuick 2.15
import Zanth 1.0

// One image file in the resolution that suits the content scale: the file with the game window's image
// suffix, scaled down by the suffix's factor so that the item keeps its logical size.
Item {
    id: multiResImage

    // The logical file name, without a suffix or with any known one.
    property url source
    property alias mirror: image.mirror
    property alias mirrorX: image.mirror
    property alias mirrorY: image.mirrorY

    function __outerSizeChanged(outer, inner, setInner) {
        var factor = chooser.internalScaleFactorForMultiResImages
        if (outer !== 0 && outer !== inner * factor && inner !== 0)
            setInner(outer / factor)
    }

    function __innerSizeChanged(outer, inner, setOuter, setInner) {
        var factor = chooser.internalScaleFactorForMultiResImages
        if (outer === 0)
            setOuter(inner * factor)
        else if (inner !== outer / factor)
            setInner(outer / factor)
    }

    objectName: "multiResImage"

    onWidthChanged: __outerSizeChanged(width, image.width, function(value) { image.width = value })
    onHeightChanged: __outerSizeChanged(height, image.height, function(value) { image.height = value })

    Image {
        id: image

        property bool mirrorY: false

        objectName: "multiResImage_image"
        transformOrigin: Item.TopLeft
        scale: chooser.internalScaleFactorForMultiResImages

        onWidthChanged: multiResImage.__innerSizeChanged(multiResImage.width, width,
                                                          function(value) { multiResImage.width = value },
                                                          function(value) { image.width = value })
        onHeightChanged: multiResImage.__innerSizeChanged(multiResImage.height, height,
                                                           function(value) { multiResImage.height = value },
                                                           function(value) { image.height = value })
    }

    ContentScaleFileChooser {
        id: chooser

        objectName: "multiResImage_fileChooser"
        filename: multiResImage.source
        // Relative names belong to the file that declared this item, not to this library file.
        onModifiedFilenameChanged: image.source = Qt.resolvedUrl(modifiedFilename, multiResImage)
    }
}
