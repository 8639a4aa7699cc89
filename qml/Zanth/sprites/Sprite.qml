import QtQuick 2.15
import Zanth 1.0

// One animation of a SpriteSequence: frameCount cells of frameWidth x frameHeight pixels in a row of the
// sheet image, starting at (frameX, frameY), or the named frames of a JSON sheet. With the scene graph
// the animated-sprite manager draws and animates it and switches the QML timer off; otherwise an inner
// image moved by a timer shows the frames.
SpriteItem {
    id: sprite

    property bool running: false
    property bool qmlAnimationTimerEnabled: true
    // Plain properties, not aliases, where the scene graph listens: Qt 6 does not signal an alias to
    // connections made from C++.
    property url source
    // Frames per second; setting it derives frameDuration and duration.
    property real frameRate: 0
    // Milliseconds per frame.
    property int frameDuration: 0
    // Milliseconds for all frames.
    property int duration: 0
    property bool loop: to === ""
    property bool reverse: false
    property int frameCount: 1
    property string name
    property var frameNames
    property url spriteSheetFilename
    property alias frameWidth: sprite.width
    property alias frameHeight: sprite.height
    property int frameX: 0
    property int frameY: 0
    // 1-based cell position; 0 leaves frameX and frameY alone.
    property int startFrameColumn: 0
    property int startFrameRow: 0
    // The animation to jump to when this one finishes.
    property string to: ""
    property int repeatCount: 1
    property bool restoreOriginalFrame: true
    property bool mirrorX: false
    property bool mirrorY: false
    // The frame shown now.
    property int frameNumber: 0
    property alias __frame: sprite.frameNumber
    property int __repeatedCounter: 0

    signal animationFinished
    signal spriteSheetFilenameHasChanged(url u)

    // Called by the scene graph when its animation has finished.
    function animationFinishedFromSceneGraph() {
        animationFinished()
    }

    function setFrameNumber(frameNumber) {
        __frame = frameNumber
    }

    function updateFrameStartPosition() {
        if (frameWidth <= 0 || frameHeight <= 0)
            return
        if (startFrameColumn > 0)
            frameX = (startFrameColumn - 1) * frameWidth
        if (startFrameRow > 0)
            frameY = (startFrameRow - 1) * frameHeight
    }

    function nextFrame() {
        var next = __frame + 1
        if (next < frameCount) {
            __frame = next
            return
        }
        if (loop) {
            __frame = 0
            return
        }
        __repeatedCounter++
        if (__repeatedCounter < repeatCount) {
            __frame = 0
            return
        }
        running = false
        __repeatedCounter = 0
        __frame = restoreOriginalFrame ? 0 : frameCount - 1
        animationFinished()
    }

    clip: true

    onFrameRateChanged: {
        if (frameRate <= 0)
            return
        frameDuration = 1000 / frameRate
        duration = frameDuration * frameCount
    }
    onDurationChanged: {
        if (duration <= 0 || frameCount <= 0)
            return
        frameDuration = duration / frameCount
        frameRate = 1000 / frameDuration
    }
    onFrameWidthChanged: updateFrameStartPosition()
    onFrameHeightChanged: updateFrameStartPosition()
    onRunningChanged: {
        if (running)
            __frame = 0
    }
    onSpriteSheetFilenameChanged: spriteSheetFilenameHasChanged(spriteSheetFilename)

    Component.onCompleted: {
        if (frameRate > 0) {
            frameDuration = 1000 / frameRate
            duration = frameDuration * frameCount
        } else if (frameDuration > 0) {
            frameRate = 1000 / frameDuration
            duration = frameDuration * frameCount
        } else if (duration > 0 && frameCount > 0) {
            frameDuration = duration / frameCount
        }
        updateFrameStartPosition()
    }

    Image {
        id: image

        source: sprite.source
        x: -sprite.frameX - sprite.frameWidth * sprite.__frame
        y: -sprite.frameY
        transform: Rotation {
            origin.x: sprite.frameX + sprite.frameWidth * (sprite.__frame + 0.5)
            origin.y: sprite.frameY + sprite.frameHeight / 2
            axis { x: sprite.mirrorY ? 1 : 0; y: sprite.mirrorX ? 1 : 0; z: 0 }
            angle: (sprite.mirrorX || sprite.mirrorY) && typeof sceneGraphWrapper === "undefined" ? 180 : 0
        }
    }

    Timer {
        interval: Math.max(1, sprite.frameDuration)
        repeat: true
        running: sprite.qmlAnimationTimerEnabled && sprite.running
        onTriggered: sprite.nextFrame()
    }
}
