#include "particle_nodes/ZTParticleSystemQuad.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTCommon.h"
#include "platform/linux/DesktopWindow.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "support/ZTRenderer.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr size_t kQuadBytes = sizeof(ztV2F_C4B_T2F_Quad);
constexpr size_t kIndexBytesPerQuad = 6 * sizeof(GLuint);

static_assert(sizeof(ztV2F_C4B_T2F) == 20, "a vertex is uploaded as 20 packed bytes");
static_assert(kQuadBytes == 80, "a quad is uploaded as 80 packed bytes");

// A colour component 0 to 1 as a byte, truncated (0.5 is 127); out of range values stop at 0 and 255.
GLubyte colorByte(float component)
{
    // std::max(0, NaN) is 0.
    const float value = std::min(255.0f, std::max(0.0f, component * 255.0f));
    return static_cast<GLubyte>(static_cast<int>(value));
}

void setCorner(ztV2F_C4B_T2F& vertex, float x, float y, ztColor4B color)
{
    vertex.vertices.x = x;
    vertex.vertices.y = y;
    vertex.colors = color;
}

} // namespace

ZTParticleSystemQuad::~ZTParticleSystemQuad()
{
    releaseStorage();
}

ZTParticleSystemQuad* ZTParticleSystemQuad::particleWithFile(const char* plistFile)
{
    return ztMakeAutoreleased<ZTParticleSystemQuad>(
        [&](ZTParticleSystemQuad* pSystem) { return pSystem->initWithFile(plistFile); });
}

ZTParticleSystemQuad* ZTParticleSystemQuad::particleWithTotalParticles(unsigned int numberOfParticles)
{
    return ztMakeAutoreleased<ZTParticleSystemQuad>(
        [&](ZTParticleSystemQuad* pSystem) { return pSystem->initWithTotalParticles(numberOfParticles); });
}

void ZTParticleSystemQuad::releaseStorage()
{
    std::free(m_pQuads);
    std::free(m_pIndices);
    m_pQuads = nullptr;
    m_pIndices = nullptr;
    m_uQuadCount = 0;
    if ((m_uQuadsVBO || m_uIndicesVBO) && DesktopWindow::hasCurrentContext()) {
        const GLuint buffers[2] = {m_uQuadsVBO, m_uIndicesVBO};
        glDeleteBuffers(2, buffers);
        m_uQuadsVBO = 0;
        m_uIndicesVBO = 0;
    }
}

bool ZTParticleSystemQuad::initWithTotalParticles(unsigned int numberOfParticles)
{
    releaseStorage();
    if (!ZTParticleSystem::initWithTotalParticles(numberOfParticles)) {
        return false;
    }
    if (numberOfParticles > 0) {
        m_pQuads = static_cast<ztV2F_C4B_T2F_Quad*>(std::calloc(numberOfParticles, kQuadBytes));
        m_pIndices = static_cast<GLuint*>(std::calloc(numberOfParticles, kIndexBytesPerQuad));
        if (!m_pQuads || !m_pIndices) {
            releaseStorage();
            ZTParticleSystem::initWithTotalParticles(0);
            ZTLog("ZTParticleSystemQuad: ERROR: no memory for the quads of %u particles\n",
                  numberOfParticles);
            return false;
        }
    }
    m_uQuadCount = numberOfParticles;

    ZTTexture2D* texture = getTexture();
    if (texture) {
        initTexCoordsWithRect(ZTRect(0.0f, 0.0f, static_cast<float>(texture->getPixelsWide()),
                                     static_cast<float>(texture->getPixelsHigh())));
    } else {
        initTexCoordsWithRect(ZTRect(0.0f, 0.0f, 1.0f, 1.0f));
    }

    GLuint buffers[2] = {0, 0};
    glGenBuffers(2, buffers);
    m_uQuadsVBO = buffers[0];
    m_uIndicesVBO = buffers[1];
    glBindBuffer(GL_ARRAY_BUFFER, m_uQuadsVBO);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uQuadCount * kQuadBytes), m_pQuads,
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    initIndices();
    return true;
}

