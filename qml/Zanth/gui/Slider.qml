import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0
import "GUIScript.js" as GUIScript

// A horizontal or vertical slider: a groove with a coloured value track up to a knob that can be dragged
// or clicked to, a value balloon while pressed, and a double click back to the default value. A vertical
// slider is the horizontal one turned -90 degrees about its centre.
Item {
    id: slider

    property int orientation: Qt.Horizontal
    property alias minimumValue: range.minimumValue
    property alias maximumValue: range.maximumValue
    property alias stepSize: range.stepSize
    // The model's value: bounded and snapped there, so that a value bound by the game keeps its
    // binding while the slider reads what the model holds. It is defaultValue until one is set.
    property alias value: range.value
    property alias inverted: range.inverted
    property real defaultValue: 0.0
    property bool valueIndicatorVisible: false
    property real valueIndicatorMargin: 1
    property string valueIndicatorPosition: orientation === Qt.Vertical ? "Left" : "Top"
    property bool useResetButton: true
    property bool usingImage: platformStyle.usingImage
    readonly property alias pressed: mouseArea.pressed
    property SliderSkin platformStyle: SliderSkin {}

    property bool __vertical: orientation === Qt.Vertical
    property real __handleWidth: platformStyle.handleWidth
    // Set once a value with a fraction was seen; the value text then shows the step's decimals.
    property bool __showDecimals: false
    property real __pressPosition: 0
    property real __pressX: 0
    property real __handleStartX: 0
    property bool __dragging: false
    property Utils __utils: Utils {}

    // The value's text: with the step's decimals once a fraction was seen (two at most without a
    // step), else the value as it is.
    function formatValue(v) {
        if (!__showDecimals)
            return v
        if (stepSize === 0)
            return Math.round(v * 100) / 100
        return v.toFixed(__utils.decimals(stepSize))
    }

    // The target's property follows the slider's value; false when it already did.
    function addBinding(target, property) {
        return GUIScript.addBinding(target, property, "range.value")
    }

    function removeBinding(target) {
        return GUIScript.removeBinding(target)
    }

    function __usable(url) {
        return usingImage && String(url) !== ""
    }

    // Where the balloon goes around the knob, in the slider's own (unturned) frame.
    function __indicatorSide() {
        var side = valueIndicatorPosition
        if (!__vertical)
            return side === "Bottom" || side === "Left" || side === "Right" ? side : "Top"
        if (side === "Right")
            return "Bottom"
        if (side === "Top")
            return "Right"
        if (side === "Bottom")
            return "Left"
        return "Top"
    }

    objectName: "slider"
    implicitWidth: __vertical ? platformStyle.handleHeight : platformStyle.handleWidth
    implicitHeight: __vertical ? platformStyle.handleWidth : platformStyle.handleHeight
    opacity: enabled ? platformStyle.opacityEnabled : platformStyle.opacityDisabled

    onValueChanged: {
        if (value !== Math.floor(value))
            __showDecimals = true
    }
    Component.onCompleted: __showDecimals = value !== Math.floor(value)

    RangeModel {
        id: range

        // The model keeps the value as written and reads it within the range, so the declarations of
        // a QML file may come in any order.
        value: slider.defaultValue
        minimumValue: 0.0
        maximumValue: 1.0
        positionAtMinimum: slider.__handleWidth / 2
        positionAtMaximum: track.width - slider.__handleWidth / 2
        onMinimumChanged: slider.__showDecimals = false
        onMaximumChanged: slider.__showDecimals = false
        onStepSizeChanged: slider.__showDecimals = false
    }

    // The horizontal slider; turned for a vertical one.
    Item {
        id: track

        width: slider.__vertical ? slider.height : slider.width
        height: slider.__vertical ? slider.width : slider.height
        anchors.centerIn: parent
        rotation: slider.__vertical ? -90 : 0

        MultiResolutionImage {
            id: grooveImage

            visible: slider.__usable(slider.platformStyle.grooveItemBackground)
            // Not `visible`, which reads false under a hidden parent and would empty the image.
            source: slider.__usable(slider.platformStyle.grooveItemBackground) ? slider.platformStyle.grooveItemBackground : ""
            width: parent.width
            height: slider.platformStyle.grooveHeight
            anchors.verticalCenter: parent.verticalCenter
        }

        Rectangle {
            visible: !grooveImage.visible
            width: parent.width
            height: slider.platformStyle.grooveHeight
            anchors.verticalCenter: parent.verticalCenter
            color: slider.platformStyle.grooveColor
        }

        Rectangle {
            id: valueTrack

            property real start: slider.platformStyle.valueTrackLeftMargin
            property real end: track.width - slider.platformStyle.valueTrackLeftMargin
            property real knob: handle.x + slider.__handleWidth / 2

            x: slider.inverted ? knob : start
            y: (track.height - slider.platformStyle.grooveHeight) / 2 + slider.platformStyle.valueTrackTopMargin
            width: Math.max(0, slider.inverted ? end - knob : knob - start)
            height: Math.max(0, slider.platformStyle.grooveHeight - slider.platformStyle.valueTrackTopMargin
                             - slider.platformStyle.valueTrackBottomMargin)
            color: slider.platformStyle.trackColor
        }

        // Dragged by the pointer; the model's position follows it while dragging, it follows the
        // position otherwise.
        Item {
            id: hiddenHandle

            width: slider.__handleWidth
            height: slider.platformStyle.handleHeight
        }

        Binding {
            target: hiddenHandle
            property: "x"
            value: range.position - slider.__handleWidth / 2
            when: !slider.__dragging
            restoreMode: Binding.RestoreNone
        }

        Binding {
            target: range
            property: "position"
            value: hiddenHandle.x + slider.__handleWidth / 2
            when: slider.__dragging
            restoreMode: Binding.RestoreNone
        }

        Item {
            id: handle

            objectName: "sliderHandle"
            x: range.position - slider.__handleWidth / 2
            width: slider.__handleWidth
            height: slider.platformStyle.handleHeight
            anchors.verticalCenter: parent.verticalCenter

            Behavior on x {
                enabled: !slider.__dragging
                NumberAnimation { duration: 150; easing.type: Easing.OutSine }
            }

            MultiResolutionImage {
                id: handleImage

                visible: slider.__usable(slider.platformStyle.handleBackground)
                source: slider.__usable(slider.platformStyle.handleBackground) ? slider.platformStyle.handleBackground : ""
                anchors.fill: parent
            }

            Rectangle {
                visible: !handleImage.visible
                anchors.fill: parent
                color: slider.platformStyle.handleColor
            }
        }

        MouseArea {
            id: mouseArea

            anchors.fill: parent
            anchors.leftMargin: -slider.platformStyle.mouseMarginLeft
            anchors.rightMargin: -slider.platformStyle.mouseMarginRight
            anchors.topMargin: -slider.platformStyle.mouseMarginTop
            anchors.bottomMargin: -slider.platformStyle.mouseMarginBottom
            // Once a drag has begun, a surrounding flickable may not take the pointer away.
            preventStealing: slider.__dragging

            onPressed: function(mouse) {
                slider.__pressPosition = range.position
                slider.__pressX = mouse.x
                var lowest = Math.min(range.positionAtMinimum, range.positionAtMaximum)
                var highest = Math.max(range.positionAtMinimum, range.positionAtMaximum)
                var point = Math.max(lowest, Math.min(highest, mouse.x - slider.platformStyle.mouseMarginLeft))
                if (Math.abs(point - range.position) > slider.__handleWidth / 2)
                    range.position = point
            }
            // By hand rather than with a drag target: a drag target starts only past a threshold and
            // then jumps by the whole distance; this follows the pointer from its first point.
            onPositionChanged: function(mouse) {
                if (pressed)
                    follow(mouse)
            }
            // The release's point counts too: a busy program may get it without the last move before it.
            onReleased: function(mouse) {
                follow(mouse)
                slider.__dragging = false
            }
            function follow(mouse) {
                if (!slider.__dragging) {
                    if (mouse.x === slider.__pressX)
                        return
                    slider.__handleStartX = hiddenHandle.x
                    slider.__dragging = true
                }
                var lowest = Math.min(range.positionAtMinimum, range.positionAtMaximum) - slider.__handleWidth / 2
                var highest = Math.max(range.positionAtMinimum, range.positionAtMaximum) - slider.__handleWidth / 2
                hiddenHandle.x = Math.max(lowest, Math.min(highest, slider.__handleStartX + mouse.x - slider.__pressX))
            }
            onCanceled: {
                slider.__dragging = false
                range.position = slider.__pressPosition
            }
            onDoubleClicked: {
                if (slider.useResetButton)
                    slider.value = slider.defaultValue
            }
        }
    }

    // The value balloon beside the knob, in the slider's frame (its text stays upright).
    Item {
        id: indicator

        property string side: slider.__indicatorSide()
        property real along: handle.x + slider.__handleWidth / 2 - track.width / 2
        // The knob's centre in the slider's frame.
        property real knobX: slider.width / 2 + (slider.__vertical ? 0 : along)
        property real knobY: slider.height / 2 - (slider.__vertical ? along : 0)
        property real reachX: (slider.__vertical ? slider.platformStyle.handleHeight : slider.__handleWidth) / 2
        property real reachY: (slider.__vertical ? slider.__handleWidth : slider.platformStyle.handleHeight) / 2
        property real gap: slider.valueIndicatorMargin + 8

        objectName: "sliderValueIndicator"
        z: 100
        width: valueText.implicitWidth + 20
        height: 40
        x: side === "Left" ? knobX - reachX - gap - width
           : side === "Right" ? knobX + reachX + gap : knobX - width / 2
        y: side === "Top" ? knobY - reachY - gap - height
           : side === "Bottom" ? knobY + reachY + gap : knobY - height / 2
        opacity: slider.valueIndicatorVisible && slider.pressed ? 1 : 0
        visible: opacity > 0

        Behavior on opacity {
            NumberAnimation { duration: 100 }
        }

        MultiResolutionImage {
            id: indicatorImage

            visible: slider.__usable(slider.platformStyle.valueBackground)
            source: slider.__usable(slider.platformStyle.valueBackground) ? slider.platformStyle.valueBackground : ""
            anchors.fill: parent
        }

        Rectangle {
            visible: !indicatorImage.visible
            anchors.fill: parent
            color: slider.platformStyle.indicatorColor
        }

        // One image per direction: a multi-resolution image keeps the file it picked first, and the
        // side can change.
        Item {
            id: arrow

            property bool across: indicator.side === "Left" || indicator.side === "Right"

            width: across ? 8 : 12
            height: across ? 12 : 8
            x: indicator.side === "Left" ? indicator.width : indicator.side === "Right" ? -8
               : (indicator.width - 12) / 2
            y: indicator.side === "Top" ? indicator.height : indicator.side === "Bottom" ? -8
               : (indicator.height - 12) / 2

            MultiResolutionImage {
                visible: indicator.side === "Top" && slider.__usable(slider.platformStyle.labelArrowDown)
                source: slider.__usable(slider.platformStyle.labelArrowDown) ? slider.platformStyle.labelArrowDown : ""
                anchors.fill: parent
            }

            MultiResolutionImage {
                visible: indicator.side === "Bottom" && slider.__usable(slider.platformStyle.labelArrowUp)
                source: slider.__usable(slider.platformStyle.labelArrowUp) ? slider.platformStyle.labelArrowUp : ""
                anchors.fill: parent
            }

            MultiResolutionImage {
                visible: indicator.side === "Left" && slider.__usable(slider.platformStyle.labelArrowRight)
                source: slider.__usable(slider.platformStyle.labelArrowRight) ? slider.platformStyle.labelArrowRight : ""
                anchors.fill: parent
            }

            MultiResolutionImage {
                visible: indicator.side === "Right" && slider.__usable(slider.platformStyle.labelArrowLeft)
                source: slider.__usable(slider.platformStyle.labelArrowLeft) ? slider.platformStyle.labelArrowLeft : ""
                anchors.fill: parent
            }
        }

        Text {
            id: valueText

            objectName: "sliderValueText"
            anchors.centerIn: parent
            text: String(slider.formatValue(slider.value))
            color: slider.platformStyle.textColor
            font.pixelSize: slider.platformStyle.fontPixelSize
            font.family: slider.platformStyle.fontFamily
        }
    }
}
