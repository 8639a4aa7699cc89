#include "ZTDrawingPrimitives.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "ZTDirector.h"
#include "support/ZTRenderer.h"

namespace zanth2d {

namespace {

float contentScale()
{
    return ZTDirector::sharedDirector()->getContentScaleFactor();
}

void drawVertices(GLenum mode, const GLfloat* vertices, GLsizei count)
{
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glDrawArrays(mode, 0, count);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}

// Scaled copy of the points as a flat vertex array.
std::vector<GLfloat> scaledVertices(const ZTPoint* points, unsigned int count, float factor)
{
    std::vector<GLfloat> vertices(static_cast<std::size_t>(count) * 2);
    for (unsigned int i = 0; i < count; ++i) {
        vertices[2 * i] = points[i].x * factor;
        vertices[2 * i + 1] = points[i].y * factor;
    }
    return vertices;
}

} // namespace

void ztDrawPoint(const ZTPoint& point)
{
    ztDrawPoints(&point, 1);
}

void ztDrawPoints(const ZTPoint* points, unsigned int numberOfPoints)
{
    const std::vector<GLfloat> vertices = scaledVertices(points, numberOfPoints, contentScale());
    drawVertices(GL_POINTS, vertices.data(), static_cast<GLsizei>(numberOfPoints));
}

void ztDrawLine(const ZTPoint& origin, const ZTPoint& destination)
{
    const ZTPoint points[2] = {origin, destination};
    const std::vector<GLfloat> vertices = scaledVertices(points, 2, contentScale());
    drawVertices(GL_LINES, vertices.data(), 2);
}

void ztDrawSolidRect(ZTPoint origin, ZTPoint destination)
{
    const GLfloat vertices[8] = {origin.x, origin.y, destination.x, origin.y,
                                 destination.x, destination.y, origin.x, destination.y};
    drawVertices(GL_TRIANGLE_FAN, vertices, 4);
}

void ztDrawPoly(const ZTPoint* vertices, unsigned int numOfVertices, bool closePolygon, bool fill)
{
    const std::vector<GLfloat> scaled = scaledVertices(vertices, numOfVertices, contentScale());
    const GLenum mode = fill ? GL_TRIANGLES : (closePolygon ? GL_LINE_LOOP : GL_LINE_STRIP);
    drawVertices(mode, scaled.data(), static_cast<GLsizei>(numOfVertices));
}

void ztDrawPoly(const ZTPoint* vertices, unsigned int numOfVertices, bool closePolygon)
{
    ztDrawPoly(vertices, numOfVertices, closePolygon, false);
}

void ztDrawCircle(const ZTPoint& center, float radius, float angle, unsigned int segments, bool drawLineToCenter)
{
    const float factor = contentScale();
    const float coef = 6.2831855f / static_cast<float>(segments);
    std::vector<GLfloat> vertices(2 * (static_cast<std::size_t>(segments) + 2));
    for (unsigned int i = 0; i <= segments; ++i) {
        const float rads = static_cast<float>(i) * coef + angle;
        vertices[2 * i] = (center.x + std::cos(rads) * radius) * factor;
        vertices[2 * i + 1] = (center.y + std::sin(rads) * radius) * factor;
    }
    vertices[2 * (segments + 1)] = center.x * factor;
    vertices[2 * (segments + 1) + 1] = center.y * factor;
    drawVertices(GL_LINE_STRIP, vertices.data(), static_cast<GLsizei>(segments + 1 + (drawLineToCenter ? 1 : 0)));
}

void ztDrawQuadBezier(const ZTPoint& origin, const ZTPoint& control, const ZTPoint& destination,
                      unsigned int segments)
{
    const float factor = contentScale();
    std::vector<GLfloat> vertices(2 * (static_cast<std::size_t>(segments) + 1));
    float t = 0.0f;
    for (unsigned int i = 0; i < segments; ++i) {
        const float u = 1.0f - t;
        vertices[2 * i] = (u * u * origin.x + 2.0f * u * t * control.x + t * t * destination.x) * factor;
        vertices[2 * i + 1] = (u * u * origin.y + 2.0f * u * t * control.y + t * t * destination.y) * factor;
        t += 1.0f / static_cast<float>(segments);
    }
    vertices[2 * segments] = destination.x * factor;
    vertices[2 * segments + 1] = destination.y * factor;
    drawVertices(GL_LINE_STRIP, vertices.data(), static_cast<GLsizei>(segments + 1));
}

void ztDrawCubicBezier(const ZTPoint& origin, const ZTPoint& control1, const ZTPoint& control2,
                       const ZTPoint& destination, unsigned int segments)
{
    const float factor = contentScale();
    std::vector<GLfloat> vertices(2 * (static_cast<std::size_t>(segments) + 1));
    float t = 0.0f;
    for (unsigned int i = 0; i < segments; ++i) {
        const float u = 1.0f - t;
        const float a = u * u * u;
        const float b = 3.0f * u * u * t;
        const float c = 3.0f * u * t * t;
        const float d = t * t * t;
        vertices[2 * i] = (a * origin.x + b * control1.x + c * control2.x + d * destination.x) * factor;
        vertices[2 * i + 1] = (a * origin.y + b * control1.y + c * control2.y + d * destination.y) * factor;
        t += 1.0f / static_cast<float>(segments);
    }
    vertices[2 * segments] = destination.x * factor;
    vertices[2 * segments + 1] = destination.y * factor;
    drawVertices(GL_LINE_STRIP, vertices.data(), static_cast<GLsizei>(segments + 1));
}

} // namespace zanth2d
