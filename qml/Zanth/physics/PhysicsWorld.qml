import QtQuick 2.15
import Zanth 1.0

// The physics world as games declare it: no gravity unless the game sets it, stepped
// updatesPerSecondForPhysics times a second, filling its parent, with a debug view shown in debug builds.
World {
    id: physicsWorld

    property alias debugDraw: debugDrawItem
    property alias debugDrawVisible: debugDrawItem.visible
    property int updatesPerSecondForPhysics: 30
    // The old, misspelt name; -10 stands for "not set".
    property int updatesPerSecondForPhyiscs: -10

    // A rate of 0 or less would make the step infinite or negative: such a rate steps at 30.
    readonly property int __stepRate: updatesPerSecondForPhysics > 0 ? updatesPerSecondForPhysics : 30

    gravity: Qt.point(0, 0)
    width: parent ? parent.width : 0
    height: parent ? parent.height : 0
    frameTime: Math.floor(1000 / __stepRate)
    timeStep: 1 / __stepRate

    onUpdatesPerSecondForPhysicsChanged: {
        if (updatesPerSecondForPhysics <= 0)
            console.debug("WARNING: PhysicsWorld: updatesPerSecondForPhysics must be above 0, stepping at 30 a second instead of",
                          updatesPerSecondForPhysics)
    }
    onChildrenChanged: console.debug("physicsWorld children changed")
    onXChanged: console.debug("the physicsWorld changed its position - this is probably not wanted!?")

    Component.onCompleted: {
        if (updatesPerSecondForPhyiscs !== -10) {
            console.debug("ERROR: PhysicsWorld: USE OF DEPRECATED PROPERTY updatesPerSecondForPhyiscs - we had a typo in here, please change it to updatesPerSecondForPhysics as the old property is not supported any longer")
            updatesPerSecondForPhysics = updatesPerSecondForPhyiscs
        }
    }

    DebugDraw {
        id: debugDrawItem
        z: 10
        world: physicsWorld
        anchors.fill: parent
        opacity: 0.5
        visible: typeof system !== "undefined" && system !== null && system.debugBuild
    }
}
