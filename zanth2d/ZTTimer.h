#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

// A member function of a ZTObject subclass called by the scheduler with the elapsed seconds.
typedef void (ZTObject::*SEL_SCHEDULE)(float);
#define schedule_selector(_SELECTOR) (zanth2d::SEL_SCHEDULE)(&_SELECTOR)

// Calls a selector on its target (or a script handler) once per interval. The target is not retained.
class ZTTimer : public ZTObject
{
public:
    ZTTimer() = default;

    // Autoreleased timers; an interval of 0 fires on every tick.
    static ZTTimer* timerWithTarget(ZTObject* pTarget, SEL_SCHEDULE pfnSelector);
    static ZTTimer* timerWithTarget(ZTObject* pTarget, SEL_SCHEDULE pfnSelector, float fSeconds);
    static ZTTimer* timerWithScriptHandler(int nHandler, float fSeconds);

    bool initWithTarget(ZTObject* pTarget, SEL_SCHEDULE pfnSelector);
    bool initWithTarget(ZTObject* pTarget, SEL_SCHEDULE pfnSelector, float fSeconds);
    bool initWithScriptHandler(int nHandler, float fSeconds);

    // The first update only starts the clock; later ones add dt and fire once the interval is reached,
    // passing the elapsed seconds and starting again from 0.
    void update(float dt) override;

    float getInterval() const { return m_fInterval; }
    void setInterval(float fInterval) { m_fInterval = fInterval; }
    SEL_SCHEDULE getSelector() const { return m_pfnSelector; }
    int getScriptHandler() const { return m_nScriptHandler; }

private:
    SEL_SCHEDULE m_pfnSelector = nullptr;
    float m_fInterval = 0.0f;
    ZTObject* m_pTarget = nullptr;
    float m_fElapsed = -1.0f;
    int m_nScriptHandler = 0;
};

} // namespace zanth2d
