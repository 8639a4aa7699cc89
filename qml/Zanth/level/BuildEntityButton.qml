import QtQuick 2.15
import Zanth 1.0

// A button from which new entities are dragged into the level. It keeps one hidden entity of the type
// for the drag; dropping it where building is allowed creates a real entity there.
Item {
    id: buildEntityButton

    // The entity's QML file.
    property url toCreateEntityType
    property variant creationProperties
    property string variationType
    property variant createdEntity
    property variant itemForCreatedEntityPositioning: __entityManager() ? __entityManager().entityContainer : null

    signal pressed
    signal released
    signal clicked
    signal entityPressed
    signal entityReleased
    signal entityWasBuilt(string builtEntityId)

    // Relative to the file that set it, not to this one.
    function __entityUrl() {
        return Qt.resolvedUrl(toCreateEntityType, buildEntityButton)
    }

    function __entityManager() {
        return typeof entityManager !== "undefined" && entityManager ? entityManager : null
    }

    function __containerExtent(name) {
        var container = itemForCreatedEntityPositioning
        return container && container[name] > 0 ? container[name] : 10000
    }

    function __buttonCentre() {
        var container = itemForCreatedEntityPositioning
        return container ? mapToItem(container, width / 2, height / 2) : Qt.point(width / 2, height / 2)
    }

    function __creationPropertiesAt(x, y) {
        var properties = {}
        var given = creationProperties
        if (given) {
            for (var key in given)
                properties[key] = given[key]
        }
        if (variationType !== "")
            properties.variationType = variationType
        properties.x = x
        properties.y = y
        return properties
    }

    function __putEntityBack() {
        if (!createdEntity)
            return
        var centre = __buttonCentre()
        createdEntity.x = centre.x
        createdEntity.y = centre.y
    }

    function __createDragEntity() {
        var manager = __entityManager()
        if (!manager || !itemForCreatedEntityPositioning) {
            console.debug("ERROR: BuildEntityButton: no entityManager with an entityContainer to create the entity in")
            return
        }
        var centre = __buttonCentre()
        var properties = __creationPropertiesAt(centre.x, centre.y)
        properties.collidersActive = false
        properties.visible = false
        properties.preventFromRemovalFromEntityManager = true
        var entityId = manager.createEntityFromUrlWithProperties(__entityUrl(), properties)
        var entity = entityId === undefined ? null : manager.getEntityById(entityId)
        if (!entity) {
            console.debug("ERROR: BuildEntityButton: could not create an entity from", toCreateEntityType)
            return
        }
        var area = entity.selectionMouseArea
        if (area) {
            area.anchors.fill = undefined
            area.anchors.centerIn = undefined
            area.width = Qt.binding(function() { return buildEntityButton.width })
            area.height = Qt.binding(function() { return buildEntityButton.height })
            area.x = Qt.binding(function() { return -buildEntityButton.width / 2 })
            area.y = Qt.binding(function() { return -buildEntityButton.height / 2 })
        }
        entity.clickingAllowed = false
        entity.draggingAllowed = Qt.binding(function() { return buildEntityButton.visible })
        entity.entityPressed.connect(__onEntityPressed)
        entity.entityReleased.connect(__onEntityReleased)
        entity.entityDestroyed.connect(__onEntityDestroyed)
        createdEntity = entity
    }

    function __onEntityDestroyed() {
        createdEntity = null
    }

    function __onEntityPressed() {
        createdEntity.visible = true
        entityPressed()
    }

    function __onEntityReleased() {
        var entity = createdEntity
        entity.visible = false
        if (!entity.__positionChanged)
            return
        if (entity.allowedToBuild) {
            var manager = __entityManager()
            var builtId = manager.createEntityFromUrlWithProperties(__entityUrl(),
                                                                    __creationPropertiesAt(entity.x, entity.y))
            if (builtId !== undefined)
                entityWasBuilt(builtId)
        }
        __putEntityBack()
        entityReleased()
    }

    Component.onCompleted: __createDragEntity()
    // The entity may outlive the button by a frame (removal is deferred): it must not call back into it.
    Component.onDestruction: {
        var entity = createdEntity
        if (!entity)
            return
        entity.entityPressed.disconnect(__onEntityPressed)
        entity.entityReleased.disconnect(__onEntityReleased)
        entity.entityDestroyed.disconnect(__onEntityDestroyed)
        if (__entityManager())
            __entityManager().removeEntityById(entity.entityId)
    }

    MouseArea {
        id: buttonArea

        anchors.fill: parent

        onPressed: function(mouse) {
            var entity = buildEntityButton.createdEntity
            if (!entity)
                return
            buildEntityButton.__putEntityBack()
            var point = mapToItem(entity, mouse.x, mouse.y)
            entity.pressEntity(point.x, point.y)
            buildEntityButton.pressed()
        }
        onPositionChanged: function(mouse) {
            var entity = buildEntityButton.createdEntity
            if (!entity || !entity.parent)
                return
            var point = mapToItem(entity.parent, mouse.x, mouse.y)
            entity.changeEntityPosition(Math.max(0, Math.min(buildEntityButton.__containerExtent("width"), point.x)),
                                        Math.max(0, Math.min(buildEntityButton.__containerExtent("height"), point.y)))
        }
        onReleased: {
            if (buildEntityButton.createdEntity)
                buildEntityButton.createdEntity.releaseEntity()
            buildEntityButton.released()
        }
        onClicked: {
            if (buildEntityButton.createdEntity)
                buildEntityButton.createdEntity.clickEntity()
            buildEntityButton.clicked()
        }
        onCanceled: {
            if (!buildEntityButton.createdEntity)
                return
            buildEntityButton.createdEntity.visible = false
            buildEntityButton.__putEntityBack()
        }
    }

    ScenePositionObserver {
        onScenePositionChanged: buildEntityButton.__putEntityBack()
    }
}
