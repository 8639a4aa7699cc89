import QtQuick 2.15
import Zanth 1.0

// A box the size of the collider (the entity's size unless set), placed at the collider's position.
ColliderBase {
    id: collider
    objectName: "boxCollider"
    colliderType: "box"

    property alias fixture: fixture
    property alias friction: fixture.friction
    property alias restitution: fixture.restitution
    property alias density: fixture.density
    property alias sensor: fixture.sensor
    property alias categories: fixture.categories
    property alias collidesWith: fixture.collidesWith
    property alias groupIndex: fixture.groupIndex

    fixtures: Box {
        id: fixture
        x: collider.x
        y: collider.y
        width: collider.width
        height: collider.height
        sensor: collider.collisionTestingOnlyMode
    }
}
