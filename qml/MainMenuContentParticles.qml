import QtQuick 2.15
import "EffectFiles.js" as EffectFiles
import "ArrayStorage.js" as CustomButtons
import "ArrayStorage.js" as BuiltInButtons

// The effects to choose from: the user's saved effects first, then the built-in ones.
Column {
    id: list

    property string editableType: String(scene.itemEditor.currentEditableType)
    property bool dataStorageLocation: false

    function addButton(section, store, name, userFile) {
        var buttons = store.getArray()
        for (var i = 0; i < buttons.length; ++i)
            if (buttons[i].text === name)
                return
        var button = buttonFactory.createObject(section, { "text": name, "dataStorageLocation": userFile })
        if (!button) {
            console.log("[ParticleButton] ERROR: creating repeater object failed!")
            return
        }
        button.clicked.connect(function() {
            list.dataStorageLocation = button.dataStorageLocation
            scene.entityMenu.dataStorageLocation = button.dataStorageLocation
            scene.itemEditor.currentEditableType = button.text
        })
        store.push(button)
        if (userFile)
            console.log("[MainMenuContentParticles] custom effect: " + name)
        window.loadItemWithSceneGraph(button)
    }

    function fillListWithFiles() {
        // Sorted: the listing itself comes in no particular order.
        var builtIn = fileUtils.listFiles(Qt.resolvedUrl("particles/"), ["*.json"]).sort()
        var saved = fileUtils.listFiles(fileUtils.getDataStorageUrl(scene.storageLocation), ["*.json"]).sort()
        for (var i = 0; i < saved.length; ++i)
            addButton(customSection, CustomButtons, EffectFiles.baseName(saved[i]), true)
        for (var j = 0; j < builtIn.length; ++j)
            addButton(builtInSection, BuiltInButtons, EffectFiles.baseName(builtIn[j]), false)
        customMarker.visible = system.desktopPlatform && CustomButtons.getArray().length > 0
    }

    onDataStorageLocationChanged: scene.entityMenu.dataStorageLocation = dataStorageLocation
    width: scene.innerSpace
    spacing: 4

    Item {
        width: list.width
        height: 16
        Text { text: "Custom Particles"; color: "white"; font.pixelSize: 11 }
        Text { id: customMarker; anchors.right: parent.right; text: "[...]"; color: "white"; font.pixelSize: 11; visible: false }
        MouseArea {
            anchors.fill: parent
            onClicked: nativeUtils.openUrl(fileUtils.getDataStorageUrl(scene.storageLocation))
        }
    }
    // Each section holds a drawn placeholder from the start: the scene graph mirrors only items with
    // something drawn below them, and a button added later to a section without a node of its own
    // would be drawn at the menu's corner, outside the section's layout.
    Column {
        id: customSection
        width: list.width
        spacing: 4
        Rectangle { visible: false; width: 0; height: 0 }
    }
    Item { width: list.width; height: 2 }
    Rectangle { width: list.width; height: 2; color: "white"; opacity: 0.75 }
    Item { width: list.width; height: 2 }
    Column {
        id: builtInSection
        width: list.width
        spacing: 4
        Rectangle { visible: false; width: 0; height: 0 }
    }

    Component {
        id: buttonFactory
        ParticleButton {}
    }
}
