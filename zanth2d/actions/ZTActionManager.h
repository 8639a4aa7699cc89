#pragma once

#include <unordered_map>
#include <vector>

#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTAction;
class ZTNode;
struct _hashElement;

// Holds the running actions of every node and steps them once per frame, from the scheduler's tick
// at priority 0. An action may remove itself, other actions or whole targets, or add actions, from
// inside its own step: the entry and action being stepped are kept alive until the step returns.
class ZTActionManager : public ZTObject
{
public:
    ZTActionManager();
    ~ZTActionManager() override;

    // Creates the manager and schedules it on first use.
    static ZTActionManager* sharedManager();
    // Unschedules and releases the shared manager; the next sharedManager() makes a new one.
    static void purgeSharedManager();

    bool init();

    // Retains the action and the target and starts the action on it at once. A new target's entry
    // takes paused from the argument; an existing entry keeps its own paused flag.
    void addAction(ZTAction* pAction, ZTNode* pTarget, bool paused);
    void removeAllActions();
    // None of the remove operations calls the action's stop().
    void removeAllActionsFromTarget(ZTObject* pTarget);
    void removeAction(ZTAction* pAction);
    // Removes the first action of the target with the tag.
    void removeActionByTag(unsigned int tag, ZTObject* pTarget);
    ZTAction* getActionByTag(unsigned int tag, ZTObject* pTarget);
    unsigned int numberOfRunningActionsInTarget(ZTObject* pTarget);
    // A pause given before the target has any action is not remembered.
    void pauseTarget(ZTObject* pTarget);
    void resumeTarget(ZTObject* pTarget);

    // dt in seconds.
    void update(float dt) override;

protected:
    _hashElement* findElement(ZTObject* pTarget) const;
    void removeActionAtIndex(unsigned int uIndex, _hashElement* pElement);
    void deleteHashElement(_hashElement* pElement);

    // Entries by target identity, and in insertion order through their own links.
    std::unordered_map<ZTObject*, _hashElement*> m_pTargets;
    _hashElement* m_pFirst = nullptr;
    _hashElement* m_pLast = nullptr;
    _hashElement* m_pCurrentTarget = nullptr;
    bool m_bCurrentTargetSalvaged = false;
    // Iterations in progress over the entries; deleting an entry moves a cursor that points at it to
    // the following one, because releasing a target can run code that removes further entries.
    std::vector<_hashElement**> m_cursors;
};

} // namespace zanth2d
