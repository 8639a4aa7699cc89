#pragma once

// Maps progress 0.0 to 1.0 onto a value between start and end along a curve. Progress at or past 1.0
// gives exactly end; progress below 0.0 is not clamped.
class ZAFloatInterpolator
{
public:
    enum Type
    {
        kLinear = 0,
        kSCurve = 1,
        kExponential = 2
    };

    ZAFloatInterpolator(int interpolationType, float startValue, float endValue);

    // An unknown type answers 0.0 below progress 1.0.
    float interpolate(float t) const;

    float start() const { return m_start; }
    void setStart(float start) { m_start = start; }
    float end() const { return m_end; }
    void setEnd(float end) { m_end = end; }
    int interpolationType() const { return m_interpolationType; }
    void setInterpolationType(int type) { m_interpolationType = type; }

private:
    float m_start;
    float m_end;
    int m_interpolationType;
};
