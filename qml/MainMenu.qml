import QtQuick 2.15

// The left menu: effects to choose, actions and the background settings.
SlidingMenu {
    id: mainMenu

    // Whether the pages are made: hidden, the menu shows nothing of them, so they are made once the first
    // frame is on the screen, or sooner when the user reaches for the menu.
    property bool pagesMade: false

    // Makes the "Main Menu" and "Particles" pages, once.
    function makePages() {
        if (pagesMade)
            return
        pagesMade = true
        editor.addItemsToExternalGroupPanel("Main Menu", Qt.resolvedUrl("MainMenuContent.qml"))
        var particles = editor.addItemsToExternalGroupPanel("Particles", Qt.resolvedUrl("MainMenuContentParticles.qml"))
        if (particles) {
            scene.particleList = particles
            particles.fillListWithFiles()
        }
    }

    fromLeft: true
    editor.currentEditableType: "Menu"
    editor.defaultGroupName: "Main Menu"

    onOpening: makePages()
    Component.onCompleted: {
        // The program starts with one effect of the start type.
        scene.addEffects(String(scene.itemEditor.currentEditableType), 1)
        if (typeof ZanthApplication === "undefined" || ZanthApplication.firstFrameShown)
            makePages()
    }

    Connections {
        target: typeof ZanthApplication !== "undefined" ? ZanthApplication : null
        function onFirstFrameShownChanged() {
            if (ZanthApplication.firstFrameShown)
                mainMenu.makePages()
        }
    }
}
