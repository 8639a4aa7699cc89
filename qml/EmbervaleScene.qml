import QtQuick 2.15
import Zanth 1.0

// The editor's stage: live effects on a background, the main menu sliding in from the left, the
// properties menu from the right, picking and dragging effects, keyboard paging, the quit question and
// the about screen.
Scene {
    id: scene

    property alias mainMenu: mainMenu.editor
    property alias entityMenu: entityMenu
    property alias mainMenuWrapper: mainMenu
    property alias itemEditor: entityMenu.editor
    property alias loadMessage: loadMessage
    property alias aboutPanel: aboutPanel
    property real innerSpace: mainMenu.editor.width - 20
    property color backgroundColor: Qt.rgba(0, 0, 0, 1.0)
    property bool entityBaseVisible: false
    property var selectedEntity: null
    property real usageAreaWidth: gameWindowAnchorItem.x + gameWindowAnchorItem.width
    property real usageAreaHeight: gameWindowAnchorItem.y + gameWindowAnchorItem.height
    property int pickableAreaSize: 50
    property var particleList: null
    property string storageLocation: window.getInternalStorageLocation()

    // Every effect on the stage, in creation order.
    function effectEntities() {
        return entityManager.getEntityArrayByType("particleEntity")
    }

    function createEffect(particleType, dataStorageLocation, x, y) {
        return entityManager.createEntityFromUrlWithProperties(Qt.resolvedUrl("particles/ParticleEntity.qml"), {
            "x": x, "y": y, "particleType": particleType, "dataStorageLocation": dataStorageLocation,
            "entityBaseVisible": entityBaseVisible, "storageLocation": storageLocation,
            "targetEditor": entityMenu.editor
        })
    }

    // Adds count effects of the type at random places on the stage.
    function addEffects(type, count) {
        flurry.logEvent("Add", type, count)
        for (var i = 0; i < count; ++i)
            createEffect(type + ".json", entityMenu.dataStorageLocation, Math.random() * usageAreaWidth,
                         Math.random() * usageAreaHeight)
    }

    function removeEffect(entity) {
        if (!entity)
            return
        if (selectedEntity === entity)
            selectedEntity = null
        entityManager.removeEntityById(entity.entityId)
    }

    function effectAt(px, py) {
        var list = effectEntities()
        for (var i = 0; i < list.length; ++i)
            if (Math.abs(list[i].x - px) < pickableAreaSize && Math.abs(list[i].y - py) < pickableAreaSize)
                return list[i]
        return null
    }

    function askToQuit() {
        quitRequest.pending = true
        nativeUtils.displayMessageBox(qsTr("Really quit the application?"), "", 2)
    }

    width: 480
    height: 320
    focus: true

    Component.onCompleted: forceActiveFocus()
    onEntityBaseVisibleChanged: {
        var list = effectEntities()
        for (var i = 0; i < list.length; ++i)
            list[i].entityBaseVisible = entityBaseVisible
    }
    onWidthChanged: { mainMenu.slideOut(); entityMenu.slideOut() }
    onHeightChanged: { mainMenu.slideOut(); entityMenu.slideOut() }

    Keys.onPressed: (event) => {
        if (!system.desktopPlatform)
            return
        if (event.key === Qt.Key_Backspace) {
            askToQuit()
        } else if (event.key === Qt.Key_D) {
            mainMenu.makePages()
            mainMenu.editor.nextGroup()
        } else if (event.key === Qt.Key_A) {
            mainMenu.makePages()
            mainMenu.editor.prevGroup()
        } else if (event.key === Qt.Key_Right) {
            entityMenu.editor.nextGroup()
        } else if (event.key === Qt.Key_Left) {
            entityMenu.editor.prevGroup()
        } else {
            return
        }
        event.accepted = true
    }
    Keys.onBackPressed: askToQuit()

    Connections {
        id: quitRequest
        property bool pending: false
        target: nativeUtils
        function onMessageBoxFinished(accepted) {
            if (!quitRequest.pending)
                return
            quitRequest.pending = false
            console.log("the user confirmed the Ok/Cancel dialog with:", accepted)
            scene.forceActiveFocus()
            if (accepted)
                Qt.quit()
        }
    }

    Rectangle {
        id: background
        x: scene.gameWindowAnchorItem.x
        y: scene.gameWindowAnchorItem.y
        width: scene.gameWindowAnchorItem.width
        height: scene.gameWindowAnchorItem.height
        color: scene.backgroundColor
    }

    MouseArea {
        objectName: "MouseArea"
        x: scene.gameWindowAnchorItem.x
        y: scene.gameWindowAnchorItem.y
        width: scene.gameWindowAnchorItem.width
        height: scene.gameWindowAnchorItem.height
        onPressed: (mouse) => {
            var p = mapToItem(scene, mouse.x, mouse.y)
            scene.selectedEntity = scene.effectAt(p.x, p.y)
            if (scene.selectedEntity) {
                // "Add" then makes effects from the picked effect's own file, built-in or saved.
                entityMenu.dataStorageLocation = scene.selectedEntity.dataStorageLocation
                entityMenu.editor.currentEditableType = scene.selectedEntity.typeName
            }
        }
        onPositionChanged: (mouse) => {
            if (!scene.selectedEntity)
                return
            var p = mapToItem(scene, mouse.x, mouse.y)
            if (p.x > 0 && p.x < scene.usageAreaWidth)
                scene.selectedEntity.x = p.x
            if (p.y > 0 && p.y < scene.usageAreaHeight)
                scene.selectedEntity.y = p.y
        }
        onReleased: scene.selectedEntity = null
        onClicked: (mouse) => {
            var p = mapToItem(scene, mouse.x, mouse.y)
            var entity = scene.effectAt(p.x, p.y)
            if (entity)
                entity.printParticle()
        }
    }

    MainMenu {
        id: mainMenu
        z: 10
    }

    EntityPropertiesMenu {
        id: entityMenu
        z: 10
    }

    AboutPanel {
        id: aboutPanel
        x: scene.gameWindowAnchorItem.x
        y: scene.gameWindowAnchorItem.y
        width: scene.gameWindowAnchorItem.width
        height: scene.gameWindowAnchorItem.height
        z: 20
    }

    Rectangle {
        id: loadMessage
        x: scene.gameWindowAnchorItem.x
        y: scene.gameWindowAnchorItem.y
        width: scene.gameWindowAnchorItem.width
        height: scene.gameWindowAnchorItem.height
        z: 1001
        color: "black"
        opacity: 0.5
        visible: mainMenu.editor.state === "loading" || entityMenu.editor.state === "loading"
        Text { anchors.centerIn: parent; text: "loading..."; color: "white" }
    }

    Text {
        x: scene.gameWindowAnchorItem.x + 5
        y: scene.gameWindowAnchorItem.y + scene.gameWindowAnchorItem.height - height - 5
        z: 11
        color: "white"
        font.pixelSize: 8
        text: typeof rootGameWindow !== "undefined" && rootGameWindow
              ? (Math.round(rootGameWindow.framesPerSecond * 10) / 10).toString() : ""
    }

    EditableComponent {
        editableType: "Menu"
        defaultGroup: "Menu"
        target: scene
        targetEditor: mainMenu.editor
        properties: {
            "Background": {
                "entityBaseVisible": { "label": "Entity Base Visible" },
                "backgroundColor": { "min": 0, "max": 255, "stepsize": 1, "label": "Background Color" }
            }
        }
    }
}
