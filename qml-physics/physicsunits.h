#pragma once

#include <box2d/b2_math.h>

#include <QPointF>

// QML works in pixels with y down and clockwise degrees; Box2D in metres with y up and counter-clockwise
// radians. Every crossing between the two goes through these, at 32 pixels a metre.
namespace PhysicsUnits {

constexpr float kPixelsPerMeter = 32.0f;
constexpr double kMetersPerPixel = 0.03125;

// A point or vector in pixels (y down) as metres (y up).
inline b2Vec2 toMeters(const QPointF& pixels)
{
    return b2Vec2(float(pixels.x() * kMetersPerPixel), float(pixels.y() * -kMetersPerPixel));
}

// A point or vector in metres (y up) as pixels (y down), each product taken in single precision.
inline QPointF toPixels(const b2Vec2& meters)
{
    return QPointF(meters.x * kPixelsPerMeter, meters.y * -kPixelsPerMeter);
}

// A clockwise QML rotation in degrees as a Box2D angle in radians.
inline float toRadians(double degrees)
{
    return float((degrees + degrees) * 3.1415927410125732 / -360.0);
}

// A Box2D angle in radians as a clockwise QML rotation in degrees.
inline double toDegrees(float radians)
{
    return radians * 360.0 / -6.2831854820251465;
}

} // namespace PhysicsUnits
