#pragma once

#include <box2d/b2_draw.h>

#include <vector>

class b2World;

// One outline, filled area or line of a world's debug picture, in pixels with y up from the world's origin
// (the orientation of the scene graph's nodes).
struct DebugDrawShape
{
    enum Kind
    {
        Outline,
        Filled,
        Line
    };
    Kind kind = Outline;
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    // x, y pairs.
    std::vector<float> vertices;
};

// Collects what a Box2D world draws of its shapes, joints, bounding boxes and centres of mass, so that the
// picture can be drawn on every frame without touching the world again.
class DebugDrawRecorder : public b2Draw
{
public:
    DebugDrawRecorder();

    // The world's picture as it is now; empty for a null world.
    static std::vector<DebugDrawShape> record(b2World* world);

    void DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawCircle(const b2Vec2& center, float radius, const b2Color& color) override;
    void DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis,
                         const b2Color& color) override;
    void DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) override;
    void DrawTransform(const b2Transform& xf) override;
    void DrawPoint(const b2Vec2& p, float size, const b2Color& color) override;

private:
    DebugDrawShape& add(DebugDrawShape::Kind kind, const b2Color& color);
    void addCircle(DebugDrawShape::Kind kind, const b2Vec2& center, float radius, const b2Color& color);

    std::vector<DebugDrawShape> m_shapes;
};
