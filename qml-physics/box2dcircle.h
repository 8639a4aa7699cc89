#pragma once

#include "box2dfixture.h"

// The QML Circle: radius in pixels; its centre lies at twice the item's position within the body.
class Box2DCircle : public Box2DFixture
{
    Q_OBJECT
    Q_PROPERTY(float radius READ radius WRITE setRadius NOTIFY radiusChanged)

public:
    explicit Box2DCircle(QQuickItem* parent = nullptr);

    float radius() const { return m_radius; }
    // Finite, else refused with a warning; a live fixture takes it at once.
    void setRadius(float radius);

signals:
    void radiusChanged();

protected:
    std::unique_ptr<b2Shape> createShape() override;
    // A live fixture takes the new centre and radius in place.
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    b2Vec2 centre() const;

    float m_radius = 0.0f;
};
