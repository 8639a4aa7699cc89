import QtQuick 2.15

// Small utilities the game window offers as its utils property.
Item {
    id: utils

    // A uniform random number in [minimum, maximum).
    function generateRandomValueBetween(minimum, maximum) {
        return minimum + Math.random() * (maximum - minimum)
    }

    function cropPath(path, cropExtension) {
        return fileUtils.cropPathAndKeepFilename(String(path), cropExtension)
    }

    // With a scene, the rectangle is in the scene's coordinates and scaled with it.
    function captureScreenshot(name, x, y, width, height, scene) {
        if (scene) {
            var mapped = utils.mapFromItem(scene, x, y)
            system.captureScreenshot(name, mapped.x, mapped.y, width * scene.xScaleForScene,
                                     height * scene.yScaleForScene)
        } else {
            system.captureScreenshot(name, x, y, width, height)
        }
    }

    function captureScreenshotFullscreen(name) {
        system.captureScreenshot(name, 0, 0, rootGameWindow.width, rootGameWindow.height)
    }

    // The decimal places of the number's text form: fraction digits minus the exponent, at least 0.
    function decimals(number) {
        var parts = String(number).match(/(?:\.(\d+))?(?:[eE]([+-]?\d+))?$/)
        var digits = parts && parts[1] ? parts[1].length : 0
        var exponent = parts && parts[2] ? parseInt(parts[2], 10) : 0
        return Math.max(0, digits - exponent)
    }
}
