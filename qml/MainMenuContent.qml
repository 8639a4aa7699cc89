import QtQuick 2.15
import Zanth 1.0
import "EffectFiles.js" as EffectFiles

// The main menu's actions: add effects, save, export and send them.
Column {
    id: content

    readonly property int creationCount: Math.round(countSlider.value)
    // The text input or message box this page is waiting for; an answer to anyone else's is ignored.
    property string request: ""
    property string requestType: ""
    property string pendingName: ""
    readonly property var editor: scene.itemEditor
    readonly property string currentType: String(editor.currentEditableType)
    readonly property string storage: scene.storageLocation

    function entitiesOfType(type) {
        return scene.effectEntities().filter(function(e) { return e.particleType === type + ".json" })
    }

    function ask(what, title, description, placeholder) {
        request = what
        requestType = currentType
        nativeUtils.displayTextInput(title, description, placeholder)
    }

    function tell(what, title, description) {
        request = what
        nativeUtils.displayMessageBox(title, description, what === "overwrite" ? 2 : 1)
    }

    function addEffects() {
        scene.addEffects(currentType, creationCount)
    }

    function saveAs(name) {
        var problem = EffectFiles.nameProblem(name)
        if (problem !== "") {
            console.log("[MainMenuContent] ERROR: the effect can't be saved as \"" + name + "\": " + problem)
            tell("notice", "The effect was not saved", problem)
            return
        }
        if (entitiesOfType(requestType).length === 0 || editor.componentsOfType(requestType).length === 0) {
            console.log("[MainMenuContent] ERROR: there is no editable " + requestType + " effect on the stage to save")
            tell("notice", "The effect was not saved", "Add an effect of this type first.")
            return
        }
        var saved = EffectFiles.listed(fileUtils.listFiles(fileUtils.getDataStorageUrl(storage), ["*.json"]), name + ".json")
        // Another type of that name would be merged into the saved one: its effects take these values.
        var onStage = name !== requestType
                && (entitiesOfType(name).length > 0 || editor.getAllEditableTypes().indexOf(name) >= 0)
        if (saved || onStage) {
            pendingName = name
            if (onStage)
                tell("overwrite", "Replace the effect \"" + name + "\"?",
                     (saved ? "The saved effect and the " : "The ") + name + " effects on the stage take the values of " + requestType + ".")
            else
                tell("overwrite", "Replace the saved effect \"" + name + "\"?", "")
            return
        }
        writeSavedEffect(name)
    }

    // The effects of both names then load the saved file, each in one step.
    function writeSavedEffect(name) {
        var oldType = requestType
        flurry.logEvent("Save", "Particle", name)
        if (!editor.saveItem(storage, oldType, name)) {
            console.log("[MainMenuContent] ERROR: writing the effect " + name + ".json failed")
            tell("notice", "The effect was not saved", "The file could not be written.")
            return
        }
        scene.entityMenu.dataStorageLocation = true
        var list = entitiesOfType(oldType)
        if (name !== oldType)
            list = list.concat(entitiesOfType(name))
        for (var i = 0; i < list.length; ++i)
            list[i].setEffectFile(name + ".json", true)
        if (scene.particleList)
            scene.particleList.fillListWithFiles()
    }

    function sendJson(to) {
        var type = requestType
        flurry.logEvent("SendJSON", "name", type)
        var list = entitiesOfType(type)
        if (list.length > 0)
            list[0].sendParticlePerMail(to)
    }

    function sendPList(to) {
        var type = requestType
        flurry.logEvent("SendPList", "name", type)
        var list = entitiesOfType(type)
        if (list.length === 0 || list[0].sendParticlePListPerMail(to))
            return
        console.log("[MainMenuContent] ERROR: exporting " + type + ".plist failed; nothing was sent")
        tell("notice", "The property list was not sent", "Exporting it failed.")
    }

    function savePLists() {
        var type = currentType
        flurry.logEvent("SavePlist", "name", type)
        var list = entitiesOfType(type)
        var failed = 0
        for (var i = 0; i < list.length; ++i)
            if (!list[i].saveToPList())
                ++failed
        if (failed === 0)
            return
        console.log("[MainMenuContent] ERROR: exporting " + type + ".plist failed")
        tell("notice", "The property list was not saved", "The file could not be written.")
    }

    width: scene.innerSpace
    spacing: 6

    Connections {
        target: nativeUtils
        function onTextInputFinished(accepted, enteredText) {
            var what = content.request
            if (what !== "saveAs" && what !== "sendJson" && what !== "sendPList")
                return
            content.request = ""
            scene.forceActiveFocus()
            if (!accepted)
                return
            if (what === "saveAs")
                content.saveAs(enteredText)
            else if (what === "sendJson")
                content.sendJson(enteredText)
            else
                content.sendPList(enteredText)
        }
        function onMessageBoxFinished(accepted) {
            var what = content.request
            if (what !== "overwrite" && what !== "notice")
                return
            content.request = ""
            scene.forceActiveFocus()
            if (what === "overwrite" && accepted)
                content.writeSavedEffect(content.pendingName)
        }
    }

    Text { color: "white"; font.pixelSize: 11; text: "Creation Count " + content.creationCount }
    Slider {
        id: countSlider
        objectName: "creationCount"
        width: content.width
        minimumValue: 0
        maximumValue: 30
        stepSize: 1
        defaultValue: 1
        value: 1
        valueIndicatorVisible: false
    }
    MenuButton { text: "Add " + content.currentType; onClicked: content.addEffects() }
    MenuButton {
        text: "Save as"
        onClicked: content.ask("saveAs", "Save as", "Enter Particle Name", content.currentType)
    }
    MenuButton {
        text: "Respawn Particles"
        onClicked: {
            flurry.logEvent("Respawn")
            scene.effectEntities().forEach(function(e) { e.respawnParticle() })
        }
    }
    MenuButton {
        text: "Remove All"
        onClicked: {
            flurry.logEvent("RemoveAll")
            scene.effectEntities().forEach(function(e) { scene.removeEffect(e) })
        }
    }
    MenuButton {
        text: "Remove First"
        onClicked: {
            flurry.logEvent("RemoveFirst")
            var list = scene.effectEntities()
            if (list.length > 0)
                scene.removeEffect(list[0])
        }
    }
    MenuButton {
        text: "Remove Last"
        onClicked: {
            flurry.logEvent("RemoveLast")
            var list = scene.effectEntities()
            if (list.length > 0)
                scene.removeEffect(list[list.length - 1])
        }
    }
    MenuButton {
        text: "Save to .plist"
        onClicked: content.savePLists()
    }
    MenuButton {
        text: "Send Particle .json"
        onClicked: content.ask("sendJson", "Send to", "Enter Email", "someone@example.com")
    }
    MenuButton {
        text: "Send Particle .plist"
        onClicked: content.ask("sendPList", "Send to", "Enter Email", "someone@example.com")
    }
}
