#pragma once

namespace zanth2d {

// A point or vector in points (or pixels where a name says so).
class ZTPoint
{
public:
    constexpr ZTPoint() : x(0.0f), y(0.0f) {}
    constexpr ZTPoint(float fx, float fy) : x(fx), y(fy) {}

    // Exact equality of both fields; a NaN field never compares equal.
    static bool ZTPointEqualToPoint(const ZTPoint& point1, const ZTPoint& point2);

    float x;
    float y;
};

class ZTSize
{
public:
    constexpr ZTSize() : width(0.0f), height(0.0f) {}
    constexpr ZTSize(float w, float h) : width(w), height(h) {}

    static bool ZTSizeEqualToSize(const ZTSize& size1, const ZTSize& size2);

    float width;
    float height;
};

// An axis-aligned rectangle: origin is its minimum corner, the size is never negative.
class ZTRect
{
public:
    constexpr ZTRect() = default;
    // Asserts "width >= 0 && height >= 0": a negative size is a programming error.
    ZTRect(float x, float y, float width, float height);

    static float ZTRectGetMinX(const ZTRect& rect);
    static float ZTRectGetMaxX(const ZTRect& rect);
    static float ZTRectGetMidX(const ZTRect& rect);
    static float ZTRectGetMinY(const ZTRect& rect);
    static float ZTRectGetMaxY(const ZTRect& rect);
    static float ZTRectGetMidY(const ZTRect& rect);

    static bool ZTRectEqualToRect(const ZTRect& rect1, const ZTRect& rect2);
    // Edges are inside.
    static bool ZTRectContainsPoint(const ZTRect& rect, const ZTPoint& point);
    // Rectangles that only touch at an edge intersect.
    static bool ZTRectIntersectsRect(const ZTRect& rectA, const ZTRect& rectB);

    ZTPoint origin;
    ZTSize size;
};

inline constexpr ZTPoint ZTPointZero{};
inline constexpr ZTSize ZTSizeZero{};
inline constexpr ZTRect ZTRectZero{};

} // namespace zanth2d
