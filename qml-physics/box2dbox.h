#pragma once

#include "box2dfixture.h"

#include <vector>

// The QML Box: a rectangle from the item's position, its width and height (pixels); a size of 0 stands for
// 1 metre. Sizes below 0.2 pixels are refused.
class Box2DBox : public Box2DFixture
{
    Q_OBJECT

public:
    explicit Box2DBox(QQuickItem* parent = nullptr);

protected:
    std::unique_ptr<b2Shape> createShape() override;
    // A live fixture takes the new corners in place, as long as neither size is 0.
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    // The four corners in the body's frame (metres), or empty after a warning.
    std::vector<b2Vec2> corners() const;
};
