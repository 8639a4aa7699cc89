#pragma once

#include "Asset.h"

namespace assetgen {

// The about screen's sprite sheet "aboutscreen" (qml/img/) in "-sd" (512 x 1024), "-hd" and "-hd2",
// each a PNG with its sprite-sheet JSON. Frames: background.png, item.png, and "<button>_normal.png",
// "_hover.png" and "_click.png" of the buttons left, right, title, link, interactive_item, qt, zanth2d,
// product1 and product2.
AssetList aboutScreenAssets();

} // namespace assetgen