void ZTParticleSystemQuad::initIndices()
{
    for (unsigned int i = 0; i < m_uQuadCount; ++i) {
        const GLuint first = i * 4;
        GLuint* quadIndices = m_pIndices + static_cast<size_t>(i) * 6;
        quadIndices[0] = first;
        quadIndices[1] = first + 1;
        quadIndices[2] = first + 2;
        quadIndices[3] = first + 3;
        quadIndices[4] = first + 2;
        quadIndices[5] = first + 1;
    }
    if (m_uIndicesVBO) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_uIndicesVBO);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uQuadCount * kIndexBytesPerQuad),
                     m_pIndices, GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
}

void ZTParticleSystemQuad::initTexCoordsWithRect(const ZTRect& pointRect)
{
    const float csf = ZTDirector::sharedDirector()->getContentScaleFactor();
    const ZTRect rect(pointRect.origin.x * csf, pointRect.origin.y * csf, pointRect.size.width * csf,
                      pointRect.size.height * csf);
    float wide = pointRect.size.width;
    float high = pointRect.size.height;
    if (ZTTexture2D* texture = getTexture()) {
        wide = static_cast<float>(texture->getPixelsWide());
        high = static_cast<float>(texture->getPixelsHigh());
    }
    const float left = rect.origin.x / wide;
    const float right = left + rect.size.width / wide;
    // Texture rows run top-down in the image.
    const float top = rect.origin.y / high;
    const float bottom = top + rect.size.height / high;
    for (unsigned int i = 0; i < m_uQuadCount; ++i) {
        ztV2F_C4B_T2F_Quad& quad = m_pQuads[i];
        quad.bl.texCoords = {left, bottom};
        quad.br.texCoords = {right, bottom};
        quad.tl.texCoords = {left, top};
        quad.tr.texCoords = {right, top};
    }
}

void ZTParticleSystemQuad::setTexture(ZTTexture2D* texture)
{
    if (!texture) {
        ZTParticleSystem::setTexture(nullptr);
        return;
    }
    const ZTSize size = texture->getContentSize();
    setTextureWithRect(texture, ZTRect(0.0f, 0.0f, size.width, size.height));
}

void ZTParticleSystemQuad::setTextureWithRect(ZTTexture2D* texture, const ZTRect& rect)
{
    ZTTexture2D* current = getTexture();
    if (!texture || !current || current->getName() != texture->getName()) {
        ZTParticleSystem::setTexture(texture);
    }
    initTexCoordsWithRect(rect);
}

void ZTParticleSystemQuad::setDisplayFrame(ZTSpriteFrame* spriteFrame)
{
    ZTAssert(ZTPoint::ZTPointEqualToPoint(spriteFrame->getOffsetInPixels(), ZTPointZero),
             "ZTPoint::ZTPointEqualToPoint( spriteFrame->getOffsetInPixels() , ZTPointZero )");
    ZTTexture2D* current = getTexture();
    if (!current || current->getName() != spriteFrame->getTexture()->getName()) {
        setTexture(spriteFrame->getTexture());
    }
}

void ZTParticleSystemQuad::updateQuads(unsigned int from, unsigned int to)
{
    computeDrawPositions(from, to);
    using Pool = ZTParticlePool;
    const Pool& pool = getPool();
    const float* __restrict drawX = pool.field(Pool::kDrawX);
    const float* __restrict drawY = pool.field(Pool::kDrawY);
    const float* __restrict colorR = pool.field(Pool::kColorR);
    const float* __restrict colorG = pool.field(Pool::kColorG);
    const float* __restrict colorB = pool.field(Pool::kColorB);
    const float* __restrict colorA = pool.field(Pool::kColorA);
    const float* __restrict size = pool.field(Pool::kSize);
    const float* __restrict rotation = pool.field(Pool::kRotation);
    ztV2F_C4B_T2F_Quad* __restrict quads = m_pQuads;

    for (unsigned int i = from; i < to; ++i) {
        ztV2F_C4B_T2F_Quad& quad = quads[i];
        const ztColor4B color = {colorByte(colorR[i]), colorByte(colorG[i]), colorByte(colorB[i]),
                                 colorByte(colorA[i])};
        const float half = size[i] * 0.5f;
        const float x = drawX[i];
        const float y = drawY[i];
        if (rotation[i] == 0.0f) {
            setCorner(quad.bl, x - half, y - half, color);
            setCorner(quad.br, x + half, y - half, color);
            setCorner(quad.tl, x - half, y + half, color);
            setCorner(quad.tr, x + half, y + half, color);
            continue;
        }
        // The spin turns the quad clockwise.
        const float radians = -rotation[i] * kDegreesToRadians;
        const float cr = std::cos(radians);
        const float sr = std::sin(radians);
        const float x1 = -half;
        const float y1 = -half;
        const float x2 = half;
        const float y2 = half;
        setCorner(quad.bl, x1 * cr - y1 * sr + x, x1 * sr + y1 * cr + y, color);
        setCorner(quad.br, x2 * cr - y1 * sr + x, x2 * sr + y1 * cr + y, color);
        setCorner(quad.tl, x1 * cr - y2 * sr + x, x1 * sr + y2 * cr + y, color);
        setCorner(quad.tr, x2 * cr - y2 * sr + x, x2 * sr + y2 * cr + y, color);
    }
}

