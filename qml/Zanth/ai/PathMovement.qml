import QtQuick 2.15
import Zanth 1.0

// Moves the owning entity along waypoints at a constant speed, turning it towards each next waypoint.
// loops 1 runs from the first to the last waypoint once, -2 runs for ever, any other count also leads
// the last segment back to the first waypoint.
ComponentBase {
    id: pathMovement

    property real velocity: 100
    // The sum of the segment durations, milliseconds.
    property int completePathAnimationDuration
    property var waypoints
    property int rotationAnimationDuration: 200
    property bool rotationAnimationEnabled: true
    property bool running: true
    property bool paused: false
    property int loops: 1
    property int currentWaypointIndex: 0
    property var __segments: []
    property int __loopCounter: 0
    property bool __completed: false
    property bool __componentCompleted: false

    signal pathCompleted
    signal waypointReached(int waypointIndex)

    function start() {
        running = true
    }

    function stop() {
        running = false
    }

    function reset() {
        __stopAnimations()
        currentWaypointIndex = 0
        if (!waypoints || waypoints.length === 0) {
            console.debug("WARNING: PathMovementFast: no waypoints were defined, and reset() is called - thus no animation can be started!")
            return
        }
        owningEntity.x = waypoints[0].x
        owningEntity.y = waypoints[0].y
        __setAnimationTargets()
    }

    function __stopAnimations() {
        positionAnimation.stop()
        rotationAnimation.stop()
    }

    function updateAnimationsFromWaypoints() {
        console.debug("updateAnimationsFromWaypoints(), new waypoints:", waypoints, JSON.stringify(waypoints))
        if (!waypoints || waypoints.length === 0) {
            console.debug("WARNING: PathMovementFast: no waypoints were defined - thus no animation can be started!")
            return
        }
        __stopAnimations()
        currentWaypointIndex = 0
        var segments = []
        var total = 0
        for (var i = 0; i < waypoints.length; ++i) {
            var next = i + 1
            if (next === waypoints.length) {
                if (loops === 1)
                    break
                next = 0
            }
            var dx = waypoints[next].x - waypoints[i].x
            var dy = waypoints[next].y - waypoints[i].y
            var distance = Math.sqrt(dx * dx + dy * dy)
            var duration = 1000 * distance / velocity
            segments.push({ distance: distance, duration: duration, rotation: Math.atan2(dy, dx) * 180 / Math.PI })
            total += duration
        }
        __segments = segments
        owningEntity.x = waypoints[0].x
        owningEntity.y = waypoints[0].y
        completePathAnimationDuration = total
        __setAnimationTargets()
        __startAnimations()
    }

    function __setAnimationTargets() {
        var segment = __segments[currentWaypointIndex]
        if (!segment)
            return
        var next = currentWaypointIndex + 1
        if (next >= waypoints.length)
            next = 0
        rotationAnimation.to = segment.rotation
        xAnimation.to = waypoints[next].x
        yAnimation.to = waypoints[next].y
        xAnimation.duration = segment.duration
        yAnimation.duration = segment.duration
    }

    function __startAnimations() {
        if (!running)
            return
        positionAnimation.start()
        if (rotationAnimationEnabled)
            rotationAnimation.start()
    }

    function increaseWaypointIndex() {
        if (!waypoints || waypoints.length === 0) {
            console.debug("WARNING: PathMovementFast: no waypoints were defined, and increaseWaypointIndex is called - thus no animation can be started!")
            return
        }
        if (!running)
            return
        var next = currentWaypointIndex + 1
        if (next === waypoints.length - 1) {
            __loopCounter++
            if (loops !== -2 && __loopCounter >= loops) {
                currentWaypointIndex = next
                waypointReached(next)
                // A long frame can end the move before the turn had its share of it: the entity still
                // ends facing its last segment.
                if (rotationAnimation.running)
                    rotationAnimation.complete()
                __completed = true
                running = false
                pathCompleted()
                return
            }
        } else if (next === waypoints.length) {
            next = 0
        }
        currentWaypointIndex = next
        waypointReached(currentWaypointIndex)
        __setAnimationTargets()
        __startAnimations()
    }

    onWaypointsChanged: {
        if (__componentCompleted)
            updateAnimationsFromWaypoints()
    }
    onRunningChanged: {
        if (running)
            __startAnimations()
        else
            __stopAnimations()
    }
    Component.onCompleted: {
        __componentCompleted = true
        updateAnimationsFromWaypoints()
    }

    ParallelAnimation {
        id: positionAnimation

        paused: pathMovement.paused && running
        // Only a run to its end advances: a stop of ours does not.
        onFinished: pathMovement.increaseWaypointIndex()

        NumberAnimation {
            id: xAnimation
            target: pathMovement.owningEntity
            property: "x"
        }
        NumberAnimation {
            id: yAnimation
            target: pathMovement.owningEntity
            property: "y"
        }
    }

    RotationAnimation {
        id: rotationAnimation

        target: pathMovement.owningEntity
        property: "rotation"
        direction: RotationAnimation.Shortest
        duration: pathMovement.rotationAnimationDuration
        paused: pathMovement.paused && running
    }
}
