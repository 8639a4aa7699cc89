#pragma once

#include "layers_scenes_transitions_nodes/ZTScene.h"

namespace zanth2d {

// A scene that shows an outgoing and an incoming scene for a while and then replaces itself by the
// incoming one. The director recognises it by type: the transition, not the director, then sends the
// outgoing scene's exit and cleanup and the incoming scene's enter calls.
class ZTTransitionScene : public ZTScene
{
};

} // namespace zanth2d
