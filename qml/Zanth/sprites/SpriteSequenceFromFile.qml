import QtQuick 2.15
import Zanth 1.0

// A sequence whose sprites take named frames from a JSON sprite sheet; the sheet file is chosen for the
// content scale, and the scene graph sets the sheet's texture from the file.
SpriteSequence {
    id: sequence

    // The JSON file as written, with or without a scale suffix.
    property alias filename: chooser.filename
    // The JSON file chosen for the content scale.
    property url modifiedSpriteSheetFilename
    // Set by the scene graph from the file's image name.
    property url spriteSheetSourceForJsonFile
    property var fileContent

    function __applySharedSpriteSheetFilenameToSprites(sheet) {
        if (String(sheet) === "")
            return
        for (var i = 0; i < sprites.length; ++i) {
            if (String(sprites[i].spriteSheetFilename) === "")
                sprites[i].spriteSheetFilename = sheet
        }
    }

    onSpriteSheetSourceForJsonFileChanged: __applySharedSpriteSheetFilenameToSprites(modifiedSpriteSheetFilename)
    onSpritesChanged: {
        if (fileContent !== undefined)
            __applySharedSpriteSheetFilenameToSprites(modifiedSpriteSheetFilename)
    }

    ContentScaleFileChooser {
        id: chooser

        onModifiedFilenameChanged: {
            sequence.__internalScaleFactorForMultiResImages = internalScaleFactorForMultiResImages
            sequence.modifiedSpriteSheetFilename = modifiedFilename
        }
    }
}
