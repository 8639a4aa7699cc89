#include "misc_nodes/Triangulate.h"

namespace zanth2d {

namespace {
constexpr float kEpsilon = 1e-10f;
}

float Triangulate::Area(const std::vector<Vector2d>& contour)
{
    const int n = static_cast<int>(contour.size());
    float area = 0.0f;
    for (int p = n - 1, q = 0; q < n; p = q++) {
        area += contour[p].x * contour[q].y - contour[q].x * contour[p].y;
    }
    return area * 0.5f;
}

bool Triangulate::InsideTriangle(float Ax, float Ay, float Bx, float By, float Cx, float Cy, float Px,
                                 float Py)
{
    const float aCrossBP = (Cx - Bx) * (Py - By) - (Cy - By) * (Px - Bx);
    const float cCrossAP = (Bx - Ax) * (Py - Ay) - (By - Ay) * (Px - Ax);
    const float bCrossCP = (Ax - Cx) * (Py - Cy) - (Ay - Cy) * (Px - Cx);
    return aCrossBP >= 0.0f && bCrossCP >= 0.0f && cCrossAP >= 0.0f;
}

bool Triangulate::Snip(const std::vector<Vector2d>& contour, int u, int v, int w, int n,
                       const std::vector<int>& V)
{
    const Vector2d& a = contour[V[u]];
    const Vector2d& b = contour[V[v]];
    const Vector2d& c = contour[V[w]];
    // Clockwise and degenerate corners are no ears.
    if ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) < kEpsilon) {
        return false;
    }
    for (int p = 0; p < n; ++p) {
        if (p == u || p == v || p == w) {
            continue;
        }
        const Vector2d& point = contour[V[p]];
        if (InsideTriangle(a.x, a.y, b.x, b.y, c.x, c.y, point.x, point.y)) {
            return false;
        }
    }
    return true;
}

bool Triangulate::Process(const std::vector<Vector2d>& contour, std::vector<Vector2d>& result)
{
    const int n = static_cast<int>(contour.size());
    if (n < 3) {
        return false;
    }
    // The walk always runs counter-clockwise.
    std::vector<int> V(n);
    const bool counterClockwise = Area(contour) > 0.0f;
    for (int i = 0; i < n; ++i) {
        V[i] = counterClockwise ? i : n - 1 - i;
    }

    int nv = n;
    // Two full rounds without an ear mean the contour crosses itself.
    int count = 2 * nv;
    for (int v = nv - 1; nv > 2;) {
        if (count < 1) {
            return false;
        }
        --count;
        int u = v;
        if (u >= nv) {
            u = 0;
        }
        v = u + 1;
        if (v >= nv) {
            v = 0;
        }
        int w = v + 1;
        if (w >= nv) {
            w = 0;
        }
        if (Snip(contour, u, v, w, nv, V)) {
            result.push_back(contour[V[u]]);
            result.push_back(contour[V[v]]);
            result.push_back(contour[V[w]]);
            V.erase(V.begin() + v);
            --nv;
            count = 2 * nv;
        }
    }
    return true;
}

} // namespace zanth2d
