import QtQuick 2.15

// The slider's look: a dark groove with an ember value track, a light knob, and a dark value balloon
// with an arrow pointing at the knob. Sizes in pixels; an empty image URL draws a plain rectangle.
// The images are drawn at build time into the engine's resource tree only, so they are named there: this
// file may be read from a copy on disk (the checkout's plugins/generic, when started from there).
QtObject {
    property bool usingImage: true
    property real opacityEnabled: 1.0
    property real opacityDisabled: 0.4

    property color trackColor: "#ff8a24"
    property real valueTrackLeftMargin: 2
    property real valueTrackTopMargin: 2
    property real valueTrackBottomMargin: 2

    property url grooveItemBackground: "qrc:/plugins/generic/Zanth/gui/skins/images/slider-groove-sd.png"
    property real grooveHeight: 8
    property color grooveColor: "#2a3142"

    property url handleBackground: "qrc:/plugins/generic/Zanth/gui/skins/images/slider-handle-sd.png"
    property real handleWidth: 28
    property real handleHeight: 28
    property color handleColor: "#e8e8f0"

    // The pointer is caught this far around the groove as well.
    property real mouseMarginLeft: 4
    property real mouseMarginRight: 4
    property real mouseMarginTop: 8
    property real mouseMarginBottom: 8

    property url labelArrowDown: "qrc:/plugins/generic/Zanth/gui/skins/images/slider-arrow-down-sd.png"
    property url labelArrowUp: "qrc:/plugins/generic/Zanth/gui/skins/images/slider-arrow-up-sd.png"
    property url labelArrowLeft: "qrc:/plugins/generic/Zanth/gui/skins/images/slider-arrow-left-sd.png"
    property url labelArrowRight: "qrc:/plugins/generic/Zanth/gui/skins/images/slider-arrow-right-sd.png"
    property color indicatorColor: "#1c2233"
    property url valueBackground: "qrc:/plugins/generic/Zanth/gui/skins/images/slider-indicator-sd.png"
    property color textColor: "#ffffff"
    property int fontPixelSize: 14
    property string fontFamily: "Arial"
}
