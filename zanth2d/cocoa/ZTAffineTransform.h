#pragma once

#include "cocoa/ZTGeometry.h"

namespace zanth2d {

// Maps (x, y) to (a·x + c·y + tx, b·x + d·y + ty). Angles are in radians.
struct ZTAffineTransform
{
    float a, b, c, d;
    float tx, ty;
};

inline constexpr ZTAffineTransform ZTAffineTransformIdentity{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

ZTAffineTransform __ZTAffineTransformMake(float a, float b, float c, float d, float tx, float ty);
ZTAffineTransform ZTAffineTransformMakeIdentity();

// Evaluated in double precision, rounded to float once at the end.
ZTPoint __ZTPointApplyAffineTransform(const ZTPoint& point, const ZTAffineTransform& t);
// Like a point, without the translation.
ZTSize __ZTSizeApplyAffineTransform(const ZTSize& size, const ZTAffineTransform& t);
// The axis-aligned bounds of the four transformed corners.
ZTRect ZTRectApplyAffineTransform(const ZTRect& rect, const ZTAffineTransform& t);

// Translation in t's own space (applied before t).
ZTAffineTransform ZTAffineTransformTranslate(const ZTAffineTransform& t, float tx, float ty);
ZTAffineTransform ZTAffineTransformScale(const ZTAffineTransform& t, float sx, float sy);
ZTAffineTransform ZTAffineTransformRotate(const ZTAffineTransform& t, float angle);
// t1 first, then t2.
ZTAffineTransform ZTAffineTransformConcat(const ZTAffineTransform& t1, const ZTAffineTransform& t2);
// A singular transform gives infinities; there is no check.
ZTAffineTransform ZTAffineTransformInvert(const ZTAffineTransform& t);
bool ZTAffineTransformEqualToTransform(const ZTAffineTransform& t1, const ZTAffineTransform& t2);

} // namespace zanth2d
