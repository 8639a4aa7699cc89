import QtQuick 2.15

// The fixed part of a level, loaded by a LevelLoader; the level editor copies the current record into
// levelData and asks it for its own values before a save.
Item {
    id: levelBase

    property alias levelData: levelData

    // The level may now put its own values into levelData.customData or levelData.levelMetaData.
    signal levelAboutToBeSaved
    // The current level record has been copied into levelData.
    signal levelLoaded

    LevelData {
        id: levelData
    }
}
