import QtQuick 2.15

// The switch: a 64 x 32 track, ember when on and dark when off, and a 28 x 28 knob that travels
// between minKnobX and maxKnobX (pixels from the track's left edge).
// The images are drawn at build time into the engine's resource tree only, so they are named there: this
// file may be read from a copy on disk (the checkout's plugins/generic, when started from there).
QtObject {
    property url switchOn: "qrc:/plugins/generic/Zanth/gui/skins/images/switch-on-sd.png"
    property url switchOff: "qrc:/plugins/generic/Zanth/gui/skins/images/switch-off-sd.png"
    property url thumb: "qrc:/plugins/generic/Zanth/gui/skins/images/switch-thumb-sd.png"
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
