#include "support/ZTScriptEngineManager.h"

#include "ZTMacros.h"
#include "support/ZTScriptEngineProtocol.h"

namespace zanth2d {

namespace {
ZTScriptEngineManager* s_pSharedManager = nullptr;
}

ZTScriptEngineManager* ZTScriptEngineManager::sharedManager()
{
    if (!s_pSharedManager) {
        s_pSharedManager = new ZTScriptEngineManager();
    }
    return s_pSharedManager;
}

void ZTScriptEngineManager::purgeSharedManager()
{
    delete s_pSharedManager;
    s_pSharedManager = nullptr;
}

ZTScriptEngineProtocol* ZTScriptEngineManager::installedScriptEngine()
{
    return s_pSharedManager ? s_pSharedManager->m_pScriptEngine : nullptr;
}

ZTScriptEngineManager::~ZTScriptEngineManager()
{
    removeScriptEngine();
}

void ZTScriptEngineManager::setScriptEngine(ZTScriptEngineProtocol* pScriptEngine)
{
    if (pScriptEngine == m_pScriptEngine) {
        return;
    }
    removeScriptEngine();
    m_pScriptEngine = pScriptEngine;
}

void ZTScriptEngineManager::removeScriptEngine()
{
    ZT_SAFE_RELEASE_NULL(m_pScriptEngine);
}

} // namespace zanth2d
