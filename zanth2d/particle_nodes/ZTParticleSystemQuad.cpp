#include "particle_nodes/ZTParticleSystemQuad.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdlib>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "particle_nodes/ZTParticleSpriteProgram.h"
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
static_assert(sizeof(ztParticleSprite) == 16, "a sprite is uploaded as 16 packed bytes");

bool s_pointSpritesAllowed = true;

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
    std::free(m_pSprites);
    m_pQuads = nullptr;
    m_pIndices = nullptr;
    m_pSprites = nullptr;
    m_uQuadCount = 0;
    if ((m_uQuadsVBO || m_uIndicesVBO || m_uSpritesVBO) && DesktopWindow::hasCurrentContext()) {
        const GLuint buffers[3] = {m_uQuadsVBO, m_uIndicesVBO, m_uSpritesVBO};
        glDeleteBuffers(3, buffers);
        m_uQuadsVBO = 0;
        m_uIndicesVBO = 0;
        m_uSpritesVBO = 0;
    }
}

void ZTParticleSystemQuad::setPointSpritesAllowed(bool allowed)
{
    s_pointSpritesAllowed = allowed;
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
        m_pSprites = static_cast<ztParticleSprite*>(std::calloc(numberOfParticles, sizeof(ztParticleSprite)));
        if (!m_pQuads || !m_pIndices || !m_pSprites) {
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

    GLuint buffers[3] = {0, 0, 0};
    glGenBuffers(3, buffers);
    m_uQuadsVBO = buffers[0];
    m_uIndicesVBO = buffers[1];
    m_uSpritesVBO = buffers[2];
    glBindBuffer(GL_ARRAY_BUFFER, m_uQuadsVBO);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uQuadCount * kQuadBytes), m_pQuads,
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, m_uSpritesVBO);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uQuadCount * sizeof(ztParticleSprite)),
                 m_pSprites, GL_DYNAMIC_DRAW);
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
    m_fTexLeft = left;
    m_fTexRight = right;
    m_fTexTop = top;
    m_fTexBottom = bottom;
    m_bQuadsUploaded = false;
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
    ztParticleSprite* __restrict sprites = m_pSprites;
    if (from == 0) {
        m_bAnyTurned = false;
        m_fSmallestSize = FLT_MAX;
        m_fLargestSize = 0.0f;
    }
    bool turned = m_bAnyTurned;
    float smallest = m_fSmallestSize;
    float largest = m_fLargestSize;
    for (unsigned int i = from; i < to; ++i) {
        sprites[i].position = {drawX[i], drawY[i]};
        sprites[i].color = {colorByte(colorR[i]), colorByte(colorG[i]), colorByte(colorB[i]),
                            colorByte(colorA[i])};
        sprites[i].size = size[i];
        turned |= rotation[i] != 0.0f;
        smallest = std::min(smallest, size[i]);
        largest = std::max(largest, size[i]);
    }
    m_bAnyTurned = turned;
    m_fSmallestSize = smallest;
    m_fLargestSize = largest;
}

