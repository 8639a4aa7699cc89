#pragma once

#include <box2d/b2_math.h>

#include <vector>

// Box2D ends the process on input it asserts on; these checks refuse such input first, each refusal with one
// warning line that starts with the owner's class name.
namespace InputCheck {

// Narrowest convex outline, in pixels, that Box2D is given as a polygon.
constexpr double kMinPolygonWidth = 0.2;

// True for a finite value; otherwise warns "<owner>: WARNING: <property> must be a finite number ...".
bool isFinite(const char* owner, const char* property, double value);
// True for a finite value of at least 0; otherwise warns.
bool isFiniteNonNegative(const char* owner, const char* property, double value);
// True when Box2D can make a polygon of the points (metres): 3 to 8 finite points whose convex hull is at
// least kMinPolygonWidth pixels wide in every direction; otherwise warns and returns false.
bool isSafePolygon(const char* owner, const std::vector<b2Vec2>& points);

} // namespace InputCheck
