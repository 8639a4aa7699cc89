import QtQuick 2.15
import Zanth 1.0

// The about screen: a pane that grows from the header button over the whole window area. While it is
// open the effects on the stage are stopped.
Item {
    id: about

    property bool shown: false
    property bool opened: false
    property int page: 3

    function toggle() {
        shown = !shown
        opened = true
        sparkle.x = header.x + header.width
        if (sparkle.item) {
            sparkle.item.stopLivingParticles()
            sparkle.item.start()
        }
        sparkleStop.restart()
        var list = scene.effectEntities()
        for (var i = 0; i < list.length; ++i) {
            if (shown)
                list[i].stopParticle()
            else
                list[i].respawnParticle()
        }
    }

    // Only ever closes.
    function closePanel() {
        if (shown) {
            flurry.logEvent("OpenAbout")
            toggle()
        }
    }

    function turn(step) {
        page = (page - 1 + step + 4) % 4 + 1
    }

    Rectangle {
        id: pane
        objectName: "aboutPane"
        width: about.width
        height: about.shown ? about.height : 0
        clip: true
        color: "#141018"
        Behavior on height { NumberAnimation { duration: 1000 } }

        // Made on the first opening, when the game window is known to the effects.
        Loader {
            active: about.opened
            onLoaded: window.loadItemWithSceneGraph(item)
            sourceComponent: Component {
                Item {
                    Particle {
                        x: pane.width / 2
                        y: about.height
                        fileName: "particles/AboutFlames.json"
                        autoStart: true
                        visible: pane.height > 0
                    }
                    Particle {
                        x: pane.width / 2
                        y: 60
                        fileName: "particles/Laser.json"
                        autoStart: true
                        visible: pane.height > 0
                    }
                }
            }
        }

        Column {
            x: 20
            y: 60
            width: pane.width - 40
            spacing: 6
            visible: pane.height > 100
            Text {
                width: parent.width
                color: "#e08a2c"
                font.pixelSize: 16
                text: ["Zanth", "Zanth - Features", "Embervale - Features", "More from us"][about.page - 1]
            }
            Repeater {
                model: about.page === 3
                       ? ["Export JSON for usage in Zanth", "Export .plist for usage in other particle engines",
                          "Create and test particles directly on target device",
                          "Use predefined particles and create your own ones"]
                       : about.page === 1 ? ["A 2D game engine whose games are written in QML"]
                       : about.page === 2 ? ["Scenes, sprites, particles, physics, sound"]
                       : ["Embervale, the particle editor"]
                Text { width: parent ? parent.width : 0; color: "white"; font.pixelSize: 11; text: "- " + modelData; wrapMode: Text.Wrap }
            }
            Row {
                spacing: 10
                MenuButton { width: 40; height: 20; text: "<"; onClicked: about.turn(-1) }
                MenuButton { width: 40; height: 20; text: ">"; onClicked: about.turn(1) }
            }
        }
    }

    Loader {
        id: sparkle
        active: about.opened
        onLoaded: {
            window.loadItemWithSceneGraph(item)
            item.start()
        }
        sourceComponent: Component {
            Particle {
                y: 12
                fileName: "particles/AboutSparkle.json"
            }
        }
    }
    Timer {
        id: sparkleStop
        interval: 1000
        onTriggered: if (sparkle.item) sparkle.item.stop()
    }

    Rectangle {
        id: header
        objectName: "aboutHeader"
        width: 45
        height: 50 / 2
        x: (about.width - width) / 2
        color: "#2a2228"
        radius: 4
        clip: true
        Image {
            anchors.centerIn: parent
            width: 40
            height: 40 * 45 / 209
            source: "img/zanth-logo-sd.png"
        }
        MouseArea {
            anchors.fill: parent
            onClicked: {
                scene.mainMenuWrapper.slideOut()
                scene.entityMenu.slideOut()
                about.toggle()
            }
        }
    }
}
