import QtQuick 2.15
import Zanth 1.0
import "soundurl.js" as SoundUrl

// A sound effect that obeys the game window's soundEnabled setting. A play asked for while sound is
// off is remembered: an endless sound starts once sound is switched on again.
Item {
    id: sound

    property alias loops: soundEffect.loops
    // A relative URL is taken relative to the QML file this item is written in.
    property url source
    property alias playing: soundEffect.playing
    property alias muted: soundEffect.muted
    property alias volume: soundEffect.volume
    property alias status: soundEffect.status

    function play() {
        internal.userPlayState = true
        if (internal.settings && !(internal.settings.soundEnabled && internal.settings.fullyCompleted))
            return
        soundEffect.play()
    }

    function stop() {
        internal.userPlayState = false
        soundEffect.stop()
    }

    function playIfEnabled() {
        console.debug("Sound: playIfEnabled() is deprecated, please use play() instead.")
        play()
    }

    QtObject {
        id: internal

        // Whether the user last asked to play.
        property bool userPlayState: false
        readonly property var settings: typeof rootGameWindow !== "undefined" && rootGameWindow
                                        ? rootGameWindow.settings : null
    }

    SoundEffect {
        id: soundEffect

        source: SoundUrl.resolve(sound.source, sound)
    }

    Connections {
        target: internal.settings
        ignoreUnknownSignals: true

        function onSoundEnabledChanged() {
            var enabled = internal.settings.soundEnabled
            console.debug("Sound: soundEnabled changed to", enabled)
            if (!enabled)
                soundEffect.stop()
            else if ((soundEffect.loops | 0) === (SoundEffect.Infinite | 0) && internal.userPlayState)
                soundEffect.play()
        }
    }
}
