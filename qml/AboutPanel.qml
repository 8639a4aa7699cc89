import QtQuick 2.15
import Zanth 1.0
import "particles"

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

    readonly property real panelX: (width - 440) / 2
    readonly property bool moving: outgoing.running || incoming.running
    // The pane's sheet and pages, made once the first frame is on the screen (or at an earlier first
    // opening): the closed pane shows nothing of them, and the sheet alone costs the start more than
    // everything that frame shows. Null until then.
    readonly property var pages: paneContent.item
    property var front: null

    // The shown panel leaves to one side while the other comes in from the opposite one.
    function turn(step) {
        if (moving || !pages)
            return
        page = (page - 1 + step + 4) % 4 + 1
        var next = front === pages.panelA ? pages.panelB : pages.panelA
        next.page = page
        next.x = panelX + step * width
        outgoing.target = front
        outgoing.to = panelX - step * width
        incoming.target = next
        incoming.to = panelX
        outgoing.restart()
        incoming.restart()
        front = next
    }

    NumberAnimation { id: outgoing; property: "x"; duration: 500; easing.type: Easing.InOutQuad }
    NumberAnimation { id: incoming; property: "x"; duration: 500; easing.type: Easing.InOutQuad }

    Clipping {
        id: pane
        objectName: "aboutPane"
        width: about.width
        height: about.shown ? about.height : 0
        // Closed, the pane's controls still lie over the stage: they must let presses through to the
        // effects below.
        enabled: about.shown
        Behavior on height { NumberAnimation { duration: 1000 } }

        Loader {
            id: paneContent
            active: about.opened || typeof ZanthApplication === "undefined" || ZanthApplication.firstFrameShown
            onLoaded: {
                about.front = item.panelA
                window.loadItemWithSceneGraph(item)
                item.mirrored = true
            }
            sourceComponent: Component {
                Item {
                    id: content

                    // Set once these are mirrored. The effects wait for it: an opening makes them while
                    // these are still being made, and mirroring them would mirror these unfinished, which
                    // leaves the sheet undrawn.
                    property bool mirrored: false
                    property alias panelA: panelA
                    property alias panelB: panelB

                    // The sheet's sprites draw in one batch: hung here, the pane clips them and the texts,
                    // the effects and the logo stay above them.
                    SpriteBatchContainer {
                        width: pane.width
                        height: about.height
                        z: -1
                    }
                    SingleSpriteFromFile {
                        translateToCenterAnchor: false
                        z: -1
                        filename: "img/aboutscreen-sd.json"
                        source: "background.png"
                    }

                    // Made on the first opening, when the game window is known to the effects.
                    Loader {
                        active: about.opened && content.mirrored
                        onLoaded: window.loadItemWithSceneGraph(item)
                        sourceComponent: Component {
                            Item {
                                AboutParticle {
                                    x: pane.width / 2
                                    y: about.height
                                    effect: "AboutFlames.json"
                                    autoStart: true
                                    visible: pane.height > 0
                                }
                                AboutParticle {
                                    x: pane.width / 2
                                    y: 60
                                    effect: "Laser.json"
                                    autoStart: true
                                    visible: pane.height > 0
                                }
                            }
                        }
                    }

                    AboutPanelContent {
                        id: panelA
                        x: about.panelX
                        y: 60
                        page: 3
                        arrowsEnabled: !about.moving
                        onTurn: (step) => about.turn(step)
                    }
                    AboutPanelContent {
                        id: panelB
                        x: about.width
                        y: 60
                        arrowsEnabled: !about.moving
                        onTurn: (step) => about.turn(step)
                    }
                }
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
            AboutParticle {
                y: 12
                effect: "AboutSparkle.json"
            }
        }
    }
    // The sparkle runs while the header's clip changes width.
    Timer {
        id: sparkleStop
        interval: 1000
        onTriggered: if (sparkle.item) sparkle.item.stop()
    }

    Clipping {
        id: header
        objectName: "aboutHeader"
        z: 2
        width: about.shown ? logo.width : 45
        height: 50
        x: (about.width - width) / 2
        Behavior on width { NumberAnimation { duration: 1000 } }

        Image {
            id: logo
            // Closed, the header shows the emblem at the logo's left end.
            x: 0
            y: (header.height - height) / 2
            width: 209
            height: 45
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
