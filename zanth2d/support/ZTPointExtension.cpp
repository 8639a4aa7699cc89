#include "support/ZTPointExtension.h"

#include <cfloat>
#include <cmath>

namespace zanth2d {

float ztpLength(const ZTPoint& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y);
}

float ztpDistance(const ZTPoint& v1, const ZTPoint& v2)
{
    return ztpLength(ztpSub(v1, v2));
}

ZTPoint ztpNormalize(const ZTPoint& v)
{
    return ztpMult(v, 1.0f / ztpLength(v));
}

ZTPoint ztpForAngle(float a)
{
    return ZTPoint(std::cos(a), std::sin(a));
}

float ztpToAngle(const ZTPoint& v)
{
    return std::atan2(v.y, v.x);
}

ZTPoint ztpLerp(const ZTPoint& a, const ZTPoint& b, float alpha)
{
    return ztpAdd(ztpMult(a, 1.0f - alpha), ztpMult(b, alpha));
}

float clampf(float value, float min_inclusive, float max_inclusive)
{
    if (min_inclusive > max_inclusive) {
        const float swap = min_inclusive;
        min_inclusive = max_inclusive;
        max_inclusive = swap;
    }
    return value < min_inclusive ? min_inclusive : (value < max_inclusive ? value : max_inclusive);
}

ZTPoint ztpClamp(const ZTPoint& p, const ZTPoint& min_inclusive, const ZTPoint& max_inclusive)
{
    return ZTPoint(clampf(p.x, min_inclusive.x, max_inclusive.x),
                   clampf(p.y, min_inclusive.y, max_inclusive.y));
}

ZTPoint ztpFromSize(const ZTSize& s)
{
    return ZTPoint(s.width, s.height);
}

ZTPoint ztpCompOp(const ZTPoint& p, float (*opFunc)(float))
{
    return ZTPoint(opFunc(p.x), opFunc(p.y));
}

ZTPoint ztpCompMult(const ZTPoint& a, const ZTPoint& b)
{
    return ZTPoint(a.x * b.x, a.y * b.y);
}

bool ztpFuzzyEqual(const ZTPoint& a, const ZTPoint& b, float variance)
{
    return a.x - variance <= b.x && b.x <= a.x + variance && a.y - variance <= b.y && b.y <= a.y + variance;
}

float ztpAngle(const ZTPoint& a, const ZTPoint& b)
{
    // Rounding can push the dot product of two unit vectors just past 1, where acos has no answer.
    const float cosine = clampf(ztpDot(ztpNormalize(a), ztpNormalize(b)), -1.0f, 1.0f);
    const float angle = std::acos(cosine);
    if (std::fabs(angle) < FLT_EPSILON) {
        return 0.0f;
    }
    return angle;
}

float ztpAngleSigned(const ZTPoint& a, const ZTPoint& b)
{
    const ZTPoint a2 = ztpNormalize(a);
    const ZTPoint b2 = ztpNormalize(b);
    const float angle = std::atan2(a2.x * b2.y - a2.y * b2.x, ztpDot(a2, b2));
    if (std::fabs(angle) < FLT_EPSILON) {
        return 0.0f;
    }
    return angle;
}

ZTPoint ztpRotateByAngle(const ZTPoint& v, const ZTPoint& pivot, float angle)
{
    const ZTPoint r = ztpSub(v, pivot);
    const float cosa = std::cos(angle);
    const float sina = std::sin(angle);
    return ZTPoint(r.x * cosa - r.y * sina + pivot.x, r.y * cosa + r.x * sina + pivot.y);
}

bool ztpLineIntersect(const ZTPoint& A, const ZTPoint& B, const ZTPoint& C, const ZTPoint& D, float* S,
                      float* T)
{
    if (ZTPoint::ZTPointEqualToPoint(A, B) || ZTPoint::ZTPointEqualToPoint(C, D)) {
        return false;
    }
    const float BAx = B.x - A.x;
    const float BAy = B.y - A.y;
    const float DCx = D.x - C.x;
    const float DCy = D.y - C.y;
    const float ACx = A.x - C.x;
    const float ACy = A.y - C.y;

    const float denom = DCy * BAx - DCx * BAy;
    *S = DCx * ACy - DCy * ACx;
    *T = BAx * ACy - BAy * ACx;

    if (denom == 0) {
        return *S == 0 || *T == 0;
    }
    *S = *S / denom;
    *T = *T / denom;
    return true;
}

bool ztpSegmentIntersect(const ZTPoint& A, const ZTPoint& B, const ZTPoint& C, const ZTPoint& D)
{
    float S = 0;
    float T = 0;
    return ztpLineIntersect(A, B, C, D, &S, &T) && S >= 0.0f && S <= 1.0f && T >= 0.0f && T <= 1.0f;
}

ZTPoint ztpIntersectPoint(const ZTPoint& A, const ZTPoint& B, const ZTPoint& C, const ZTPoint& D)
{
    float S = 0;
    float T = 0;
    if (ztpLineIntersect(A, B, C, D, &S, &T)) {
        return ztpAdd(A, ztpMult(ztpSub(B, A), S));
    }
    return ZTPointZero;
}

} // namespace zanth2d
