import QtQuick 2.15
import Zanth 1.0

// One still frame, by name, of a JSON sprite sheet.
SpriteSequenceFromFile {
    id: single

    // The frame's name in the sheet.
    property string source
    property alias singleSprite: singleSprite
    property alias mirrorX: singleSprite.mirrorX
    property alias mirrorY: singleSprite.mirrorY

    Sprite {
        id: singleSprite

        frameNames: [single.source]
    }
}
