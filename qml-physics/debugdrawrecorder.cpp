#include "debugdrawrecorder.h"

#include "physicsunits.h"

#include <box2d/b2_world.h>

#include <algorithm>
#include <cmath>

using PhysicsUnits::kPixelsPerMeter;

namespace {
void addPoint(DebugDrawShape& shape, const b2Vec2& meters)
{
    shape.vertices.push_back(meters.x * kPixelsPerMeter);
    shape.vertices.push_back(meters.y * kPixelsPerMeter);
}
} // namespace

DebugDrawRecorder::DebugDrawRecorder()
{
    SetFlags(e_shapeBit | e_jointBit | e_aabbBit | e_pairBit | e_centerOfMassBit);
}

std::vector<DebugDrawShape> DebugDrawRecorder::record(b2World* world)
{
    DebugDrawRecorder recorder;
    if (!world)
        return {};
    world->SetDebugDraw(&recorder);
    world->DebugDraw();
    world->SetDebugDraw(nullptr);
    return std::move(recorder.m_shapes);
}

DebugDrawShape& DebugDrawRecorder::add(DebugDrawShape::Kind kind, const b2Color& color)
{
    DebugDrawShape& shape = m_shapes.emplace_back();
    shape.kind = kind;
    shape.red = color.r;
    shape.green = color.g;
    shape.blue = color.b;
    return shape;
}

void DebugDrawRecorder::addCircle(DebugDrawShape::Kind kind, const b2Vec2& center, float radius,
                                  const b2Color& color)
{
    if (!std::isfinite(radius) || radius <= 0.0f)
        return;
    // About one corner every 4 px of rim keeps large circles round and small ones cheap.
    const float rimPixels = 2.0f * b2_pi * radius * kPixelsPerMeter;
    const int corners = std::clamp(int(rimPixels / 4.0f), 12, 128);
    DebugDrawShape& shape = add(kind, color);
    shape.vertices.reserve(size_t(corners) * 2);
    for (int i = 0; i < corners; ++i) {
        const float angle = 2.0f * b2_pi * float(i) / float(corners);
        addPoint(shape, center + radius * b2Vec2(std::cos(angle), std::sin(angle)));
    }
}

void DebugDrawRecorder::DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color)
{
    DebugDrawShape& shape = add(DebugDrawShape::Outline, color);
    for (int32 i = 0; i < vertexCount; ++i)
        addPoint(shape, vertices[i]);
}

void DebugDrawRecorder::DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color)
{
    DebugDrawShape& shape = add(DebugDrawShape::Filled, color);
    for (int32 i = 0; i < vertexCount; ++i)
        addPoint(shape, vertices[i]);
}

void DebugDrawRecorder::DrawCircle(const b2Vec2& center, float radius, const b2Color& color)
{
    addCircle(DebugDrawShape::Outline, center, radius, color);
}

void DebugDrawRecorder::DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2&,
                                        const b2Color& color)
{
    addCircle(DebugDrawShape::Filled, center, radius, color);
}

void DebugDrawRecorder::DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color)
{
    DebugDrawShape& shape = add(DebugDrawShape::Line, color);
    addPoint(shape, p1);
    addPoint(shape, p2);
}

void DebugDrawRecorder::DrawTransform(const b2Transform&) {}

void DebugDrawRecorder::DrawPoint(const b2Vec2&, float, const b2Color&) {}
