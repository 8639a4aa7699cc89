#include "debugdraw.h"

#include "physicsunits.h"

#include <box2d/b2_world.h>

#include <QColor>
#include <QPainter>
#include <QPolygonF>

using PhysicsUnits::kPixelsPerMeter;
using PhysicsUnits::toPixels;

namespace {
QColor toColor(const b2Color& color)
{
    return QColor(int(color.r * 255), int(color.g * 255), int(color.b * 255), 255);
}

QPolygonF toPolygon(const b2Vec2* vertices, int32 vertexCount)
{
    QPolygonF polygon;
    for (int32 i = 0; i < vertexCount; ++i)
        polygon.append(toPixels(vertices[i]));
    return polygon;
}

QRectF circleBounds(const b2Vec2& center, float radius)
{
    const double r = radius * kPixelsPerMeter;
    return QRectF(center.x * kPixelsPerMeter - r, center.y * -kPixelsPerMeter - r, 2.0 * r, 2.0 * r);
}
} // namespace

DebugDraw::DebugDraw(QPainter* painter, b2World* world) : m_painter(painter), m_world(world)
{
    SetFlags(e_shapeBit | e_jointBit | e_aabbBit | e_pairBit | e_centerOfMassBit);
}

void DebugDraw::draw()
{
    m_world->SetDebugDraw(this);
    m_world->DebugDraw();
    m_world->SetDebugDraw(nullptr);
}

void DebugDraw::DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color)
{
    m_painter->setPen(toColor(color));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawPolygon(toPolygon(vertices, vertexCount));
}

void DebugDraw::DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color)
{
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(toColor(color));
    m_painter->drawPolygon(toPolygon(vertices, vertexCount));
}

void DebugDraw::DrawCircle(const b2Vec2& center, float radius, const b2Color& color)
{
    m_painter->setPen(toColor(color));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawEllipse(circleBounds(center, radius));
}

void DebugDraw::DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2&, const b2Color& color)
{
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(toColor(color));
    m_painter->drawEllipse(circleBounds(center, radius));
}

void DebugDraw::DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color)
{
    m_painter->setPen(toColor(color));
    m_painter->drawLine(toPixels(p1), toPixels(p2));
}

void DebugDraw::DrawTransform(const b2Transform&) {}

void DebugDraw::DrawPoint(const b2Vec2&, float, const b2Color&) {}
