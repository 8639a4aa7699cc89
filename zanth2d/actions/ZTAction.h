#pragma once

#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTNode;
class ZTActionInterval;

enum
{
    kZTActionTagInvalid = -1
};

// Something that changes a node over time. The action manager binds it with startWithTarget, steps it
// once per frame with the frame's delta time, asks isDone after every step and calls stop once it is done.
class ZTAction : public ZTObject
{
public:
    ZTAction();
    ~ZTAction() override;

    static ZTAction* action();

    ZTObject* copyWithZone(ZTZone* pZone) override;
    // A malloc'ed text "<ZTAction | Tag = n>"; the caller frees it.
    char* description();

    // t is the normalised time: 0 at the start, 1 at the end; easing may pass values outside [0, 1].
    void update(float t) override;
    virtual bool isDone();
    // Binds the action to the node and captures its start values; called again on every restart.
    virtual void startWithTarget(ZTNode* pTarget);
    virtual void stop();
    // dt in seconds.
    virtual void step(float dt);

    ZTNode* getTarget() const { return m_pTarget; }
    void setTarget(ZTNode* pTarget) { m_pTarget = pTarget; }
    // The node of the last start; kept after stop, so the manager can still find the action's entry.
    ZTNode* getOriginalTarget() const { return m_pOriginalTarget; }
    void setOriginalTarget(ZTNode* pOriginalTarget) { m_pOriginalTarget = pOriginalTarget; }
    int getTag() const { return m_nTag; }
    void setTag(int nTag) { m_nTag = nTag; }

protected:
    // The zone's object when it has one; otherwise a new T, which pZone then points to through local.
    template <typename T> static T* copyObjectForZone(ZTZone*& pZone, ZTZone& local)
    {
        if (pZone && pZone->m_pCopyObject) {
            return static_cast<T*>(pZone->m_pCopyObject);
        }
        T* pCopy = new T();
        local.m_pCopyObject = pCopy;
        pZone = &local;
        return pCopy;
    }

    ZTNode* m_pOriginalTarget = nullptr; // not retained
    ZTNode* m_pTarget = nullptr;         // not retained
    int m_nTag = kZTActionTagInvalid;
};

// An action with a fixed duration in seconds, which can be played backwards.
class ZTFiniteTimeAction : public ZTAction
{
public:
    float getDuration() const { return m_fDuration; }
    void setDuration(float duration) { m_fDuration = duration; }

    // A new autoreleased action that plays this one backwards; null when there is none.
    virtual ZTFiniteTimeAction* reverse();

protected:
    float m_fDuration = 0;
};

// Runs the inner action faster or slower; speed may change between steps.
class ZTSpeed : public ZTAction
{
public:
    ~ZTSpeed() override;

    static ZTSpeed* actionWithAction(ZTActionInterval* pAction, float fSpeed);
    bool initWithAction(ZTActionInterval* pAction, float fSpeed);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void stop() override;
    void step(float dt) override;
    bool isDone() override;
    // A new autoreleased speed action over the inner action's reverse.
    virtual ZTSpeed* reverse();

    float getSpeed() const { return m_fSpeed; }
    void setSpeed(float fSpeed) { m_fSpeed = fSpeed; }
    ZTActionInterval* getInnerAction() const { return m_pInnerAction; }
    // Retains the new action (which may be null) and releases the old one.
    void setInnerAction(ZTActionInterval* pAction);

protected:
    float m_fSpeed = 0;
    ZTActionInterval* m_pInnerAction = nullptr;
};

// Keeps its target (typically a layer) positioned so that the followed node stays at the screen's
// centre, optionally clamped so that the world boundary never leaves the screen.
class ZTFollow : public ZTAction
{
public:
    ~ZTFollow() override;

    static ZTFollow* actionWithTarget(ZTNode* pFollowedNode);
    // rect: the world boundary, in points.
    static ZTFollow* actionWithTarget(ZTNode* pFollowedNode, const ZTRect& rect);
    bool initWithTarget(ZTNode* pFollowedNode);
    bool initWithTarget(ZTNode* pFollowedNode, const ZTRect& rect);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void step(float dt) override;
    bool isDone() override;
    void stop() override;

    bool isBoundarySet() const { return m_bBoundarySet; }

protected:
    void setFollowedNode(ZTNode* pFollowedNode);

    ZTNode* m_pobFollowedNode = nullptr; // retained
    bool m_bBoundarySet = false;
    bool m_bBoundaryFullyCovered = false;
    ZTPoint m_obHalfScreenSize;
    ZTPoint m_obFullScreenSize;
    float m_fLeftBoundary = 0;
    float m_fRightBoundary = 0;
    float m_fTopBoundary = 0;
    float m_fBottomBoundary = 0;
};

} // namespace zanth2d
