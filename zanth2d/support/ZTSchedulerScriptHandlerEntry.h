#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTTimer;

// A script function scheduled on the scheduler; destroying it tells the script engine to drop the handler.
class ZTSchedulerScriptHandlerEntry : public ZTObject
{
public:
    ZTSchedulerScriptHandlerEntry();
    ~ZTSchedulerScriptHandlerEntry() override;

    // An autoreleased entry whose timer calls the handler every fInterval seconds.
    static ZTSchedulerScriptHandlerEntry* entryWithHandler(int nHandler, float fInterval, bool bPaused);
    bool initWithHandler(int nHandler, float fInterval, bool bPaused);

    ZTTimer* getTimer() const { return m_pTimer; }
    bool isPaused() const { return m_bPaused; }
    bool isMarkedForDeletion() const { return m_bMarkedForDeletion; }
    void markedForDeletion() { m_bMarkedForDeletion = true; }
    int getHandler() const { return m_nHandler; }
    int getEntryId() const { return m_nEntryId; }

private:
    ZTTimer* m_pTimer = nullptr;
    bool m_bPaused = true;
    bool m_bMarkedForDeletion = false;
    int m_nHandler = 0;
    int m_nEntryId;
};

} // namespace zanth2d
