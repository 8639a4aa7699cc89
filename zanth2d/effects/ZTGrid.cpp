#include "effects/ZTGrid.h"

#include <algorithm>
#include <cstdlib>

#include "ZTCamera.h"
#include "ZTConfiguration.h"
#include "ZTDirector.h"
#include "ZTMacros.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "effects/ZTGrabber.h"
#include "platform/ZTCommon.h"
#include "support/ZTGLU.h"
#include "support/ZTRenderer.h"
#include "support/ZTUtils.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

namespace {

void writeVertex(std::vector<GLfloat>& array, size_t at, const ztVertex3F& v)
{
    array[at] = v.x;
    array[at + 1] = v.y;
    array[at + 2] = v.z;
}

ztVertex3F readVertex(const std::vector<GLfloat>& array, size_t at)
{
    return ztVertex3F{array[at], array[at + 1], array[at + 2]};
}

ztQuad3 readQuad(const std::vector<GLfloat>& array, size_t at)
{
    return ztQuad3{readVertex(array, at), readVertex(array, at + 3), readVertex(array, at + 6),
                   readVertex(array, at + 9)};
}

// Draws the grid's texture through a mesh; the colour array is off, so the current colour is made white
// (whatever an earlier draw left there would tint the picture).
void drawMesh(const std::vector<GLfloat>& vertices, const std::vector<GLfloat>& texCoordinates,
              const std::vector<GLushort>& indices)
{
    if (indices.empty()) {
        return;
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoordinates.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
    glEnableClientState(GL_COLOR_ARRAY);
}

} // namespace

//
// ZTGridBase
//

ZTGridBase::~ZTGridBase()
{
    if (m_bActive) {
        setActive(false);
    }
    ZT_SAFE_RELEASE(m_pTexture);
    ZT_SAFE_RELEASE(m_pGrabber);
}

bool ZTGridBase::acceptsGridSize(const char* kind, const ztGridSize& gridSize, long long vertexCount)
{
    if (gridSize.x < 1 || gridSize.y < 1 || vertexCount > kMaxVertices) {
        ZTLog("%s: WARNING: a grid of %d x %d tiles is refused: it needs at least one tile and at most %lld "
              "vertices\n",
              kind, gridSize.x, gridSize.y, kMaxVertices);
        return false;
    }
    return true;
}

bool ZTGridBase::initWithSize(const ztGridSize& gridSize)
{
    if (!isGridSizeSupported(gridSize)) {
        return false;
    }
    const ZTSize size = ZTDirector::sharedDirector()->getWinSizeInPixels();
    if (size.width < 1 || size.height < 1) {
        ZTLog("ZTGridBase: WARNING: there is no window to capture\n");
        return false;
    }
    const unsigned long wide = ztNextPOT(static_cast<unsigned long>(size.width));
    const unsigned long high = ztNextPOT(static_cast<unsigned long>(size.height));
    const auto maxSize = static_cast<unsigned long>(ZTConfiguration::sharedConfiguration()->getMaxTextureSize());
    if (wide > maxSize || high > maxSize) {
        ZTLog("ZTGridBase: WARNING: a %lu x %lu texture exceeds the largest texture (%lu)\n", wide, high, maxSize);
        return false;
    }
    void* data = std::calloc(wide * high, 4);
    if (!data) {
        ZTLog("ZTGridBase: WARNING: no memory for a %lu x %lu texture\n", wide, high);
        return false;
    }
    auto* texture = new ZTTexture2D();
    const bool made = texture->initWithData(data, kZTTexture2DPixelFormat_RGBA8888, static_cast<unsigned int>(wide),
                                            static_cast<unsigned int>(high), size);
    std::free(data);
    const bool ready = made && initWithSize(gridSize, texture, false);
    texture->release();
    return ready;
}

bool ZTGridBase::initWithSize(const ztGridSize& gridSize, ZTTexture2D* pTexture, bool bFlipped)
{
    if (!isGridSizeSupported(gridSize)) {
        return false;
    }
    if (!pTexture) {
        ZTLog("ZTGridBase: WARNING: a grid needs a texture\n");
        return false;
    }
    m_bActive = false;
    m_nReuseGrid = 0;
    m_sGridSize = gridSize;
    pTexture->retain();
    ZT_SAFE_RELEASE(m_pTexture);
    m_pTexture = pTexture;
    m_bIsTextureFlipped = bFlipped;
    const ZTSize& content = m_pTexture->getContentSizeInPixels();
    m_obStep = ZTPoint(content.width / static_cast<float>(gridSize.x), content.height / static_cast<float>(gridSize.y));

    ZT_SAFE_RELEASE(m_pGrabber);
    m_pGrabber = new ZTGrabber();
    m_pGrabber->grab(m_pTexture);
    calculateVertexPoints();
    return true;
}

void ZTGridBase::setActive(bool bActive)
{
    m_bActive = bActive;
    if (!bActive) {
        ZTDirector* director = ZTDirector::sharedDirector();
        director->setProjection(director->getProjection());
    }
}

void ZTGridBase::setIsTextureFlipped(bool bFlipped)
{
    if (m_bIsTextureFlipped != bFlipped) {
        m_bIsTextureFlipped = bFlipped;
        calculateVertexPoints();
    }
}

void ZTGridBase::restoreDirectorProjection()
{
    ZTDirector* director = ZTDirector::sharedDirector();
    director->setProjection(director->getProjection());
    applyLandscape();
}

void ZTGridBase::beforeDraw()
{
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    if (!m_pGrabber->isComplete()) {
        // Nothing can be captured: the node draws straight to the screen from the frame's own matrices.
        restoreDirectorProjection();
        return;
    }
    set2DProjection();
    m_pGrabber->beforeRender(m_pTexture);
}

void ZTGridBase::afterDraw(ZTNode* pTarget)
{
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    if (!m_pGrabber->isComplete()) {
        return;
    }
    m_pGrabber->afterRender(m_pTexture);
    set3DProjection();
    applyLandscape();

    // The camera moves the captured picture as a whole; locate() does nothing for an unchanged camera.
    const ZTPoint anchor = pTarget->getAnchorPointInPixels();
    glTranslatef(anchor.x, anchor.y, 0);
    pTarget->getCamera()->locate();
    glTranslatef(-anchor.x, -anchor.y, 0);

    glBindTexture(GL_TEXTURE_2D, m_pTexture->getName());
    restoreDirectorProjection();
    blit();
}

void ZTGridBase::set2DProjection()
{
    const ZTSize size = ZTDirector::sharedDirector()->getWinSizeInPixels();
    glLoadIdentity();
    glViewport(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, size.width, 0, size.height, -1024, 1024);
    glMatrixMode(GL_MODELVIEW);
}

void ZTGridBase::set3DProjection()
{
    ZTDirector* director = ZTDirector::sharedDirector();
    const ZTSize size = director->getDisplaySizeInPixels();
    glViewport(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, size.width / size.height, 0.5f, 1500.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(size.width / 2, size.height / 2, director->getZEye(), size.width / 2, size.height / 2, 0, 0.0f, 1.0f,
              0.0f);
}

void ZTGridBase::applyLandscape()
{
    ZTDirector::sharedDirector()->applyOrientation();
}

//
// ZTGrid3D
//

ZTGrid3D* ZTGrid3D::gridWithSize(const ztGridSize& gridSize)
{
    return ztMakeAutoreleased<ZTGrid3D>([&](ZTGrid3D* p) { return p->initWithSize(gridSize); });
}

ZTGrid3D* ZTGrid3D::gridWithSize(const ztGridSize& gridSize, ZTTexture2D* pTexture, bool bFlipped)
{
    return ztMakeAutoreleased<ZTGrid3D>([&](ZTGrid3D* p) { return p->initWithSize(gridSize, pTexture, bFlipped); });
}

bool ZTGrid3D::isGridSizeSupported(const ztGridSize& gridSize) const
{
    const long long points = (static_cast<long long>(gridSize.x) + 1) * (static_cast<long long>(gridSize.y) + 1);
    return acceptsGridSize("ZTGrid3D", gridSize, points);
}

size_t ZTGrid3D::vertexIndex(const ztGridSize& pos) const
{
    ZTAssert(pos.x >= 0 && pos.x <= m_sGridSize.x && pos.y >= 0 && pos.y <= m_sGridSize.y,
             "pos inside the lattice");
    return (static_cast<size_t>(pos.x) * (m_sGridSize.y + 1) + pos.y) * 3;
}

ztVertex3F ZTGrid3D::vertex(const ztGridSize& pos) const
{
    return readVertex(m_pVertices, vertexIndex(pos));
}

ztVertex3F ZTGrid3D::originalVertex(const ztGridSize& pos) const
{
    return readVertex(m_pOriginalVertices, vertexIndex(pos));
}

void ZTGrid3D::setVertex(const ztGridSize& pos, const ztVertex3F& vertex)
{
    writeVertex(m_pVertices, vertexIndex(pos), vertex);
}

void ZTGrid3D::blit()
{
    drawMesh(m_pVertices, m_pTexCoordinates, m_pIndices);
}

void ZTGrid3D::reuse()
{
    if (m_nReuseGrid > 0) {
        m_pOriginalVertices = m_pVertices;
        --m_nReuseGrid;
    }
}

void ZTGrid3D::calculateVertexPoints()
{
    const auto width = static_cast<float>(m_pTexture->getPixelsWide());
    const auto height = static_cast<float>(m_pTexture->getPixelsHigh());
    const float imageH = m_pTexture->getContentSizeInPixels().height;
    const int gx = m_sGridSize.x;
    const int gy = m_sGridSize.y;
    const size_t points = static_cast<size_t>(gx + 1) * (gy + 1);

    m_pVertices.assign(points * 3, 0.0f);
    m_pTexCoordinates.assign(points * 2, 0.0f);
    m_pIndices.assign(static_cast<size_t>(gx) * gy * 6, 0);

    for (int x = 0; x < gx; ++x) {
        for (int y = 0; y < gy; ++y) {
            const float x1 = x * m_obStep.x;
            const float x2 = x1 + m_obStep.x;
            const float y1 = y * m_obStep.y;
            const float y2 = y1 + m_obStep.y;
            const auto a = static_cast<GLushort>(x * (gy + 1) + y);
            const auto b = static_cast<GLushort>((x + 1) * (gy + 1) + y);
            const auto c = static_cast<GLushort>((x + 1) * (gy + 1) + y + 1);
            const auto d = static_cast<GLushort>(x * (gy + 1) + y + 1);

            GLushort* tile = &m_pIndices[(static_cast<size_t>(y) * gx + x) * 6];
            const GLushort order[6] = {a, b, d, b, c, d};
            std::copy(order, order + 6, tile);

            const GLushort corners[4] = {a, b, c, d};
            const ztVertex3F positions[4] = {{x1, y1, 0}, {x2, y1, 0}, {x2, y2, 0}, {x1, y2, 0}};
            for (int i = 0; i < 4; ++i) {
                writeVertex(m_pVertices, corners[i] * 3u, positions[i]);
                const float v = m_bIsTextureFlipped ? imageH - positions[i].y : positions[i].y;
                m_pTexCoordinates[corners[i] * 2u] = positions[i].x / width;
                m_pTexCoordinates[corners[i] * 2u + 1] = v / height;
            }
        }
    }
    m_pOriginalVertices = m_pVertices;
}

//
// ZTTiledGrid3D
//

ZTTiledGrid3D* ZTTiledGrid3D::gridWithSize(const ztGridSize& gridSize)
{
    return ztMakeAutoreleased<ZTTiledGrid3D>([&](ZTTiledGrid3D* p) { return p->initWithSize(gridSize); });
}

ZTTiledGrid3D* ZTTiledGrid3D::gridWithSize(const ztGridSize& gridSize, ZTTexture2D* pTexture, bool bFlipped)
{
    return ztMakeAutoreleased<ZTTiledGrid3D>(
        [&](ZTTiledGrid3D* p) { return p->initWithSize(gridSize, pTexture, bFlipped); });
}

bool ZTTiledGrid3D::isGridSizeSupported(const ztGridSize& gridSize) const
{
    const long long corners = 4 * static_cast<long long>(gridSize.x) * static_cast<long long>(gridSize.y);
    return acceptsGridSize("ZTTiledGrid3D", gridSize, corners);
}

size_t ZTTiledGrid3D::tileIndex(const ztGridSize& pos) const
{
    ZTAssert(pos.x >= 0 && pos.x < m_sGridSize.x && pos.y >= 0 && pos.y < m_sGridSize.y, "pos inside the grid");
    return (static_cast<size_t>(pos.x) * m_sGridSize.y + pos.y) * 12;
}

ztQuad3 ZTTiledGrid3D::tile(const ztGridSize& pos) const
{
    return readQuad(m_pVertices, tileIndex(pos));
}

ztQuad3 ZTTiledGrid3D::originalTile(const ztGridSize& pos) const
{
    return readQuad(m_pOriginalVertices, tileIndex(pos));
}

void ZTTiledGrid3D::setTile(const ztGridSize& pos, const ztQuad3& coords)
{
    const size_t at = tileIndex(pos);
    writeVertex(m_pVertices, at, coords.bl);
    writeVertex(m_pVertices, at + 3, coords.br);
    writeVertex(m_pVertices, at + 6, coords.tl);
    writeVertex(m_pVertices, at + 9, coords.tr);
}

void ZTTiledGrid3D::blit()
{
    drawMesh(m_pVertices, m_pTexCoordinates, m_pIndices);
}

void ZTTiledGrid3D::reuse()
{
    if (m_nReuseGrid > 0) {
        m_pOriginalVertices = m_pVertices;
        --m_nReuseGrid;
    }
}

void ZTTiledGrid3D::calculateVertexPoints()
{
    const auto width = static_cast<float>(m_pTexture->getPixelsWide());
    const auto height = static_cast<float>(m_pTexture->getPixelsHigh());
    const float imageH = m_pTexture->getContentSizeInPixels().height;
    const size_t tiles = static_cast<size_t>(m_sGridSize.x) * m_sGridSize.y;

    m_pVertices.assign(tiles * 12, 0.0f);
    m_pTexCoordinates.assign(tiles * 8, 0.0f);
    m_pIndices.assign(tiles * 6, 0);

    GLfloat* vertex = m_pVertices.data();
    GLfloat* tex = m_pTexCoordinates.data();
    for (int x = 0; x < m_sGridSize.x; ++x) {
        for (int y = 0; y < m_sGridSize.y; ++y) {
            const float x1 = x * m_obStep.x;
            const float x2 = x1 + m_obStep.x;
            const float y1 = y * m_obStep.y;
            const float y2 = y1 + m_obStep.y;
            const GLfloat corners[12] = {x1, y1, 0, x2, y1, 0, x1, y2, 0, x2, y2, 0};
            vertex = std::copy(corners, corners + 12, vertex);

            const float ny1 = m_bIsTextureFlipped ? imageH - y1 : y1;
            const float ny2 = m_bIsTextureFlipped ? imageH - y2 : y2;
            const GLfloat coordinates[8] = {x1 / width, ny1 / height, x2 / width, ny1 / height,
                                            x1 / width, ny2 / height, x2 / width, ny2 / height};
            tex = std::copy(coordinates, coordinates + 8, tex);
        }
    }
    for (size_t q = 0; q < tiles; ++q) {
        const auto base = static_cast<GLushort>(q * 4);
        const GLushort order[6] = {base, static_cast<GLushort>(base + 1), static_cast<GLushort>(base + 2),
                                   static_cast<GLushort>(base + 1), static_cast<GLushort>(base + 2),
                                   static_cast<GLushort>(base + 3)};
        std::copy(order, order + 6, &m_pIndices[q * 6]);
    }
    m_pOriginalVertices = m_pVertices;
}

} // namespace zanth2d
