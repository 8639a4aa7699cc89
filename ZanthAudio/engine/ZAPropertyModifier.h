#pragma once

#include "engine/ZAFloatInterpolator.h"

// A timed change of one audio property: each modify(t) sets the target's property to the value at
// progress t, and at t >= 1.0 to the end value, stopping the target then when asked to. The caller
// keeps time. Subclasses bind it to a target and a property.
class ZAPropertyModifier
{
public:
    ZAPropertyModifier(int interpolationType, float startValue, float endValue);
    virtual ~ZAPropertyModifier() = default;

    void modify(float t);

    float startValue() const { return m_startValue; }
    // The curve follows: later modifications start from the new value.
    void setStartValue(float startValue);
    float endValue() const { return m_endValue; }
    void setEndValue(float endValue);
    int interpolationType() const { return m_interpolator.interpolationType(); }
    void setInterpolationType(int type) { m_interpolator.setInterpolationType(type); }
    bool stopTargetWhenComplete() const { return m_stopTargetWhenComplete; }
    void setStopTargetWhenComplete(bool stop) { m_stopTargetWhenComplete = stop; }
    // The target's current value of the property (0.0 without a target).
    virtual float targetProperty() const { return 0.0f; }

protected:
    virtual void setTargetProperty(float) {}
    virtual void stopTarget() {}

private:
    ZAFloatInterpolator m_interpolator;
    float m_startValue;
    float m_endValue;
    bool m_stopTargetWhenComplete = false;
};
