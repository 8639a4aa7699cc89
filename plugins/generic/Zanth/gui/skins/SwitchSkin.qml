import QtQuick 2.15

// The switch: a 64 x 32 track, ember when on and dark when off, and a 28 x 28 knob that travels
// between minKnobX and maxKnobX (pixels from the track's left edge).
QtObject {
    property url switchOn: Qt.resolvedUrl("images/switch-on-sd.png")
    property url switchOff: Qt.resolvedUrl("images/switch-off-sd.png")
    property url thumb: Qt.resolvedUrl("images/switch-thumb-sd.png")
    property real minKnobX: 2
    property real maxKnobX: 34
    property real opacityEnabled: 1.0
    // Knob speed in pixels per second, and the longest a move may take in milliseconds.
    property real transitionVelocity: 200
    property int transitionMaximumEasingTime: 150
    property real mouseMarginLeft: 4
    property real mouseMarginRight: 4
    property real mouseMarginTop: 4
    property real mouseMarginBottom: 4
}
