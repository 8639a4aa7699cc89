#include "tileMap_parallax_nodes/ZTParallaxNode.h"

#include "ZTMacros.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "tileMap_parallax_nodes/ZTPointObject.h"

namespace zanth2d {

ZTParallaxNode::ZTParallaxNode()
{
    m_pParallaxArray = new ZTArray();
    m_pParallaxArray->initWithCapacity(5);
    m_tReferencePosition = absolutePosition();
}

ZTParallaxNode::~ZTParallaxNode()
{
    ZT_SAFE_RELEASE(m_pParallaxArray);
}

ZTParallaxNode* ZTParallaxNode::node()
{
    return ztMakeAutoreleased<ZTParallaxNode>([](ZTParallaxNode*) { return true; });
}

void ZTParallaxNode::setParallaxArray(ZTArray* array)
{
    ZT_SAFE_RETAIN(array);
    ZT_SAFE_RELEASE(m_pParallaxArray);
    m_pParallaxArray = array;
}

void ZTParallaxNode::addChild(ZTNode* child, unsigned int z, const ZTPoint& ratio, const ZTPoint& offset)
{
    ZTAssert(child != nullptr, "child != __null");
    ZTPointObject* entry = ZTPointObject::pointWithZTPoint(ratio, offset);
    entry->setChild(child);
    m_pParallaxArray->addObject(entry);

    const ZTPoint& position = getPosition();
    child->setPosition(ZTPoint(position.x * ratio.x + offset.x, position.y * ratio.y + offset.y));
    m_tReferencePosition = absolutePosition();
    ZTNode::addChild(child, static_cast<int>(z), child->getTag());
}

void ZTParallaxNode::addChild(ZTNode*, unsigned int, int)
{
    ZTAssert(0, "0");
}

void ZTParallaxNode::removeChild(ZTNode* child, bool cleanup)
{
    for (unsigned int i = 0; i < m_pParallaxArray->count(); ++i) {
        auto* entry = static_cast<ZTPointObject*>(m_pParallaxArray->objectAtIndex(i));
        if (entry->getChild() == child) {
            m_pParallaxArray->removeObjectAtIndex(i);
            break;
        }
    }
    ZTNode::removeChild(child, cleanup);
}

void ZTParallaxNode::removeAllChildrenWithCleanup(bool cleanup)
{
    m_pParallaxArray->removeAllObjects();
    ZTNode::removeAllChildrenWithCleanup(cleanup);
}

ZTPoint ZTParallaxNode::absolutePosition() const
{
    ZTPoint result = getPosition();
    for (const ZTNode* ancestor = getParent(); ancestor; ancestor = ancestor->getParent()) {
        result.x += ancestor->getPosition().x;
        result.y += ancestor->getPosition().y;
    }
    return result;
}

void ZTParallaxNode::visit()
{
    const ZTPoint position = absolutePosition();
    if (!ZTPoint::ZTPointEqualToPoint(position, m_tLastPosition)) {
        for (ZTObject* object : *m_pParallaxArray) {
            auto* entry = static_cast<ZTPointObject*>(object);
            const ZTPoint& ratio = entry->getRatio();
            const ZTPoint& offset = entry->getOffset();
            entry->getChild()->setPosition(
                ZTPoint((ratio.x - 1.0f) * position.x + offset.x,
                        (ratio.y - 1.0f) * (position.y - m_tReferencePosition.y) + offset.y));
        }
        m_tLastPosition = position;
    }
    ZTNode::visit();
}

} // namespace zanth2d
