import QtQuick 2.15
import Zanth 1.0

// While it exists, the scene graph hangs the sprite batch nodes under its node.
SpriteBatchContainerItem {
    property var spriteSheetImages
}
