import QtQuick 2.15

// A selection marker: in the state "selected" its target pulses between opacity 1 and 0.5.
Item {
    id: entitySelection

    property alias opacityChangeItem: pulse.target

    states: State {
        name: "selected"
    }

    onStateChanged: {
        if (state === "selected") {
            if (pulse.target)
                pulse.target.opacity = 1
            pulse.to = 0.5
            pulse.restart()
        } else {
            pulse.stop()
        }
    }

    NumberAnimation {
        id: pulse

        property: "opacity"
        duration: 500
        onFinished: {
            if (entitySelection.state !== "selected")
                return
            pulse.to = pulse.target && pulse.target.opacity === 0.5 ? 1 : 0.5
            pulse.restart()
        }
    }
}
