import QtQuick 2.15
import Zanth 1.0

// The property editor: every EditableComponent of one type shares one widget per property; a widget
// change is written into every registered item of that type at once. One master per type holds the
// edited values, so items that appear later take them. Masters are plain script objects: no value ever
// becomes QML source text.
ItemEditorBase {
    id: itemEditor

    property var editableTypes
    property var currentEditableType: ""
    property string currentGroup: ""
    property string defaultGroupName: "Properties"
    property var currentMetaData
    property var customTypes: ({})
    property var contentDelegateObj: null
    property bool prevButtonVisible: false
    property bool nextButtonVisible: false

    contentDelegate: Component { ContentDelegate {} }
    groupDelegate: Component { GroupDelegate {} }
    boolDelegate: Component { BoolDelegate {} }
    numberDelegate: Component { NumberDelegate {} }
    stringDelegate: Component { StringDelegate {} }
    pointDelegate: Component { PointDelegate {} }
    colorDelegate: Component { ColorDelegate {} }
    textureDelegate: Component { TextureDelegate {} }
    arrayDelegate: Component { ArrayDelegate {} }

    signal loading
    signal loaded
    signal itemEditorDestroyed

    property bool __initialized: false
    property bool __dirty: true
    property var __waiting: []
    property var __components: []
    // type -> { defaultGroup, values: {name: live value}, names, metaData, properties, keep, preventStorage, basePath }
    property var __masters: ({})
    property var __typeList: []
    // [{ name, external, page }] in creation order
    property var __pages: []
    // name -> delegate, for the current type only
    property var __delegates: ({})

    function __mirror(item) {
        if (item && typeof rootGameWindow !== "undefined" && rootGameWindow && rootGameWindow.loadItemWithSceneGraph)
            rootGameWindow.loadItemWithSceneGraph(item)
    }

    function getAllEditableTypes() {
        return __typeList.slice()
    }

    function componentsOfType(type) {
        return __components.filter(function(c) { return c.editableType === type })
    }

    function createEditableComponent(component) {
        if (!__initialized) {
            __waiting.push(component)
            return
        }
        if (editableTypes && editableTypes.indexOf(component.editableType) < 0)
            return
        if (__components.indexOf(component) >= 0)
            return
        __components.push(component)
        var type = component.editableType
        var master = __masters[type]
        if (!master) {
            master = __makeMaster(component)
            __masters[type] = master
            if (__typeList.indexOf(type) < 0)
                __typeList.push(type)
            if (currentEditableType === "" || currentEditableType === undefined)
                currentEditableType = type
            if (type === currentEditableType)
                __invalidate()
        } else {
            // A later item of a known type takes the edited values, not its own.
            for (var name in master.values)
                __assign(component.target, name, master.values[name])
        }
        __searchMetaData()
    }

    function destroyEditableComponent(component) {
        if (!__initialized) {
            var queued = __waiting.indexOf(component)
            console.log("ERROR: ItemEditor: an EditableComponent got destroyed before the ItemEditor was initialized - this should never happen!?")
            if (queued >= 0)
                __waiting.splice(queued, 1)
            else
                console.log("ERROR: ItemEditor: the component was not found in the queued list - this means createEditableComponent() wasnt called before")
            return
        }
        var at = __components.indexOf(component)
        if (at < 0)
            return
        __components.splice(at, 1)
        var type = component.editableType
        var master = __masters[type]
        if (!master || master.keep || componentsOfType(type).length > 0)
            return
        delete __masters[type]
        __typeList.splice(__typeList.indexOf(type), 1)
        if (type === currentEditableType)
            __invalidate()
    }

    function __makeMaster(component) {
        var names = component.propertyNames()
        var values = {}
        for (var i = 0; i < names.length; ++i)
            values[names[i]] = component.target[names[i]]
        return {
            "defaultGroup": component.defaultGroup,
            "values": values,
            "names": names,
            "metaData": component.editableComponentMetaData,
            "properties": component.properties,
            "keep": component.keepOneInstanceInMemory,
            "preventStorage": component.preventStorage,
            "basePath": component.basePath !== "" ? component.basePath : fileUtils.getBasePath(component.target)
        }
    }

    function __assign(target, name, value) {
        if (!target || target[name] === undefined)
            return
        target[name] = value
    }

    // Writes one edited value into the master and every item of the current type.
    function writeProperty(name, value) {
        var master = __masters[currentEditableType]
        if (!master)
            return
        master.values[name] = value
        var targets = componentsOfType(currentEditableType)
        for (var i = 0; i < targets.length; ++i)
            __assign(targets[i].target, name, value)
    }

    function masterValue(type, name) {
        var master = __masters[type]
        return master ? master.values[name] : undefined
    }

    function __searchMetaData() {
        var found = 0
        for (var i = 0; i < __components.length; ++i) {
            var c = __components[i]
            if (c.editableType !== currentEditableType || !c.editableComponentMetaData)
                continue
            found = c.editableComponentMetaData
            if (found.displayname !== currentEditableType)
                break
        }
        currentMetaData = found
    }

    // --- pages and delegates ---

    function __invalidate() {
        __dirty = true
        if (visible && __initialized)
            rebuildTimer.restart()
    }

    function __clearTypePages() {
        for (var name in __delegates)
            __delegates[name].destroy()
        __delegates = {}
        var kept = []
        for (var i = 0; i < __pages.length; ++i) {
            if (__pages[i].external)
                kept.push(__pages[i])
            else
                __pages[i].page.destroy()
        }
        __pages = kept
    }

    function __pageFor(groupName) {
        var name = groupName ? groupName : defaultGroupName
        for (var i = 0; i < __pages.length; ++i)
            if (__pages[i].name === name)
                return __pages[i]
        if (!contentDelegateObj)
            return null
        var page = groupDelegate.createObject(contentDelegateObj.groupContainer, { "groupName": name })
        if (!page) {
            console.log("[ItemEditor] ERROR: creating content or group delegate failed!")
            return null
        }
        var entry = { "name": name, "external": false, "page": page }
        __pages.push(entry)
        if (currentGroup === "")
            currentGroup = name
        page.visible = (currentGroup === name)
        return entry
    }

    function __delegateComponent(type, meta) {
        if (meta && meta.propertyType)
            type = meta.propertyType
        if (type === "boolean") return boolDelegate
        if (type === "number" || type === "double" || type === "int") return numberDelegate
        if (type === "point") return pointDelegate
        if (type === "url") return textureDelegate
        if (type === "color") return colorDelegate
        if (type === "string") return stringDelegate
        if (type === "list" && arrayDelegate) return arrayDelegate
        if (customTypes && customTypes[type])
            return Qt.createComponent(Qt.resolvedUrl(customTypes[type]))
        console.log("[ItemEditor] ERROR: No delegate created! Type unknown: " + type)
        return null
    }

    function __walk(map, group, master, target) {
        for (var key in map) {
            if (target[key] === undefined) {
                __walk(map[key], key, master, target)
                continue
            }
            if (__delegates[key])
                continue
            var meta = map[key] || {}
            var component = __delegateComponent(system.typeOf(target[key]), meta)
            if (!component)
                continue
            var entry = __pageFor(group)
            if (!entry) {
                console.log("[ItemEditor] ERROR: No group found!")
                continue
            }
            var delegate = component.createObject(entry.page.contentArea, {
                "propName": key, "propMetaData": meta, "editor": itemEditor, "initialValue": master.values[key]
            })
            if (!delegate) {
                console.log("[ItemEditor] ERROR: creating delegate failed!")
                continue
            }
            entry.page.elementCount += 1
            __delegates[key] = delegate
        }
    }

    function rebuild() {
        __dirty = false
        __clearTypePages()
        var master = __masters[currentEditableType]
        var components = componentsOfType(currentEditableType)
        if (master && components.length > 0)
            __walk(master.properties, master.defaultGroup === currentEditableType ? "" : master.defaultGroup,
                   master, components[0].target)
        // Mirrored once filled, from the frame down: an item with nothing drawable below it gets no node,
        // so the pages' containers may have none yet.
        __mirror(contentDelegateObj)
        if (!__pages.some(function(p) { return p.name === currentGroup }) && __pages.length > 0)
            __show(0)
        __updateButtons()
    }

    function __show(index) {
        for (var i = 0; i < __pages.length; ++i)
            __pages[i].page.visible = (i === index)
        currentGroup = __pages[index].name
    }

    function __currentIndex() {
        for (var i = 0; i < __pages.length; ++i)
            if (__pages[i].name === currentGroup)
                return i
        return -1
    }

    function __step(direction) {
        if (__pages.length === 0)
            return
        var at = __currentIndex()
        var next = at < 0 ? 0 : (at + direction + __pages.length) % __pages.length
        __show(next)
    }

    function __updateButtons() {
        prevButtonVisible = __pages.length > 1
        nextButtonVisible = __pages.length > 1
    }

    function nextGroup() { __step(1) }
    function prevGroup() { __step(-1) }

    function searchAndDisplayHeaderGroup(group) {
        for (var i = 0; i < __pages.length; ++i)
            if (__pages[i].name === group)
                __show(i)
    }

    function addItemsToExternalGroupPanel(groupName, delegateUrl) {
        var entry = null
        for (var i = 0; i < __pages.length; ++i)
            if (__pages[i].name === groupName)
                entry = __pages[i]
        if (!entry) {
            __initialize()
            if (!contentDelegateObj)
                return 0
            var page = groupDelegate.createObject(contentDelegateObj.groupContainer, { "groupName": groupName, "external": true })
            if (!page) {
                console.log("[ItemEditor] ERROR: Group was not created successfully!")
                return 0
            }
            entry = { "name": groupName, "external": true, "page": page }
            __pages.push(entry)
            if (currentGroup === "")
                currentGroup = groupName
            page.visible = (currentGroup === groupName)
            __updateButtons()
        }
        if (!delegateUrl)
            return 0
        var component = Qt.createComponent(Qt.resolvedUrl(delegateUrl))
        if (component.status !== Component.Ready) {
            console.log("[ItemEditor] ERROR: loading component failed:", component.errorString())
            return 0
        }
        var object = component.createObject(entry.page.contentArea)
        if (!object) {
            console.log("[ItemEditor] ERROR: creating external gui element failed!")
            return 0
        }
        __mirror(contentDelegateObj)
        return object
    }

    // --- saving and loading ---

    function saveComponentToJSON(type) {
        var result = {}
        var master = __masters[type]
        if (!master || master.preventStorage)
            return result
        result[master.defaultGroup] = system.parse(system.stringifyWithBasePath(__masterValues(type), [], master.basePath))
        return result
    }

    function saveAllComponentsToJSON() {
        var result = {}
        for (var i = 0; i < __typeList.length; ++i) {
            var one = saveComponentToJSON(__typeList[i])
            for (var key in one)
                result[key] = one[key]
        }
        return result
    }

    // Returns whether the file was written.
    function saveItem(path, editableType, saveAsItemName) {
        if (editableType && editableType !== currentEditableType)
            currentEditableType = editableType
        if (saveAsItemName && saveAsItemName !== currentEditableType)
            renameCurrentEditableType(saveAsItemName)
        var file = path + currentEditableType + ".json"
        var target = __fileWriter(currentEditableType)
        if (target)
            return target.saveAsEffect(file, __masters[currentEditableType].defaultGroup,
                                       __masterValues(currentEditableType))
        return fileUtils.writeFile(file, saveComponentToText(currentEditableType))
    }

    // The text saveItem writes for a type.
    function saveComponentToText(type) {
        var target = __fileWriter(type)
        if (target)
            return target.effectText(__masters[type].defaultGroup, __masterValues(type))
        return system.stringify(saveComponentToJSON(type))
    }

    // The first item of a type when it writes its own file (a Particle's effect: whole numbers, the
    // texture beside the file), else null.
    function __fileWriter(type) {
        var master = __masters[type]
        var components = componentsOfType(type)
        if (!master || master.preventStorage || components.length === 0)
            return null
        var target = components[0].target
        return target && typeof target.saveAsEffect === "function" ? target : null
    }

    function __masterValues(type) {
        var master = __masters[type]
        var values = {}
        for (var i = 0; i < master.names.length; ++i)
            values[master.names[i]] = master.values[master.names[i]]
        return values
    }

    function saveAllComponentsToJSONFile(path, fileName) {
        return fileUtils.writeFile(path + fileName + ".json", system.stringify(saveAllComponentsToJSON()))
    }

    function loadAllComponentsFromJSON(jsonMap) {
        if (!jsonMap)
            return
        for (var type in __masters) {
            var master = __masters[type]
            var values = jsonMap[master.defaultGroup]
            if (!values)
                continue
            var components = componentsOfType(type)
            for (var i = 0; i < components.length; ++i)
                components[i].loadFromJSONMap(values)
            if (components.length > 0)
                for (var n = 0; n < master.names.length; ++n)
                    master.values[master.names[n]] = components[0].target[master.names[n]]
        }
        __invalidate()
    }

    function loadAllComponentsFromJSONFile(path, fileName) {
        loadAllComponentsFromJSON(system.parse(fileUtils.readFile(path + fileName + ".json")))
    }

    function loadItem(path, editableType) {
        loadAllComponentsFromJSONFile(path, editableType ? editableType : currentEditableType)
    }

    function renameCurrentEditableType(toEditableType) {
        var from = currentEditableType
        if (__masters[toEditableType])
            console.log("[EditorStorage] toEditableType is already in list " + toEditableType)
        var master = __masters[from]
        if (!master) {
            console.log("[EditorStorage] No editableType " + from)
            return
        }
        delete __masters[from]
        if (master.defaultGroup === from)
            master.defaultGroup = toEditableType
        __masters[toEditableType] = master
        var at = __typeList.indexOf(from)
        if (at >= 0)
            __typeList[at] = toEditableType
        // Items keep their registration; they follow under the new name.
        var components = __components.filter(function(c) { return c.editableType === from })
        for (var i = 0; i < components.length; ++i) {
            components[i].editableType = toEditableType
            if (components[i].defaultGroup === from)
                components[i].defaultGroup = toEditableType
        }
        currentEditableType = toEditableType
    }

    objectName: "itemEditor"
    width: 150
    height: parent ? parent.height : 0

    onCurrentEditableTypeChanged: {
        __searchMetaData()
        __invalidate()
    }
    onVisibleChanged: {
        if (visible && __dirty)
            __invalidate()
    }

    Timer {
        id: rebuildTimer
        interval: 50
        onTriggered: {
            if (!itemEditor.visible)
                return
            itemEditor.loading()
            itemEditor.rebuild()
            itemEditor.loaded()
        }
    }

    function __initialize() {
        if (__initialized || contentDelegateObj)
            return
        contentDelegateObj = contentDelegate.createObject(itemEditor, { "editor": itemEditor })
        if (!contentDelegateObj) {
            console.log("[ItemEditor] ERROR: Could not load content!")
            return
        }
        __mirror(contentDelegateObj)
        __initialized = true
        var waiting = __waiting
        __waiting = []
        for (var i = 0; i < waiting.length; ++i)
            createEditableComponent(waiting[i])
    }

    Component.onCompleted: __initialize()
    Component.onDestruction: itemEditorDestroyed()
}
