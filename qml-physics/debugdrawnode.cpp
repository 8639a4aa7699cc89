#include "debugdrawnode.h"

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "support/ZTRenderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

using namespace zanth2d;

namespace {
// The scene graph blends premultiplied colours (GL_ONE, GL_ONE_MINUS_SRC_ALPHA).
void setColor(float red, float green, float blue, float alpha)
{
    glColor4f(red * alpha, green * alpha, blue * alpha, alpha);
}

void drawArray(GLenum mode, const std::vector<float>& vertices)
{
    glVertexPointer(2, GL_FLOAT, 0, vertices.data());
    glDrawArrays(mode, 0, GLsizei(vertices.size() / 2));
}
} // namespace

DebugDrawNode* DebugDrawNode::debugDrawNode()
{
    return ztMakeAutoreleased<DebugDrawNode>([](DebugDrawNode*) { return true; });
}

void DebugDrawNode::setViewSize(float width, float height)
{
    m_width = std::isfinite(width) ? width : 0.0f;
    m_height = std::isfinite(height) ? height : 0.0f;
}

void DebugDrawNode::draw()
{
    if (!m_hasWorld || m_opacity <= 0.0f)
        return;
    const float opacity = std::min(m_opacity, 1.0f);
    const float scale = ZTDirector::sharedDirector()->getContentScaleFactor();

    ZTRenderer::sharedRenderer()->beginDirectDraw();
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glPushMatrix();
    glScalef(scale, scale, 1.0f);

    // The backdrop covers whole pixels only, as a painted item's rectangle does.
    const float width = std::floor(m_width);
    const float height = std::floor(m_height);
    if (width >= 1.0f && height >= 1.0f) {
        const std::vector<float> backdrop = {0.0f, 0.0f, width, 0.0f, width, -height, 0.0f, -height};
        setColor(0.0f, 0.0f, 0.0f, 16.0f / 255.0f * opacity);
        drawArray(GL_TRIANGLE_FAN, backdrop);
    }
    for (const DebugDrawShape& shape : m_shapes) {
        if (shape.vertices.size() < 4)
            continue;
        setColor(shape.red, shape.green, shape.blue, opacity);
        switch (shape.kind) {
        case DebugDrawShape::Filled:
            // Box2D's polygons and circles are convex.
            drawArray(GL_TRIANGLE_FAN, shape.vertices);
            break;
        case DebugDrawShape::Outline:
            drawArray(GL_LINE_LOOP, shape.vertices);
            break;
        case DebugDrawShape::Line:
            drawArray(GL_LINES, shape.vertices);
            break;
        }
    }

    glPopMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}
