#pragma once

#include <cstdint>

#include "ZTTypes.h"
#include "actions/ZTAction.h"
#include "cocoa/ZTGeometry.h"

namespace zanth2d {

class ZTArray;

// An action that runs for a duration in seconds. A duration of exactly 0 is stored as the float
// epsilon, so that elapsed / duration stays a number. The first step after every start applies
// update(0) and consumes no time; the action is done once the later steps add up to its duration.
class ZTActionInterval : public ZTFiniteTimeAction
{
public:
    static ZTActionInterval* actionWithDuration(float d);
    bool initWithDuration(float d);

    float getElapsed() const { return m_elapsed; }

    ZTObject* copyWithZone(ZTZone* pZone) override;
    bool isDone() override;
    void step(float dt) override;
    void startWithTarget(ZTNode* pTarget) override;
    ZTActionInterval* reverse() override;

    // Only actions with an amplitude (the grid effects) take a rate; on any other both are programming errors.
    virtual void setAmplitudeRate(float amp);
    virtual float getAmplitudeRate();

protected:
    float m_elapsed = 0;
    bool m_bFirstTick = true;
};

// Runs one action, then the other. Longer lists nest from the left: ((a, b), c).
class ZTSequence : public ZTActionInterval
{
public:
    ~ZTSequence() override;

    static ZTSequence* actionOneTwo(ZTFiniteTimeAction* pActionOne, ZTFiniteTimeAction* pActionTwo);
    // A null-terminated list; a single action is returned itself, an empty list gives null.
    static ZTFiniteTimeAction* actions(ZTFiniteTimeAction* pAction1, ...);
    // The array must not be empty; a single element is returned itself.
    static ZTFiniteTimeAction* actionsWithArray(ZTArray* actions);
    bool initOneTwo(ZTFiniteTimeAction* pActionOne, ZTFiniteTimeAction* pActionTwo);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void stop() override;
    void update(float t) override;
    ZTActionInterval* reverse() override;

protected:
    ZTFiniteTimeAction* m_pActions[2] = {nullptr, nullptr};
    float m_split = 0;
    int m_last = -1;
};

// Runs an action a number of times; one update finishes at most one repetition.
class ZTRepeat : public ZTActionInterval
{
public:
    ~ZTRepeat() override;

    static ZTRepeat* actionWithAction(ZTFiniteTimeAction* pAction, unsigned int times);
    bool initWithAction(ZTFiniteTimeAction* pAction, unsigned int times);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void stop() override;
    void update(float t) override;
    bool isDone() override;
    ZTActionInterval* reverse() override;

    ZTFiniteTimeAction* getInnerAction() const { return m_pInnerAction; }

protected:
    unsigned int m_uTimes = 0;
    unsigned int m_uTotal = 0;
    ZTFiniteTimeAction* m_pInnerAction = nullptr;
};

// Restarts its inner action whenever it is done; never done itself.
class ZTRepeatForever : public ZTActionInterval
{
public:
    ~ZTRepeatForever() override;

    static ZTRepeatForever* actionWithAction(ZTActionInterval* pAction);
    bool initWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void step(float dt) override;
    bool isDone() override;
    ZTActionInterval* reverse() override;

    ZTActionInterval* getInnerAction() const { return m_pInnerAction; }

protected:
    ZTActionInterval* m_pInnerAction = nullptr;
};

// Runs two actions at the same time; the shorter one is padded with a delay.
class ZTSpawn : public ZTActionInterval
{
public:
    ~ZTSpawn() override;

    static ZTSpawn* actionOneTwo(ZTFiniteTimeAction* pAction1, ZTFiniteTimeAction* pAction2);
    static ZTFiniteTimeAction* actions(ZTFiniteTimeAction* pAction1, ...);
    static ZTFiniteTimeAction* actionsWithArray(ZTArray* actions);
    bool initOneTwo(ZTFiniteTimeAction* pAction1, ZTFiniteTimeAction* pAction2);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void stop() override;
    void update(float t) override;
    ZTActionInterval* reverse() override;

protected:
    ZTFiniteTimeAction* m_pOne = nullptr;
    ZTFiniteTimeAction* m_pTwo = nullptr;
};

// Plays its inner action from the end to the start.
class ZTReverseTime : public ZTActionInterval
{
public:
    ~ZTReverseTime() override;

    static ZTReverseTime* actionWithAction(ZTFiniteTimeAction* pAction);
    bool initWithAction(ZTFiniteTimeAction* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void stop() override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
    // Passed to the reversed action, so that an amplitude wrapper can drive a reversed grid effect.
    void setAmplitudeRate(float amp) override;
    float getAmplitudeRate() override;

protected:
    ZTFiniteTimeAction* m_pOther = nullptr;
};

// Waits; changes nothing.
class ZTDelayTime : public ZTActionInterval
{
public:
    static ZTDelayTime* actionWithDuration(float d);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

// Turns the target to an absolute angle (degrees) the short way round.
class ZTRotateTo : public ZTActionInterval
{
public:
    static ZTRotateTo* actionWithDuration(float duration, float fDeltaAngle);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, float fDeltaAngle);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

protected:
    float m_fDstAngle = 0;
    float m_fStartAngle = 0;
    float m_fDiffAngle = 0;
};

// Turns the target by an angle in degrees.
class ZTRotateBy : public ZTActionInterval
{
public:
    static ZTRotateBy* actionWithDuration(float duration, float fDeltaAngle);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, float fDeltaAngle);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;

protected:
    float m_fAngle = 0;
    float m_fStartAngle = 0;
};

// Moves the target to a position in points.
class ZTMoveTo : public ZTActionInterval
{
public:
    static ZTMoveTo* actionWithDuration(float duration, const ZTPoint& position);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, const ZTPoint& position);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

protected:
    ZTPoint m_endPosition;
    ZTPoint m_startPosition;
    ZTPoint m_delta;
};

