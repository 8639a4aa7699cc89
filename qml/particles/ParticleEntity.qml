import QtQuick 2.15
import Zanth 1.0
import "../EffectProperties.js" as EffectProperties

// One live effect on the editor's stage: a Particle loaded from an effect file and made editable.
EntityBase {
    id: entity

    entityType: "particleEntity"
    property string particleType: "FireParticle.json"
    property bool dataStorageLocation: false
    property bool entityBaseVisible: true
    property string storageLocation: ""
    property var particle: null
    property var editableComponent: null
    property var targetEditor: null
    readonly property string typeName: particleType.replace(/\.json$/, "")
    property bool __switching: false

    function effectUrl() {
        if (dataStorageLocation)
            return fileUtils.getDataStorageUrl(storageLocation + particleType)
        return Qt.resolvedUrl(particleType)
    }

    function respawnParticle() {
        if (particle) {
            particle.stopLivingParticles()
            particle.start()
        }
    }
    function stopParticle() {
        if (particle)
            particle.stopLivingParticles()
    }
    function printParticle() {
        if (editableComponent)
            console.log(editableComponent.toJSON())
    }
    // Exports the live emitter into the storage folder as the type's .plist; false when nothing was written.
    function saveToPList() {
        return particle ? particle.saveAsPList(storageLocation + typeName + ".plist") : false
    }
    // Mails the effect as it is edited now (the user's saved file stays as it is); false when there was
    // nothing to send.
    function sendParticlePerMail(to) {
        var text = targetEditor ? targetEditor.saveComponentToText(typeName) : ""
        if (!text)
            return false
        nativeUtils.sendEmail(to, particleType, text)
        return true
    }
    // Mails the property list just exported; false, with nothing sent, when the export failed.
    function sendParticlePListPerMail(to) {
        if (!saveToPList())
            return false
        var text = fileUtils.readFile(fileUtils.getDataStorageUrl(storageLocation + typeName + ".plist"))
        if (!text)
            return false
        nativeUtils.sendEmail(to, typeName + ".plist", text)
        return true
    }
    // Switches to another effect file in one step: the particle loads only the new file.
    function setEffectFile(type, inStorage) {
        __switching = true
        dataStorageLocation = inStorage
        particleType = type
        __switching = false
        __followEffectFile()
    }

    function __followEffectFile() {
        if (particle)
            particle.fileName = effectUrl()
        if (editableComponent && editableComponent.editableType !== typeName) {
            // Leave the old type's editor entry and join the new type's.
            editableComponent.destroy()
            editableComponent = null
            Qt.callLater(__makeEditable)
        }
    }

    function __createParticle() {
        var factory = null
        try {
            // Constant text: the values go in through createObject, never into the source.
            factory = Qt.createQmlObject("import QtQuick 2.15\nimport Zanth 1.0\nComponent { Particle {} }", entity, "ParticleFactory")
        } catch (e) {
            console.log("[ParticleEntity] ERROR: the Particle type is not available: " + String(e.message ? e.message : e).replace(/\s+/g, " "))
            return
        }
        particle = factory.createObject(entity, { "fileName": effectUrl(), "autoStart": true })
        if (!particle)
            console.log("[ParticleEntity] ERROR: could not create the effect", particleType)
    }

    function __makeEditable() {
        if (!particle)
            return
        editableComponent = editableFactory.createObject(entity, {
            "target": particle, "editableType": typeName, "defaultGroup": typeName,
            "editableComponentMetaData": { "displayname": typeName },
            "targetEditor": targetEditor, "properties": EffectProperties.metaData()
        })
    }

    onDataStorageLocationChanged: {
        if (!__switching)
            __followEffectFile()
    }
    onParticleTypeChanged: {
        if (!__switching)
            __followEffectFile()
    }

    Rectangle {
        width: 20
        height: 20
        x: -10
        y: -10
        color: "red"
        opacity: 0.2
        visible: entity.entityBaseVisible
    }

    Component {
        id: editableFactory
        EditableComponent { keepOneInstanceInMemory: false }
    }

    Component.onCompleted: {
        __createParticle()
        __makeEditable()
    }
}
