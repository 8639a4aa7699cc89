#pragma once

#include "base_nodes/ZTNode.h"

namespace zanth2d {

class ZTFilledPolygon;

// Limits the drawing of itself and its subtree to a rectangle through one bit of the stencil buffer
// per nesting level. The rectangle is given as the QML items that drive the node see it, y pointing
// down; the node turns it into node space, y pointing up.
class ZTClipNode : public ZTNode
{
public:
    // Reads the context's stencil bits the first time a clipping node is made (a context must be current).
    ZTClipNode();
    ~ZTClipNode() override;

    // Points, y down. Width and height below 0 are stored as 0 but used as given for this shape.
    void setClippingRegion(float x, float y, float width, float height);
    const ZTRect& getClippingRegion() const { return m_tClippingRegion; }
    // Null until the first setClippingRegion. Not a child: only this node visits it.
    ZTFilledPolygon* getStencil() const { return m_pStencil; }

    // Scales the node, then rebuilds the clip shape from the stored region.
    void setScale(float scale);
    // Turns only the clip shape, not the node or its content.
    void setRotation(float rotation) override;
    void visit() override;

    // Off: the node draws as a plain node. On without a region: nothing of the subtree is drawn.
    virtual bool getClipsToBounds() const { return m_bClipsToBounds; }
    virtual void setClipsToBounds(bool clips) { m_bClipsToBounds = clips; }

    // Stencil bits of the context, -1 before the first clipping node.
    static int getStencilBits();

private:
    void drawClipped();

    ZTRect m_tClippingRegion;
    ZTFilledPolygon* m_pStencil = nullptr;
    bool m_bClipsToBounds = false;
};

} // namespace zanth2d
