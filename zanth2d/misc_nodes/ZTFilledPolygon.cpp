#include "misc_nodes/ZTFilledPolygon.h"

#include "ZTDirector.h"
#include "ZTDrawingPrimitives.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "misc_nodes/Triangulate.h"
#include "support/ZTRenderer.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

namespace {

std::vector<ZTPoint> triangulated(const std::vector<ZTPoint>& points)
{
    std::vector<Vector2d> contour;
    contour.reserve(points.size());
    for (const ZTPoint& p : points) {
        contour.push_back(Vector2d{p.x, p.y});
    }
    // A contour that is not simple keeps the triangles found before the walk gave up.
    std::vector<Vector2d> triangles;
    Triangulate::Process(contour, triangles);
    std::vector<ZTPoint> result;
    result.reserve(triangles.size());
    for (const Vector2d& v : triangles) {
        result.emplace_back(v.x, v.y);
    }
    return result;
}

} // namespace

ZTFilledPolygon::~ZTFilledPolygon()
{
    if (m_pTexture) {
        m_pTexture->release();
    }
}

ZTFilledPolygon* ZTFilledPolygon::filledPolygonWithPoints(const std::vector<ZTPoint>& points,
                                                          ZTTexture2D* texture, const ztColor4F& color,
                                                          bool fill, bool close)
{
    return ztMakeAutoreleased<ZTFilledPolygon>([&](ZTFilledPolygon* pPolygon) {
        return pPolygon->initWithPoints(points, texture, color, fill, close);
    });
}

bool ZTFilledPolygon::initWithPoints(const std::vector<ZTPoint>& points, ZTTexture2D* texture,
                                     const ztColor4F& color, bool fill, bool close)
{
    m_tColor = color;
    m_bFill = fill;
    m_bClose = close;
    setTexture(texture);
    setPoints(points);
    return true;
}

void ZTFilledPolygon::setTexture(ZTTexture2D* texture)
{
    if (!texture) {
        if (m_pTexture) {
            m_pTexture->release();
            m_pTexture = nullptr;
        }
        return;
    }
    if (texture == m_pTexture) {
        return;
    }
    texture->retain();
    if (m_pTexture) {
        m_pTexture->release();
    }
    m_pTexture = texture;
    m_tBlendFunc = texture->getHasPremultipliedAlpha() ? ztBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}
                                                       : ztBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    ztTexParams params = {GL_NEAREST, GL_NEAREST, GL_REPEAT, GL_REPEAT};
    texture->setTexParameters(&params);
    calculateTextureCoordinates();
}

void ZTFilledPolygon::updateBlendFunc()
{
    m_tBlendFunc = m_pTexture && !m_pTexture->getHasPremultipliedAlpha()
                       ? ztBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}
                       : ztBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
}

void ZTFilledPolygon::setPoints(const std::vector<ZTPoint>& points)
{
    m_textureCoordinates.clear();
    if (!m_pTexture && !m_bFill) {
        m_areaTrianglePoints = points;
        return;
    }
    m_areaTrianglePoints = triangulated(points);
    if (m_pTexture) {
        m_textureCoordinates.resize(m_areaTrianglePoints.size());
        calculateTextureCoordinates();
    }
}

void ZTFilledPolygon::calculateTextureCoordinates()
{
    if (!m_pTexture || m_textureCoordinates.empty() ||
        m_textureCoordinates.size() != m_areaTrianglePoints.size()) {
        return;
    }
    // One texture size in points spans one repeat, anchored at the node's origin; each axis by its own
    // side of the texture.
    const float scale = ZTDirector::sharedDirector()->getContentScaleFactor();
    const float kx = scale / static_cast<float>(m_pTexture->getPixelsWide());
    const float ky = scale / static_cast<float>(m_pTexture->getPixelsHigh());
    for (size_t i = 0; i < m_areaTrianglePoints.size(); ++i) {
        const ZTPoint& p = m_areaTrianglePoints[i];
        m_textureCoordinates[i] = ZTPoint(p.x * kx, 1.0f - p.y * ky);
    }
}

void ZTFilledPolygon::draw()
{
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(m_tColor.r, m_tColor.g, m_tColor.b, m_tColor.a);
    if (!m_pTexture) {
        ztDrawPoly(m_areaTrianglePoints.data(), static_cast<unsigned int>(m_areaTrianglePoints.size()),
                   m_bClose, m_bFill);
    } else if (!m_textureCoordinates.empty()) {
        // A texture set after the points has no coordinates until the next setPoints: nothing is drawn.
        glDisableClientState(GL_COLOR_ARRAY);
        glBindTexture(GL_TEXTURE_2D, m_pTexture->getName());
        glVertexPointer(2, GL_FLOAT, 0, m_areaTrianglePoints.data());
        glTexCoordPointer(2, GL_FLOAT, 0, m_textureCoordinates.data());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(m_areaTrianglePoints.size()));
        glEnableClientState(GL_COLOR_ARRAY);
    }
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
}

} // namespace zanth2d
