import QtQuick 2.15

// Loads the QML file of a level (a LevelBase) and has the scene graph mirror it.
Item {
    id: levelLoader

    property alias levelSource: loader.source
    property alias loadedLevel: loader.item

    signal error
    signal loaded
    signal loading

    anchors.fill: parent

    onError: console.debug("ERROR: LeveLoader: error at loading level with url", levelSource, "- is the url correct?")

    Loader {
        id: loader

        anchors.fill: parent

        onStatusChanged: {
            if (status === Loader.Null || status === Loader.Error) {
                levelLoader.state = "error"
                levelLoader.error()
            } else if (status === Loader.Loading) {
                levelLoader.state = "loading"
                levelLoader.loading()
            }
        }
        // Emitted for every new item, also when the status stays Ready from one level to the next.
        onLoaded: {
            if (typeof rootGameWindow !== "undefined" && rootGameWindow)
                rootGameWindow.loadItemWithSceneGraph(item)
            levelLoader.state = ""
            levelLoader.loaded()
        }
    }

    states: [
        State { name: "error" },
        State { name: "loading" }
    ]
}
