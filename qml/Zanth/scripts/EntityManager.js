// The entity manager's logic. One copy of this script runs per EntityManager (no library marker), so
// the registries below belong to that manager. Every failure is one console line and an undefined result.

var entities = []
var entitiesMap = {}
var pooledEntities = {}
// Components cannot be object keys: these are searched linearly, comparing components loosely.
var componentToEntityTypeArray = []
var componentToVariationTypeArray = []
var entityTypeAndVariationTypeToComponentMap = {}
var urlToEntityTypeMap = {}
// URL -> the variation its entities have, beside the type: a variation's file finds its pooled entities.
var urlToVariationTypeMap = {}
var undefinedEntityIdString = ""

function isValidContainer(container) {
    return container !== undefined && container !== null && typeof container === "object"
            && container.parent !== undefined && container.parent !== null
}

var initialized = false

// Pre-creates the kinds of dynamicCreationEntityList, once, as soon as the container is valid.
function initialize() {
    if (initialized || !isValidContainer(manager.entityContainer))
        return
    initialized = true
    var list = manager.dynamicCreationEntityList
    if (!list)
        return
    for (var i = 0; i < list.length; ++i) {
        var entry = list[i]
        if (typeof entry === "string")
            createPooledEntitiesFromUrl(entry, 1)
        else if (entry !== null && typeof entry === "object")
            createPooledEntitiesFromComponent(entry, 1)
        else
            console.log("ERROR: EntityManager: unknown type of dynamicCreationEntityList entry with index", i,
                        "and type", typeof entry)
    }
}

function recordedType(array, component, key) {
    for (var i = 0; i < array.length; ++i) {
        if (array[i].component == component)
            return array[i][key]
    }
    return undefined
}

function generateEntityId(entityType, variationType) {
    var id = entityType + "_"
    if (variationType !== undefined && variationType !== null && variationType !== "")
        id += variationType + "_"
    id += entities.length
    while (entitiesMap[id] !== undefined)
        id += "_"
    return id
}

function register(entity) {
    entitiesMap[entity.entityId] = entity
    entities.push(entity)
}

// A pooled entity goes with the item holding it (a level swapped): its reference then answers nothing.
function isAlive(entity) {
    return entity !== undefined && entity !== null && typeof entity.isOfType === "function"
}

// Whether the entity lies in the entity container (or in an item below it).
function isInContainer(entity) {
    var container = manager.entityContainer
    for (var item = entity.parent; item; item = item.parent) {
        if (item === container)
            return true
    }
    return false
}

// The pool of the type without the entities destroyed meanwhile; undefined when there is none. A
// pooled entity left in another container (a level being swapped out, which destroys it later) would
// be reused there, out of sight and soon gone: it is destroyed instead.
function livePool(entityType) {
    var pool = pooledEntities[entityType]
    if (!pool)
        return undefined
    var live = pool.filter(isAlive)
    var usable = live.filter(isInContainer)
    if (usable.length === pool.length)
        return pool
    pooledEntities[entityType] = usable
    live.forEach(function(entity) {
        if (usable.indexOf(entity) < 0)
            entity.destroy()
    })
    return usable
}

// Whether the pooled entity serves a creation of that type and variation. Without a variation only an
// entity without one does: a variation is another kind (another file or component) of the type.
function fitsRequest(entity, entityType, variationType) {
    if (variationType)
        return entity.isOfType(variationType)
    return entity.isOfType(entityType) && !entity.variationType
}

function findPooledEntity(entityType, variationType) {
    if (!manager.poolingEnabled || !entityType)
        return undefined
    var pool = livePool(entityType)
    if (!pool || pool.length === 0)
        return undefined
    for (var i = 0; i < pool.length; ++i) {
        if (fitsRequest(pool[i], entityType, variationType))
            return pool.splice(i, 1)[0]
    }
    return undefined
}

