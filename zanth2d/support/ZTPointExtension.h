#pragma once

#include "cocoa/ZTGeometry.h"

namespace zanth2d {

// Vector math on ZTPoint, in floats. Angles are in radians.

inline ZTPoint ztpNeg(const ZTPoint& v)
{
    return ZTPoint(-v.x, -v.y);
}

inline ZTPoint ztpAdd(const ZTPoint& v1, const ZTPoint& v2)
{
    return ZTPoint(v1.x + v2.x, v1.y + v2.y);
}

inline ZTPoint ztpSub(const ZTPoint& v1, const ZTPoint& v2)
{
    return ZTPoint(v1.x - v2.x, v1.y - v2.y);
}

inline ZTPoint ztpMult(const ZTPoint& v, float s)
{
    return ZTPoint(v.x * s, v.y * s);
}

inline float ztpDot(const ZTPoint& v1, const ZTPoint& v2)
{
    return v1.x * v2.x + v1.y * v2.y;
}

// The z of the 3D cross product: positive when v2 lies counter-clockwise of v1.
inline float ztpCross(const ZTPoint& v1, const ZTPoint& v2)
{
    return v1.x * v2.y - v1.y * v2.x;
}

float ztpLength(const ZTPoint& v);
float ztpDistance(const ZTPoint& v1, const ZTPoint& v2);
// No zero check: the zero vector gives NaNs.
ZTPoint ztpNormalize(const ZTPoint& v);

// The unit vector at angle a.
ZTPoint ztpForAngle(float a);
float ztpToAngle(const ZTPoint& v);

ZTPoint ztpLerp(const ZTPoint& a, const ZTPoint& b, float alpha);

// Bounds given in the wrong order are swapped first.
float clampf(float value, float min_inclusive, float max_inclusive);
ZTPoint ztpClamp(const ZTPoint& p, const ZTPoint& min_inclusive, const ZTPoint& max_inclusive);

ZTPoint ztpFromSize(const ZTSize& s);
// f applied to each component.
ZTPoint ztpCompOp(const ZTPoint& p, float (*opFunc)(float));
ZTPoint ztpCompMult(const ZTPoint& a, const ZTPoint& b);
// True when b lies within variance of a on both axes.
bool ztpFuzzyEqual(const ZTPoint& a, const ZTPoint& b, float variance);

// Unsigned angle between two vectors, in [0, π]; exactly 0 below the float epsilon.
float ztpAngle(const ZTPoint& a, const ZTPoint& b);
// Angle from a to b, counter-clockwise positive, in (-π, π]; exactly 0 below the float epsilon.
float ztpAngleSigned(const ZTPoint& a, const ZTPoint& b);

// v turned by angle around pivot.
ZTPoint ztpRotateByAngle(const ZTPoint& v, const ZTPoint& pivot, float angle);

// Whether lines AB and CD meet; S and T (both required) receive the hit's parameters along AB and CD.
// Parallel lines are false, coincident ones true with S and T left undivided. A degenerate line
// (A equal to B, or C to D) is false and leaves S and T untouched.
bool ztpLineIntersect(const ZTPoint& A, const ZTPoint& B, const ZTPoint& C, const ZTPoint& D, float* S,
                      float* T);
bool ztpSegmentIntersect(const ZTPoint& A, const ZTPoint& B, const ZTPoint& C, const ZTPoint& D);
// Where lines AB and CD meet, or ZTPointZero when they don't.
ZTPoint ztpIntersectPoint(const ZTPoint& A, const ZTPoint& B, const ZTPoint& C, const ZTPoint& D);

} // namespace zanth2d
