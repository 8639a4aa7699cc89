import QtQuick 2.15
import Zanth 1.0

// An effect of the about screen, read from a built-in effect file beside this one.
Particle {
    property string effect: ""

    fileName: effect === "" ? "" : Qt.resolvedUrl(effect)
}
