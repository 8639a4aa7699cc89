import QtQuick 2.15
import Zanth 1.0

// One cell of a grid sprite sheet.
SpriteSequence {
    property alias frameWidth: singleSprite.frameWidth
    property alias frameHeight: singleSprite.frameHeight
    property alias frameX: singleSprite.frameX
    property alias frameY: singleSprite.frameY
    property alias startFrameColumn: singleSprite.startFrameColumn
    property alias startFrameRow: singleSprite.startFrameRow
    property alias singleSprite: singleSprite
    property alias mirrorX: singleSprite.mirrorX
    property alias mirrorY: singleSprite.mirrorY

    running: false

    Sprite {
        id: singleSprite

        name: "singleSprite"
        frameCount: 1
    }
}
