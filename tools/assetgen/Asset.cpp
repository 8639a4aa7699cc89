#include "Asset.h"

#include "AboutScreen.h"
#include "GuiSkin.h"
#include "Logos.h"
#include "ParticleTextures.h"

namespace assetgen {

AssetList allAssets()
{
    AssetList assets;
    for (AssetList (*family)() : {particleTextureAssets, aboutScreenAssets, logoAssets, guiSkinAssets}) {
        AssetList part = family();
        assets.insert(assets.end(), part.begin(), part.end());
    }
    return assets;
}

} // namespace assetgen
