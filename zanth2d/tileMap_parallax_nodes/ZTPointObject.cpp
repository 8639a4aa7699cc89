#include "tileMap_parallax_nodes/ZTPointObject.h"

#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

ZTPointObject* ZTPointObject::pointWithZTPoint(const ZTPoint& ratio, const ZTPoint& offset)
{
    return ztMakeAutoreleased<ZTPointObject>(
        [&](ZTPointObject* pObject) { return pObject->initWithZTPoint(ratio, offset); });
}

bool ZTPointObject::initWithZTPoint(const ZTPoint& ratio, const ZTPoint& offset)
{
    m_tRatio = ratio;
    m_tOffset = offset;
    m_pChild = nullptr;
    return true;
}

} // namespace zanth2d