void ZTParticleSystemQuad::postStep()
{
    const unsigned int count = getParticleCount();
    if (count == 0 || !m_uQuadsVBO) {
        return;
    }
    glBindBuffer(GL_ARRAY_BUFFER, m_uQuadsVBO);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * kQuadBytes), m_pQuads);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ZTParticleSystemQuad::draw()
{
    ZTTexture2D* texture = getTexture();
    const unsigned int count = std::min(getParticleIndex(), getParticleCount());
    if (!texture || count == 0 || !m_uQuadsVBO) {
        return;
    }
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    glBindTexture(GL_TEXTURE_2D, texture->getName());
    glBindBuffer(GL_ARRAY_BUFFER, m_uQuadsVBO);
    constexpr GLsizei kStride = sizeof(ztV2F_C4B_T2F);
    glVertexPointer(2, GL_FLOAT, kStride, reinterpret_cast<const GLvoid*>(offsetof(ztV2F_C4B_T2F, vertices)));
    glColorPointer(4, GL_UNSIGNED_BYTE, kStride,
                   reinterpret_cast<const GLvoid*>(offsetof(ztV2F_C4B_T2F, colors)));
    glTexCoordPointer(2, GL_FLOAT, kStride,
                      reinterpret_cast<const GLvoid*>(offsetof(ztV2F_C4B_T2F, texCoords)));

    const ztBlendFunc blend = getBlendFunc();
    // Effect files can carry any number as a factor; GL would refuse it at every draw.
    const auto isFactor = [](GLenum factor, bool source) {
        return factor == GL_ZERO || factor == GL_ONE ||
               (factor >= GL_SRC_COLOR && factor <= GL_ONE_MINUS_DST_COLOR) ||
               (source && factor == GL_SRC_ALPHA_SATURATE);
    };
    const bool validBlend = isFactor(blend.src, true) && isFactor(blend.dst, false);
    if (!validBlend && !m_bReportedBlendFunc) {
        ZTLog(
            "ZTParticleSystemQuad: WARNING: blend factors %u / %u are no GL blend factors, drawing with the "
            "default blending\n",
            unsigned(blend.src), unsigned(blend.dst));
        m_bReportedBlendFunc = true;
    }
    const bool newBlend = validBlend && (blend.src != GL_ONE || blend.dst != GL_ONE_MINUS_SRC_ALPHA);
    if (newBlend) {
        glBlendFunc(blend.src, blend.dst);
    }
    // Weighted by their own alpha, fully transparent fragments leave the background as it is: the
    // rasteriser can drop them before blending (a large share of a soft round sprite).
    const bool dropTransparent =
        blend.src == GL_SRC_ALPHA && (blend.dst == GL_ONE || blend.dst == GL_ONE_MINUS_SRC_ALPHA);
    if (dropTransparent) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_uIndicesVBO);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * 6), GL_UNSIGNED_INT, nullptr);
    if (dropTransparent) {
        glDisable(GL_ALPHA_TEST);
    }
    if (newBlend) {
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

} // namespace zanth2d
