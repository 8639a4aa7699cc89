import QtQuick 2.15
import Zanth 1.0

// A physics body for the entity it belongs to: the body moves the entity. The derived colliders add the
// fixture. The body stays at the collider's origin, so the simulated position is the entity's own.
ComponentBase {
    id: collider

    property alias body: body
    property alias fixtures: body.fixtures
    property alias collisionTestingOnlyMode: body.collisionTestingOnlyMode
    property alias linearDamping: body.linearDamping
    property alias angularDamping: body.angularDamping
    property alias linearVelocity: body.linearVelocity
    property alias angularVelocity: body.angularVelocity
    property alias fixedRotation: body.fixedRotation
    property alias bullet: body.bullet
    // True while the body is awake.
    property alias sleeping: body.isAwake
    property alias bodyType: body.bodyType
    property alias sleepingAllowed: body.sleepingAllowed
    property alias force: body.force
    property alias torque: body.torque
    property alias gravityScale: body.gravityScale

    property bool active: __entityCollidersActive
    // "box", "circle" or "polygon": other components tell colliders apart by it.
    property string colliderType

    // Without an entity (or one lacking collidersActive) the collider counts as active.
    readonly property bool __entityCollidersActive: !owningEntity || owningEntity.collidersActive !== false

    width: owningEntity ? owningEntity.width : 0
    height: owningEntity ? owningEntity.height : 0

    function applyLinearImpulse(impulseVector, worldPoint) {
        body.applyLinearImpulse(impulseVector, worldPoint)
    }

    Body {
        id: body
        target: collider.owningEntity ? collider.owningEntity : null
        active: collider.__entityCollidersActive && collider.active
        width: collider.width
        height: collider.height
        rotation: collider.rotation
        sleepingAllowed: !collisionTestingOnlyMode
    }
}