function reuseFromPool(entity, properties) {
    if (properties.entityId === undefined || properties.entityId === undefinedEntityIdString)
        properties.entityId = generateEntityId(entity.entityType, entity.variationType)
    entity.entityId = properties.entityId
    register(entity)
    for (var name in properties) {
        if (entity[name] !== properties[name])
            entity[name] = properties[name]
    }
    entity.usedFromPool()
    entity.visible = true
    entity.entityCreated()
    return entity.entityId
}

function takeUniqueId(properties) {
    if (properties.entityId === undefined || properties.entityId === undefinedEntityIdString)
        return
    var id = String(properties.entityId)
    while (entitiesMap[id] !== undefined) {
        console.log("WARNING: EntityManager: an entity with id", id, "exists already, appending '_'")
        id += "_"
    }
    properties.entityId = id
}

// source is a Component, or {url: ...} when the URL's entity type has a pooled entity.
function createEntity(source, properties) {
    if (!isValidContainer(manager.entityContainer)) {
        console.log("ERROR: EntityManager: no valid entityContainer, cannot create an entity")
        return undefined
    }
    if (!properties)
        properties = {}
    takeUniqueId(properties)
    var isComponent = typeof source.createObject === "function"
    var entityType = properties.entityType
    var typeWasKnown = entityType !== undefined
    if (!typeWasKnown && isComponent) {
        entityType = recordedType(componentToEntityTypeArray, source, "entityType")
        typeWasKnown = entityType !== undefined
        if (typeWasKnown)
            properties.entityType = entityType
    }
    var variationType = properties.variationType
    var variationWasKnown = variationType !== undefined
    if (!variationWasKnown && isComponent) {
        variationType = recordedType(componentToVariationTypeArray, source, "variationType")
        variationWasKnown = variationType !== undefined
        if (variationWasKnown)
            properties.variationType = variationType
    }

    var pooled = findPooledEntity(entityType, variationType)
    if (pooled)
        return reuseFromPool(pooled, properties)
    if (!isComponent) {
        console.log("ERROR: EntityManager: no component for url", source.url)
        return undefined
    }

    var entity = source.createObject(manager.entityContainer, properties)
    if (!entity) {
        console.log("ERROR: EntityManager: could not create an entity from component", source,
                    source.errorString ? source.errorString() : "")
        return undefined
    }
    var newType = false
    var newVariation = false
    if (!typeWasKnown) {
        componentToEntityTypeArray.push({ "component": source, "entityType": entity.entityType })
        newType = true
    }
    if (!variationWasKnown && entity.variationType) {
        componentToVariationTypeArray.push({ "component": source, "variationType": entity.variationType })
        newVariation = true
    }
    // A type's plain component and its variations' components are kept side by side: a level may hold
    // both kinds.
    if (newVariation || newType) {
        var entry = entityTypeAndVariationTypeToComponentMap[entity.entityType]
        if (!entry) {
            entry = {}
            entityTypeAndVariationTypeToComponentMap[entity.entityType] = entry
        }
        if (newVariation) {
            if (!entry.variationTypeComponents)
                entry.variationTypeComponents = {}
            entry.variationTypeComponents[entity.variationType] = source
        } else {
            entry.entityTypeComponent = source
        }
    }
    if (manager.poolingEnabled && entity.poolingEnabled) {
        urlToEntityTypeMap[String(source.url)] = entity.entityType
        if (!variationWasKnown)
            urlToVariationTypeMap[String(source.url)] = entity.variationType
    }
    handToSceneGraph(entity)
    return entity.entityId
}

function handToSceneGraph(entity) {
    if (typeof rootGameWindow === "undefined" || !rootGameWindow) {
        console.log("WARNING: EntityManager: no game window, the entity is not handed to the scene graph:", entity)
        return
    }
    // A container that held nothing drawable when it was mirrored has no node: mirror it now, with the
    // entity below it, or the entity would hang from the scene's root without the container's transform.
    var container = manager.entityContainer
    if (typeof sceneGraphWrapper !== "undefined" && !sceneGraphWrapper.hasSceneGraphNode(container))
        rootGameWindow.loadItemWithSceneGraph(container)
    else
        rootGameWindow.loadItemWithSceneGraph(entity)
}

