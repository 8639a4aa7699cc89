#pragma once

#include "engine/ZALongAudioSource.h"
#include "engine/ZATargetModifier.h"

// Fades a music channel's volume; pauses the channel (rather than stopping it) at the end when asked to.
using ZALongAudioSourceFader = ZATargetModifier<ZALongAudioSource, &ZALongAudioSource::setVolume,
                                                &ZALongAudioSource::volume, &ZALongAudioSource::pause>;
