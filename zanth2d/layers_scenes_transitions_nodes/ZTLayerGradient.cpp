#include "layers_scenes_transitions_nodes/ZTLayerGradient.h"

#include <cmath>

namespace zanth2d {

ZTLayerGradient::ZTLayerGradient() : m_AlongVector(0.0f, -1.0f) {}

ZTLayerGradient::~ZTLayerGradient() = default;

ZTLayerGradient* ZTLayerGradient::layerWithColor(const ztColor4B& start, const ztColor4B& end)
{
    auto* layer = new ZTLayerGradient();
    if (layer->initWithColor(start, end)) {
        layer->autorelease();
        return layer;
    }
    layer->release();
    return nullptr;
}

ZTLayerGradient* ZTLayerGradient::layerWithColor(const ztColor4B& start, const ztColor4B& end, const ZTPoint& vector)
{
    auto* layer = new ZTLayerGradient();
    if (layer->initWithColor(start, end, vector)) {
        layer->autorelease();
        return layer;
    }
    layer->release();
    return nullptr;
}

bool ZTLayerGradient::initWithColor(const ztColor4B& start, const ztColor4B& end)
{
    return initWithColor(start, end, ZTPoint(0.0f, -1.0f));
}

bool ZTLayerGradient::initWithColor(const ztColor4B& start, const ztColor4B& end, const ZTPoint& vector)
{
    m_endColor.r = end.r;
    m_endColor.g = end.g;
    m_endColor.b = end.b;
    m_cEndOpacity = end.a;
    m_cStartOpacity = start.a;
    m_AlongVector = vector;
    m_bCompressedInterpolation = true;
    ztColor4B opaqueStart;
    opaqueStart.r = start.r;
    opaqueStart.g = start.g;
    opaqueStart.b = start.b;
    opaqueStart.a = 255;
    return ZTLayerColor::initWithColor(opaqueStart);
}

void ZTLayerGradient::updateColor()
{
    ZTLayerColor::updateColor();

    const float h = std::sqrt(m_AlongVector.x * m_AlongVector.x + m_AlongVector.y * m_AlongVector.y);
    if (h == 0.0f) {
        return;
    }
    ZTPoint u(m_AlongVector.x / h, m_AlongVector.y / h);
    if (m_bCompressedInterpolation) {
        const float scale = 1.4142135f / (std::fabs(u.x) + std::fabs(u.y));
        u = ZTPoint(u.x * scale, u.y * scale);
    }

    // The same single-precision root as the compression above, so that a compressed vertical or horizontal
    // vector gives the end corners exactly the start and end colours.
    const double c = 1.4142135f;
    const double factors[4] = {
        (c + u.x + u.y) / (2.0 * c), // bottom-left
        (c - u.x + u.y) / (2.0 * c), // bottom-right
        (c + u.x - u.y) / (2.0 * c), // top-left
        (c - u.x - u.y) / (2.0 * c), // top-right
    };
    const double opacity = m_cOpacity / 255.0;
    const GLubyte startAlpha = static_cast<GLubyte>(m_cStartOpacity * opacity);
    const GLubyte endAlpha = static_cast<GLubyte>(m_cEndOpacity * opacity);
    const GLubyte start[4] = {m_tColor.r, m_tColor.g, m_tColor.b, startAlpha};
    const GLubyte end[4] = {m_endColor.r, m_endColor.g, m_endColor.b, endAlpha};
    for (int corner = 0; corner < 4; ++corner) {
        for (int channel = 0; channel < 4; ++channel) {
            m_pSquareColors[corner * 4 + channel] =
                static_cast<GLubyte>(end[channel] + (start[channel] - end[channel]) * factors[corner]);
        }
    }
}

void ZTLayerGradient::setEndColor(const ztColor3B& color)
{
    m_endColor = color;
    updateColor();
}

void ZTLayerGradient::setStartOpacity(GLubyte opacity)
{
    m_cStartOpacity = opacity;
    updateColor();
}

void ZTLayerGradient::setEndOpacity(GLubyte opacity)
{
    m_cEndOpacity = opacity;
    updateColor();
}

void ZTLayerGradient::setVector(const ZTPoint& vector)
{
    m_AlongVector = vector;
    updateColor();
}

void ZTLayerGradient::setIsCompressedInterpolation(bool compressed)
{
    m_bCompressedInterpolation = compressed;
    updateColor();
}

} // namespace zanth2d
