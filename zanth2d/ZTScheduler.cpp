#include "ZTScheduler.h"

#include <vector>

#include "ZTMacros.h"
#include "cocoa/ZTArray.h"
#include "support/ZTSchedulerScriptHandlerEntry.h"

namespace zanth2d {

namespace {
ZTScheduler* pSharedScheduler = nullptr;
constexpr unsigned int kTimersInitialCapacity = 10;
constexpr unsigned int kScriptEntriesInitialCapacity = 20;
} // namespace

ZTScheduler::ZTScheduler()
{
    ZTAssert(pSharedScheduler == nullptr, "pSharedScheduler == __null");
    pSharedScheduler = this;
}

ZTScheduler::~ZTScheduler()
{
    unscheduleAllSelectors();
    if (pSharedScheduler == this) {
        pSharedScheduler = nullptr;
    }
    ZT_SAFE_RELEASE(m_pScriptHandlerEntries);
}

ZTScheduler* ZTScheduler::sharedScheduler()
{
    if (!pSharedScheduler) {
        (new ZTScheduler())->init();
    }
    return pSharedScheduler;
}

void ZTScheduler::purgeSharedScheduler()
{
    ZT_SAFE_RELEASE_NULL(pSharedScheduler);
}

bool ZTScheduler::init()
{
    m_fTimeScale = 1.0f;
    m_pCurrentTarget = nullptr;
    m_bCurrentTargetSalvaged = false;
    m_bUpdateHashLocked = false;
    return true;
}

void ZTScheduler::removeHashElement(tHashTimerEntry* pElement)
{
    auto found = m_hashForSelectors.find(pElement->target);
    ZTObject* pTarget = pElement->target;
    pElement->timers->release();
    if (m_bWalkingTimers && m_itNextTimerElement == found->second) {
        ++m_itNextTimerElement;
    }
    m_timerList.erase(found->second);
    m_hashForSelectors.erase(found);
    pTarget->release();
}

void ZTScheduler::scheduleSelector(SEL_SCHEDULE pfnSelector, ZTObject* pTarget, float fInterval, bool bPaused)
{
    ZTAssert(pfnSelector, "pfnSelector");
    ZTAssert(pTarget, "pTarget");

    tHashTimerEntry* pElement;
    auto found = m_hashForSelectors.find(pTarget);
    if (found == m_hashForSelectors.end()) {
        auto* pTimers = new ZTArray();
        pTimers->initWithCapacity(kTimersInitialCapacity);
        pTarget->retain();
        m_timerList.push_back(tHashTimerEntry{pTimers, pTarget, 0, nullptr, false, bPaused});
        m_hashForSelectors.emplace(pTarget, std::prev(m_timerList.end()));
        pElement = &m_timerList.back();
    } else {
        pElement = &*found->second;
        ZTAssert(pElement->paused == bPaused, "pElement->paused == bPaused");
    }

    for (ZTObject* pObject : *pElement->timers) {
        auto* pTimer = static_cast<ZTTimer*>(pObject);
        if (pTimer->getSelector() == pfnSelector) {
            pTimer->setInterval(fInterval);
            return;
        }
    }
    auto* pTimer = new ZTTimer();
    pTimer->initWithTarget(pTarget, pfnSelector, fInterval);
    pElement->timers->addObject(pTimer);
    pTimer->release();
}

void ZTScheduler::unscheduleSelector(SEL_SCHEDULE pfnSelector, ZTObject* pTarget)
{
    if (!pfnSelector || !pTarget) {
        return;
    }
    auto found = m_hashForSelectors.find(pTarget);
    if (found == m_hashForSelectors.end()) {
        return;
    }
    tHashTimerEntry* pElement = &*found->second;
    for (unsigned int i = 0; i < pElement->timers->count(); ++i) {
        auto* pTimer = static_cast<ZTTimer*>(pElement->timers->objectAtIndex(i));
        if (pTimer->getSelector() != pfnSelector) {
            continue;
        }
        // The timer being fired stays alive until its call returns; the tick releases it then.
        if (pTimer == pElement->currentTimer && !pElement->currentTimerSalvaged) {
            pElement->currentTimer->retain();
            pElement->currentTimerSalvaged = true;
        }
        pElement->timers->removeObjectAtIndex(i);
        // Unsigned wrap from 0 is intended: the tick's increment brings the index back to 0.
        if (pElement->timerIndex >= i) {
            --pElement->timerIndex;
        }
        if (pElement->timers->count() == 0) {
            if (m_pCurrentTarget == pElement) {
                m_bCurrentTargetSalvaged = true;
            } else {
                removeHashElement(pElement);
            }
        }
        return;
    }
}

void ZTScheduler::addToUpdateTable(tUpdateList* pList, tListEntry* pEntry)
{
    pEntry->target->retain();
    m_hashForUpdates.emplace(pEntry->target, tHashUpdateEntry{pList, pEntry, pEntry->target});
}

void ZTScheduler::priorityIn(tUpdateList* pList, ZTObject* pTarget, int nPriority, bool bPaused)
{
    auto* pEntry = new tListEntry{nullptr, nullptr, pTarget, nPriority, bPaused, false};
    tListEntry* pBefore = pList->head;
    while (pBefore && pBefore->priority <= nPriority) {
        pBefore = pBefore->next;
    }
    if (!pBefore) {
        pEntry->prev = pList->tail;
        if (pList->tail) {
            pList->tail->next = pEntry;
        } else {
            pList->head = pEntry;
        }
        pList->tail = pEntry;
    } else {
        pEntry->next = pBefore;
        pEntry->prev = pBefore->prev;
        if (pBefore->prev) {
            pBefore->prev->next = pEntry;
        } else {
            pList->head = pEntry;
        }
        pBefore->prev = pEntry;
    }
    addToUpdateTable(pList, pEntry);
}

void ZTScheduler::appendIn(tUpdateList* pList, ZTObject* pTarget, bool bPaused)
{
    auto* pEntry = new tListEntry{pList->tail, nullptr, pTarget, 0, bPaused, false};
    if (pList->tail) {
        pList->tail->next = pEntry;
    } else {
        pList->head = pEntry;
    }
    pList->tail = pEntry;
    addToUpdateTable(pList, pEntry);
}

void ZTScheduler::unlink(tUpdateList* pList, tListEntry* pEntry)
{
    if (pEntry->prev) {
        pEntry->prev->next = pEntry->next;
    } else {
        pList->head = pEntry->next;
    }
    if (pEntry->next) {
        pEntry->next->prev = pEntry->prev;
    } else {
        pList->tail = pEntry->prev;
    }
}

void ZTScheduler::scheduleUpdateForTarget(ZTObject* pTarget, int nPriority, bool bPaused)
{
    auto found = m_hashForUpdates.find(pTarget);
    if (found != m_hashForUpdates.end()) {
        found->second.entry->markedForDeletion = false;
        return;
    }
    if (nPriority == 0) {
        appendIn(&m_updates0List, pTarget, bPaused);
    } else if (nPriority < 0) {
        priorityIn(&m_updatesNegList, pTarget, nPriority, bPaused);
    } else {
        priorityIn(&m_updatesPosList, pTarget, nPriority, bPaused);
    }
}

void ZTScheduler::removeUpdateFromHash(tListEntry* pEntry)
{
    auto found = m_hashForUpdates.find(pEntry->target);
    if (found == m_hashForUpdates.end()) {
        return;
    }
    tHashUpdateEntry element = found->second;
    m_hashForUpdates.erase(found);
    unlink(element.list, element.entry);
    delete element.entry;
    // Last: releasing may destroy the target, whose destructor may call back into the scheduler.
    element.target->release();
}

void ZTScheduler::unscheduleUpdateForTarget(const ZTObject* pTarget)
{
    if (!pTarget) {
        return;
    }
    auto found = m_hashForUpdates.find(pTarget);
    if (found == m_hashForUpdates.end()) {
        return;
    }
    if (m_bUpdateHashLocked) {
        found->second.entry->markedForDeletion = true;
    } else {
        removeUpdateFromHash(found->second.entry);
    }
}

void ZTScheduler::unscheduleAllSelectorsForTarget(ZTObject* pTarget)
{
    if (!pTarget) {
        return;
    }
    auto found = m_hashForSelectors.find(pTarget);
    if (found != m_hashForSelectors.end()) {
        tHashTimerEntry* pElement = &*found->second;
        if (pElement->currentTimer && pElement->timers->containsObject(pElement->currentTimer) &&
            !pElement->currentTimerSalvaged) {
            pElement->currentTimer->retain();
            pElement->currentTimerSalvaged = true;
        }
        pElement->timers->removeAllObjects();
        if (m_pCurrentTarget == pElement) {
            m_bCurrentTargetSalvaged = true;
        } else {
            removeHashElement(pElement);
        }
    }
    unscheduleUpdateForTarget(pTarget);
}

void ZTScheduler::unscheduleAllSelectors()
{
    // Targets are held while the tables are emptied: a target destroyed by its last release may
    // unschedule other targets, which must not pull entries from under this walk.
    std::vector<ZTObject*> timerTargets;
    timerTargets.reserve(m_timerList.size());
    for (const tHashTimerEntry& element : m_timerList) {
        element.target->retain();
        timerTargets.push_back(element.target);
    }
    std::vector<ZTObject*> updateTargets;
    updateTargets.reserve(m_hashForUpdates.size());
    for (tUpdateList* pList : {&m_updates0List, &m_updatesNegList, &m_updatesPosList}) {
        for (tListEntry* pEntry = pList->head; pEntry; pEntry = pEntry->next) {
            pEntry->target->retain();
            updateTargets.push_back(pEntry->target);
        }
    }
    for (ZTObject* pTarget : timerTargets) {
        unscheduleAllSelectorsForTarget(pTarget);
    }
    for (ZTObject* pTarget : updateTargets) {
        unscheduleUpdateForTarget(pTarget);
    }
    if (m_pScriptHandlerEntries) {
        m_pScriptHandlerEntries->removeAllObjects();
    }
    for (ZTObject* pTarget : timerTargets) {
        pTarget->release();
    }
    for (ZTObject* pTarget : updateTargets) {
        pTarget->release();
    }
}

unsigned int ZTScheduler::scheduleScriptFunc(unsigned int nHandler, float fInterval, bool bPaused)
{
    auto* pEntry =
        ZTSchedulerScriptHandlerEntry::entryWithHandler(static_cast<int>(nHandler), fInterval, bPaused);
    if (!m_pScriptHandlerEntries) {
        m_pScriptHandlerEntries = new ZTArray();
        m_pScriptHandlerEntries->initWithCapacity(kScriptEntriesInitialCapacity);
    }
    m_pScriptHandlerEntries->addObject(pEntry);
    return static_cast<unsigned int>(pEntry->getEntryId());
}

void ZTScheduler::unscheduleScriptEntry(unsigned int uScheduleScriptEntryID)
{
    if (!m_pScriptHandlerEntries) {
        return;
    }
    for (unsigned int i = m_pScriptHandlerEntries->count(); i-- > 0;) {
        auto* pEntry = static_cast<ZTSchedulerScriptHandlerEntry*>(m_pScriptHandlerEntries->objectAtIndex(i));
        if (static_cast<unsigned int>(pEntry->getEntryId()) == uScheduleScriptEntryID) {
            pEntry->markedForDeletion();
            return;
        }
    }
}

void ZTScheduler::pauseTarget(ZTObject* pTarget)
{
    setTargetPaused(pTarget, true);
}

void ZTScheduler::resumeTarget(ZTObject* pTarget)
{
    setTargetPaused(pTarget, false);
}

void ZTScheduler::setTargetPaused(ZTObject* pTarget, bool bPaused)
{
    ZTAssert(pTarget != nullptr, "pTarget != __null");
    auto timers = m_hashForSelectors.find(pTarget);
    if (timers != m_hashForSelectors.end()) {
        timers->second->paused = bPaused;
    }
    auto update = m_hashForUpdates.find(pTarget);
    if (update != m_hashForUpdates.end()) {
        ZTAssert(update->second.entry != nullptr, "pElementUpdate->entry != __null");
        update->second.entry->paused = bPaused;
    }
}

bool ZTScheduler::isTargetPaused(ZTObject* pTarget)
{
    ZTAssert(pTarget != nullptr, "pTarget != __null");
    auto timers = m_hashForSelectors.find(pTarget);
    return timers != m_hashForSelectors.end() && timers->second->paused;
}

void ZTScheduler::unscheduleMarkedUpdates(tUpdateList* pList)
{
    for (tListEntry* pEntry = pList->head; pEntry;) {
        tListEntry* pNext = pEntry->next;
        if (pEntry->markedForDeletion) {
            removeUpdateFromHash(pEntry);
        }
        pEntry = pNext;
    }
}

void ZTScheduler::tick(float dt)
{
    m_bUpdateHashLocked = true;
    if (m_fTimeScale != 1.0f) {
        dt *= m_fTimeScale;
    }

    // Entries are only marked for deletion while locked, so the saved next entry stays valid.
    for (tUpdateList* pList : {&m_updatesNegList, &m_updates0List, &m_updatesPosList}) {
        for (tListEntry* pEntry = pList->head; pEntry;) {
            tListEntry* pNext = pEntry->next;
            if (!pEntry->paused && !pEntry->markedForDeletion) {
                pEntry->target->update(dt);
            }
            pEntry = pNext;
        }
    }

    for (auto it = m_timerList.begin(); it != m_timerList.end(); it = m_itNextTimerElement) {
        tHashTimerEntry* pElement = &*it;
        m_pCurrentTarget = pElement;
        m_bCurrentTargetSalvaged = false;
        if (!pElement->paused) {
            for (pElement->timerIndex = 0; pElement->timerIndex < pElement->timers->count();
                 ++pElement->timerIndex) {
                pElement->currentTimer =
                    static_cast<ZTTimer*>(pElement->timers->objectAtIndex(pElement->timerIndex));
                pElement->currentTimerSalvaged = false;
                pElement->currentTimer->update(dt);
                if (pElement->currentTimerSalvaged) {
                    pElement->currentTimer->release();
                }
                pElement->currentTimer = nullptr;
            }
        }
        // The next element is read only now, so elements added by the callbacks are fired too; from
        // here on it is kept valid while releasing this target destroys objects that unschedule others.
        m_itNextTimerElement = std::next(it);
        m_bWalkingTimers = true;
        if (m_bCurrentTargetSalvaged && pElement->timers->count() == 0) {
            removeHashElement(pElement);
        }
        m_bWalkingTimers = false;
    }
    m_pCurrentTarget = nullptr;

    if (m_pScriptHandlerEntries) {
        for (unsigned int i = m_pScriptHandlerEntries->count(); i-- > 0;) {
            // A callback may have emptied the array meanwhile.
            if (i >= m_pScriptHandlerEntries->count()) {
                continue;
            }
            auto* pEntry =
                static_cast<ZTSchedulerScriptHandlerEntry*>(m_pScriptHandlerEntries->objectAtIndex(i));
            if (pEntry->isMarkedForDeletion()) {
                m_pScriptHandlerEntries->removeObjectAtIndex(i);
            } else if (!pEntry->isPaused()) {
                pEntry->getTimer()->update(dt);
            }
        }
    }

    unscheduleMarkedUpdates(&m_updatesNegList);
    unscheduleMarkedUpdates(&m_updates0List);
    unscheduleMarkedUpdates(&m_updatesPosList);

    m_bUpdateHashLocked = false;
    m_pCurrentTarget = nullptr;
}

} // namespace zanth2d
