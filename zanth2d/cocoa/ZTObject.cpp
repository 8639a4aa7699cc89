#include "cocoa/ZTObject.h"

#include "ZTMacros.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "support/ZTScriptEngineManager.h"
#include "support/ZTScriptEngineProtocol.h"

namespace zanth2d {

unsigned int ZTObject::uObjectCount = 0;

ZTObject* ZTCopying::copyWithZone(ZTZone*)
{
    ZTAssert(0, "0");
    return nullptr;
}

ZTObject::ZTObject() : m_uID(++uObjectCount) {}

ZTObject::~ZTObject()
{
    if (m_bManaged) {
        ZTPoolManager::getInstance()->removeObject(this);
    }
    if (m_nLuaID) {
        if (ZTScriptEngineProtocol* pEngine = ZTScriptEngineManager::installedScriptEngine()) {
            pEngine->removeScriptObjectByID(m_nLuaID);
        }
    }
}

bool ZTObject::isEqual(const ZTObject* pObject) const
{
    return this == pObject;
}

void ZTObject::update(float) {}

void ZTObject::retain()
{
    ZTAssert(m_uReference > 0, "m_uReference > 0");
    ++m_uReference;
}

void ZTObject::release()
{
    ZTAssert(m_uReference > 0, "m_uReference > 0");
    --m_uReference;
    if (m_uReference == 0) {
        delete this;
    }
}

ZTObject* ZTObject::autorelease()
{
    ZTPoolManager::getInstance()->addObject(this);
    m_bManaged = true;
    return this;
}

ZTObject* ZTObject::copy()
{
    return copyWithZone(nullptr);
}

} // namespace zanth2d
