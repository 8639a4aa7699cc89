#pragma once

#include "actions/ZTActionInterval.h"

namespace zanth2d {

// Runs an inner interval action over the same duration with a reshaped time: update(t) passes f(t)
// to the inner action's update. Several curves leave [0, 1] between the ends, and the inner action
// extrapolates. The wrapper's own elapsed time decides the end; the inner action is never stepped.
class ZTActionEase : public ZTActionInterval
{
public:
    ~ZTActionEase() override;

    static ZTActionEase* actionWithAction(ZTActionInterval* pAction);
    bool initWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void startWithTarget(ZTNode* pTarget) override;
    void stop() override;
    void update(float t) override;
    ZTActionInterval* reverse() override;

    ZTActionInterval* getInnerAction() const { return m_pOther; }

protected:
    ZTActionInterval* m_pOther = nullptr;
};

// The rate curves: powers of t.
class ZTEaseRateAction : public ZTActionEase
{
public:
    static ZTEaseRateAction* actionWithAction(ZTActionInterval* pAction, float fRate);
    using ZTActionEase::initWithAction;
    bool initWithAction(ZTActionInterval* pAction, float fRate);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    ZTActionInterval* reverse() override;

    float getRate() const { return m_fRate; }
    void setRate(float rate) { m_fRate = rate; }

protected:
    float m_fRate = 0;
};

// The elastic curves; the period is in normalised time.
class ZTEaseElastic : public ZTActionEase
{
public:
    static ZTEaseElastic* actionWithAction(ZTActionInterval* pAction);
    static ZTEaseElastic* actionWithAction(ZTActionInterval* pAction, float fPeriod);
    using ZTActionEase::initWithAction;
    bool initWithAction(ZTActionInterval* pAction, float fPeriod);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    // The plain elastic wrapper is never reversed: a programming error.
    ZTActionInterval* reverse() override;

    float getPeriod() const { return m_fPeriod; }
    void setPeriod(float fPeriod) { m_fPeriod = fPeriod; }

protected:
    float m_fPeriod = 0.3f;
};

// The bounce curves.
class ZTEaseBounce : public ZTActionEase
{
public:
    static ZTEaseBounce* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    float bounceTime(float t);
};

class ZTEaseIn : public ZTEaseRateAction
{
public:
    static ZTEaseIn* actionWithAction(ZTActionInterval* pAction, float fRate);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
};

class ZTEaseOut : public ZTEaseRateAction
{
public:
    static ZTEaseOut* actionWithAction(ZTActionInterval* pAction, float fRate);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
};

class ZTEaseInOut : public ZTEaseRateAction
{
public:
    static ZTEaseInOut* actionWithAction(ZTActionInterval* pAction, float fRate);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseElasticIn : public ZTEaseElastic
{
public:
    static ZTEaseElasticIn* actionWithAction(ZTActionInterval* pAction);
    static ZTEaseElasticIn* actionWithAction(ZTActionInterval* pAction, float fPeriod);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseElasticOut : public ZTEaseElastic
{
public:
    static ZTEaseElasticOut* actionWithAction(ZTActionInterval* pAction);
    static ZTEaseElasticOut* actionWithAction(ZTActionInterval* pAction, float fPeriod);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseElasticInOut : public ZTEaseElastic
{
public:
    static ZTEaseElasticInOut* actionWithAction(ZTActionInterval* pAction);
    static ZTEaseElasticInOut* actionWithAction(ZTActionInterval* pAction, float fPeriod);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseBounceIn : public ZTEaseBounce
{
public:
    static ZTEaseBounceIn* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseBounceOut : public ZTEaseBounce
{
public:
    static ZTEaseBounceOut* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseBounceInOut : public ZTEaseBounce
{
public:
    static ZTEaseBounceInOut* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseExponentialIn : public ZTActionEase
{
public:
    static ZTEaseExponentialIn* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseExponentialOut : public ZTActionEase
{
public:
    static ZTEaseExponentialOut* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseExponentialInOut : public ZTActionEase
{
public:
    static ZTEaseExponentialInOut* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseSineIn : public ZTActionEase
{
public:
    static ZTEaseSineIn* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseSineOut : public ZTActionEase
{
public:
    static ZTEaseSineOut* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseSineInOut : public ZTActionEase
{
public:
    static ZTEaseSineInOut* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseBackIn : public ZTActionEase
{
public:
    static ZTEaseBackIn* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseBackOut : public ZTActionEase
{
public:
    static ZTEaseBackOut* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

class ZTEaseBackInOut : public ZTActionEase
{
public:
    static ZTEaseBackInOut* actionWithAction(ZTActionInterval* pAction);

    ZTObject* copyWithZone(ZTZone* pZone) override;
    void update(float t) override;
    ZTActionInterval* reverse() override;
};

} // namespace zanth2d