function createEntityFromComponentWithProperties(component, properties) {
    if (!component) {
        console.log("ERROR: EntityManager: no component given to create an entity from")
        return undefined
    }
    return createEntity(component, properties)
}

function createEntityFromUrlWithProperties(url, properties) {
    if (!properties)
        properties = {}
    // A relative URL names a file beside the game's QML, not beside this script.
    url = Qt.resolvedUrl(url, manager)
    var key = String(url)
    if (urlToEntityTypeMap[key] !== undefined && properties.entityType === undefined) {
        properties.entityType = urlToEntityTypeMap[key]
        if (properties.variationType === undefined && urlToVariationTypeMap[key])
            properties.variationType = urlToVariationTypeMap[key]
    }
    if (findPooledEntityPeek(properties.entityType, properties.variationType))
        return createEntity({ "url": key }, properties)
    var component = Qt.createComponent(url)
    if (component.status !== Component.Ready) {
        console.log("ERROR: failed to create sprite from url:", url, "status:", component.status,
                    "error:", component.errorString())
        return undefined
    }
    return createEntity(component, properties)
}

function findPooledEntityPeek(entityType, variationType) {
    if (!manager.poolingEnabled || !entityType)
        return false
    var pool = livePool(entityType)
    if (!pool)
        return false
    for (var i = 0; i < pool.length; ++i) {
        if (fitsRequest(pool[i], entityType, variationType))
            return true
    }
    return false
}

function createEntityFromEntityTypeAndVariationType(properties) {
    if (!properties || properties.entityType === undefined) {
        console.log("ERROR: EntityManager: createEntityFromEntityTypeAndVariationType needs an entityType")
        return undefined
    }
    // The pre-creation teaches the types; a creation by type that comes before its deferred run (from
    // a Component.onCompleted of a level loaded at start) runs it now.
    initialize()
    var entry = entityTypeAndVariationTypeToComponentMap[properties.entityType]
    if (!entry) {
        console.log("ERROR: EntityManager: no entry found for entityType", properties.entityType)
        return undefined
    }
    var component
    if (properties.variationType) {
        if (entry.variationTypeComponents) {
            component = entry.variationTypeComponents[properties.variationType]
            if (!component) {
                for (var variation in entry.variationTypeComponents) {
                    component = entry.variationTypeComponents[variation]
                    break
                }
            }
        }
        if (!component)
            component = entry.entityTypeComponent
    } else {
        component = entry.entityTypeComponent
    }
    if (!component) {
        console.log("ERROR: EntityManager: no component found for entityType", properties.entityType,
                    "and variationType", properties.variationType)
        return undefined
    }
    return createEntity(component, properties)
}

// All are made before any goes back to the pool: a creation would otherwise take out the one pooled
// just before.
function createPooledEntities(create, amount) {
    var ids = []
    for (var i = 0; i < amount; ++i) {
        var id = create({ "visible": false })
        if (id === undefined)
            break
        ids.push(id)
    }
    ids.forEach(function(made) { removeEntityById(made) })
}

function createPooledEntitiesFromUrl(url, amount) {
    createPooledEntities(function(properties) { return createEntityFromUrlWithProperties(url, properties) }, amount)
}

function createPooledEntitiesFromComponent(component, amount) {
    createPooledEntities(function(properties) {
        return createEntityFromComponentWithProperties(component, properties) }, amount)
}

function addEntityIfNotRegistered(entity) {
    if (entity.entityId !== undefinedEntityIdString) {
        if (entitiesMap[entity.entityId] === undefined)
            register(entity)
        return
    }
    entity.entityId = generateEntityId(entity.entityType, entity.variationType)
    register(entity)
}

function unregister(entity) {
    var index = entities.indexOf(entity)
    if (index >= 0)
        entities.splice(index, 1)
    if (entitiesMap[entity.entityId] === entity)
        delete entitiesMap[entity.entityId]
}

