#pragma once

#include "engine/ZASoundEngine.h"
#include "engine/ZATargetModifier.h"

// Fades the master gain of every effect; stops every effect at the end when asked to.
using ZASoundEngineFader = ZATargetModifier<ZASoundEngine, &ZASoundEngine::setMasterGain,
                                            &ZASoundEngine::masterGain, &ZASoundEngine::stopAllSounds>;
