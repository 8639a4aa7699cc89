#include "support/ZTTouchScriptHandlerEntry.h"

#include "support/ZTScriptEngineManager.h"
#include "support/ZTScriptEngineProtocol.h"

namespace zanth2d {

ZTTouchScriptHandlerEntry::~ZTTouchScriptHandlerEntry()
{
    if (m_nHandler) {
        if (ZTScriptEngineProtocol* pEngine = ZTScriptEngineManager::installedScriptEngine()) {
            pEngine->removeScriptHandler(m_nHandler);
        }
    }
}

ZTTouchScriptHandlerEntry* ZTTouchScriptHandlerEntry::entryWithHandler(int nHandler, bool bIsMultiTouches,
                                                                       int nPriority, bool bSwallowsTouches)
{
    auto* pEntry = new ZTTouchScriptHandlerEntry();
    pEntry->initWithHandler(nHandler, bIsMultiTouches, nPriority, bSwallowsTouches);
    pEntry->autorelease();
    return pEntry;
}

bool ZTTouchScriptHandlerEntry::initWithHandler(int nHandler, bool bIsMultiTouches, int nPriority,
                                                bool bSwallowsTouches)
{
    m_nHandler = nHandler;
    m_bIsMultiTouches = bIsMultiTouches;
    m_nPriority = nPriority;
    m_bSwallowsTouches = bSwallowsTouches;
    return true;
}

} // namespace zanth2d
