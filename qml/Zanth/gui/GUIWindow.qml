import QtQuick 2.15
import Zanth 1.0
import Zanth.gui.skins 1.0

// A panel: the skin's window background stretched over the item.
Item {
    id: guiWindow

    property GUIWindowSkin platformStyle: GUIWindowSkin {}

    objectName: "guiWindow"

    MultiResolutionImage {
        anchors.fill: parent
        source: guiWindow.platformStyle.backgroundImage
    }
}
