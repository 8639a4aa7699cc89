#pragma once

#include "engine/ZASoundSource.h"
#include "engine/ZATargetModifier.h"

// Bends a sound source's pitch; stops the source at the end when asked to.
using ZASoundSourcePitchBender =
    ZATargetModifier<ZASoundSource, &ZASoundSource::setPitch, &ZASoundSource::pitch, &ZASoundSource::stop>;
