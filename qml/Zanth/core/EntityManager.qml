import QtQuick 2.15
import "../scripts/EntityManager.js" as Logic

// Creates, finds, pools, removes and stores the game's entities (EntityBase items) as children of the
// entity container. Entities reach it by the id "entityManager", which the game must give it.
QtObject {
    id: manager

    // The parent of created entities: an item with a parent, normally the game's Scene.
    property var entityContainer
    // Entities whose own poolingEnabled is set are kept for reuse instead of destroyed.
    property bool poolingEnabled: false
    // Components or URL strings created (and pooled) once at start, so that they can be created by type.
    property var dynamicCreationEntityList
    property bool __initialized: false
    property bool __componentCompleted: false

    // Entities stop calling the manager after this.
    signal entityManagerDestroyed

    function createEntityFromUrl(url) { return Logic.createEntityFromUrlWithProperties(url, {}) }
    function createEntityFromUrlWithProperties(url, properties) {
        return Logic.createEntityFromUrlWithProperties(url, properties)
    }
    function createEntityFromComponent(component) {
        return Logic.createEntityFromComponentWithProperties(component, {})
    }
    function createEntityFromComponentWithProperties(component, properties) {
        return Logic.createEntityFromComponentWithProperties(component, properties)
    }
    function createEntityFromEntityTypeAndVariationType(properties) {
        return Logic.createEntityFromEntityTypeAndVariationType(properties)
    }
    function createPooledEntitiesFromUrl(url, amount) { Logic.createPooledEntitiesFromUrl(url, amount) }
    function createPooledEntitiesFromComponent(component, amount) {
        Logic.createPooledEntitiesFromComponent(component, amount)
    }
    function addEntityIfNotRegistered(entity) { Logic.addEntityIfNotRegistered(entity) }
    function removeEntityIfDefinedInQmlFiles(entityId, entity) {
        Logic.removeEntityIfDefinedInQmlFiles(entityId, entity)
    }
    function getEntityById(entityId) { return Logic.getEntityById(entityId) }
    function getLastAddedEntity() { return Logic.getLastAddedEntity() }
    function getEntityArrayByType(type) { return Logic.getEntityArrayByType(type) }
    function getPooledEntityArrayByType(type) { return Logic.getPooledEntityArrayByType(type) }
    function removeEntityById(entityId) { Logic.removeEntityById(entityId) }
    function removeLastAddedEntity() { Logic.removeLastAddedEntity() }
    function removeEntitiesByFilter(types) { Logic.removeEntitiesByFilter(types) }
    function removeAllEntities() { Logic.removeAllEntities() }
    function removeAllPooledEntities() { Logic.removeAllPooledEntities() }
    // An object keyed by entity id of {entityId, entityType, variationType, x, y, rotation, ...}.
    function storeEntitiesAsJson(types) { return Logic.storeEntitiesAsJson(types, undefined) }
    function storeEntitiesAsJsonWithProperties(types, propertyNames) {
        return Logic.storeEntitiesAsJson(types, propertyNames)
    }

    // The pre-creation waits for the events after loading: by then the container has its scene-graph
    // node, so that the entities handed to the scene graph hang below it. A creation by type before
    // then runs it at once.
    function __initialize() {
        __initialized = true
        Qt.callLater(Logic.initialize)
    }

    onEntityContainerChanged: {
        if (!__componentCompleted)
            return
        if (__initialized) {
            console.log("WARNING: EntityManager: the entityContainer changed again, the dynamicCreationEntityList is not created again")
            return
        }
        if (Logic.isValidContainer(entityContainer))
            __initialize()
    }
    onPoolingEnabledChanged: {
        if (!poolingEnabled)
            Logic.removeAllPooledEntities()
    }

    Component.onCompleted: {
        __componentCompleted = true
        if (!Logic.isValidContainer(entityContainer)) {
            console.log("ERROR: EntityManager: no entityContainer specified in onCompleted, so no pre-creation from dynamicCreationEntityList is possible!")
            return
        }
        __initialize()
    }
    Component.onDestruction: entityManagerDestroyed()
}