// An entity being destroyed: unregistered when active, and taken out of its pool when pooled.
function removeEntityIfDefinedInQmlFiles(entityId, entity) {
    if (entitiesMap[entityId] === entity)
        unregister(entity)
    for (var type in pooledEntities) {
        var index = pooledEntities[type].indexOf(entity)
        if (index >= 0)
            pooledEntities[type].splice(index, 1)
    }
}

function getEntityById(entityId) {
    return entitiesMap[entityId]
}

function getLastAddedEntity() {
    return entities.length > 0 ? entities[entities.length - 1] : undefined
}

function getEntityArrayByType(type) {
    return entities.filter(function(entity) { return entity.isOfType(type) })
}

function getPooledEntityArrayByType(type) {
    var pool = livePool(type)
    return pool ? pool.slice() : []
}

function removeEntityById(entityId) {
    var entity = entitiesMap[entityId]
    if (entity === undefined || entities.indexOf(entity) < 0) {
        console.log("WARNING: EntityManager: entity to remove could not be found with id:", entityId)
        return
    }
    if (entity.preventFromRemovalFromEntityManager)
        return
    unregister(entity)
    if (manager.poolingEnabled && entity.poolingEnabled) {
        entity.entityDestroyed()
        entity.visible = false
        entity.movedToPool()
        if (!pooledEntities[entity.entityType])
            pooledEntities[entity.entityType] = []
        pooledEntities[entity.entityType].push(entity)
    } else {
        entity.destroy()
    }
}

function removeLastAddedEntity() {
    var entity = getLastAddedEntity()
    if (entity)
        removeEntityById(entity.entityId)
}

// Without types, every entity that may be removed; a single type name stands for a list of one.
function removeEntitiesByFilter(types) {
    if (types === undefined || types === null) {
        removeAllEntities()
        return
    }
    if (typeof types === "string")
        types = [types]
    var matching = entities.filter(function(entity) {
        for (var i = 0; i < types.length; ++i) {
            if (entity.isOfType(types[i]))
                return true
        }
        return false
    })
    matching.forEach(function(entity) { removeEntityById(entity.entityId) })
}

function removeAllEntities() {
    entities.slice().forEach(function(entity) { removeEntityById(entity.entityId) })
}

function removeAllPooledEntities() {
    var pools = pooledEntities
    pooledEntities = {}
    for (var type in pools)
        pools[type].filter(isAlive).forEach(function(entity) { entity.destroy() })
}

// An entity the game hid, not one whose scene is hidden or fading out.
function shownByItself(entity) {
    return entity.__shownByItself === undefined ? entity.visible : entity.__shownByItself
}

// A single type or property name stands for a list of one, as in removeEntitiesByFilter.
function storeEntitiesAsJson(types, propertyNames) {
    if (typeof types === "string")
        types = [types]
    if (typeof propertyNames === "string")
        propertyNames = [propertyNames]
    var result = {}
    for (var i = 0; i < entities.length; ++i) {
        var entity = entities[i]
        if (types && types.length > 0) {
            var matches = false
            for (var t = 0; t < types.length && !matches; ++t)
                matches = entity.isOfType(types[t])
            if (!matches)
                continue
        }
        if (!shownByItself(entity) || entity.preventFromRemovalFromEntityManager)
            continue
        var stored = {
            "entityId": entity.entityId,
            "entityType": entity.entityType,
            "variationType": entity.variationType,
            "x": entity.x,
            "y": entity.y,
            "rotation": entity.rotation
        }
        var extra = entity.toStoreProperties || []
        for (var p = 0; p < extra.length; ++p) {
            if (!entity[extra[p]])
                console.log("WARNING: EntityManager: the property", extra[p], "to store does not exist or is falsy for entity", entity.entityId)
            stored[extra[p]] = entity[extra[p]]
        }
        if (propertyNames) {
            for (var n = 0; n < propertyNames.length; ++n) {
                if (entity[propertyNames[n]])
                    stored[propertyNames[n]] = entity[propertyNames[n]]
            }
        }
        result[entity.entityId] = stored
    }
    return result
}
