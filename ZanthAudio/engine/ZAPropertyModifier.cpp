#include "engine/ZAPropertyModifier.h"

ZAPropertyModifier::ZAPropertyModifier(int interpolationType, float startValue, float endValue)
    : m_interpolator(interpolationType, startValue, endValue), m_startValue(startValue), m_endValue(endValue)
{
}

void ZAPropertyModifier::modify(float t)
{
    if (t < 1.0f) {
        setTargetProperty(m_interpolator.interpolate(t));
        return;
    }
    setTargetProperty(m_endValue);
    if (m_stopTargetWhenComplete)
        stopTarget();
}

void ZAPropertyModifier::setStartValue(float startValue)
{
    m_startValue = startValue;
    m_interpolator.setStart(startValue);
}

void ZAPropertyModifier::setEndValue(float endValue)
{
    m_endValue = endValue;
    m_interpolator.setEnd(endValue);
}
