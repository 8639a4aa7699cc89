#pragma once

#include <box2d/b2_draw.h>

class QPainter;
class b2World;

// Paints a Box2D world's shapes, joints, bounding boxes and centres of mass with a QPainter, in pixels
// (32 a metre, y down) from the world's origin.
class DebugDraw : public b2Draw
{
public:
    // Neither the painter nor the world is owned; both must outlive draw().
    DebugDraw(QPainter* painter, b2World* world);

    // Paints everything the world has to show once.
    void draw();

    void DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawCircle(const b2Vec2& center, float radius, const b2Color& color) override;
    void DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis,
                         const b2Color& color) override;
    void DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) override;
    void DrawTransform(const b2Transform& xf) override;
    void DrawPoint(const b2Vec2& p, float size, const b2Color& color) override;

private:
    QPainter* m_painter;
    b2World* m_world;
};