// Moves the target by an offset in points.
class ZTMoveBy : public ZTMoveTo
{
public:
    static ZTMoveBy* actionWithDuration(float duration, const ZTPoint& position);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, const ZTPoint& position);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    ZTActionInterval* reverse() override;
};

// Skews the target to absolute skew angles in degrees.
class ZTSkewTo : public ZTActionInterval
{
public:
    static ZTSkewTo* actionWithDuration(float t, float sx, float sy);
    using ZTActionInterval::initWithDuration;
    virtual bool initWithDuration(float t, float sx, float sy);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

protected:
    float m_fSkewX = 0;
    float m_fSkewY = 0;
    float m_fStartSkewX = 0;
    float m_fStartSkewY = 0;
    float m_fEndSkewX = 0;
    float m_fEndSkewY = 0;
    float m_fDeltaX = 0;
    float m_fDeltaY = 0;
};

// Skews the target by angles in degrees.
class ZTSkewBy : public ZTSkewTo
{
public:
    static ZTSkewBy* actionWithDuration(float t, float deltaSkewX, float deltaSkewY);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float t, float deltaSkewX, float deltaSkewY) override;

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    ZTActionInterval* reverse() override;
};

// Moves the target by an offset in a number of parabolic jumps of the given height (points).
class ZTJumpBy : public ZTActionInterval
{
public:
    static ZTJumpBy* actionWithDuration(float duration, const ZTPoint& position, float height,
                                        unsigned int jumps);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, const ZTPoint& position, float height, unsigned int jumps);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;

protected:
    ZTPoint m_startPosition;
    ZTPoint m_delta;
    float m_height = 0;
    unsigned int m_nJumps = 0;
};

// Jumps the target to a position; the offset is taken afresh from the position at every start.
class ZTJumpTo : public ZTJumpBy
{
public:
    static ZTJumpTo* actionWithDuration(float duration, const ZTPoint& position, float height, int jumps);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;

protected:
    ZTPoint m_endPosition;
};

// A cubic Bezier curve: the end point and two control points.
typedef struct _ztBezierConfig
{
    ZTPoint endPosition;
    ZTPoint controlPoint_1;
    ZTPoint controlPoint_2;
} ztBezierConfig;

// Moves the target along a Bezier curve whose points are relative to its start position.
class ZTBezierBy : public ZTActionInterval
{
public:
    static ZTBezierBy* actionWithDuration(float t, const ztBezierConfig& c);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float t, const ztBezierConfig& c);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;

protected:
    ztBezierConfig m_sConfig{};
    ZTPoint m_startPosition;
};

// Moves the target along a Bezier curve given in absolute points; the curve is made relative to the
// position at every start.
class ZTBezierTo : public ZTBezierBy
{
public:
    static ZTBezierTo* actionWithDuration(float t, const ztBezierConfig& c);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;

protected:
    ztBezierConfig m_sToConfig{};
};

// Scales the target to absolute factors.
class ZTScaleTo : public ZTActionInterval
{
public:
    static ZTScaleTo* actionWithDuration(float duration, float s);
    static ZTScaleTo* actionWithDuration(float duration, float sx, float sy);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, float s);
    bool initWithDuration(float duration, float sx, float sy);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

protected:
    float m_fStartScaleX = 0;
    float m_fStartScaleY = 0;
    float m_fEndScaleX = 0;
    float m_fEndScaleY = 0;
    float m_fDeltaX = 0;
    float m_fDeltaY = 0;
};

// Multiplies the target's scale by factors.
class ZTScaleBy : public ZTScaleTo
{
public:
    static ZTScaleBy* actionWithDuration(float duration, float s);
    static ZTScaleBy* actionWithDuration(float duration, float sx, float sy);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    ZTActionInterval* reverse() override;
};

// Shows and hides the target a number of times.
class ZTBlink : public ZTActionInterval
{
public:
    static ZTBlink* actionWithDuration(float duration, unsigned int uBlinks);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, unsigned int uBlinks);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;

protected:
    unsigned int m_nTimes = 0;
};

// Fades and tints act on targets with the colour-and-opacity interface and leave others alone.
class ZTFadeIn : public ZTActionInterval
{
public:
    static ZTFadeIn* actionWithDuration(float d);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTFadeOut : public ZTActionInterval
{
public:
    static ZTFadeOut* actionWithDuration(float d);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTFadeTo : public ZTActionInterval
{
public:
    static ZTFadeTo* actionWithDuration(float duration, GLubyte opacity);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, GLubyte opacity);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

protected:
    GLubyte m_toOpacity = 0;
    GLubyte m_fromOpacity = 0;
};

class ZTTintTo : public ZTActionInterval
{
public:
    static ZTTintTo* actionWithDuration(float duration, GLubyte red, GLubyte green, GLubyte blue);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, GLubyte red, GLubyte green, GLubyte blue);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;

protected:
    ztColor3B m_to{};
    ztColor3B m_from{};
};

class ZTTintBy : public ZTActionInterval
{
public:
    static ZTTintBy* actionWithDuration(float duration, GLshort deltaRed, GLshort deltaGreen,
                                        GLshort deltaBlue);
    using ZTActionInterval::initWithDuration;
    bool initWithDuration(float duration, GLshort deltaRed, GLshort deltaGreen, GLshort deltaBlue);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;

protected:
    GLshort m_deltaR = 0;
    GLshort m_deltaG = 0;
    GLshort m_deltaB = 0;
    GLshort m_fromR = 0;
    GLshort m_fromG = 0;
    GLshort m_fromB = 0;
};

} // namespace zanth2d
