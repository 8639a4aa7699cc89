#include "support/ZTSchedulerScriptHandlerEntry.h"

#include "ZTMacros.h"
#include "ZTTimer.h"
#include "support/ZTScriptEngineManager.h"
#include "support/ZTScriptEngineProtocol.h"

namespace zanth2d {

namespace {
int s_nNextEntryId = 0;
}

ZTSchedulerScriptHandlerEntry::ZTSchedulerScriptHandlerEntry() : m_nEntryId(++s_nNextEntryId) {}

ZTSchedulerScriptHandlerEntry::~ZTSchedulerScriptHandlerEntry()
{
    ZT_SAFE_RELEASE(m_pTimer);
    if (m_nHandler) {
        if (ZTScriptEngineProtocol* pEngine = ZTScriptEngineManager::installedScriptEngine()) {
            pEngine->removeScriptHandler(m_nHandler);
        }
    }
}

ZTSchedulerScriptHandlerEntry* ZTSchedulerScriptHandlerEntry::entryWithHandler(int nHandler, float fInterval,
                                                                               bool bPaused)
{
    auto* pEntry = new ZTSchedulerScriptHandlerEntry();
    pEntry->initWithHandler(nHandler, fInterval, bPaused);
    pEntry->autorelease();
    return pEntry;
}

bool ZTSchedulerScriptHandlerEntry::initWithHandler(int nHandler, float fInterval, bool bPaused)
{
    m_nHandler = nHandler;
    m_pTimer = new ZTTimer();
    m_pTimer->initWithScriptHandler(nHandler, fInterval);
    m_bPaused = bPaused;
    return true;
}

} // namespace zanth2d
