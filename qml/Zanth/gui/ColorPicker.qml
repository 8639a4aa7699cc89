import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0
import "GUIScript.js" as GUIScript

// A colour from red, green, blue and (optionally) alpha channel sliders, 0..255 each, under a preview
// bar of the colour.
Item {
    id: picker

    property color color: "#00000000"
    property int red: 0
    property int green: 0
    property int blue: 0
    property int alpha: 255
    property bool useAlpha: true
    property real alphaNormalized: alpha / 255
    property real minimumValue: 0.0
    property real maximumValue: 1.0
    property real stepSize: 1
    property bool valueIndicatorVisible: true
    property bool useResetButton: true
    property ColorPickerSkin platformStyle: ColorPickerSkin {}

    function __sliders() {
        return [redSlider, greenSlider, blueSlider, alphaSlider]
    }

    // Gives each slider the picker's range and flags and its channel as default, and lets each channel
    // follow its slider. True when every channel binding was made.
    function initialize() {
        var channels = ["red", "green", "blue", "alpha"]
        var sliders = __sliders()
        var allMade = true
        for (var i = 0; i < sliders.length; ++i) {
            var s = sliders[i]
            s.valueIndicatorVisible = valueIndicatorVisible
            s.minimumValue = minimumValue
            s.maximumValue = maximumValue
            s.stepSize = stepSize
            s.useResetButton = useResetButton
            s.defaultValue = picker[channels[i]]
            s.value = picker[channels[i]]
            allMade = s.addBinding(picker, channels[i]) && allMade
        }
        return allMade
    }

    // Shows the channels (0..255) on the sliders as well, which the channels follow once initialised.
    function setChannels(r, g, b, a) {
        var values = [r, g, b, a]
        var channels = ["red", "green", "blue", "alpha"]
        var sliders = __sliders()
        for (var i = 0; i < sliders.length; ++i) {
            picker[channels[i]] = values[i]
            sliders[i].value = values[i]
        }
    }

    // The target's colour property follows the colour and, with alpha in use, its alpha property the
    // alpha in 0..1.
    function addBinding(target, colorProp, alphaProp) {
        initialize()
        var made = GUIScript.addBinding(target, colorProp, "picker.color")
        if (useAlpha && alphaProp !== undefined)
            made = GUIScript.addBinding(target, alphaProp, "picker.alphaNormalized") && made
        return made
    }

    function removeBinding(target) {
        var sliders = __sliders()
        for (var i = 0; i < sliders.length; ++i)
            sliders[i].removeBinding(picker)
        return GUIScript.removeBinding(target)
    }

    function __updateColor() {
        color = Qt.rgba(red / 255, green / 255, blue / 255, alpha / 255)
    }

    objectName: "colorPicker"
    width: platformStyle.contentWidth
    height: column.height

    // Each slider shows its channel, also one declared or set before initialize() binds the channels.
    onRedChanged: {
        __updateColor()
        redSlider.value = red
    }
    onGreenChanged: {
        __updateColor()
        greenSlider.value = green
    }
    onBlueChanged: {
        __updateColor()
        blueSlider.value = blue
    }
    onAlphaChanged: {
        __updateColor()
        alphaSlider.value = alpha
    }

    Column {
        id: column

        width: parent.width
        spacing: picker.platformStyle.spacing

        Rectangle {
            objectName: "colorPickerPreview"
            width: parent.width
            height: 20
            color: picker.color
            opacity: picker.useAlpha ? picker.alpha / 255 : 1
        }

        Text {
            text: "Red"
            color: picker.platformStyle.textColor
        }
        Slider {
            id: redSlider

            objectName: "colorPickerRed"
            width: parent.width
            maximumValue: 255
            stepSize: 1
            valueIndicatorVisible: true
        }

        Text {
            text: "Green"
            color: picker.platformStyle.textColor
        }
        Slider {
            id: greenSlider

            objectName: "colorPickerGreen"
            width: parent.width
            maximumValue: 255
            stepSize: 1
            valueIndicatorVisible: true
        }

        Text {
            text: "Blue"
            color: picker.platformStyle.textColor
        }
        Slider {
            id: blueSlider

            objectName: "colorPickerBlue"
            width: parent.width
            maximumValue: 255
            stepSize: 1
            valueIndicatorVisible: true
        }

        Text {
            visible: picker.useAlpha
            text: "Alpha"
            color: picker.platformStyle.textColor
        }
        Slider {
            id: alphaSlider

            objectName: "colorPickerAlpha"
            visible: picker.useAlpha
            width: parent.width
            maximumValue: 255
            stepSize: 1
            value: 255
            valueIndicatorVisible: true
        }
    }
}
