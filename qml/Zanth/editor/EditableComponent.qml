import QtQuick 2.15

// Declares which properties of a target an ItemEditor may change, grouped and configured by the
// metadata map in `properties`, and turns the target's values into JSON and back.
Item {
    id: editableComponent

    property var target: parent
    property string editableType
    property var editableComponentMetaData: ({ "displayname": editableType })
    property string defaultGroup: editableType
    property var properties
    property var targetEditor: typeof itemEditor !== "undefined" ? itemEditor : null
    // Masters of the editor are external: they never register themselves.
    property bool external: false
    property int referenceCount: 0
    property string basePath
    property bool keepOneInstanceInMemory: true
    property bool preventStorage: false

    property bool __editorDestroyed: false

    // The property names of the metadata map, groups walked and dropped, each name once.
    function propertyNames() {
        var names = []
        __collect(properties, names)
        return names
    }

    function __collect(map, names) {
        if (!map || !target)
            return
        for (var key in map) {
            if (target[key] === undefined)
                __collect(map[key], names)
            else if (names.indexOf(key) < 0)
                names.push(key)
        }
    }

    function toJSON() {
        var map = {}
        var names = propertyNames()
        for (var i = 0; i < names.length; ++i)
            map[names[i]] = target[names[i]]
        if (basePath !== "")
            return system.stringifyWithBasePath(map, [], basePath)
        return system.stringify(map, [], target)
    }

    function toJSONMap() {
        return system.parse(toJSON())
    }

    function loadFromJSONMap(map) {
        if (!map || !target)
            return
        for (var key in map) {
            if (target[key] === undefined)
                continue
            var type = system.typeOf(target[key])
            if (type === "url")
                target[key] = fileUtils.getPathUrl(String(map[key]), basePath !== "" ? basePath : target)
            else if (type === "point")
                target[key] = system.pointFFromString(String(map[key]))
            else
                target[key] = map[key]
        }
    }

    objectName: "editableComponent"

    Connections {
        target: editableComponent.targetEditor
        ignoreUnknownSignals: true
        function onItemEditorDestroyed() { editableComponent.__editorDestroyed = true }
    }

    Component.onCompleted: {
        if (external)
            return
        if (!__editorDestroyed && targetEditor)
            targetEditor.createEditableComponent(editableComponent)
        else
            console.log("[WARNING] EditableComponent construction without a defined and active ItemEditor. Ensure your Scene knows about the id: itemEditor or provide an explicit targetEditor!")
    }
    Component.onDestruction: {
        if (external)
            return
        if (!__editorDestroyed && targetEditor)
            targetEditor.destroyEditableComponent(editableComponent)
        else
            console.log("[WARNING] EditableComponent Destruction without a defined and active ItemEditor.  Ensure your Scene knows about the id: itemEditor or provide an explicit targetEditor!")
    }
}
