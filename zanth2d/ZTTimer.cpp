#include "ZTTimer.h"

#include "support/ZTScriptEngineManager.h"
#include "support/ZTScriptEngineProtocol.h"

namespace zanth2d {

ZTTimer* ZTTimer::timerWithTarget(ZTObject* pTarget, SEL_SCHEDULE pfnSelector)
{
    return timerWithTarget(pTarget, pfnSelector, 0.0f);
}

ZTTimer* ZTTimer::timerWithTarget(ZTObject* pTarget, SEL_SCHEDULE pfnSelector, float fSeconds)
{
    auto* pTimer = new ZTTimer();
    pTimer->initWithTarget(pTarget, pfnSelector, fSeconds);
    pTimer->autorelease();
    return pTimer;
}

ZTTimer* ZTTimer::timerWithScriptHandler(int nHandler, float fSeconds)
{
    auto* pTimer = new ZTTimer();
    pTimer->initWithScriptHandler(nHandler, fSeconds);
    pTimer->autorelease();
    return pTimer;
}

bool ZTTimer::initWithTarget(ZTObject* pTarget, SEL_SCHEDULE pfnSelector)
{
    return initWithTarget(pTarget, pfnSelector, 0.0f);
}

bool ZTTimer::initWithTarget(ZTObject* pTarget, SEL_SCHEDULE pfnSelector, float fSeconds)
{
    m_pTarget = pTarget;
    m_pfnSelector = pfnSelector;
    m_fInterval = fSeconds;
    m_fElapsed = -1.0f;
    return true;
}

bool ZTTimer::initWithScriptHandler(int nHandler, float fSeconds)
{
    m_nScriptHandler = nHandler;
    m_fInterval = fSeconds;
    m_fElapsed = -1.0f;
    return true;
}

void ZTTimer::update(float dt)
{
    if (m_fElapsed == -1.0f) {
        m_fElapsed = 0.0f;
    } else {
        m_fElapsed += dt;
    }
    if (m_fElapsed < m_fInterval) {
        return;
    }
    if (m_pfnSelector && m_pTarget) {
        (m_pTarget->*m_pfnSelector)(m_fElapsed);
    }
    if (m_nScriptHandler) {
        if (ZTScriptEngineProtocol* pEngine = ZTScriptEngineManager::installedScriptEngine()) {
            pEngine->executeSchedule(m_nScriptHandler, m_fElapsed);
        }
    }
    m_fElapsed = 0.0f;
}

} // namespace zanth2d
