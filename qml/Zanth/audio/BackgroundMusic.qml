import QtQuick 2.15
import Zanth 1.0
import "soundurl.js" as SoundUrl

// The game's background music, obeying the game window's musicEnabled setting: it pauses while the
// application is in the background and, when it was playing then, plays again when it returns. With
// autoPlay it starts once the settings have been read.
Item {
    id: backgroundMusic

    // A relative URL is taken relative to the QML file this item is written in.
    property url source
    property alias playing: audio.playing
    property alias muted: audio.muted
    property alias volume: audio.volume
    property alias status: audio.status
    property alias autoLoad: audio.autoLoad
    property bool autoPlay: true

    signal paused
    signal resumed
    signal started
    signal stopped

    function play() {
        var settings = internal.settings
        if (!settings) {
            console.debug("BackgroundMusic: Warning: no settings known, i.e. there is no GameWindow as root item - thus the musicEnabled property could not be found")
            audio.play()
            return
        }
        console.debug("BackgroundMusic: play() called, musicEnabled:", settings.musicEnabled)
        if (!settings.musicEnabled) {
            console.debug("BackgroundMusic: did not play sound because it is disabled in GameWindow.settings")
            stop()
        } else if (settings.fullyCompleted) {
            audio.play()
        }
    }

    function pause() {
        audio.pause()
    }

    function stop() {
        audio.stop()
    }

    function playIfEnabled() {
        console.debug("BackgroundMusic: playIfEnabled() is deprecated, please use play() instead.")
        play()
    }

    function autoPlayIfReady() {
        if (autoPlay && internal.settings && internal.settings.fullyCompleted) {
            console.debug("BackgroundMusic: starting to auto play the backgroundMusic with source", source)
            play()
        }
    }

    // The settings may have been read before this item saw them: autoPlay then starts at once.
    Component.onCompleted: autoPlayIfReady()

    QtObject {
        id: internal

        readonly property var gameWindow: typeof rootGameWindow !== "undefined" ? rootGameWindow : null
        readonly property var settings: gameWindow ? gameWindow.settings : null
        // Music the game never started, stopped or paused stays silent when the application returns.
        property bool playingWhenPaused: false

        onSettingsChanged: backgroundMusic.autoPlayIfReady()
    }

    Audio {
        id: audio

        source: SoundUrl.resolve(backgroundMusic.source, backgroundMusic)

        onPaused: backgroundMusic.paused()
        onResumed: backgroundMusic.resumed()
        onStarted: backgroundMusic.started()
        onStopped: {
            internal.playingWhenPaused = false
            backgroundMusic.stopped()
        }
    }

    Connections {
        target: internal.settings
        ignoreUnknownSignals: true

        function onMusicEnabledChanged() {
            console.debug("BackgroundMusic: musicEnabled changed to", internal.settings.musicEnabled)
            if (internal.settings.musicEnabled)
                backgroundMusic.play()
            else
                backgroundMusic.pause()
        }

        function onFullyCompletedChanged() {
            backgroundMusic.autoPlayIfReady()
        }
    }

    Connections {
        target: internal.gameWindow
        ignoreUnknownSignals: true

        function onApplicationPaused() {
            internal.playingWhenPaused = internal.playingWhenPaused || (audio.playing && !audio.paused)
            backgroundMusic.pause()
        }

        function onApplicationResumed() {
            if (!internal.playingWhenPaused)
                return
            internal.playingWhenPaused = false
            backgroundMusic.play()
        }
    }
}
