import QtQuick 2.15

// One game view, written for a logical size and scaled into the game window by the scale mode, placed
// by the alignment. The scale is an ordinary Scale transform, so the scene graph draws the whole
// subtree scaled; the x scale is reported to the game window, which picks image suffixes from it.
Item {
    id: scene

    // Raster for snapping entities in the level editor.
    property real gridSize: 16
    // "left", "center" or "right".
    property string sceneAlignmentX: "center"
    // "top", "center" or "bottom".
    property string sceneAlignmentY: "center"
    // Covers the whole game window in the scene's coordinates.
    property alias gameWindowAnchorItem: gameWindowAnchorItem
    property real xScaleForScene: calculateXScaleForScaleMode()
    property real yScaleForScene: calculateYScaleForScaleMode()
    property var sceneGameWindow: typeof rootGameWindow !== "undefined" ? rootGameWindow : null
    property string scaleMode: sceneGameWindow ? sceneGameWindow.scaleMode : ""
    property real __xOffsetForAbsoluteWindowCoordinates: x / xScaleForScene
    property real __yOffsetForAbsoluteWindowCoordinates: y / yScaleForScene

    function calculateXScaleForScaleMode() {
        if (!sceneGameWindow) {
            console.log("Scene: returning 1 for the xScaleForScene, but sceneGameWindow was invalid! this is the scene:", scene)
            return 1
        }
        // The window is known a moment before its scale mode is.
        if (scaleMode === "")
            return 1
        return scaleForScaleMode(sceneGameWindow.width / scene.width, sceneGameWindow.height / scene.height, true)
    }

    function calculateYScaleForScaleMode() {
        if (!sceneGameWindow || scaleMode === "")
            return 1
        return scaleForScaleMode(sceneGameWindow.width / scene.width, sceneGameWindow.height / scene.height, false)
    }

    function scaleForScaleMode(scaleX, scaleY, forX) {
        if (scaleMode === "letterbox")
            return Math.min(scaleX, scaleY)
        if (scaleMode === "zoomEven")
            return Math.max(scaleX, scaleY)
        if (scaleMode === "zoomStretch")
            return forX ? scaleX : scaleY
        if (scaleMode === "none")
            return 1
        console.log("ERROR: unknown scaleMode:", scaleMode)
        return undefined
    }

    function sceneTransformXFromSceneAlignment() {
        if (!sceneGameWindow)
            return 0
        var free = sceneGameWindow.width - scene.width * xScaleForScene
        if (sceneAlignmentX === "center")
            return free / 2
        if (sceneAlignmentX === "left")
            return 0
        if (sceneAlignmentX === "right")
            return free
        console.log("ASSERT: undefined sceneAlignmentX:", sceneAlignmentX)
        return 0
    }

    function sceneTransformYFromSceneAlignment() {
        if (!sceneGameWindow)
            return 0
        var free = sceneGameWindow.height - scene.height * yScaleForScene
        if (sceneAlignmentY === "center")
            return free / 2
        if (sceneAlignmentY === "top")
            return 0
        if (sceneAlignmentY === "bottom")
            return free
        console.log("ASSERT: undefined sceneAlignmentY:", sceneAlignmentY)
        return 0
    }

    // The scenes of one game share the game window's one active scale: the last change wins.
    function copyScaleToGameWindow(logPrefix) {
        if (sceneGameWindow.xScaleForActiveScene !== xScaleForScene) {
            console.log(logPrefix + ": xScaleForScene(", xScaleForScene, ") is different than from GameWindow (",
                        sceneGameWindow.xScaleForActiveScene, ")")
            sceneGameWindow.xScaleForActiveScene = xScaleForScene
        }
    }

    width: 480
    height: 320
    visible: opacity > 0
    // Bindings, not assignments: a window resize that keeps the scale still moves the scene.
    x: sceneTransformXFromSceneAlignment()
    y: sceneTransformYFromSceneAlignment()
    transform: Scale {
        origin.x: 0
        origin.y: 0
        xScale: scene.xScaleForScene
        yScale: scene.yScaleForScene
    }

    onXScaleForSceneChanged: {
        if (sceneGameWindow)
            sceneGameWindow.xScaleForActiveScene = xScaleForScene
    }
    onSceneGameWindowChanged: {
        console.log("Scene: onSceneGameWindowChanged changed to", sceneGameWindow)
        if (sceneGameWindow && scaleMode !== "") {
            console.log("scaleMode is defined!")
            copyScaleToGameWindow("Scene: onSceneGameWindowChanged")
        }
    }
    onScaleModeChanged: {
        if (sceneGameWindow)
            copyScaleToGameWindow("Scene: onScaleModeChanged")
    }

    Item {
        id: gameWindowAnchorItem

        x: -scene.__xOffsetForAbsoluteWindowCoordinates
        y: -scene.__yOffsetForAbsoluteWindowCoordinates
        width: scene.sceneGameWindow
               ? scene.width + (scene.sceneGameWindow.width - scene.width * scene.xScaleForScene) / scene.xScaleForScene
               : scene.width
        height: scene.sceneGameWindow
                ? scene.height + (scene.sceneGameWindow.height - scene.height * scene.yScaleForScene) / scene.yScaleForScene
                : scene.height
    }

    // Bindings on the scene's size are looked at again after a window resize.
    Connections {
        target: scene.parent ? (scene.parent.parent ? scene.parent.parent : scene.parent) : null

        function onWidthChanged() {
            scene.widthChanged()
        }
    }
}
