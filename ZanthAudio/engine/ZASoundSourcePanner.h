#pragma once

#include "engine/ZASoundSource.h"
#include "engine/ZATargetModifier.h"

// Pans a sound source from -1.0 (left) to 1.0 (right); stops the source at the end when asked to.
using ZASoundSourcePanner =
    ZATargetModifier<ZASoundSource, &ZASoundSource::setPan, &ZASoundSource::pan, &ZASoundSource::stop>;
