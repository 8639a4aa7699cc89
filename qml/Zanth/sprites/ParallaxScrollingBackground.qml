import QtQuick 2.15
import Zanth 1.0

// An endlessly scrolling background: one image, or two alternating, repeated four times along the
// direction of motion. A copy that has scrolled past its limit jumps to the far end of the chain. The
// copies are multi-resolution images: the file for the content scale, at its logical size.
Item {
    id: background

    property url sourceImage
    property url sourceImage2
    property bool mirrorSecondImage: sourceImage2 == ""
    property point movementVelocity: Qt.point(0, 0)
    property point ratio: Qt.point(1, 1)
    property bool running: true
    property point __inversRatio: Qt.point(1 / ratio.x, 1 / ratio.y)
    property int __totalWidth: (image1.width + image2.width) * 2 * __inversRatio.x
    property int __totalHeight: (image1.height + image2.height) * 2 * __inversRatio.y

    function resetBackgrounds() {
    }

    // Relative image URLs are written by the component's user: Qt 6 leaves a url property unresolved,
    // so it is resolved against the folder of the file the background is declared in.
    function __resolved(url) {
        var text = url.toString()
        if (text === "" || text.indexOf(":") >= 0 || text.charAt(0) === "/" || typeof fileUtils === "undefined")
            return url
        return fileUtils.getPathUrl(text, background)
    }

    // The start of a layer along one axis: the table's value for a positive velocity, its absolute
    // value for a negative one, 0 without motion.
    function __start(velocity, value) {
        return velocity > 0 ? value : (velocity < 0 ? Math.abs(value) : 0)
    }

    function __wrap(position, velocity, layers, limiterName, axis, total) {
        for (var i = 0; i < layers.length; ++i) {
            var layer = layers[i]
            if (velocity > 0) {
                if (position > layer[limiterName]) {
                    layer[axis] -= total
                    layer[limiterName] += total
                }
            } else if (position < -layer[limiterName]) {
                layer[axis] += total
                layer[limiterName] += total
            }
        }
    }

    objectName: "parallaxScrollingBackgroundItem"

    MovementAnimation {
        target: inner
        property: "x"
        velocity: background.movementVelocity.x
        running: background.running
    }

    MovementAnimation {
        target: inner
        property: "y"
        velocity: background.movementVelocity.y
        running: background.running
    }

    Item {
        id: inner

        readonly property var layers: [layer1, layer2, layer3, layer4]
        readonly property real w1: image1.width * background.__inversRatio.x
        readonly property real w2: image2.width * background.__inversRatio.x
        readonly property real h1: image1.height * background.__inversRatio.y
        readonly property real h2: image2.height * background.__inversRatio.y
        readonly property real vx: background.movementVelocity.x
        readonly property real vy: background.movementVelocity.y

        onXChanged: background.__wrap(x, vx, layers, "limiterX", "x", background.__totalWidth)
        onYChanged: background.__wrap(y, vy, layers, "limiterY", "y", background.__totalHeight)

        ParallaxItem {
            id: layer1
            property real limiterX: inner.w1 * 1.5
            property real limiterY: inner.h1 * 1.5
            objectName: "parallaxItem"
            ratio: background.ratio
            x: background.__start(inner.vx, 0)
            y: background.__start(inner.vy, 0)
            MultiResolutionImage {
                id: image1
                objectName: "image1"
                source: background.__resolved(background.sourceImage)
            }
        }

        ParallaxItem {
            id: layer2
            property real limiterX: inner.w1 + inner.w2 * 1.5
            property real limiterY: inner.h1 + inner.h2 * 1.5
            objectName: "parallaxItem2"
            ratio: background.ratio
            x: background.__start(inner.vx, -inner.w1)
            y: background.__start(inner.vy, -inner.h1)
            MultiResolutionImage {
                id: image2
                objectName: "image2"
                source: background.__resolved(background.sourceImage2 != "" ? background.sourceImage2 : background.sourceImage)
                mirror: background.mirrorSecondImage && inner.vx !== 0
                mirrorY: background.mirrorSecondImage && inner.vy !== 0
            }
        }

        ParallaxItem {
            id: layer3
            property real limiterX: inner.w1 * 2.5 + inner.w2
            property real limiterY: inner.h1 * 2.5 + inner.h2
            objectName: "parallaxItem3"
            ratio: background.ratio
            x: background.__start(inner.vx, -(inner.w1 + inner.w2))
            y: background.__start(inner.vy, -(inner.h1 + inner.h2))
            MultiResolutionImage {
                objectName: "image3"
                source: background.__resolved(background.sourceImage)
            }
        }

        ParallaxItem {
            id: layer4
            property real limiterX: inner.w1 * 2 + inner.w2 * 2.5
            property real limiterY: inner.h1 * 2 + inner.h2 * 2.5
            objectName: "parallaxItem4"
            ratio: background.ratio
            x: background.__start(inner.vx, -(inner.w1 * 2 + inner.w2))
            y: background.__start(inner.vy, -(inner.h1 * 2 + inner.h2))
            MultiResolutionImage {
                objectName: "image4"
                source: background.__resolved(background.sourceImage2 != "" ? background.sourceImage2 : background.sourceImage)
                mirror: background.mirrorSecondImage && inner.vx !== 0
                mirrorY: background.mirrorSecondImage && inner.vy !== 0
            }
        }
    }
}
