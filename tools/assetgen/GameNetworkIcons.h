#pragma once

#include "Asset.h"

namespace assetgen {

// The icons of the game-network pages (qml/Zanth/gamenetwork/gnView/img/): back, highscores,
// achievements, more, profile, alltime, week, today, about and challenge, each as "<name>.png" in the
// pages' dark grey and "<name>-hover.png" in their accent blue, 64 x 64.
AssetList gameNetworkIconAssets();

} // namespace assetgen
