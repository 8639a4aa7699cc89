#pragma once

#include "engine/ZASoundSource.h"
#include "engine/ZATargetModifier.h"

// Fades a sound source's gain; stops the source at the end when asked to.
using ZASoundSourceFader =
    ZATargetModifier<ZASoundSource, &ZASoundSource::setGain, &ZASoundSource::gain, &ZASoundSource::stop>;
