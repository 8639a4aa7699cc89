#include "engine/ZAFloatInterpolator.h"

#include <cmath>

ZAFloatInterpolator::ZAFloatInterpolator(int interpolationType, float startValue, float endValue)
    : m_start(startValue), m_end(endValue), m_interpolationType(interpolationType)
{
}

float ZAFloatInterpolator::interpolate(float t) const
{
    if (t >= 1.0f)
        return m_end;
    const float span = m_end - m_start;
    switch (m_interpolationType) {
    case kLinear:
        return m_start + span * t;
    case kSCurve:
        return m_start + span * static_cast<float>(static_cast<double>(t) * t * (3.0 - 2.0 * t));
    case kExponential:
        if (m_end > m_start) {
            // A slow start, then a fast rise; 0.001 short of the end just before t reaches 1.0.
            const float f = t == 0.0f ? 0.0f : std::pow(2.0f, 10.0f * (t - 1.0f)) - 0.001f;
            return m_start + span * f;
        }
        // A fast fall that flattens out.
        return m_start + span * (1.0f - std::pow(2.0f, -10.0f * t));
    default:
        return 0.0f;
    }
}
