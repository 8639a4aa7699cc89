import QtQuick 2.15
import Zanth 1.0

// A circle placed at the collider's position.
ColliderBase {
    id: collider
    objectName: "circleCollider"
    colliderType: "circle"

    property alias fixture: fixture
    property alias radius: fixture.radius
    property alias friction: fixture.friction
    property alias restitution: fixture.restitution
    property alias density: fixture.density
    property alias sensor: fixture.sensor
    property alias categories: fixture.categories
    property alias collidesWith: fixture.collidesWith
    property alias groupIndex: fixture.groupIndex

    fixtures: Circle {
        id: fixture
        x: collider.x
        y: collider.y
        sensor: collider.collisionTestingOnlyMode
    }
}