void ZTParticleSystemQuad::buildQuads()
{
    if (m_bQuadsBuilt) {
        return;
    }
    m_bQuadsBuilt = true;
    m_bQuadsUploaded = false;
    const unsigned int count = std::min(getParticleCount(), m_uQuadCount);
    using Pool = ZTParticlePool;
    const Pool& pool = getPool();
    const float* __restrict rotation = pool.field(Pool::kRotation);
    const ztParticleSprite* __restrict sprites = m_pSprites;
    ztV2F_C4B_T2F_Quad* __restrict quads = m_pQuads;

    for (unsigned int i = 0; i < count; ++i) {
        ztV2F_C4B_T2F_Quad& quad = quads[i];
        const ztColor4B color = sprites[i].color;
        const float half = sprites[i].size * 0.5f;
        const float x = sprites[i].position.x;
        const float y = sprites[i].position.y;
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

const ztV2F_C4B_T2F_Quad* ZTParticleSystemQuad::getQuads()
{
    buildQuads();
    return m_pQuads;
}

void ZTParticleSystemQuad::postStep()
{
    // What the step changed is uploaded when it is drawn, in the form it is drawn in.
    m_bQuadsBuilt = false;
    m_bQuadsUploaded = false;
    m_bSpritesUploaded = false;
}

// How the current transform maps a node's squares onto the window: pixels per node unit, and the texture
// coordinates of a point coordinate (origin + pc.x * alongX + pc.y * alongY).
struct ZTParticleSystemQuad::SpriteTransform
{
    GLfloat pixelsPerUnit = 1.0f;
    GLfloat origin[2] = {0.0f, 0.0f};
    GLfloat alongX[2] = {1.0f, 0.0f};
    GLfloat alongY[2] = {0.0f, 1.0f};

    // Whether the point coordinate is the texture coordinate.
    bool isPlain() const
    {
        return origin[0] == 0.0f && origin[1] == 0.0f && alongX[0] == 1.0f && alongX[1] == 0.0f &&
               alongY[0] == 0.0f && alongY[1] == 1.0f;
    }
};

bool ZTParticleSystemQuad::spriteTransform(SpriteTransform* transform) const
{
    if (!s_pointSpritesAllowed || m_bAnyTurned) {
        return false;
    }
    GLfloat modelview[16];
    GLfloat projection[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Column-major, as GL keeps them; only the columns of x, y and the origin matter in the plane z = 0.
    auto mvp = [&](int column, int row) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) {
            sum += projection[k * 4 + row] * modelview[column * 4 + k];
        }
        return sum;
    };
    // The plane must not tilt toward the eye: one w all over it.
    const float w = mvp(3, 3);
    if (!(w > 0.0f) || mvp(0, 3) != 0.0f || mvp(1, 3) != 0.0f) {
        return false;
    }
    const float halfWidth = 0.5f * static_cast<float>(viewport[2]) / w;
    const float halfHeight = 0.5f * static_cast<float>(viewport[3]) / w;
    // The window's images of the node's x and y unit vectors, in pixels.
    const float ax = mvp(0, 0) * halfWidth;
    const float ay = mvp(0, 1) * halfHeight;
    const float bx = mvp(1, 0) * halfWidth;
    const float by = mvp(1, 1) * halfHeight;
    const float scale = std::hypot(ax, ay);
    if (!(scale > 0.0f) || std::fabs(std::hypot(bx, by) - scale) > 1e-4f * scale) {
        return false;
    }
    // Upright or turned by right angles (the node's sine and cosine of 90 degrees are not exact zeros).
    const float tolerance = 1e-4f * scale;
    const auto sign = [](float v) { return v > 0.0f ? 1.0f : -1.0f; };
    float unitA[2];
    float unitB[2];
    if (std::fabs(ay) <= tolerance && std::fabs(bx) <= tolerance) {
        unitA[0] = sign(ax), unitA[1] = 0.0f, unitB[0] = 0.0f, unitB[1] = sign(by);
    } else if (std::fabs(ax) <= tolerance && std::fabs(by) <= tolerance) {
        unitA[0] = 0.0f, unitA[1] = sign(ay), unitB[0] = sign(bx), unitB[1] = 0.0f;
    } else {
        return false;
    }
    // Points below a pixel or above the rasteriser's largest would not cover what their quads cover.
    GLfloat range[2] = {1.0f, 1.0f};
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
    if (m_fSmallestSize * scale < 1.0f || m_fLargestSize * scale > range[1]) {
        return false;
    }
    // The texture coordinate of a point coordinate: window offsets from the centre (y up) taken back
    // into the node's axes, as the quad's corners carry the texture.
    const float width = m_fTexRight - m_fTexLeft;
    const float height = m_fTexBottom - m_fTexTop;
    const float centreU = 0.5f * (m_fTexLeft + m_fTexRight);
    const float centreV = 0.5f * (m_fTexTop + m_fTexBottom);
    transform->pixelsPerUnit = scale;
    transform->origin[0] = centreU + 0.5f * width * (unitA[1] - unitA[0]);
    transform->origin[1] = centreV - 0.5f * height * (unitB[1] - unitB[0]);
    transform->alongX[0] = width * unitA[0];
    transform->alongX[1] = -height * unitB[0];
    transform->alongY[0] = -width * unitA[1];
    transform->alongY[1] = height * unitB[1];
    return true;
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
    SpriteTransform transform;
    ZTParticleSpriteProgram* program =
        spriteTransform(&transform) ? ZTParticleSpriteProgram::current(!transform.isPlain()) : nullptr;
    m_bDrewPointSprites = program != nullptr;
    if (program) {
        program->use(transform.pixelsPerUnit, transform.origin, transform.alongX, transform.alongY);
        drawSprites(count);
        ZTParticleSpriteProgram::done();
    } else {
        // Weighted by their own alpha, fully transparent fragments leave the background as it is: the
        // rasteriser can drop them before blending (a large share of a soft round sprite). Sprites gain
        // nothing by it.
        const bool dropTransparent =
            blend.src == GL_SRC_ALPHA && (blend.dst == GL_ONE || blend.dst == GL_ONE_MINUS_SRC_ALPHA);
        if (dropTransparent) {
            glEnable(GL_ALPHA_TEST);
            glAlphaFunc(GL_GREATER, 0.0f);
        }
        drawQuads(count);
        if (dropTransparent) {
            glDisable(GL_ALPHA_TEST);
        }
    }
    if (newBlend) {
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
}

void ZTParticleSystemQuad::drawSprites(unsigned int count)
{
    using Program = ZTParticleSpriteProgram;
    glBindBuffer(GL_ARRAY_BUFFER, m_uSpritesVBO);
    if (!m_bSpritesUploaded) {
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(ztParticleSprite)),
                        m_pSprites);
        m_bSpritesUploaded = true;
    }
    constexpr GLsizei kStride = sizeof(ztParticleSprite);
    glEnableVertexAttribArray(Program::kPosition);
    glEnableVertexAttribArray(Program::kColor);
    glEnableVertexAttribArray(Program::kSize);
    glVertexAttribPointer(Program::kPosition, 2, GL_FLOAT, GL_FALSE, kStride,
                          reinterpret_cast<const GLvoid*>(offsetof(ztParticleSprite, position)));
    glVertexAttribPointer(Program::kColor, 4, GL_UNSIGNED_BYTE, GL_TRUE, kStride,
                          reinterpret_cast<const GLvoid*>(offsetof(ztParticleSprite, color)));
    glVertexAttribPointer(Program::kSize, 1, GL_FLOAT, GL_FALSE, kStride,
                          reinterpret_cast<const GLvoid*>(offsetof(ztParticleSprite, size)));
    glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glEnable(GL_POINT_SPRITE);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(count));
    glDisable(GL_POINT_SPRITE);
    glDisable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glDisableVertexAttribArray(Program::kPosition);
    glDisableVertexAttribArray(Program::kColor);
    glDisableVertexAttribArray(Program::kSize);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void ZTParticleSystemQuad::drawQuads(unsigned int count)
{
    buildQuads();
    glBindBuffer(GL_ARRAY_BUFFER, m_uQuadsVBO);
    if (!m_bQuadsUploaded) {
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * kQuadBytes), m_pQuads);
        m_bQuadsUploaded = true;
    }
    constexpr GLsizei kStride = sizeof(ztV2F_C4B_T2F);
    glVertexPointer(2, GL_FLOAT, kStride, reinterpret_cast<const GLvoid*>(offsetof(ztV2F_C4B_T2F, vertices)));
    glColorPointer(4, GL_UNSIGNED_BYTE, kStride,
                   reinterpret_cast<const GLvoid*>(offsetof(ztV2F_C4B_T2F, colors)));
    glTexCoordPointer(2, GL_FLOAT, kStride,
                      reinterpret_cast<const GLvoid*>(offsetof(ztV2F_C4B_T2F, texCoords)));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_uIndicesVBO);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * 6), GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

} // namespace zanth2d
