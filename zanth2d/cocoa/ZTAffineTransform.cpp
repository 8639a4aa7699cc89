#include "cocoa/ZTAffineTransform.h"

#include <algorithm>
#include <cmath>

namespace zanth2d {

ZTAffineTransform __ZTAffineTransformMake(float a, float b, float c, float d, float tx, float ty)
{
    return ZTAffineTransform{a, b, c, d, tx, ty};
}

ZTAffineTransform ZTAffineTransformMakeIdentity()
{
    return ZTAffineTransformIdentity;
}

ZTPoint __ZTPointApplyAffineTransform(const ZTPoint& point, const ZTAffineTransform& t)
{
    const double x = point.x;
    const double y = point.y;
    return ZTPoint(static_cast<float>(double(t.a) * x + double(t.c) * y + t.tx),
                   static_cast<float>(double(t.b) * x + double(t.d) * y + t.ty));
}

ZTSize __ZTSizeApplyAffineTransform(const ZTSize& size, const ZTAffineTransform& t)
{
    const double w = size.width;
    const double h = size.height;
    return ZTSize(static_cast<float>(double(t.a) * w + double(t.c) * h),
                  static_cast<float>(double(t.b) * w + double(t.d) * h));
}

ZTRect ZTRectApplyAffineTransform(const ZTRect& rect, const ZTAffineTransform& t)
{
    const float top = ZTRect::ZTRectGetMinY(rect);
    const float left = ZTRect::ZTRectGetMinX(rect);
    const float right = ZTRect::ZTRectGetMaxX(rect);
    const float bottom = ZTRect::ZTRectGetMaxY(rect);

    const ZTPoint corners[4] = {
        __ZTPointApplyAffineTransform(ZTPoint(left, top), t),
        __ZTPointApplyAffineTransform(ZTPoint(right, top), t),
        __ZTPointApplyAffineTransform(ZTPoint(left, bottom), t),
        __ZTPointApplyAffineTransform(ZTPoint(right, bottom), t),
    };
    float minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const ZTPoint& corner : corners) {
        minX = std::min(minX, corner.x);
        maxX = std::max(maxX, corner.x);
        minY = std::min(minY, corner.y);
        maxY = std::max(maxY, corner.y);
    }
    // Filled in directly: a transform holding infinities yields a NaN extent, which must not reach
    // the constructor's size assertion.
    ZTRect result;
    result.origin = ZTPoint(minX, minY);
    result.size = ZTSize(maxX - minX, maxY - minY);
    return result;
}

ZTAffineTransform ZTAffineTransformTranslate(const ZTAffineTransform& t, float tx, float ty)
{
    return __ZTAffineTransformMake(t.a, t.b, t.c, t.d, t.a * tx + t.c * ty + t.tx,
                                   t.b * tx + t.d * ty + t.ty);
}

ZTAffineTransform ZTAffineTransformScale(const ZTAffineTransform& t, float sx, float sy)
{
    return __ZTAffineTransformMake(t.a * sx, t.b * sx, t.c * sy, t.d * sy, t.tx, t.ty);
}

ZTAffineTransform ZTAffineTransformRotate(const ZTAffineTransform& t, float angle)
{
    const float fSin = std::sin(angle);
    const float fCos = std::cos(angle);
    return __ZTAffineTransformMake(t.a * fCos + t.c * fSin, t.b * fCos + t.d * fSin, t.c * fCos - t.a * fSin,
                                   t.d * fCos - t.b * fSin, t.tx, t.ty);
}

ZTAffineTransform ZTAffineTransformConcat(const ZTAffineTransform& t1, const ZTAffineTransform& t2)
{
    return __ZTAffineTransformMake(t1.a * t2.a + t1.b * t2.c, t1.a * t2.b + t1.b * t2.d,
                                   t1.c * t2.a + t1.d * t2.c, t1.c * t2.b + t1.d * t2.d,
                                   t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty);
}

ZTAffineTransform ZTAffineTransformInvert(const ZTAffineTransform& t)
{
    const float determinant = 1 / (t.a * t.d - t.b * t.c);
    return __ZTAffineTransformMake(determinant * t.d, -determinant * t.b, -determinant * t.c,
                                   determinant * t.a, determinant * (t.c * t.ty - t.d * t.tx),
                                   determinant * (t.b * t.tx - t.a * t.ty));
}

bool ZTAffineTransformEqualToTransform(const ZTAffineTransform& t1, const ZTAffineTransform& t2)
{
    return t1.a == t2.a && t1.b == t2.b && t1.c == t2.c && t1.d == t2.d && t1.tx == t2.tx && t1.ty == t2.ty;
}

} // namespace zanth2d
