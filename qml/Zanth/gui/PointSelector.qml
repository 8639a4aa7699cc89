import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0

// A point from two sliders: a horizontal one along the bottom for x and a vertical one above it for y,
// inverted so that y grows downwards as on the screen.
Item {
    id: selector

    property alias minimumValueX: sliderX.minimumValue
    property alias minimumValueY: sliderY.minimumValue
    property alias maximumValueX: sliderX.maximumValue
    property alias maximumValueY: sliderY.maximumValue
    property alias stepSizeX: sliderX.stepSize
    property alias stepSizeY: sliderY.stepSize
    property alias valueX: sliderX.value
    property alias valueY: sliderY.value
    property alias valueIndicatorX: sliderX.valueIndicatorVisible
    property alias valueIndicatorY: sliderY.valueIndicatorVisible
    property alias invertedX: sliderX.inverted
    property alias invertedY: sliderY.inverted
    property alias defaultValueX: sliderX.defaultValue
    property alias defaultValueY: sliderY.defaultValue
    property alias elementX: sliderX
    property alias elementY: sliderY
    property PointSelectorSkin platformStyle: PointSelectorSkin {}

    // The target's propX follows x and propY follows y; true when both bindings were made.
    function addBinding(target, propX, propY) {
        var madeX = sliderX.addBinding(target, propX)
        var madeY = sliderY.addBinding(target, propY)
        return madeX && madeY
    }

    function removeBinding(target) {
        var removedX = sliderX.removeBinding(target)
        var removedY = sliderY.removeBinding(target)
        return removedX || removedY
    }

    objectName: "pointSelector"
    width: platformStyle.contentWidth
    height: 0.8 * width

    Slider {
        id: sliderY

        objectName: "pointSelectorY"
        orientation: Qt.Vertical
        inverted: true
        height: selector.height - sliderX.height
        anchors.horizontalCenter: parent.horizontalCenter
        valueIndicatorVisible: true
        valueIndicatorPosition: "Top"
    }

    Slider {
        id: sliderX

        objectName: "pointSelectorX"
        width: parent.width
        anchors.bottom: parent.bottom
        valueIndicatorVisible: true
    }
}
