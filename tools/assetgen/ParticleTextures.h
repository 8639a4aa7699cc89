#pragma once

#include "Asset.h"

namespace assetgen {

// The particle textures beside the built-in effects (qml/particles/): 25 single images of 32 x 32 and
// five families at 64 x 64 with "_4", "_8", "_16" and "_32" variants.
AssetList particleTextureAssets();

} // namespace assetgen
