import QtQuick 2.15

// An optional fixed-interval update loop: every 16 ms it calls update() of each child of the entity
// container that has one.
Item {
    id: core

    property real deltaTime: 0
    property double timeSum: 0
    property date lastUpdate: new Date()
    property var entityContainer

    function update() {
        var now = new Date()
        deltaTime = (now - lastUpdate) / 1000
        lastUpdate = now
        timeSum += deltaTime
        if (!entityContainer)
            return
        var kids = entityContainer.children
        for (var i = 0; i < kids.length; ++i) {
            if (typeof kids[i].update === "function")
                kids[i].update()
        }
    }

    objectName: "Core"

    Component.onCompleted: {
        if (!entityContainer) {
            console.log("WARNING: no entityContainer specified for core, do not run the update loop!")
            timer.stop()
        }
    }

    Timer {
        id: timer

        interval: 16
        repeat: true
        running: true
        onTriggered: core.update()
    }
}
