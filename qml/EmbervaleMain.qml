import QtQuick 2.15
import Zanth 1.0
import Zanth.plugins.flurry 1.0

// Embervale's window: the editor scene at twice its logical size, so the "-hd" images are chosen.
GameWindow {
    id: window

    property alias itemEditor: scene.itemEditor

    // Where saved effects and exported property lists go, relative to the documents folder.
    function getInternalStorageLocation() {
        if (system.isPlatform(System.Mac) || system.isPlatform(System.Linux) || system.isPlatform(System.Windows))
            return system.getConfigValue("title") + "/particles/"
        return "particles/"
    }

    // Records the first start in the settings and tells the analytics, once. The record is a write to
    // the settings database, which waits for the disk: it is made once the first frame is on the screen.
    function recordFirstStart() {
        if (settings.getValue("firstStart") === undefined) {
            settings.setValue("firstStart", true)
            flurry.logEvent("FirstStart")
        }
    }

    width: 960
    height: 640
    displayFpsEnabled: false
    maximizeable: true
    resizeable: true

    // Declared before the scene, so it still exists while the scene goes.
    EntityManager {
        id: entityManager
        entityContainer: scene
    }

    EmbervaleScene {
        id: scene
    }

    Flurry {
        id: flurry
        applicationKey: "QKD47TTR2LAMNCPVFHGE"
    }

    Component.onCompleted: {
        if (typeof ZanthApplication === "undefined" || ZanthApplication.firstFrameShown)
            recordFirstStart()
        console.log("Embervale: started")
    }

    Connections {
        target: typeof ZanthApplication !== "undefined" ? ZanthApplication : null
        function onFirstFrameShownChanged() {
            if (ZanthApplication.firstFrameShown)
                window.recordFirstStart()
        }
    }
}
