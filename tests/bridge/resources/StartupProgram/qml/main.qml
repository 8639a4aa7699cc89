import QtQuick 2.15
import Zanth 1.0

// The game compiled into the start-up program: a green square, shown unless a qml/main.qml on disk
// overrides it.
GameWindow {
    displayFpsEnabled: false

    Rectangle {
        x: 100
        y: 100
        width: 50
        height: 50
        color: "lime"
    }

    Component.onCompleted: console.log("compiled-in main loaded")
}
