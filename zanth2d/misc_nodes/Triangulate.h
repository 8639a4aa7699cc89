#pragma once

#include <vector>

namespace zanth2d {

// A point of the triangulator.
struct Vector2d
{
    float x = 0.0f;
    float y = 0.0f;
};

// Ear-clipping triangulation of one simple polygon.
class Triangulate
{
public:
    Triangulate() = delete;

    // Appends three points per triangle to result, n - 2 triangles for n points, always in
    // counter-clockwise order. False for fewer than three points (result untouched) and for a contour
    // that is not simple, where the triangles found until then stay in result.
    static bool Process(const std::vector<Vector2d>& contour, std::vector<Vector2d>& result);
    // Signed area; positive when the points run counter-clockwise.
    static float Area(const std::vector<Vector2d>& contour);
    // Whether P lies inside the counter-clockwise triangle ABC or on its border.
    static bool InsideTriangle(float Ax, float Ay, float Bx, float By, float Cx, float Cy, float Px,
                               float Py);
    // Whether the corner at V[v] between V[u] and V[w] is an ear of the n points left in V.
    static bool Snip(const std::vector<Vector2d>& contour, int u, int v, int w, int n,
                     const std::vector<int>& V);
};

} // namespace zanth2d
