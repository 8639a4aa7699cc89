#include "actions/ZTActionManager.h"

#include <cstdlib>

#include "ZTMacros.h"
#include "ZTScheduler.h"
#include "actions/ZTAction.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"

namespace zanth2d {

// One per target that has actions.
struct _hashElement
{
    ztArray* actions = nullptr;        // retained, in the order they were added
    ZTObject* target = nullptr;        // retained while the entry exists
    unsigned int actionIndex = 0;      // may wrap below 0 for one round after a removal
    ZTAction* currentAction = nullptr; // the action being stepped
    bool currentActionSalvaged = false;
    bool paused = false;
    _hashElement* prev = nullptr;
    _hashElement* next = nullptr;
};

namespace {

ZTActionManager* gSharedManager = nullptr;

void arrayEnsureExtraCapacity(ztArray* arr, unsigned int extra)
{
    if (arr->num + extra <= arr->max) {
        return;
    }
    unsigned int newMax = arr->max;
    while (arr->num + extra > newMax) {
        newMax *= 2;
    }
    auto** newArr = static_cast<ZTObject**>(std::realloc(arr->arr, newMax * sizeof(ZTObject*)));
    ZTAssert(newArr != nullptr, "newArr != __null");
    arr->arr = newArr;
    arr->max = newMax;
}

ztArray* arrayNew(unsigned int capacity)
{
    auto* arr = static_cast<ztArray*>(std::malloc(sizeof(ztArray)));
    arr->num = 0;
    arr->max = capacity;
    arr->arr = static_cast<ZTObject**>(std::malloc(capacity * sizeof(ZTObject*)));
    return arr;
}

void arrayFree(ztArray* arr)
{
    std::free(arr->arr);
    std::free(arr);
}

unsigned int arrayIndexOf(const ztArray* arr, const ZTObject* object)
{
    for (unsigned int i = 0; i < arr->num; ++i) {
        if (arr->arr[i] == object) {
            return i;
        }
    }
    return ZTArray::kNotFound;
}

} // namespace

ZTActionManager::ZTActionManager()
{
    m_cursors.reserve(4);
    ZTAssert(gSharedManager == nullptr, "gSharedManager == __null");
}

ZTActionManager::~ZTActionManager()
{
    removeAllActions();
    gSharedManager = nullptr;
}

ZTActionManager* ZTActionManager::sharedManager()
{
    if (!gSharedManager) {
        gSharedManager = new ZTActionManager();
        gSharedManager->init();
    }
    return gSharedManager;
}

void ZTActionManager::purgeSharedManager()
{
    if (!gSharedManager) {
        return;
    }
    ZTScheduler::sharedScheduler()->unscheduleUpdateForTarget(gSharedManager);
    gSharedManager->release();
}

bool ZTActionManager::init()
{
    ZTScheduler::sharedScheduler()->scheduleUpdateForTarget(this, 0, false);
    return true;
}

_hashElement* ZTActionManager::findElement(ZTObject* pTarget) const
{
    auto it = m_pTargets.find(pTarget);
    return it == m_pTargets.end() ? nullptr : it->second;
}

void ZTActionManager::deleteHashElement(_hashElement* pElement)
{
    if (ztArray* actions = pElement->actions) {
        while (actions->num > 0) {
            actions->arr[--actions->num]->release();
        }
        arrayFree(actions);
    }
    m_pTargets.erase(pElement->target);
    for (_hashElement** cursor : m_cursors) {
        if (*cursor == pElement) {
            *cursor = pElement->next;
        }
    }
    (pElement->prev ? pElement->prev->next : m_pFirst) = pElement->next;
    (pElement->next ? pElement->next->prev : m_pLast) = pElement->prev;
    ZTObject* target = pElement->target;
    delete pElement;
    // Last: releasing the target may destroy it, and its destructor may come back here.
    target->release();
}

void ZTActionManager::addAction(ZTAction* pAction, ZTNode* pTarget, bool paused)
{
    ZTAssert(pAction != nullptr, "pAction != __null");
    ZTAssert(pTarget != nullptr, "pTarget != __null");

    _hashElement* pElement = findElement(pTarget);
    if (!pElement) {
        pElement = new _hashElement();
        pElement->paused = paused;
        pElement->target = pTarget;
        pTarget->retain();
        m_pTargets.emplace(pTarget, pElement);
        pElement->prev = m_pLast;
        (m_pLast ? m_pLast->next : m_pFirst) = pElement;
        m_pLast = pElement;
    }

    if (!pElement->actions) {
        pElement->actions = arrayNew(4);
    } else {
        arrayEnsureExtraCapacity(pElement->actions, 1);
    }
    ZTAssert(arrayIndexOf(pElement->actions, pAction) == ZTArray::kNotFound,
             "! ztArrayContainsObject(pElement->actions, pAction)");
    pElement->actions->arr[pElement->actions->num++] = pAction;
    pAction->retain();

    pAction->startWithTarget(pTarget);
}

void ZTActionManager::removeAllActions()
{
    _hashElement* pNext = nullptr;
    m_cursors.push_back(&pNext);
    for (_hashElement* pElement = m_pFirst; pElement; pElement = pNext) {
        pNext = pElement->next;
        removeAllActionsFromTarget(pElement->target);
    }
    m_cursors.pop_back();
}

void ZTActionManager::removeAllActionsFromTarget(ZTObject* pTarget)
{
    if (!pTarget) {
        return;
    }
    _hashElement* pElement = findElement(pTarget);
    if (!pElement) {
        return;
    }
    ztArray* actions = pElement->actions;
    if (actions) {
        if (pElement->currentAction && !pElement->currentActionSalvaged &&
            arrayIndexOf(actions, pElement->currentAction) != ZTArray::kNotFound) {
            pElement->currentAction->retain();
            pElement->currentActionSalvaged = true;
        }
        while (actions->num > 0) {
            actions->arr[--actions->num]->release();
        }
    }
    if (m_pCurrentTarget == pElement) {
        m_bCurrentTargetSalvaged = true;
    } else {
        deleteHashElement(pElement);
    }
}

void ZTActionManager::removeActionAtIndex(unsigned int uIndex, _hashElement* pElement)
{
    ztArray* actions = pElement->actions;
    auto* pAction = static_cast<ZTAction*>(actions->arr[uIndex]);
    if (pAction == pElement->currentAction && !pElement->currentActionSalvaged) {
        pElement->currentAction->retain();
        pElement->currentActionSalvaged = true;
    }

    for (unsigned int i = uIndex; i + 1 < actions->num; ++i) {
        actions->arr[i] = actions->arr[i + 1];
    }
    --actions->num;
    pAction->release();

    // The loop's next increment lands on the action that followed the removed one.
    if (pElement->actionIndex >= uIndex) {
        --pElement->actionIndex;
    }

    if (actions->num == 0) {
        if (m_pCurrentTarget == pElement) {
            m_bCurrentTargetSalvaged = true;
        } else {
            deleteHashElement(pElement);
        }
    }
}

void ZTActionManager::removeAction(ZTAction* pAction)
{
    if (!pAction) {
        return;
    }
    _hashElement* pElement = findElement(pAction->getOriginalTarget());
    if (!pElement || !pElement->actions) {
        return;
    }
    unsigned int i = arrayIndexOf(pElement->actions, pAction);
    if (i != ZTArray::kNotFound) {
        removeActionAtIndex(i, pElement);
    }
}

void ZTActionManager::removeActionByTag(unsigned int tag, ZTObject* pTarget)
{
    ZTAssert(static_cast<int>(tag) != kZTActionTagInvalid, "(int)tag != kZTActionTagInvalid");
    ZTAssert(pTarget != nullptr, "pTarget != __null");
    _hashElement* pElement = findElement(pTarget);
    if (!pElement || !pElement->actions) {
        return;
    }
    for (unsigned int i = 0; i < pElement->actions->num; ++i) {
        auto* pAction = static_cast<ZTAction*>(pElement->actions->arr[i]);
        if (pAction->getTag() == static_cast<int>(tag) && pAction->getOriginalTarget() == pTarget) {
            removeActionAtIndex(i, pElement);
            return;
        }
    }
}

ZTAction* ZTActionManager::getActionByTag(unsigned int tag, ZTObject* pTarget)
{
    ZTAssert(static_cast<int>(tag) != kZTActionTagInvalid, "(int)tag != kZTActionTagInvalid");
    _hashElement* pElement = findElement(pTarget);
    if (!pElement || !pElement->actions) {
        return nullptr;
    }
    for (unsigned int i = 0; i < pElement->actions->num; ++i) {
        auto* pAction = static_cast<ZTAction*>(pElement->actions->arr[i]);
        if (pAction->getTag() == static_cast<int>(tag)) {
            return pAction;
        }
    }
    return nullptr;
}

unsigned int ZTActionManager::numberOfRunningActionsInTarget(ZTObject* pTarget)
{
    _hashElement* pElement = findElement(pTarget);
    return pElement && pElement->actions ? pElement->actions->num : 0;
}

void ZTActionManager::pauseTarget(ZTObject* pTarget)
{
    if (_hashElement* pElement = findElement(pTarget)) {
        pElement->paused = true;
    }
}

void ZTActionManager::resumeTarget(ZTObject* pTarget)
{
    if (_hashElement* pElement = findElement(pTarget)) {
        pElement->paused = false;
    }
}

void ZTActionManager::update(float dt)
{
    _hashElement* pNext = nullptr;
    m_cursors.push_back(&pNext);
    for (_hashElement* pElement = m_pFirst; pElement; pElement = pNext) {
        m_pCurrentTarget = pElement;
        m_bCurrentTargetSalvaged = false;

        if (!pElement->paused) {
            // The count is read again every round: actions may be added or removed during a step.
            for (pElement->actionIndex = 0; pElement->actionIndex < pElement->actions->num;
                 ++pElement->actionIndex) {
                pElement->currentAction =
                    static_cast<ZTAction*>(pElement->actions->arr[pElement->actionIndex]);
                if (!pElement->currentAction) {
                    continue;
                }
                pElement->currentActionSalvaged = false;
                pElement->currentAction->step(dt);

                if (pElement->currentActionSalvaged) {
                    // Removed during its own step; only the salvage reference was left.
                    pElement->currentAction->release();
                } else if (pElement->currentAction->isDone()) {
                    pElement->currentAction->stop();
                    ZTAction* pAction = pElement->currentAction;
                    pElement->currentAction = nullptr;
                    if (pElement->currentActionSalvaged) {
                        // Its stop() removed it (stopAllActions on its node, for one): let go of the
                        // salvage reference, which is all that is left of it.
                        pAction->release();
                    } else {
                        removeAction(pAction);
                    }
                }
                pElement->currentAction = nullptr;
            }
        }

        pNext = pElement->next;
        m_pCurrentTarget = nullptr;
        if (m_bCurrentTargetSalvaged && pElement->actions->num == 0) {
            deleteHashElement(pElement);
        }
    }
    m_cursors.pop_back();
}

} // namespace zanth2d
