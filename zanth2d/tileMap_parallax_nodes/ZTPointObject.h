#pragma once

#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTNode;

// What a parallax node keeps of one child: its ratio and offset.
class ZTPointObject : public ZTObject
{
public:
    // Autoreleased.
    static ZTPointObject* pointWithZTPoint(const ZTPoint& ratio, const ZTPoint& offset);
    bool initWithZTPoint(const ZTPoint& ratio, const ZTPoint& offset);

    virtual const ZTPoint& getRatio() const { return m_tRatio; }
    virtual void setRatio(const ZTPoint& ratio) { m_tRatio = ratio; }
    virtual const ZTPoint& getOffset() const { return m_tOffset; }
    virtual void setOffset(const ZTPoint& offset) { m_tOffset = offset; }
    virtual ZTNode* getChild() const { return m_pChild; }
    // Not retained: the parallax node's child list holds the child.
    virtual void setChild(ZTNode* child) { m_pChild = child; }

private:
    ZTPoint m_tRatio;
    ZTPoint m_tOffset;
    ZTNode* m_pChild = nullptr;
};

} // namespace zanth2d
