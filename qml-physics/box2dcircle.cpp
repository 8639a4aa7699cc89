#include "box2dcircle.h"

#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_circle_shape.h>

#include <cmath>

Box2DCircle::Box2DCircle(QQuickItem* parent) : Box2DFixture(parent) {}

void Box2DCircle::setRadius(float radius)
{
    if (radius == m_radius || !InputCheck::isFinite("Box2DCircle", "radius", radius))
        return;
    m_radius = radius;
    if (m_fixture)
        m_fixture->GetShape()->m_radius = radius / PhysicsUnits::kPixelsPerMeter;
    emit radiusChanged();
}

b2Vec2 Box2DCircle::centre() const
{
    return b2Vec2(float(2.0 * x() / PhysicsUnits::kPixelsPerMeter),
                  float(-2.0 * y() / PhysicsUnits::kPixelsPerMeter));
}

std::unique_ptr<b2Shape> Box2DCircle::createShape()
{
    if (!std::isfinite(x()) || !std::isfinite(y())) {
        qWarning("Box2DCircle: WARNING: position is not a finite number; no shape made");
        return nullptr;
    }
    auto shape = std::make_unique<b2CircleShape>();
    shape->m_radius = m_radius / PhysicsUnits::kPixelsPerMeter;
    shape->m_p = centre();
    return shape;
}

void Box2DCircle::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    Box2DFixture::geometryChange(newGeometry, oldGeometry);
    if (!m_fixture || !std::isfinite(x()) || !std::isfinite(y()))
        return;
    auto* shape = static_cast<b2CircleShape*>(m_fixture->GetShape());
    shape->m_radius = m_radius / PhysicsUnits::kPixelsPerMeter;
    shape->m_p = centre();
}
