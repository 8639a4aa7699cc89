#include "inputcheck.h"

#include "physicsunits.h"

#include <box2d/b2_settings.h>

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace {
struct Point
{
    double x;
    double y;
};

double cross(const Point& o, const Point& a, const Point& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Counter-clockwise convex hull without collinear points (monotone chain).
std::vector<Point> convexHull(std::vector<Point> points)
{
    std::sort(points.begin(), points.end(),
              [](const Point& a, const Point& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    points.erase(std::unique(points.begin(), points.end(),
                             [](const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }),
                 points.end());
    if (points.size() < 3)
        return {};
    std::vector<Point> hull(2 * points.size());
    size_t k = 0;
    for (const Point& p : points) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0.0)
            --k;
        hull[k++] = p;
    }
    const size_t lower = k + 1;
    for (auto it = points.rbegin() + 1; it != points.rend(); ++it) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], *it) <= 0.0)
            --k;
        hull[k++] = *it;
    }
    hull.resize(k > 0 ? k - 1 : 0);
    return hull;
}

// The smallest distance between two parallel lines that enclose the hull; one of them holds an edge.
double minimumWidth(const std::vector<Point>& hull)
{
    double width = INFINITY;
    for (size_t i = 0; i < hull.size(); ++i) {
        const Point& a = hull[i];
        const Point& b = hull[(i + 1) % hull.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        double farthest = 0.0;
        for (const Point& p : hull)
            farthest = std::max(farthest, std::fabs(cross(a, b, p)) / length);
        width = std::min(width, farthest);
    }
    return width;
}
} // namespace

namespace InputCheck {

bool isFinite(const char* owner, const char* property, double value)
{
    if (std::isfinite(value))
        return true;
    qWarning("%s: WARNING: %s must be a finite number, %g ignored", owner, property, value);
    return false;
}

bool isFiniteNonNegative(const char* owner, const char* property, double value)
{
    if (std::isfinite(value) && value >= 0.0)
        return true;
    qWarning("%s: WARNING: %s must be a finite number of at least 0, %g ignored", owner, property, value);
    return false;
}

bool isSafePolygon(const char* owner, const std::vector<b2Vec2>& points)
{
    if (points.size() < 3 || points.size() > b2_maxPolygonVertices) {
        qWarning("%s: WARNING: a polygon needs 3 to %d points, not %d; no shape made", owner,
                 b2_maxPolygonVertices, int(points.size()));
        return false;
    }
    std::vector<Point> pixels;
    for (const b2Vec2& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            qWarning("%s: WARNING: a polygon point is not a finite number; no shape made", owner);
            return false;
        }
        pixels.push_back(
            {double(p.x) * PhysicsUnits::kPixelsPerMeter, double(p.y) * PhysicsUnits::kPixelsPerMeter});
    }
    const std::vector<Point> hull = convexHull(pixels);
    const double width = hull.size() < 3 ? 0.0 : minimumWidth(hull);
    if (width < kMinPolygonWidth) {
        qWarning("%s: WARNING: the polygon is %g pixels wide, less than %g (collinear or coincident points); "
                 "no shape made",
                 owner, width, kMinPolygonWidth);
        return false;
    }
    return true;
}

} // namespace InputCheck
