#pragma once

#include "base_nodes/ZTNode.h"

namespace zanth2d {

class ZTArray;

// A node whose children move at their own speed when the node moves in the scene: a child with ratio
// (1, 1) moves with the node, one with ratio (0, 0) stays fixed in the scene. Children are repositioned
// in the visit after the node's absolute position (its own position plus its ancestors', rotation and
// scale ignored) changed. The vertical movement counts from where the node was when the last child joined.
class ZTParallaxNode : public ZTNode
{
public:
    ZTParallaxNode();
    ~ZTParallaxNode() override;

    // Autoreleased.
    static ZTParallaxNode* node();

    // The only way children join: ratio and offset in points.
    virtual void addChild(ZTNode* child, unsigned int z, const ZTPoint& ratio, const ZTPoint& offset);
    // Not supported (asserts): a child needs a ratio and an offset.
    virtual void addChild(ZTNode* child, unsigned int z, int tag);
    void removeChild(ZTNode* child, bool cleanup) override;
    void removeAllChildrenWithCleanup(bool cleanup) override;
    void visit() override;

    // One ZTPointObject per parallax child, in the order of adding.
    virtual ZTArray* getParallaxArray() const { return m_pParallaxArray; }
    // Retained.
    virtual void setParallaxArray(ZTArray* array);

    ZTPoint absolutePosition() const;
    const ZTPoint& getReferencePosition() const { return m_tReferencePosition; }

private:
    using ZTNode::addChild;

    ZTArray* m_pParallaxArray = nullptr;
    ZTPoint m_tLastPosition{-100.0f, -100.0f};
    ZTPoint m_tReferencePosition;
};

} // namespace zanth2d
