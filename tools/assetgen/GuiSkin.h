#pragma once

#include "Asset.h"

namespace assetgen {

// The images of the GUI skin module (plugins/generic/Zanth/gui/skins/images/): button faces with their
// "-arrow" and "-pullup" icon forms, the slider's groove, knob, value balloon and its four arrows, the
// switch's tracks and knob, the text dialog's panel and button, and the window background; each as
// "-sd", "-hd" (twice the pixels) and "-hd2" (four times).
AssetList guiSkinAssets();

} // namespace assetgen
