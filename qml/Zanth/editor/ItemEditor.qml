import QtQuick 2.15
import Zanth 1.0
import "EditorValues.js" as EditorValues

// The property editor. Each editable type has one master per default group: an external
// EditableComponent over a plain data object holding copies of the values. Each property of a master
// has one delegate, bound first to the master's data object (whose value it shows) and then to every
// item of the type, so one widget writes into all of them. Delegates of other types than the current
// one are hidden, and a hidden delegate's bindings are off. Master creation and destruction are
// deferred behind the "loading" state, so that an application can show it before the work blocks.
// Values never become QML source text.
ItemEditorBase {
    id: itemEditor

    property var editableTypes
    property var currentEditableType: ""
    property string currentGroup: ""
    property string defaultGroupName: "Properties"
    property var currentMetaData
    property var customTypes: ({})
    property var contentDelegateObj: null

    property bool __initialized: false
    property var __waitingForRegistration: []
    property var __waitingForVisibility: []
    // Every registered component, in registration order.
    property var __components: []
    // Tables keyed by type and group names inherit nothing (__table()), so that a name such as
    // "constructor" or "__proto__" is a key like any other.
    // type -> { defaultGroup: master }
    property var __masters: Object.create(null)
    // Every master, in creation order.
    property var __masterList: []
    property var __typeList: []
    // type -> { defaultGroup: { property name: delegate } }
    property var __delegates: Object.create(null)
    // Pages in creation order.
    property var __pages: []
    property var __creationQueue: []
    property var __destructionQueue: []
    property bool __visibilityPending: false
    property bool __mirrorPending: false
    property var __previousType
    property string __pendingGroup: ""

    signal loading
    signal loaded
    signal itemEditorDestroyed

    function __mirror(item) {
        if (item && typeof rootGameWindow !== "undefined" && rootGameWindow && rootGameWindow.loadItemWithSceneGraph)
            rootGameWindow.loadItemWithSceneGraph(item)
    }

    // Mirrored once filled, from the frame down: new pages and delegates hang below it.
    function __flushMirror() {
        if (!__mirrorPending)
            return
        __mirrorPending = false
        __mirror(contentDelegateObj)
    }

    // A map without inherited members.
    function __table() {
        return Object.create(null)
    }

    function getAllEditableTypes() {
        return __typeList.slice()
    }

    function componentsOfType(type) {
        return __components.filter(function(c) { return c.editableType === type })
    }

    function __masterOf(type, group) {
        var masters = __masters[type]
        return masters ? masters[group] : undefined
    }

    function __usesMaster(component, master) {
        return component.editableType === master.editableType && component.defaultGroup === master.defaultGroup
    }

    function __startLoading(timer) {
        loading()
        state = "loading"
        timer.restart()
    }

    // A page asked for meanwhile is shown once nothing is pending.
    function __finishLoading() {
        if (loadingTimer.running || destroyTimer.running)
            return
        state = ""
        loaded()
        if (visible && __pendingGroup !== "")
            searchAndDisplayHeaderGroup(__pendingGroup)
    }

    // --- registration ---

    function createEditableComponent(editableComponent) {
        if (!__initialized) {
            __waitingForRegistration.push(editableComponent)
            return
        }
        if (editableTypes && editableTypes.indexOf(editableComponent.editableType) < 0)
            return
        if (__components.indexOf(editableComponent) >= 0)
            return
        __components.push(editableComponent)
        if (visible && !__masterOf(editableComponent.editableType, editableComponent.defaultGroup)) {
            __creationQueue.push(editableComponent)
            __startLoading(loadingTimer)
            return
        }
        __register(editableComponent)
        __flushMirror()
        __checkCurrentPage()
    }

    function __register(component) {
        var master = __masterOf(component.editableType, component.defaultGroup)
        if (!master) {
            master = __makeMaster(component)
            if (!master)
                return
            __enterMaster(master)
            if (visible)
                __walk(master, master.properties, master.defaultGroup, true, master.target)
        }
        __walk(master, component.properties, master.defaultGroup, true, component.target)
        if (visible)
            master.referenceCount += 1
        else
            __waitingForVisibility.push(component)
    }

    function destroyEditableComponent(editableComponent) {
        if (!__initialized) {
            var queued = __waitingForRegistration.indexOf(editableComponent)
            console.log("ERROR: ItemEditor: an EditableComponent got destroyed before the ItemEditor was initialized - this should never happen!?")
            if (queued >= 0)
                __waitingForRegistration.splice(queued, 1)
            else
                console.log("ERROR: ItemEditor: the component was not found in the queued list - this means createEditableComponent() wasnt called before")
            return
        }
        var pending = __creationQueue.indexOf(editableComponent)
        if (pending >= 0)
            __creationQueue.splice(pending, 1)
        if (editableTypes && editableTypes.indexOf(editableComponent.editableType) < 0)
            return
        var at = __components.indexOf(editableComponent)
        if (at < 0)
            return
        __components.splice(at, 1)
        var waiting = __waitingForVisibility.indexOf(editableComponent)
        if (waiting >= 0)
            __waitingForVisibility.splice(waiting, 1)
        var master = __masterOf(editableComponent.editableType, editableComponent.defaultGroup)
        if (!master)
            return
        // Its bindings live on its target, which may outlive it.
        if (waiting < 0) {
            master.referenceCount -= 1
            __walk(master, editableComponent.properties, master.defaultGroup, false, editableComponent.target)
        }
        if (master.referenceCount <= 0 && !master.keepOneInstanceInMemory
                && !__components.some(function(c) { return __usesMaster(c, master) })
                && __destructionQueue.indexOf(master) < 0) {
            __destructionQueue.push(master)
            __startLoading(destroyTimer)
        }
    }

    // --- masters ---

    // The master's data object declares one property per editable property (typed for colours, points
    // and URLs, which then hold copies of their own); the values are assigned afterwards.
    function __makeMaster(component) {
        var names = component.propertyNames()
        var declarations = ""
        var kept = []
        for (var i = 0; i < names.length; ++i) {
            if (!/^[a-z_][A-Za-z0-9_]*$/.test(names[i])) {
                console.log("[ItemEditor] ERROR: not a property name: " + names[i])
                continue
            }
            var type = system.typeOf(component.target[names[i]])
            var declared = type === "color" || type === "point" || type === "url" ? type : "var"
            declarations += " property " + declared + " " + names[i] + ";"
            kept.push(names[i])
        }
        var data = null
        try {
            data = Qt.createQmlObject("import QtQuick 2.15; QtObject {" + declarations + " }", itemEditor, "EditorMasterData")
        } catch (e) {
            console.log("[ItemEditor] ERROR: the master of " + component.editableType + " could not be made: " + e)
            return null
        }
        for (var n = 0; n < kept.length; ++n)
            data[kept[n]] = EditorValues.copy(component.target[kept[n]])
        var master = masterFactory.createObject(itemEditor, {
            "target": data,
            "editableType": component.editableType,
            "editableComponentMetaData": component.editableComponentMetaData,
            "defaultGroup": component.defaultGroup,
            "properties": component.properties,
            "targetEditor": itemEditor,
            "keepOneInstanceInMemory": component.keepOneInstanceInMemory,
            "preventStorage": component.preventStorage,
            "basePath": component.basePath !== "" ? component.basePath : fileUtils.getBasePath(component.target)
        })
        if (!master) {
            console.log("[ItemEditor] ERROR: the master of " + component.editableType + " could not be made")
            data.destroy()
        }
        return master
    }

    function __enterMaster(master) {
        var type = master.editableType
        if (!__masters[type])
            __masters[type] = __table()
        __masters[type][master.defaultGroup] = master
        __masterList.push(master)
        if (__typeList.indexOf(type) < 0)
            __typeList.push(type)
        if (currentEditableType === "" || currentEditableType === undefined)
            currentEditableType = type
        __searchMetaData()
    }

    function __destroyMaster(master) {
        var type = master.editableType
        if (__masters[type]) {
            delete __masters[type][master.defaultGroup]
            if (Object.keys(__masters[type]).length === 0) {
                delete __masters[type]
                var listed = __typeList.indexOf(type)
                if (listed >= 0)
                    __typeList.splice(listed, 1)
            }
        }
        __masterList.splice(__masterList.indexOf(master), 1)
        // No master is left, so the walk takes the delegates and emptied pages along.
        __walk(master, master.properties, master.defaultGroup, false, master.target)
        master.target.destroy()
        master.destroy()
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

    // --- properties and delegates ---

    // Keys naming no property of the master's data object are groups.
    function __walk(master, map, group, create, target) {
        if (!map || typeof map !== "object")
            return
        for (var key in map) {
            if (master.target[key] === undefined)
                __walk(master, map[key], key, create, target)
            else
                __parseProperty(master, key, map[key] ? map[key] : {}, group, create, target)
        }
    }

    function __parseProperty(master, name, meta, group, create, target) {
        // Items that appear while the editor is hidden take the edited values of their type.
        if (!visible && create) {
            if (target !== master.target && target[name] !== undefined)
                target[name] = EditorValues.copy(master.target[name])
            return
        }
        var delegate = __delegateOf(master.editableType, master.defaultGroup, name)
        if (!delegate && create)
            delegate = __createDelegate(master, name, meta, group)
        if (!delegate)
            return
        if (create) {
            if (!delegate.addBindingTarget(target))
                console.log("[ItemEditor] ERROR: Add binding was not successfull!")
            return
        }
        delegate.removeBinding(target)
        if (!__masterOf(master.editableType, master.defaultGroup))
            __destroyDelegate(master.editableType, master.defaultGroup, name)
    }

    function __delegateOf(type, group, name) {
        var groups = __delegates[type]
        var names = groups ? groups[group] : undefined
        return names ? names[name] : undefined
    }

    function __delegateComponent(type) {
        if (type === "boolean") return boolDelegate
        if (type === "number" || type === "double") return numberDelegate
        if (type === "point") return pointDelegate
        if (type === "url") return textureDelegate
        if (type === "color") return colorDelegate
        if (type === "string") return stringDelegate
        if (type === "list") return arrayDelegate
        var url = customTypes ? customTypes[type] : undefined
        if (!url) {
            console.log("[ItemEditor] ERROR: No delegate created! Type unknown: " + type)
            return null
        }
        var component = Qt.createComponent(Qt.resolvedUrl(url))
        if (component.status === Component.Error) {
            console.log("[ItemEditor] ERROR: loading component failed:", component.errorString())
            return null
        }
        return component.status === Component.Ready ? component : null
    }

    function __createDelegate(master, name, meta, group) {
        var type = meta.propertyType ? meta.propertyType : system.typeOf(master.target[name])
        var component = __delegateComponent(type)
        if (!component)
            return null
        var pageName = group === "" || group === undefined ? defaultGroupName : group
        if (currentGroup === "")
            currentGroup = pageName
        var page = __pageFor(pageName)
        if (!page) {
            console.log("[ItemEditor] ERROR: No group found!")
            return null
        }
        var delegate = component.createObject(page.contentArea, {
            "propName": name, "propMetaData": meta, "editor": itemEditor,
            "visible": master.editableType === currentEditableType
        })
        if (!delegate) {
            console.log("[ItemEditor] ERROR: creating delegate failed!")
            return null
        }
        page.elementCount += 1
        var groups = __delegates[master.editableType]
        if (!groups)
            groups = __delegates[master.editableType] = __table()
        if (!groups[master.defaultGroup])
            groups[master.defaultGroup] = __table()
        groups[master.defaultGroup][name] = delegate
        __mirrorPending = true
        return delegate
    }

    function __destroyDelegate(type, group, name) {
        var names = __delegates[type][group]
        var delegate = names[name]
        delete names[name]
        if (Object.keys(names).length === 0) {
            delete __delegates[type][group]
            if (Object.keys(__delegates[type]).length === 0)
                delete __delegates[type]
        }
        // Its bindings would outlive it on their targets.
        var targets = delegate.boundTargets()
        for (var i = 0; i < targets.length; ++i)
            delegate.removeBinding(targets[i])
        var page = __pageHolding(delegate)
        delegate.visible = false
        delegate.destroy()
        if (!page)
            return
        page.elementCount -= 1
        if (page.elementCount <= 0 && !page.external) {
            __pages.splice(__pages.indexOf(page), 1)
            page.destroy()
        }
    }

    function __eachDelegate(type, action) {
        var groups = __delegates[type]
        for (var group in groups)
            for (var name in groups[group])
                action(groups[group][name])
    }

    function __eachDelegateOfAllTypes(action) {
        for (var type in __delegates)
            __eachDelegate(type, action)
    }

    // --- pages ---

    function __pageNamed(name) {
        for (var i = 0; i < __pages.length; ++i)
            if (__pages[i].groupName === name)
                return __pages[i]
        return null
    }

    function __pageHolding(delegate) {
        for (var i = 0; i < __pages.length; ++i)
            if (__pages[i].contentArea === delegate.parent)
                return __pages[i]
        return null
    }

    function __pageFor(name) {
        var page = __pageNamed(name)
        if (page)
            return page
        if (!contentDelegateObj)
            return null
        page = groupDelegate.createObject(contentDelegateObj.groupContainer, { "groupName": name })
        if (!page) {
            console.log("[ItemEditor] ERROR: creating content or group delegate failed!")
            return null
        }
        page.visible = currentGroup === name
        __pages.push(page)
        __mirrorPending = true
        return page
    }

    // External pages always count; others when a delegate of the current type is on them.
    function __pageHasContent(page) {
        if (page.external)
            return true
        var found = false
        __eachDelegate(currentEditableType, function(delegate) {
            if (delegate.parent === page.contentArea)
                found = true
        })
        return found
    }

    function __showPage(page) {
        for (var i = 0; i < __pages.length; ++i)
            __pages[i].visible = __pages[i] === page
        currentGroup = page.groupName
    }

    // Pages are circular; pages with nothing of the current type are passed over.
    function __step(direction) {
        var count = __pages.length
        var at = -1
        for (var i = 0; i < count; ++i)
            if (__pages[i].groupName === currentGroup)
                at = i
        var next = at
        for (var n = 0; n < count; ++n) {
            next = next < 0 ? 0 : (next + direction + count) % count
            if (__pageHasContent(__pages[next])) {
                __showPage(__pages[next])
                return
            }
        }
    }

    function __updateButtons() {
        if (!contentDelegateObj)
            return
        var shown = __pages.filter(__pageHasContent).length > 1
        contentDelegateObj.prevButtonVisible = shown
        contentDelegateObj.nextButtonVisible = shown
    }

    function __checkCurrentPage() {
        var page = __pageNamed(currentGroup)
        if (!page || !__pageHasContent(page))
            __step(1)
        else if (!page.visible)
            __showPage(page)
        __updateButtons()
    }

    function nextGroup() {
        __step(1)
    }

    function prevGroup() {
        __step(-1)
    }

    // While hidden or loading the page is remembered and shown once the editor is ready.
    function searchAndDisplayHeaderGroup(group) {
        if (!visible || state === "loading") {
            __pendingGroup = group
            return
        }
        __pendingGroup = ""
        var page = __pageNamed(group)
        if (page && __pageHasContent(page))
            __showPage(page)
    }

    function addItemsToExternalGroupPanel(groupName, delegateUrl) {
        __initialize()
        if (!contentDelegateObj)
            return 0
        var page = __pageNamed(groupName)
        if (!page) {
            page = groupDelegate.createObject(contentDelegateObj.groupContainer, { "groupName": groupName, "external": true })
            if (!page) {
                console.log("[ItemEditor] ERROR: Group was not created successfully!")
                return 0
            }
            if (currentGroup === "")
                currentGroup = groupName
            page.visible = currentGroup === groupName
            __pages.push(page)
            __updateButtons()
        }
        if (!delegateUrl)
            return 0
        var component = Qt.createComponent(Qt.resolvedUrl(delegateUrl))
        if (component.status !== Component.Ready) {
            console.log("[ItemEditor] ERROR: loading component failed:", component.errorString())
            return 0
        }
        var object = component.createObject(page.contentArea)
        if (!object) {
            console.log("[ItemEditor] ERROR: creating external gui element failed!")
            return 0
        }
        __mirror(contentDelegateObj)
        return object
    }

    // --- visibility ---

    function __updateVisibility() {
        for (var i = 0; i < __masterList.length; ++i)
            __walk(__masterList[i], __masterList[i].properties, __masterList[i].defaultGroup, true, __masterList[i].target)
        var waiting = __waitingForVisibility
        __waitingForVisibility = []
        for (var n = 0; n < waiting.length; ++n) {
            var component = waiting[n]
            var master = __masterOf(component.editableType, component.defaultGroup)
            if (!master) {
                master = __makeMaster(component)
                if (!master)
                    continue
                __enterMaster(master)
                __walk(master, master.properties, master.defaultGroup, true, master.target)
            }
            __walk(master, component.properties, master.defaultGroup, true, component.target)
            master.referenceCount += 1
        }
        __checkCurrentPage()
    }

    // --- saving and loading ---

    function saveComponentToJSON(editableType) {
        var result = {}
        var masters = __masters[editableType]
        for (var group in masters)
            if (!masters[group].preventStorage)
                result[group] = masters[group].toJSONMap()
        return result
    }

    function saveAllComponentsToJSON() {
        var result = {}
        for (var i = 0; i < __masterList.length; ++i)
            if (!__masterList[i].preventStorage)
                result[__masterList[i].defaultGroup] = __masterList[i].toJSONMap()
        return result
    }

    // Writes the type, under saveAsItemName when given, and only once the file is written makes it the
    // current type and renames it. Returns whether the file was written; a failure changes nothing.
    function saveItem(path, editableType, saveAsItemName) {
        var type = editableType ? editableType : currentEditableType
        var name = saveAsItemName ? saveAsItemName : type
        var file = path + name + ".json"
        var writer = __ownFileWriter(type)
        var written = writer
                ? writer.target.saveAsEffect(file, writer.group === type ? name : writer.group, writer.values)
                : fileUtils.writeFile(file, saveComponentToText(type, name))
        if (!written)
            return false
        if (type !== currentEditableType)
            currentEditableType = type
        if (name !== type)
            renameCurrentEditableType(name)
        return true
    }

    // The text saveItem writes for a type; asName, when given, names the default group of the type's own
    // name.
    function saveComponentToText(editableType, asName) {
        var group = function(g) { return asName && g === editableType ? asName : g }
        var writer = __ownFileWriter(editableType)
        if (writer)
            return writer.target.effectText(group(writer.group), writer.values)
        var values = saveComponentToJSON(editableType)
        var named = __table()
        for (var g in values)
            named[group(g)] = values[g]
        return system.stringify(named)
    }

    // A type whose items write their own file (a Particle's effect file: whole numbers, the texture
    // beside it): its first item and the master values of its group; else null.
    function __ownFileWriter(editableType) {
        var components = componentsOfType(editableType)
        var target = components.length > 0 ? components[0].target : null
        var master = target ? __masterOf(editableType, components[0].defaultGroup) : null
        if (!master || master.preventStorage || typeof target.saveAsEffect !== "function")
            return null
        var names = master.propertyNames()
        var values = {}
        for (var i = 0; i < names.length; ++i)
            values[names[i]] = master.target[names[i]]
        return { "target": target, "group": master.defaultGroup, "values": values }
    }

    function saveAllComponentsToJSONFile(path, fileName) {
        return fileUtils.writeFile(path + fileName + ".json", system.stringify(saveAllComponentsToJSON()))
    }

    // Loads into the masters; every bound item follows through its delegate, items registered while
    // the editor is hidden take the values directly.
    function loadAllComponentsFromJSON(jsonMap) {
        if (!jsonMap)
            return
        __eachDelegateOfAllTypes(function(delegate) { delegate.bindingActive = true })
        for (var i = 0; i < __masterList.length; ++i)
            __masterList[i].loadFromJSONMap(jsonMap[__masterList[i].defaultGroup])
        if (!visible) {
            for (var n = 0; n < __components.length; ++n) {
                var master = __masterOf(__components[n].editableType, __components[n].defaultGroup)
                if (master)
                    __walk(master, __components[n].properties, master.defaultGroup, true, __components[n].target)
            }
        }
        __eachDelegateOfAllTypes(function(delegate) { delegate.bindingActive = delegate.visible })
    }

    function loadAllComponentsFromJSONFile(path, fileName) {
        loadAllComponentsFromJSON(system.parse(fileUtils.readFile(path + fileName + ".json")))
    }

    function loadItem(path, editableType) {
        loadAllComponentsFromJSONFile(path, editableType ? editableType : currentEditableType)
    }

    // A type that already has masters is merged in: its masters and widgets go, and its items join the
    // renamed type, so that every item of the type follows the same widgets.
    function renameCurrentEditableType(toEditableType) {
        var from = currentEditableType
        if (from === toEditableType)
            return
        var masters = __masters[from]
        if (!masters) {
            console.log("[EditorStorage] No editableType " + from)
            return
        }
        var joining = { "bound": [], "waiting": [] }
        if (__masters[toEditableType]) {
            console.log("[EditorStorage] toEditableType is already in list " + toEditableType)
            joining = __retireType(toEditableType)
        }
        var renamed = __table()
        for (var group in masters) {
            var master = masters[group]
            if (master.defaultGroup === from)
                master.defaultGroup = toEditableType
            master.editableType = toEditableType
            master.editableComponentMetaData = __renamedMetaData(master.editableComponentMetaData, from, toEditableType)
            renamed[group === from ? toEditableType : group] = master
        }
        delete __masters[from]
        __masters[toEditableType] = renamed
        var delegates = __delegates[from]
        if (delegates) {
            var moved = __table()
            for (var g in delegates)
                moved[g === from ? toEditableType : g] = delegates[g]
            delete __delegates[from]
            __delegates[toEditableType] = moved
        }
        var listed = __typeList.indexOf(from)
        if (listed >= 0) {
            if (__typeList.indexOf(toEditableType) < 0)
                __typeList[listed] = toEditableType
            else
                __typeList.splice(listed, 1)
        }
        // Registered items follow under the new name, so that their removal finds their master.
        for (var i = 0; i < __components.length; ++i) {
            var component = __components[i]
            if (component.editableType !== from)
                continue
            var ownGroup = component.defaultGroup === from
            component.editableType = toEditableType
            component.editableComponentMetaData = __renamedMetaData(component.editableComponentMetaData, from, toEditableType)
            if (ownGroup)
                component.defaultGroup = toEditableType
        }
        currentEditableType = toEditableType
        for (var n = 0; n < joining.bound.length; ++n)
            __register(joining.bound[n])
        // Bound once the editor shows; until then they show the type's values too.
        for (var w = 0; w < joining.waiting.length; ++w) {
            var own = __masterOf(toEditableType, joining.waiting[w].defaultGroup)
            if (own)
                __copyValues(own, joining.waiting[w].properties, joining.waiting[w].target)
        }
        __flushMirror()
        __checkCurrentPage()
    }

    // A display name that only repeated the old type name repeats the new one.
    function __renamedMetaData(metaData, from, to) {
        if (!metaData || metaData.displayname !== from)
            return metaData
        var renamed = {}
        for (var key in metaData)
            renamed[key] = metaData[key]
        renamed.displayname = to
        return renamed
    }

    // Drops the type's masters and widgets; its registered items stay registered, unbound. Returns those
    // that were bound, and those waiting for the editor to show, which stay in the waiting list.
    function __retireType(type) {
        var unbound = []
        var waiting = []
        for (var i = 0; i < __components.length; ++i) {
            var component = __components[i]
            var master = component.editableType === type ? __masterOf(type, component.defaultGroup) : undefined
            if (!master)
                continue
            if (__waitingForVisibility.indexOf(component) >= 0) {
                waiting.push(component)
                continue
            }
            __walk(master, component.properties, master.defaultGroup, false, component.target)
            unbound.push(component)
        }
        var masters = __masterList.filter(function(m) { return m.editableType === type })
        for (var n = 0; n < masters.length; ++n) {
            var queued = __destructionQueue.indexOf(masters[n])
            if (queued >= 0)
                __destructionQueue.splice(queued, 1)
            __destroyMaster(masters[n])
        }
        return { "bound": unbound, "waiting": waiting }
    }

    // The master's values into the target, for every property the metadata map names.
    function __copyValues(master, map, target) {
        if (!map || typeof map !== "object")
            return
        for (var key in map) {
            if (master.target[key] === undefined)
                __copyValues(master, map[key], target)
            else if (target[key] !== undefined)
                target[key] = EditorValues.copy(master.target[key])
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
        contentDelegateObj.prevButtonVisible = false
        contentDelegateObj.nextButtonVisible = false
        __initialized = true
        var waiting = __waitingForRegistration
        __waitingForRegistration = []
        for (var i = 0; i < waiting.length; ++i)
            createEditableComponent(waiting[i])
    }

    objectName: "itemEditor"
    width: 150
    height: parent ? parent.height : 0

    contentDelegate: Component { ContentDelegate {} }
    groupDelegate: Component { GroupDelegate {} }
    boolDelegate: Component { BoolDelegate {} }
    numberDelegate: Component { NumberDelegate {} }
    stringDelegate: Component { StringDelegate {} }
    pointDelegate: Component { PointDelegate {} }
    colorDelegate: Component { ColorDelegate {} }
    textureDelegate: Component { TextureDelegate {} }
    arrayDelegate: Component { ArrayDelegate {} }

    onCurrentEditableTypeChanged: {
        if (__previousType !== undefined)
            __eachDelegate(__previousType, function(delegate) { delegate.visible = false })
        __eachDelegate(currentEditableType, function(delegate) { delegate.visible = true })
        __searchMetaData()
        __previousType = currentEditableType
        __checkCurrentPage()
    }
    onVisibleChanged: {
        if (!__initialized || !visible)
            return
        if (__waitingForVisibility.length > 0) {
            loading()
            state = "loading"
        }
        __visibilityPending = true
        loadingTimer.restart()
    }
    onLoaded: __updateButtons()
    Component.onCompleted: __initialize()
    // Takes what it made with it; the bindings its delegates put on the items go first.
    Component.onDestruction: {
        var components = __components
        __components = []
        for (var i = 0; i < components.length; ++i)
            components[i].destroy()
        __eachDelegateOfAllTypes(function(delegate) {
            var targets = delegate.boundTargets()
            for (var n = 0; n < targets.length; ++n)
                delegate.removeBinding(targets[n])
            delegate.destroy()
        })
        for (var m = 0; m < __masterList.length; ++m) {
            __masterList[m].target.destroy()
            __masterList[m].destroy()
        }
        itemEditorDestroyed()
    }

    Component {
        id: masterFactory

        EditableComponent {
            external: true
            visible: false
        }
    }

    // Both timers let the "loading" state reach the screen before the blocking work.
    Timer {
        id: loadingTimer

        interval: 50
        onTriggered: {
            var queue = itemEditor.__creationQueue
            itemEditor.__creationQueue = []
            for (var i = 0; i < queue.length; ++i)
                itemEditor.__register(queue[i])
            if (itemEditor.__visibilityPending) {
                itemEditor.__visibilityPending = false
                if (itemEditor.visible)
                    itemEditor.__updateVisibility()
            }
            itemEditor.__flushMirror()
            itemEditor.__checkCurrentPage()
            itemEditor.__finishLoading()
        }
    }

    Timer {
        id: destroyTimer

        interval: 50
        onTriggered: {
            var queue = itemEditor.__destructionQueue
            itemEditor.__destructionQueue = []
            for (var i = 0; i < queue.length; ++i) {
                var master = queue[i]
                // An item of the type may have come back meanwhile.
                if (!itemEditor.__components.some(function(c) { return itemEditor.__usesMaster(c, master) }))
                    itemEditor.__destroyMaster(master)
            }
            itemEditor.__checkCurrentPage()
            itemEditor.__finishLoading()
        }
    }

    states: State { name: "loading" }
}
