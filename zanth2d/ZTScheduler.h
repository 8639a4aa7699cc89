#pragma once

#include <list>
#include <unordered_map>

#include "ZTTimer.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTArray;

// The per-frame clock: tick(dt) calls update(dt) on every target registered for updates (priority
// ascending; equal priorities in registration order), then fires the timers of each target in
// the order the targets were first scheduled, then the script entries. Registration and removal are
// allowed from inside any callback of the running tick. Targets are retained while scheduled.
class ZTScheduler : public ZTObject
{
public:
    ZTScheduler();
    ~ZTScheduler() override;

    // The shared scheduler, created on first use.
    static ZTScheduler* sharedScheduler();
    // Releases the shared scheduler and everything scheduled on it; the next use makes a new one.
    static void purgeSharedScheduler();

    bool init();

    float getTimeScale() const { return m_fTimeScale; }
    void setTimeScale(float fTimeScale) { m_fTimeScale = fTimeScale; }

    // dt in seconds; called by the director once per drawn frame.
    void tick(float dt);

    // Fires pfnSelector every fInterval seconds (0: every tick). Scheduling a selector again only
    // changes its interval. All timers of a target share one paused state.
    void scheduleSelector(SEL_SCHEDULE pfnSelector, ZTObject* pTarget, float fInterval, bool bPaused);
    void unscheduleSelector(SEL_SCHEDULE pfnSelector, ZTObject* pTarget);
    // Calls pTarget->update(dt) every tick. A target already registered keeps its priority and paused state.
    void scheduleUpdateForTarget(ZTObject* pTarget, int nPriority, bool bPaused);
    void unscheduleUpdateForTarget(const ZTObject* pTarget);
    void unscheduleAllSelectorsForTarget(ZTObject* pTarget);
    void unscheduleAllSelectors();

    // Returns the entry id that unscheduleScriptEntry takes.
    unsigned int scheduleScriptFunc(unsigned int nHandler, float fInterval, bool bPaused);
    void unscheduleScriptEntry(unsigned int uScheduleScriptEntryID);

    void pauseTarget(ZTObject* pTarget);
    void resumeTarget(ZTObject* pTarget);
    // The paused state of the target's timers; false when it has none.
    bool isTargetPaused(ZTObject* pTarget);

private:
    void setTargetPaused(ZTObject* pTarget, bool bPaused);

    struct tListEntry
    {
        tListEntry* prev;
        tListEntry* next;
        ZTObject* target;
        int priority;
        bool paused;
        bool markedForDeletion;
    };

    struct tUpdateList
    {
        tListEntry* head = nullptr;
        tListEntry* tail = nullptr;
    };

    struct tHashUpdateEntry
    {
        tUpdateList* list;
        tListEntry* entry;
        ZTObject* target;
    };

    struct tHashTimerEntry
    {
        ZTArray* timers;
        ZTObject* target;
        unsigned int timerIndex;
        ZTTimer* currentTimer;
        bool currentTimerSalvaged;
        bool paused;
    };

    using TimerList = std::list<tHashTimerEntry>;

    void removeHashElement(tHashTimerEntry* pElement);
    void removeUpdateFromHash(tListEntry* pEntry);
    void priorityIn(tUpdateList* pList, ZTObject* pTarget, int nPriority, bool bPaused);
    void appendIn(tUpdateList* pList, ZTObject* pTarget, bool bPaused);
    void addToUpdateTable(tUpdateList* pList, tListEntry* pEntry);
    static void unlink(tUpdateList* pList, tListEntry* pEntry);
    void unscheduleMarkedUpdates(tUpdateList* pList);

    float m_fTimeScale = 1.0f;

    tUpdateList m_updatesNegList;
    tUpdateList m_updates0List;
    tUpdateList m_updatesPosList;
    std::unordered_map<const ZTObject*, tHashUpdateEntry> m_hashForUpdates;

    // A list keeps the order in which targets were first scheduled, and its elements stay put while
    // other targets are added or removed during a tick.
    TimerList m_timerList;
    std::unordered_map<const ZTObject*, TimerList::iterator> m_hashForSelectors;

    TimerList::iterator m_itNextTimerElement;
    bool m_bWalkingTimers = false;
    tHashTimerEntry* m_pCurrentTarget = nullptr;
    bool m_bCurrentTargetSalvaged = false;
    bool m_bUpdateHashLocked = false;
    ZTArray* m_pScriptHandlerEntries = nullptr;
};

} // namespace zanth2d
