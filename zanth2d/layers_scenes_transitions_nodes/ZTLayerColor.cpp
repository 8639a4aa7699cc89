#include "layers_scenes_transitions_nodes/ZTLayerColor.h"

#include "ZTDirector.h"
#include "support/ZTRenderer.h"

namespace zanth2d {

ZTLayerColor::ZTLayerColor() : m_pSquareVertices{}, m_pSquareColors{} {}

ZTLayerColor::~ZTLayerColor() = default;

ZTLayerColor* ZTLayerColor::layerWithColorWidthHeight(const ztColor4B& color, float width, float height)
{
    auto* layer = new ZTLayerColor();
    if (layer->initWithColorWidthHeight(color, width, height)) {
        layer->autorelease();
        return layer;
    }
    layer->release();
    return nullptr;
}

ZTLayerColor* ZTLayerColor::layerWithColor(const ztColor4B& color)
{
    auto* layer = new ZTLayerColor();
    if (layer->initWithColor(color)) {
        layer->autorelease();
        return layer;
    }
    layer->release();
    return nullptr;
}

bool ZTLayerColor::initWithColorWidthHeight(const ztColor4B& color, float width, float height)
{
    m_tBlendFunc.src = GL_ONE;
    m_tBlendFunc.dst = GL_ONE_MINUS_SRC_ALPHA;
    m_tColor.r = color.r;
    m_tColor.g = color.g;
    m_tColor.b = color.b;
    m_cOpacity = color.a;
    for (GLfloat& v : m_pSquareVertices) {
        v = 0.0f;
    }
    updateColor();
    setContentSize(ZTSize(width, height));
    return true;
}

bool ZTLayerColor::initWithColor(const ztColor4B& color)
{
    const ZTSize size = ZTDirector::sharedDirector()->getWinSize();
    return initWithColorWidthHeight(color, size.width, size.height);
}

void ZTLayerColor::setContentSize(const ZTSize& size)
{
    const float factor = ZTDirector::sharedDirector()->getContentScaleFactor();
    m_pSquareVertices[2] = size.width * factor;
    m_pSquareVertices[5] = size.height * factor;
    m_pSquareVertices[6] = size.width * factor;
    m_pSquareVertices[7] = size.height * factor;
    ZTLayer::setContentSize(size);
}

void ZTLayerColor::changeWidthAndHeight(float width, float height)
{
    setContentSize(ZTSize(width, height));
}

void ZTLayerColor::changeWidth(float width)
{
    setContentSize(ZTSize(width, getContentSize().height));
}

void ZTLayerColor::changeHeight(float height)
{
    setContentSize(ZTSize(getContentSize().width, height));
}

void ZTLayerColor::setOpacity(GLubyte opacity)
{
    m_cOpacity = opacity;
    updateColor();
}

void ZTLayerColor::setColor(const ztColor3B& color)
{
    m_tColor = color;
    updateColor();
}

void ZTLayerColor::updateColor()
{
    for (int i = 0; i < 4; ++i) {
        m_pSquareColors[i * 4] = m_tColor.r;
        m_pSquareColors[i * 4 + 1] = m_tColor.g;
        m_pSquareColors[i * 4 + 2] = m_tColor.b;
        m_pSquareColors[i * 4 + 3] = m_cOpacity;
    }
}

void ZTLayerColor::draw()
{
    ZTLayer::draw();
    ztBlendFunc blend = m_tBlendFunc;
    if ((blend.src == GL_ONE && blend.dst == GL_ONE_MINUS_SRC_ALPHA) && m_cOpacity != 255) {
        blend = ztBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    }
    ZTRenderer* renderer = ZTRenderer::sharedRenderer();
    if (renderer->queueColorQuad(m_pSquareVertices, m_pSquareColors, blend)) {
        return;
    }
    renderer->beginDirectDraw();

    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glVertexPointer(2, GL_FLOAT, 0, m_pSquareVertices);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, m_pSquareColors);
    const bool newBlend = blend.src != GL_ONE || blend.dst != GL_ONE_MINUS_SRC_ALPHA;
    if (newBlend) {
        glBlendFunc(blend.src, blend.dst);
    }
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    if (newBlend) {
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}

} // namespace zanth2d
