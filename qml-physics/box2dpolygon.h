#pragma once

#include "box2dfixture.h"

#include <QVariantList>

#include <vector>

// The QML Polygon: 3 to 8 points (pixels) relative to the item's position, forming a convex outline at least
// 0.2 pixels wide; anything else makes no shape.
class Box2DPolygon : public Box2DFixture
{
    Q_OBJECT
    Q_PROPERTY(QVariantList vertices READ vertices WRITE setVertices NOTIFY verticesChanged)

public:
    explicit Box2DPolygon(QQuickItem* parent = nullptr);

    QVariantList vertices() const { return m_vertices; }
    // A live shape takes new vertices only at its next geometry change.
    void setVertices(const QVariantList& vertices);

signals:
    void verticesChanged();

protected:
    std::unique_ptr<b2Shape> createShape() override;
    // A live fixture takes the moved points in place.
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    // The points in the body's frame (metres), or empty after a warning.
    std::vector<b2Vec2> points() const;

    QVariantList m_vertices;
};
