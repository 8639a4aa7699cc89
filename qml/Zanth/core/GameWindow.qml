import QtQuick 2.15
import Zanth 1.0

// The root of every engine application: the window's default size, the image-file suffixes for the
// current content scale, the window-size shortcuts for trying other screens, the pause and resume
// signals, the application-wide settings and utilities, and loadItemWithSceneGraph for items made at
// run time.
GameWindowItem {
    id: gameWindow

    // The default scale mode of every Scene.
    property string scaleMode: "letterbox"
    property var activeScene
    property bool resolutionChangingWithKeysEnabled: system.desktopPlatform
    property bool displayFpsEnabled: system.debugBuild
    property alias fpsTextItem: fpsText
    // Written by the bridge once per frame.
    property real framesPerSecond
    property var contentScalingFileSuffixes: ({
        "-sd": { "scaleThreshold": 1, "internalContentScaleFactor": 1, "requiredMaxTextureSize": 1024 },
        "-hd": { "scaleThreshold": 2, "internalContentScaleFactor": 2, "requiredMaxTextureSize": 2048 },
        "-hd2": { "scaleThreshold": 2.5, "internalContentScaleFactor": 4, "requiredMaxTextureSize": 4096 }
    })
    // The usable suffixes, the one for the highest scale first.
    property var __scaleImageSuffixList: []
    // Set by the scenes.
    property real xScaleForActiveScene
    property alias settings: settings
    property alias utils: utils
    // Shared caches of file reads.
    property alias globalProperties: globalProperties

    signal applicationPaused
    signal applicationResumed

    // Mirrors an item made at run time (and everything below it) into the scene graph; without this it
    // stays invisible.
    function loadItemWithSceneGraph(item) {
        if (typeof sceneGraphWrapper === "undefined")
            return
        console.log("GameWindow: creating scene-graph item in sceneGraphWrapper triggered by JavaScript code explicitly:", item)
        sceneGraphWrapper.createSceneGraphTreeFromQmlTree(item)
    }

    // Called by the bridge after the window was resized.
    function reshape(width, height) {
        var success = ZanthApplication.reshape(Qt.size(width, height))
        notifyChildrenOfSizeChange()
        return success
    }

    // Keeps the orientation: the longer side stays the longer one.
    function updateDeclarativeViewWindowSize(biggerSide, smallerSide) {
        if (width > height) {
            width = biggerSide
            height = smallerSide
        } else {
            height = biggerSide
            width = smallerSide
        }
        console.log("GameWindow: changing screen resolution to", width, "*", height)
        ZanthApplication.updateWindowSize(Qt.size(width, height))
        notifyChildrenOfSizeChange()
    }

    function notifyChildrenOfSizeChange() {
        for (var i = 0; i < children.length; ++i) {
            var child = children[i]
            child.widthChanged()
            if (child.item && typeof child.sourceComponent === "object" && typeof child.source === "object")
                child.item.widthChanged()
        }
    }

    function calculateScaleImageSuffixList() {
        var maxTextureSize = system.maxTextureSize
        var usable = []
        for (var suffix in contentScalingFileSuffixes) {
            var entry = contentScalingFileSuffixes[suffix]
            if (entry.scaleThreshold > xScaleForActiveScene)
                continue
            if (entry.requiredMaxTextureSize > maxTextureSize) {
                console.log("GameWindow: the textures for this scalingFactor are not supported, because maxTextureSize is too low! maxTextureSize of device:",
                            maxTextureSize, ", required texSize for the contenScalingSuffix", suffix, ":",
                            entry.requiredMaxTextureSize)
                continue
            }
            usable.push({ "suffix": suffix, "scaleThreshold": entry.scaleThreshold })
        }
        usable.sort(sortSuffixesBasedOnScaleThreshold)
        __scaleImageSuffixList = usable.map(function(entry) { return entry.suffix })
    }

    function sortSuffixesBasedOnScaleThreshold(a, b) {
        return b.scaleThreshold - a.scaleThreshold
    }

    function calculateScreenOrientationTranslationY() {
        return isPortraitOnMeego() ? gameWindow.width : 0
    }

    function isPortraitOnMeego() {
        return system.platform === System.Meego
                && (system.screenOrientation === System.ScreenOrientationPortrait
                    || system.screenOrientation === System.ScreenOrientationSensorPortrait)
    }

    objectName: "gameWindow"
    width: 960
    height: 640
    focus: resolutionChangingWithKeysEnabled
    transform: [
        Rotation { id: orientationRotation; origin.x: 0; origin.y: 0; angle: 0 },
        Translate { x: 0; y: calculateScreenOrientationTranslationY() }
    ]

    onActiveSceneChanged: {
        if (activeScene)
            activeScene.forceActiveFocus()
    }
    onDisplayFpsEnabledChanged: setDisplayFPS(displayFpsEnabled)
    onXScaleForActiveSceneChanged: {
        calculateScaleImageSuffixList()
        if (typeof sceneGraphWrapper !== "undefined")
            sceneGraphWrapper.setZanthContentScaleFactor(xScaleForActiveScene)
    }

    Keys.onPressed: (event) => {
        if (system.publishBuild || !resolutionChangingWithKeysEnabled)
            return
        if (event.key === Qt.Key_Escape) {
            console.log("GameWindow: Escape pressed, quit application")
            event.accepted = true
            system.pauseGameForObject(gameWindow)
            Qt.quit()
            return
        }
        if (event.modifiers !== Qt.ControlModifier)
            return
        var sizes = {}
        sizes[Qt.Key_1] = [960, 640]
        sizes[Qt.Key_2] = [480, 320]
        sizes[Qt.Key_3] = [1136, 640]
        sizes[Qt.Key_4] = [640, 360]
        sizes[Qt.Key_5] = [854, 480]
        sizes[Qt.Key_6] = [800, 480]
        sizes[Qt.Key_7] = [1024, 768]
        if (sizes[event.key] !== undefined) {
            updateDeclarativeViewWindowSize(sizes[event.key][0], sizes[event.key][1])
            event.accepted = true
        } else if (event.key === Qt.Key_F) {
            fullscreen = !fullscreen
            event.accepted = true
        }
    }

    Component.onCompleted: {
        // The scene graph draws a frame-rate label of its own.
        if (typeof sceneGraphWrapper !== "undefined")
            fpsText.visible = false
        if (isPortraitOnMeego())
            orientationRotation.angle = 270
        // The window's own focus binding is evaluated after activeScene took the focus: give it back.
        if (activeScene)
            activeScene.forceActiveFocus()
    }

    Settings {
        id: settings
    }

    Utils {
        id: utils
    }

    Item {
        id: globalProperties

        property var currentlyReadFiles: ({})
        property var cachedFileReadResults: ({})
    }

    Text {
        id: fpsText

        objectName: "fpsTextItem"
        visible: displayFpsEnabled
        x: 20
        y: 20
        z: 100
        width: 100
        color: "blue"
    }

    Binding {
        target: fpsText
        property: "text"
        value: "fps: " + (typeof avgFps !== "undefined" ? avgFps : "")
        when: fpsText.visible && typeof avgFps !== "undefined"
        restoreMode: Binding.RestoreNone
    }

    Connections {
        target: typeof sceneGraphWrapper !== "undefined" ? sceneGraphWrapper : null

        function onApplicationPaused() {
            console.log("GameWindow: applicationPaused()")
            gameWindow.applicationPaused()
        }

        function onApplicationResumed() {
            console.log("GameWindow: applicationResumed()")
            gameWindow.applicationResumed()
        }
    }
}
