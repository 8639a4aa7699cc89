import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0
import "GUIScript.js" as GUIScript

// An on/off switch: a click toggles it; dragging moves the knob, which snaps to the nearer end on
// release. The on image fades in as the knob travels towards the on end.
Item {
    id: toggle

    property bool checked: false
    property SwitchSkin platformStyle: SwitchSkin {}

    property real __pressX: 0
    // The knob's place between the two ends, 0 (off) to 1 (on).
    property real __knobPosition: (knob.x - platformStyle.minKnobX)
                                  / Math.max(1, platformStyle.maxKnobX - platformStyle.minKnobX)

    // The target's property follows checked; false when it already did.
    function addBinding(target, property) {
        return GUIScript.addBinding(target, property, "toggle.checked")
    }

    function removeBinding(target) {
        return GUIScript.removeBinding(target)
    }

    function __snap() {
        var middle = (platformStyle.minKnobX + platformStyle.maxKnobX) / 2
        var on = knob.x >= middle
        if (on === checked)
            knob.x = checked ? platformStyle.maxKnobX : platformStyle.minKnobX
        else
            checked = on
    }

    objectName: "switch"
    width: onImage.width
    height: onImage.height

    MultiResolutionImage {
        id: offImage

        source: toggle.platformStyle.switchOff
        opacity: toggle.platformStyle.opacityEnabled - toggle.__knobPosition
    }

    MultiResolutionImage {
        id: onImage

        source: toggle.platformStyle.switchOn
        opacity: toggle.__knobPosition
    }

    MultiResolutionImage {
        id: knob

        objectName: "switchKnob"
        source: toggle.platformStyle.thumb
        anchors.verticalCenter: parent.verticalCenter

        Behavior on x {
            enabled: !mouseArea.drag.active
            SmoothedAnimation {
                velocity: toggle.platformStyle.transitionVelocity
                maximumEasingTime: toggle.platformStyle.transitionMaximumEasingTime
            }
        }
    }

    Binding {
        target: knob
        property: "x"
        value: toggle.checked ? toggle.platformStyle.maxKnobX : toggle.platformStyle.minKnobX
        when: !mouseArea.pressed
        restoreMode: Binding.RestoreNone
    }

    MouseArea {
        id: mouseArea

        anchors.fill: parent
        anchors.leftMargin: -toggle.platformStyle.mouseMarginLeft
        anchors.rightMargin: -toggle.platformStyle.mouseMarginRight
        anchors.topMargin: -toggle.platformStyle.mouseMarginTop
        anchors.bottomMargin: -toggle.platformStyle.mouseMarginBottom
        drag.target: knob
        drag.axis: Drag.XAxis
        drag.minimumX: toggle.platformStyle.minKnobX
        drag.maximumX: toggle.platformStyle.maxKnobX
        drag.smoothed: false

        onPressed: function(mouse) {
            toggle.__pressX = mouse.x
        }
        onReleased: function(mouse) {
            if (Math.abs(mouse.x - toggle.__pressX) < 5)
                toggle.checked = !toggle.checked
            else
                toggle.__snap()
        }
        onCanceled: toggle.__snap()
    }
}
