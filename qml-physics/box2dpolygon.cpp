#include "box2dpolygon.h"

#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_polygon_shape.h>

#include <QDebug>
#include <QPointF>

Box2DPolygon::Box2DPolygon(QQuickItem* parent) : Box2DFixture(parent) {}

void Box2DPolygon::setVertices(const QVariantList& vertices)
{
    if (vertices == m_vertices)
        return;
    m_vertices = vertices;
    emit verticesChanged();
}

std::vector<b2Vec2> Box2DPolygon::points() const
{
    const int count = int(m_vertices.size());
    if (count < 3 || count > b2_maxPolygonVertices) {
        qWarning() << "Polygon: Invalid number of vertices:" << count;
        return {};
    }
    std::vector<b2Vec2> result;
    for (const QVariant& vertex : m_vertices) {
        if (!vertex.canConvert<QPointF>()) {
            qWarning() << "Box2DPolygon: WARNING: a vertex is not a point:" << vertex << "; no shape made";
            return {};
        }
        const QPointF point = vertex.toPointF();
        result.push_back(PhysicsUnits::toMeters(QPointF(point.x() + x(), point.y() + y())));
    }
    if (!InputCheck::isSafePolygon("Box2DPolygon", result))
        return {};
    return result;
}

std::unique_ptr<b2Shape> Box2DPolygon::createShape()
{
    const std::vector<b2Vec2> vertices = points();
    if (vertices.empty())
        return nullptr;
    auto shape = std::make_unique<b2PolygonShape>();
    shape->Set(vertices.data(), int32(vertices.size()));
    return shape;
}

void Box2DPolygon::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    Box2DFixture::geometryChange(newGeometry, oldGeometry);
    if (!m_fixture)
        return;
    const std::vector<b2Vec2> vertices = points();
    if (vertices.empty())
        return;
    static_cast<b2PolygonShape*>(m_fixture->GetShape())->Set(vertices.data(), int32(vertices.size()));
}
