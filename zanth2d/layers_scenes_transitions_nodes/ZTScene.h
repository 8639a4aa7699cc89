#pragma once

#include "base_nodes/ZTNode.h"

namespace zanth2d {

// The root node the director runs: window-sized, anchored at its centre, positioned by its lower-left corner.
class ZTScene : public ZTNode
{
public:
    ZTScene();

    // Content size = the director's window size.
    bool init();
    // An autoreleased, initialised scene.
    static ZTScene* node();
};

} // namespace zanth2d
