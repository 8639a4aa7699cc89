#include "misc_nodes/ZTClipNode.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

#include "misc_nodes/ZTFilledPolygon.h"
#include "platform/ZTCommon.h"
#include "support/ZTGLStack.h"
#include "support/ZTRenderer.h"
#include "support/ZTTransformUtils.h"

namespace zanth2d {

namespace {

int g_sStencilBits = -1;
// The bit of the innermost clipping node being visited; -1 between frames.
int g_nStencilLayer = -1;
bool g_bNestingWarned = false;

void readStencilBits()
{
    GLint bits = -1;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    g_sStencilBits = bits;
}

struct StencilState
{
    GLboolean enabled;
    GLint writeMask;
    GLint func;
    GLint ref;
    GLint valueMask;
    GLint fail;
    GLint depthFail;
    GLint depthPass;

    void save()
    {
        enabled = glIsEnabled(GL_STENCIL_TEST);
        glGetIntegerv(GL_STENCIL_WRITEMASK, &writeMask);
        glGetIntegerv(GL_STENCIL_FUNC, &func);
        glGetIntegerv(GL_STENCIL_REF, &ref);
        glGetIntegerv(GL_STENCIL_VALUE_MASK, &valueMask);
        glGetIntegerv(GL_STENCIL_FAIL, &fail);
        glGetIntegerv(GL_STENCIL_PASS_DEPTH_FAIL, &depthFail);
        glGetIntegerv(GL_STENCIL_PASS_DEPTH_PASS, &depthPass);
    }

    void restore() const
    {
        glStencilFunc(static_cast<GLenum>(func), ref, static_cast<GLuint>(valueMask));
        glStencilOp(static_cast<GLenum>(fail), static_cast<GLenum>(depthFail),
                    static_cast<GLenum>(depthPass));
        glStencilMask(static_cast<GLuint>(writeMask));
        if (!enabled) {
            glDisable(GL_STENCIL_TEST);
        }
    }
};

} // namespace

ZTClipNode::ZTClipNode()
{
    if (g_sStencilBits < 0) {
        readStencilBits();
    }
}

ZTClipNode::~ZTClipNode()
{
    if (m_pStencil) {
        m_pStencil->release();
    }
}

int ZTClipNode::getStencilBits()
{
    return g_sStencilBits;
}

void ZTClipNode::setClippingRegion(float x, float y, float width, float height)
{
    m_tClippingRegion = ZTRect(x, y, std::max(width, 0.0f), std::max(height, 0.0f));
    const std::vector<ZTPoint> corners = {ZTPoint(x, -y), ZTPoint(x + width, -y),
                                          ZTPoint(x + width, -y - height), ZTPoint(x, -y - height)};
    if (m_pStencil) {
        m_pStencil->setPoints(corners);
        return;
    }
    m_pStencil =
        ZTFilledPolygon::filledPolygonWithPoints(corners, nullptr, ztColor4F{1, 1, 1, 1}, true, false);
    m_pStencil->retain();
}

void ZTClipNode::setScale(float scale)
{
    ZTNode::setScale(scale);
    const ZTRect r = m_tClippingRegion;
    setClippingRegion(r.origin.x, r.origin.y, r.size.width, r.size.height);
}

void ZTClipNode::setRotation(float rotation)
{
    if (m_pStencil) {
        m_pStencil->setRotation(rotation);
    }
    const ZTRect r = m_tClippingRegion;
    setClippingRegion(r.origin.x, r.origin.y, r.size.width, r.size.height);
}

void ZTClipNode::visit()
{
    if (!m_bClipsToBounds) {
        ZTNode::visit();
        return;
    }
    ZTGLStack::pushMatrix();
    if (g_sStencilBits < 0) {
        // The first clipping node was made before any context was current.
        readStencilBits();
    }
    if (g_sStencilBits < 1) {
        ZTNode::visit();
    } else if (!m_pStencil || !m_pStencil->getIsVisible()) {
        // Nothing to clip to: nothing of the subtree shows.
    } else if (g_nStencilLayer + 1 >= g_sStencilBits) {
        if (!g_bNestingWarned) {
            g_bNestingWarned = true;
            ZTLog("Nesting more than %d stencils is not supported. Everything will be drawn without stencil "
                  "for "
                  "this node and its childs.\n",
                  g_sStencilBits);
        }
        ZTNode::visit();
    } else {
        drawClipped();
    }
    ZTGLStack::popMatrix();
}

void ZTClipNode::drawClipped()
{
    // What was queued outside this clip draws before the stencil changes, the shape's quads before the
    // stencil test turns on, the clipped children before it is restored.
    ZTRenderer* renderer = ZTRenderer::sharedRenderer();
    renderer->beginDirectDraw();
    ++g_nStencilLayer;
    const GLuint mask = 1u << g_nStencilLayer;

    StencilState saved;
    saved.save();
    glEnable(GL_STENCIL_TEST);
    glStencilMask(mask);
    GLboolean depthWriteMask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWriteMask);
    glDepthMask(GL_FALSE);

    // This layer's bit is cleared everywhere, whatever the parent's transform; outer layers keep theirs.
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);

    // The shape sets the bit; nothing reaches the colour buffer. The node's matrix is applied without
    // touching its dirty flags, which its own visit below still needs.
    glStencilFunc(GL_NEVER, static_cast<GLint>(mask), mask);
    glStencilOp(GL_REPLACE, GL_KEEP, GL_KEEP);
    ZTGLStack::pushMatrix();
    float matrix[16];
    const ZTAffineTransform t = nodeToParentTransform();
    CGAffineToGL(&t, matrix);
    glMultMatrixf(matrix);
    if (m_fVertexZ != 0.0f) {
        glTranslatef(0.0f, 0.0f, m_fVertexZ);
    }
    m_pStencil->visit();
    renderer->beginDirectDraw();
    ZTGLStack::popMatrix();

    glDepthMask(depthWriteMask);
    // Only where this bit and every outer clipping node's bit are set.
    const GLuint all = mask | (mask - 1);
    glStencilFunc(GL_EQUAL, static_cast<GLint>(all), all);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);

    ZTNode::visit();
    renderer->beginDirectDraw();

    saved.restore();
    --g_nStencilLayer;
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
}

} // namespace zanth2d
