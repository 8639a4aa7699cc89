#include "cocoa/ZTGeometry.h"

#include "ZTMacros.h"

namespace zanth2d {

bool ZTPoint::ZTPointEqualToPoint(const ZTPoint& point1, const ZTPoint& point2)
{
    return point1.x == point2.x && point1.y == point2.y;
}

bool ZTSize::ZTSizeEqualToSize(const ZTSize& size1, const ZTSize& size2)
{
    return size1.width == size2.width && size1.height == size2.height;
}

ZTRect::ZTRect(float x, float y, float width, float height) : origin(x, y), size(width, height)
{
    ZTAssert(width >= 0 && height >= 0, "width >= 0 && height >= 0");
}

float ZTRect::ZTRectGetMinX(const ZTRect& rect)
{
    return rect.origin.x;
}

float ZTRect::ZTRectGetMaxX(const ZTRect& rect)
{
    return rect.origin.x + rect.size.width;
}

float ZTRect::ZTRectGetMidX(const ZTRect& rect)
{
    return static_cast<float>(static_cast<double>(rect.origin.x) + rect.size.width * 0.5);
}

float ZTRect::ZTRectGetMinY(const ZTRect& rect)
{
    return rect.origin.y;
}

float ZTRect::ZTRectGetMaxY(const ZTRect& rect)
{
    return rect.origin.y + rect.size.height;
}

float ZTRect::ZTRectGetMidY(const ZTRect& rect)
{
    return static_cast<float>(static_cast<double>(rect.origin.y) + rect.size.height * 0.5);
}

bool ZTRect::ZTRectEqualToRect(const ZTRect& rect1, const ZTRect& rect2)
{
    return ZTPoint::ZTPointEqualToPoint(rect1.origin, rect2.origin) &&
           ZTSize::ZTSizeEqualToSize(rect1.size, rect2.size);
}

bool ZTRect::ZTRectContainsPoint(const ZTRect& rect, const ZTPoint& point)
{
    return point.x >= ZTRectGetMinX(rect) && point.x <= ZTRectGetMaxX(rect) &&
           point.y >= ZTRectGetMinY(rect) && point.y <= ZTRectGetMaxY(rect);
}

bool ZTRect::ZTRectIntersectsRect(const ZTRect& rectA, const ZTRect& rectB)
{
    return !(ZTRectGetMinX(rectB) > ZTRectGetMaxX(rectA) || ZTRectGetMinX(rectA) > ZTRectGetMaxX(rectB) ||
             ZTRectGetMinY(rectB) > ZTRectGetMaxY(rectA) || ZTRectGetMinY(rectA) > ZTRectGetMaxY(rectB));
}

} // namespace zanth2d
