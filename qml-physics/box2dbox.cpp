#include "box2dbox.h"

#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_polygon_shape.h>

#include <cmath>

Box2DBox::Box2DBox(QQuickItem* parent) : Box2DFixture(parent) {}

std::vector<b2Vec2> Box2DBox::corners() const
{
    const double widthPixels = width();
    const double heightPixels = height();
    if (!std::isfinite(x()) || !std::isfinite(y()) || !std::isfinite(widthPixels) ||
        !std::isfinite(heightPixels)) {
        qWarning("Box2DBox: WARNING: position or size is not a finite number; no shape made");
        return {};
    }
    if ((widthPixels != 0.0 && std::fabs(widthPixels) < InputCheck::kMinPolygonWidth) ||
        (heightPixels != 0.0 && std::fabs(heightPixels) < InputCheck::kMinPolygonWidth)) {
        qWarning("Box2DBox: WARNING: a box of %g x %g pixels is narrower than %g pixels; no shape made",
                 widthPixels, heightPixels, InputCheck::kMinPolygonWidth);
        return {};
    }
    const float left = float(x() * PhysicsUnits::kMetersPerPixel);
    const float top = float(-y() * PhysicsUnits::kMetersPerPixel);
    const float w = widthPixels == 0.0 ? 1.0f : float(widthPixels / PhysicsUnits::kPixelsPerMeter);
    const float h = heightPixels == 0.0 ? 1.0f : float(heightPixels / PhysicsUnits::kPixelsPerMeter);
    std::vector<b2Vec2> points{b2Vec2(left, top), b2Vec2(left, top - h), b2Vec2(left + w, top - h),
                               b2Vec2(left + w, top)};
    if (!InputCheck::isSafePolygon("Box2DBox", points))
        return {};
    return points;
}

std::unique_ptr<b2Shape> Box2DBox::createShape()
{
    const std::vector<b2Vec2> points = corners();
    if (points.empty())
        return nullptr;
    auto shape = std::make_unique<b2PolygonShape>();
    shape->Set(points.data(), int32(points.size()));
    return shape;
}

void Box2DBox::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    Box2DFixture::geometryChange(newGeometry, oldGeometry);
    if (!m_fixture || width() == 0.0 || height() == 0.0)
        return;
    const std::vector<b2Vec2> points = corners();
    if (points.empty())
        return;
    static_cast<b2PolygonShape*>(m_fixture->GetShape())->Set(points.data(), int32(points.size()));
}
