import QtQuick 2.15
import Zanth 1.0

// A convex polygon of 3 to 8 vertices (pixels, relative to the collider's position).
ColliderBase {
    id: collider
    objectName: "PolygonCollider"
    colliderType: "polygon"

    property alias fixture: fixture
    property alias vertices: fixture.vertices
    property alias friction: fixture.friction
    property alias restitution: fixture.restitution
    property alias density: fixture.density
    property alias sensor: fixture.sensor
    property alias categories: fixture.categories
    property alias collidesWith: fixture.collidesWith
    property alias groupIndex: fixture.groupIndex

    fixtures: Polygon {
        id: fixture
        x: collider.x
        y: collider.y
        sensor: collider.collisionTestingOnlyMode
    }
}
