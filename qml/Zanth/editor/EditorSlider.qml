import QtQuick 2.15

// The editor's own slider: a track and a knob, dragged or clicked. With `values` set it moves only
// between those numbers (for enumerations such as blend factors).
Rectangle {
    id: slider

    property real minimumValue: 0
    property real maximumValue: 100
    property real stepSize: 1
    property var values
    property real value: 0
    property bool inverted: false

    signal moved(real value)

    function clampToStep(v) {
        if (values && values.length > 0) {
            var best = values[0]
            for (var i = 1; i < values.length; ++i)
                if (Math.abs(values[i] - v) < Math.abs(best - v))
                    best = values[i]
            return best
        }
        v = Math.max(minimumValue, Math.min(maximumValue, v))
        if (stepSize > 0)
            v = minimumValue + Math.round((v - minimumValue) / stepSize) * stepSize
        return Math.max(minimumValue, Math.min(maximumValue, v))
    }

    function fraction() {
        if (values && values.length > 1) {
            var at = values.indexOf(value)
            return at < 0 ? 0 : at / (values.length - 1)
        }
        var span = maximumValue - minimumValue
        var f = span > 0 ? (value - minimumValue) / span : 0
        f = Math.max(0, Math.min(1, f))
        return inverted ? 1 - f : f
    }

    function valueAt(x) {
        var f = Math.max(0, Math.min(1, x / width))
        if (values && values.length > 0)
            return values[Math.round(f * (values.length - 1))]
        if (inverted)
            f = 1 - f
        return clampToStep(minimumValue + f * (maximumValue - minimumValue))
    }

    width: 120
    height: 14
    radius: 4
    color: "#3a3a44"

    Rectangle {
        width: 12
        height: parent.height
        radius: 4
        color: "#e08a2c"
        x: slider.fraction() * (slider.width - width)
    }

    MouseArea {
        anchors.fill: parent
        function update(mouse) {
            var v = slider.valueAt(mouse.x)
            if (v !== slider.value) {
                slider.value = v
                slider.moved(v)
            }
        }
        onPressed: (mouse) => update(mouse)
        onPositionChanged: (mouse) => update(mouse)
    }
}
