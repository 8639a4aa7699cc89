import QtQuick 2.15
import Zanth 1.0
import "EntityBaseDraggableLogic.js" as DragLogic

// An entity the player places by dragging: it floats above the finger, snaps to the grid, and may only
// be dropped inside the level where its collider touches no other. A test body, a copy of the collider,
// sits at the snapped position while dragged and counts the obstacles there.
EntityBase {
    id: entityBaseDraggable

    property bool inLevelEditingMode: typeof scene !== "undefined" && scene ? scene.state === "levelEditing" : true
    property real levelWidth: __containerExtent("width")
    property real levelHeight: __containerExtent("height")
    property point dragOffset: Qt.point(0, -70)
    property bool delayDragOffset: false
    property alias selectionMouseArea: selectionMouseArea
    // A BoxCollider, CircleCollider or PolygonCollider of the entity; without one nothing is tested.
    property variant colliderComponent
    property bool showRectangleWhenBuildingNotAllowed: true
    property alias notAllowedRectangle: notAllowedRectangle
    property bool clickingAllowed: inLevelEditingMode
    property bool draggingAllowed: inLevelEditingMode
    property int colliderCategoriesWhileDragged: Box.All
    property int colliderCollidesWithWhileDragged: Box.All
    property real gridSize: typeof scene !== "undefined" && scene && scene.gridSize > 0 ? scene.gridSize : 1
    property int colliderSize: gridSize
    property bool allowedToBuild: !__outOfBoundsX && !__outOfBoundsY && !__colliding
    // "", "entityDragged" or "entitySelected"
    property string entityState: ""
    property alias entitySelection: entitySelection
    property alias opacityChangeItemWhileSelected: entitySelection.opacityChangeItem

    property bool __outOfBoundsX: false
    property bool __outOfBoundsY: false
    property bool __colliding: false
    property var __obstacles: new DragLogic.ObstacleContacts()
    property bool __collisionTestingOnlyModeBeforeDrag: false
    property var __positionBeforeDrag
    property bool __positionChanged: false
    // With delayDragOffset: pressed, but the drag has not begun yet.
    property bool __dragPending: false
    property point __pressPoint
    property var __testBody: null
    property bool __completed: false

    signal entityPressed
    signal entityReleased
    signal entityClicked
    signal entityPressAndHold
    signal beginContactWhileDragged(variant other)
    signal endContactWhileDragged(variant other)

    // The point is in entity coordinates.
    function pressEntity(x, y) {
        if (!draggingAllowed) {
            console.debug("EntityBaseDraggable: dragging is not allowed for entity", entityId)
            return
        }
        __positionChanged = false
        var pointer = mapToItem(parent, x, y)
        __startDragging(pointer.x, pointer.y)
    }

    // The pointer position is in the coordinates of the entity's parent.
    function changeEntityPosition(x, y) {
        if (entityState !== "entityDragged")
            return
        __positionChanged = true
        entityBaseDraggable.x = Math.max(0, Math.min(levelWidth, x + dragOffset.x))
        entityBaseDraggable.y = Math.max(0, Math.min(levelHeight, y + dragOffset.y))
    }

    function releaseEntity() {
        if (!draggingAllowed) {
            console.debug("EntityBaseDraggable: dragging is not allowed for entity", entityId)
            return
        }
        if (entityState !== "entityDragged")
            return
        entityState = ""
        if (allowedToBuild && __positionChanged) {
            x = snappedPose.x
            y = snappedPose.y
        } else if (__positionBeforeDrag) {
            x = __positionBeforeDrag.x
            y = __positionBeforeDrag.y
        }
        if (__testBody) {
            __testBody.owningEntity = entityBaseDraggable
            colliderComponent.collisionTestingOnlyMode = __collisionTestingOnlyModeBeforeDrag
        }
        entityReleased()
    }

    function clickEntity() {
        if (!clickingAllowed) {
            console.debug("EntityBaseDraggable: clicking is not allowed for entity", entityId)
            return
        }
        entityClicked()
    }

    function __containerExtent(name) {
        var container = typeof entityManager !== "undefined" && entityManager ? entityManager.entityContainer : null
        return container && container[name] > 0 ? container[name] : 10000
    }

    function __startDragging(pointerX, pointerY) {
        __obstacles = new DragLogic.ObstacleContacts()
        __colliding = false
        entityState = "entityDragged"
        __positionBeforeDrag = Qt.point(x, y)
        x = pointerX + dragOffset.x
        y = pointerY + dragOffset.y
        __snapX()
        __snapY()
        if (__testBody) {
            __collisionTestingOnlyModeBeforeDrag = colliderComponent.collisionTestingOnlyMode
            colliderComponent.collisionTestingOnlyMode = true
            __testBody.owningEntity = snappedPose
        }
        entityPressed()
    }

    function __snapX() {
        snappedPose.x = DragLogic.snapped(x, gridSize)
        __outOfBoundsX = DragLogic.outOfBounds(x, gridSize, colliderSize, levelWidth)
    }

    function __snapY() {
        snappedPose.y = DragLogic.snapped(y, gridSize)
        __outOfBoundsY = DragLogic.outOfBounds(y, gridSize, colliderSize, levelHeight)
    }

    // Contacts with the entity's own collider are no obstacle.
    function __isOwnFixture(other) {
        for (var item = other; item; item = item.parent) {
            if (item === entityBaseDraggable)
                return true
        }
        return false
    }

    function __beginContact(other) {
        if (entityState !== "entityDragged" || __isOwnFixture(other))
            return
        __obstacles.begin(other)
        __colliding = true
        beginContactWhileDragged(other)
    }

    function __endContact(other) {
        if (entityState !== "entityDragged" || __isOwnFixture(other))
            return
        __obstacles.end(other)
        __colliding = __obstacles.colliding()
        endContactWhileDragged(other)
    }

    function __createTestBody() {
        if (__testBody) {
            __testBody.destroy()
            __testBody = null
        }
        var collider = colliderComponent
        if (!collider)
            return
        var component = { box: boxTestBody, circle: circleTestBody, polygon: polygonTestBody }[collider.colliderType]
        if (!component) {
            console.debug("EntityBaseDraggable: WARNING: unknown colliderType", collider.colliderType)
            return
        }
        var properties = { owningEntity: entityBaseDraggable, collisionTestingOnlyMode: true,
                           categories: colliderCategoriesWhileDragged, collidesWith: colliderCollidesWithWhileDragged,
                           bodyType: Body.Dynamic, active: true }
        if (collider.colliderType === "box") {
            properties.x = collider.x + 1
            properties.y = collider.y + 1
            properties.width = collider.width - 2
            properties.height = collider.height - 2
        } else if (collider.colliderType === "circle") {
            properties.x = collider.x
            properties.y = collider.y
            properties.radius = collider.radius - 1
        } else {
            properties.x = collider.x
            properties.y = collider.y
            properties.vertices = collider.vertices
        }
        __testBody = component.createObject(entityBaseDraggable, properties)
        if (!__testBody)
            return
        __testBody.fixture.beginContact.connect(__beginContact)
        __testBody.fixture.endContact.connect(__endContact)
    }

    onXChanged: {
        if (entityState === "entityDragged")
            __snapX()
    }
    onYChanged: {
        if (entityState === "entityDragged")
            __snapY()
    }
    onColliderComponentChanged: {
        if (__completed)
            __createTestBody()
    }
    onEntityClicked: entityState = "entitySelected"
    // The collider's size is known only once the entity is complete.
    Component.onCompleted: {
        __completed = true
        __createTestBody()
    }

    Item {
        id: snappedPose

        // Lives beside the entity, so that its position is in the same coordinates.
        property bool collidersActive: true

        parent: entityBaseDraggable.parent
        visible: false
        width: entityBaseDraggable.width
        height: entityBaseDraggable.height
        rotation: entityBaseDraggable.rotation
    }

    MouseArea {
        id: selectionMouseArea

        property bool __pressed: false

        onPressed: function(mouse) {
            if (entityBaseDraggable.delayDragOffset) {
                entityBaseDraggable.__dragPending = true
                entityBaseDraggable.__pressPoint = Qt.point(mouse.x, mouse.y)
            } else {
                var point = mapToItem(entityBaseDraggable, mouse.x, mouse.y)
                entityBaseDraggable.pressEntity(point.x, point.y)
            }
        }
        onPositionChanged: function(mouse) {
            var inParent = mapToItem(entityBaseDraggable.parent, mouse.x, mouse.y)
            if (entityBaseDraggable.__dragPending) {
                var start = entityBaseDraggable.__pressPoint
                if (Math.abs(mouse.x - start.x) < Qt.styleHints.startDragDistance
                        && Math.abs(mouse.y - start.y) < Qt.styleHints.startDragDistance)
                    return
                entityBaseDraggable.__dragPending = false
                var point = mapToItem(entityBaseDraggable, start.x, start.y)
                entityBaseDraggable.pressEntity(point.x, point.y)
            }
            entityBaseDraggable.changeEntityPosition(inParent.x, inParent.y)
        }
        onReleased: {
            if (entityBaseDraggable.__dragPending) {
                entityBaseDraggable.__dragPending = false
                return
            }
            entityBaseDraggable.releaseEntity()
        }
        onClicked: entityBaseDraggable.clickEntity()
        onPressAndHold: entityBaseDraggable.entityPressAndHold()
    }

    Rectangle {
        id: notAllowedRectangle

        z: 5
        color: "red"
        opacity: 0.5
        width: entityBaseDraggable.colliderComponent ? entityBaseDraggable.colliderComponent.width : entityBaseDraggable.width
        height: entityBaseDraggable.colliderComponent ? entityBaseDraggable.colliderComponent.height : entityBaseDraggable.height
        anchors.centerIn: parent
        visible: !entityBaseDraggable.allowedToBuild && entityBaseDraggable.entityState === "entityDragged"
                 && entityBaseDraggable.showRectangleWhenBuildingNotAllowed
    }

    EntitySelection {
        id: entitySelection

        opacityChangeItem: entityBaseDraggable
        state: entityBaseDraggable.entityState === "entitySelected" ? "selected" : ""
        // The pulse stops wherever it is: a deselected entity shows fully again.
        onStateChanged: {
            if (state !== "selected" && opacityChangeItem)
                opacityChangeItem.opacity = 1
        }
    }

    Component {
        id: boxTestBody

        BoxCollider {}
    }

    Component {
        id: circleTestBody

        CircleCollider {}
    }

    Component {
        id: polygonTestBody

        PolygonCollider {}
    }
}
