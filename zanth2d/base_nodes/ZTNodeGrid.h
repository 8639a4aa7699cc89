#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTNode;

// What a node's visit needs of a grid that captures the node's drawing into a texture and redraws it
// distorted; the grid effects implement it.
class ZTNodeGrid : public ZTObject
{
public:
    // While active, the node's subtree is drawn through the grid.
    virtual bool isActive() const = 0;
    // Redirects drawing into the grid's texture.
    virtual void beforeDraw() = 0;
    // Restores drawing to the screen and draws the captured texture for target.
    virtual void afterDraw(ZTNode* target) = 0;
};

} // namespace zanth2d
