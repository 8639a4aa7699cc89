#pragma once

#include "actions/ZTAction.h"
#include "cocoa/ZTGeometry.h"

namespace zanth2d {

class ZTNode;

// Call-back selectors: member functions of a ZTObject subclass, cast with the macros below.
typedef void (ZTObject::*SEL_CallFunc)();
typedef void (ZTObject::*SEL_CallFuncN)(ZTNode*);
typedef void (ZTObject::*SEL_CallFuncND)(ZTNode*, void*);
typedef void (ZTObject::*SEL_CallFuncO)(ZTObject*);

#define callfunc_selector(_SELECTOR) static_cast<zanth2d::SEL_CallFunc>(&_SELECTOR)
#define callfuncN_selector(_SELECTOR) static_cast<zanth2d::SEL_CallFuncN>(&_SELECTOR)
#define callfuncND_selector(_SELECTOR) static_cast<zanth2d::SEL_CallFuncND>(&_SELECTOR)
#define callfuncO_selector(_SELECTOR) static_cast<zanth2d::SEL_CallFuncO>(&_SELECTOR)

// An action without duration: its whole work happens in startWithTarget, so it runs the moment a
// node or an enclosing sequence starts it, and again on every restart.
class ZTActionInstant : public ZTFiniteTimeAction
{
public:
    ZTObject* copyWithZone(ZTZone* pZone) override;
    bool isDone() override;
    void step(float dt) override;
    void update(float t) override;
    ZTFiniteTimeAction* reverse() override;
};

class ZTShow : public ZTActionInstant
{
public:
    static ZTShow* action();

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    ZTFiniteTimeAction* reverse() override;
};

class ZTHide : public ZTActionInstant
{
public:
    static ZTHide* action();

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    ZTFiniteTimeAction* reverse() override;
};

// Reads the visibility when it starts and sets the opposite.
class ZTToggleVisibility : public ZTActionInstant
{
public:
    static ZTToggleVisibility* action();

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
};

// Sets the target's position, in points.
class ZTPlace : public ZTActionInstant
{
public:
    static ZTPlace* actionWithPosition(const ZTPoint& pos);
    bool initWithPosition(const ZTPoint& pos);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;

protected:
    ZTPoint m_tPosition;
};

// Calls a member function of the selector target, which the action retains; a null selector calls
// nothing.
class ZTCallFunc : public ZTActionInstant
{
public:
    ~ZTCallFunc() override;

    static ZTCallFunc* actionWithTarget(ZTObject* pSelectorTarget, SEL_CallFunc selector);
    virtual bool initWithTarget(ZTObject* pSelectorTarget);
    virtual void execute();

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;

    ZTObject* getTargetCallback() const { return m_pSelectorTarget; }
    // Retains the new target, then releases the old one.
    void setTargetCallback(ZTObject* pSelectorTarget);

protected:
    ZTObject* m_pSelectorTarget = nullptr;
    SEL_CallFunc m_pCallFunc = nullptr;
};

// Calls the selector with the action's target node.
class ZTCallFuncN : public ZTCallFunc
{
public:
    static ZTCallFuncN* actionWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncN selector);
    using ZTCallFunc::initWithTarget;
    virtual bool initWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncN selector);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void execute() override;

protected:
    SEL_CallFuncN m_pCallFuncN = nullptr;
};

// Calls the selector with the action's target node and a data pointer that the action does not own.
class ZTCallFuncND : public ZTCallFuncN
{
public:
    static ZTCallFuncND* actionWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncND selector, void* d);
    using ZTCallFuncN::initWithTarget;
    virtual bool initWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncND selector, void* d);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void execute() override;

protected:
    SEL_CallFuncND m_pCallFuncND = nullptr;
    void* m_pData = nullptr;
};

// Calls the selector with an object that the action retains.
class ZTCallFuncO : public ZTCallFunc
{
public:
    ~ZTCallFuncO() override;

    static ZTCallFuncO* actionWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncO selector,
                                         ZTObject* pObject);
    using ZTCallFunc::initWithTarget;
    virtual bool initWithTarget(ZTObject* pSelectorTarget, SEL_CallFuncO selector, ZTObject* pObject);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void execute() override;

    ZTObject* getObject() const { return m_pObject; }

protected:
    SEL_CallFuncO m_pCallFuncO = nullptr;
    ZTObject* m_pObject = nullptr;
};

} // namespace zanth2d
