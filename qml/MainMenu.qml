import QtQuick 2.15

// The left menu: effects to choose, actions and the background settings.
SlidingMenu {
    id: mainMenu

    fromLeft: true
    editor.currentEditableType: "Menu"
    editor.defaultGroupName: "Main Menu"

    Component.onCompleted: {
        editor.addItemsToExternalGroupPanel("Main Menu", Qt.resolvedUrl("MainMenuContent.qml"))
        var particles = editor.addItemsToExternalGroupPanel("Particles", Qt.resolvedUrl("MainMenuContentParticles.qml"))
        if (particles) {
            scene.particleList = particles
            particles.fillListWithFiles()
        }
    }
}
