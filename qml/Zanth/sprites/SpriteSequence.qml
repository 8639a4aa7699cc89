import QtQuick 2.15
import Zanth 1.0

// A set of Sprite animations of which one, the current animation, is shown and running. Its size is the
// current animation's; a different size scales it. Centred on its position unless
// translateToCenterAnchor is false.
SpriteImageItem {
    id: sequence

    property var sprites: []
    property var currentAnimation
    property int currentAnimationIndex: 0
    // Setting it jumps to the animation of that name.
    property string goalSprite
    property bool running: true
    // A sheet image shared by all sprites without a source of their own.
    property url spriteSheetSource
    property bool translateToCenterAnchor: true
    property real vertexZ: 0
    property real __xScale: 1
    property real __yScale: 1
    property real __internalScaleFactorForMultiResImages: 1
    property int pixelFormat: 0
    property bool ignoreWidthAndHeightChangedSignals: false

    signal animationFinished
    signal animationChanged(string name)

    function __findSprite(name) {
        for (var i = 0; i < sprites.length; ++i) {
            if (sprites[i].name === name)
                return i
        }
        if (sprites.length > 0)
            console.log("ERROR: sprite animation with name '" + name + "' could not be found")
        return -1
    }

    function __updateScales(animation) {
        var factor = __internalScaleFactorForMultiResImages
        if (animation.width !== 0)
            __xScale = width / (animation.width * factor)
        if (animation.height !== 0)
            __yScale = height / (animation.height * factor)
    }

    function __initializeCurrentAnimationWithoutSettingRunningToTrue(name) {
        var index = __findSprite(name)
        if (index < 0)
            return
        var animation = sprites[index]
        animation.running = running
        animation.visible = true
        animation.enabled = true
        currentAnimationIndex = index
        currentAnimation = animation
        __updateScales(animation)
        animationChanged(name)
    }

    function jumpTo(name) {
        var index = __findSprite(name)
        if (index < 0)
            return
        var animation = sprites[index]
        var changed = animation !== currentAnimation
        if (currentAnimation) {
            currentAnimation.running = false
            if (changed) {
                currentAnimation.visible = false
                currentAnimation.enabled = false
            }
        }
        animation.running = true
        animation.visible = true
        animation.enabled = true
        currentAnimationIndex = index
        currentAnimation = animation
        running = true
        __updateScales(animation)
        if (changed)
            animationChanged(name)
    }

    function __applySharedSpriteSheetSourceToSprites() {
        if (String(spriteSheetSource) !== "") {
            // Resolved here: a relative name belongs to the file that declared the sequence.
            var shared = Qt.resolvedUrl(spriteSheetSource, sequence)
            for (var i = 0; i < sprites.length; ++i) {
                if (String(sprites[i].source) !== String(shared))
                    sprites[i].source = shared
            }
        }
        if (currentAnimation && currentAnimation.width !== width)
            widthChanged()
        if (currentAnimation && currentAnimation.height !== height)
            heightChanged()
    }

    function __currentAnimationFinished() {
        animationFinished()
        if (currentAnimation.to !== "")
            jumpTo(currentAnimation.to)
        else
            running = false
    }

    width: currentAnimation ? currentAnimation.width * __internalScaleFactorForMultiResImages : 0
    height: currentAnimation ? currentAnimation.height * __internalScaleFactorForMultiResImages : 0
    x: translateToCenterAnchor ? -width / 2 : 0
    y: translateToCenterAnchor ? -height / 2 : 0
    transform: Scale {
        xScale: sequence.__xScale * sequence.__internalScaleFactorForMultiResImages
        yScale: sequence.__yScale * sequence.__internalScaleFactorForMultiResImages
    }

    onWidthChanged: {
        if (ignoreWidthAndHeightChangedSignals || !currentAnimation || currentAnimation.width === 0)
            return
        __xScale = width / (currentAnimation.width * __internalScaleFactorForMultiResImages)
        scaleChanged()
    }
    onHeightChanged: {
        if (ignoreWidthAndHeightChangedSignals || !currentAnimation || currentAnimation.height === 0)
            return
        __yScale = height / (currentAnimation.height * __internalScaleFactorForMultiResImages)
        scaleChanged()
    }
    onRunningChanged: {
        if (currentAnimation)
            currentAnimation.running = running
    }
    onGoalSpriteChanged: {
        if (sprites.length > 0)
            jumpTo(goalSprite)
    }
    onSpriteSheetSourceChanged: __applySharedSpriteSheetSourceToSprites()

    Component.onCompleted: {
        var found = []
        for (var i = 0; i < children.length; ++i) {
            if (isObjectASprite(children[i])) {
                children[i].visible = false
                found.push(children[i])
            }
        }
        sprites = found
        __applySharedSpriteSheetSourceToSprites()
        if (goalSprite !== "")
            __initializeCurrentAnimationWithoutSettingRunningToTrue(goalSprite)
        else if (sprites.length > 0)
            __initializeCurrentAnimationWithoutSettingRunningToTrue(sprites[0].name)
    }

    Connections {
        target: sequence.currentAnimation !== undefined ? sequence.currentAnimation : null
        function onAnimationFinished() { sequence.__currentAnimationFinished() }
        function onWidthChanged() { sequence.widthChanged() }
        function onHeightChanged() { sequence.heightChanged() }
    }
}
