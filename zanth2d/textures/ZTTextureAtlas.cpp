#include "textures/ZTTextureAtlas.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ZTMacros.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTCommon.h"
#include "platform/linux/DesktopWindow.h"
#include "support/ZTGLStateCache.h"
#include "support/ZTRenderer.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

namespace zanth2d {

namespace {

constexpr size_t kQuadBytes = sizeof(ztV3F_C4B_T2F_Quad);
constexpr size_t kIndexBytesPerQuad = 6 * sizeof(GLuint);

static_assert(sizeof(ztV3F_C4B_T2F) == 24, "a vertex is uploaded as 24 packed bytes");
static_assert(kQuadBytes == 96, "a quad is uploaded as 96 packed bytes");

} // namespace

ZTTextureAtlas::~ZTTextureAtlas()
{
    releaseStorage();
    if ((m_pBuffersVBO[0] || m_pBuffersVBO[1]) && DesktopWindow::hasCurrentContext()) {
        glDeleteBuffers(2, m_pBuffersVBO);
    }
    ZT_SAFE_RELEASE(m_pTexture);
}

ZTTextureAtlas* ZTTextureAtlas::textureAtlasWithFile(const char* file, unsigned int capacity)
{
    return ztMakeAutoreleased<ZTTextureAtlas>([&](ZTTextureAtlas* pAtlas) { return pAtlas->initWithFile(file, capacity); });
}

ZTTextureAtlas* ZTTextureAtlas::textureAtlasWithTexture(ZTTexture2D* texture, unsigned int capacity)
{
    return ztMakeAutoreleased<ZTTextureAtlas>([&](ZTTextureAtlas* pAtlas) { return pAtlas->initWithTexture(texture, capacity); });
}

bool ZTTextureAtlas::initWithFile(const char* file, unsigned int capacity)
{
    ZTTexture2D* pTexture = ZTTextureCache::sharedTextureCache()->addImage(file);
    if (!pTexture) {
        return false;
    }
    return initWithTexture(pTexture, capacity);
}

bool ZTTextureAtlas::initWithTexture(ZTTexture2D* texture, unsigned int capacity)
{
    ZTAssert(texture != nullptr, "texture != __null");
    ZTAssert(m_pQuads == nullptr && m_pIndices == nullptr, "m_pQuads == __null && m_pIndices == __null");
    if (capacity > kMaxCapacity) {
        ZTLog("ZTTextureAtlas: ERROR: capacity %u is above the largest atlas (%u quads)\n", capacity,
              kMaxCapacity);
        return false;
    }
    m_uCapacity = capacity;
    m_uTotalQuads = 0;
    texture->retain();
    m_pTexture = texture;

    m_pQuads = static_cast<ztV3F_C4B_T2F_Quad*>(std::calloc(capacity, kQuadBytes));
    m_pIndices = static_cast<GLuint*>(std::calloc(capacity, kIndexBytesPerQuad));
    if (capacity && (!m_pQuads || !m_pIndices)) {
        releaseStorage();
        m_uCapacity = 0;
        ZT_SAFE_RELEASE_NULL(m_pTexture);
        return false;
    }

    glGenBuffers(2, m_pBuffersVBO);
    m_bDirty = true;
    initIndices();
    return true;
}

void ZTTextureAtlas::setTexture(ZTTexture2D* texture)
{
    ZT_SAFE_RETAIN(texture);
    ZT_SAFE_RELEASE(m_pTexture);
    m_pTexture = texture;
}

void ZTTextureAtlas::releaseStorage()
{
    std::free(m_pQuads);
    std::free(m_pIndices);
    m_pQuads = nullptr;
    m_pIndices = nullptr;
}

void ZTTextureAtlas::initIndices()
{
    for (unsigned int i = 0; i < m_uCapacity; ++i) {
        const GLuint first = i * 4;
        GLuint* pQuadIndices = m_pIndices + i * 6;
        pQuadIndices[0] = first + 0;
        pQuadIndices[1] = first + 1;
        pQuadIndices[2] = first + 2;
        pQuadIndices[3] = first + 3;
        pQuadIndices[4] = first + 2;
        pQuadIndices[5] = first + 1;
    }
    glBindBuffer(GL_ARRAY_BUFFER, m_pBuffersVBO[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uCapacity * kQuadBytes), m_pQuads,
                 GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_pBuffersVBO[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uCapacity * kIndexBytesPerQuad),
                 m_pIndices, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void ZTTextureAtlas::updateQuad(const ztV3F_C4B_T2F_Quad* quad, unsigned int index)
{
    ZTAssert(index < m_uCapacity, "index >= 0 && index < m_uCapacity");
    m_uTotalQuads = std::max(index + 1, m_uTotalQuads);
    m_pQuads[index] = *quad;
    m_bDirty = true;
}

void ZTTextureAtlas::insertQuad(const ztV3F_C4B_T2F_Quad* quad, unsigned int index)
{
    ZTAssert(index < m_uCapacity, "index < m_uCapacity");
    // An index past the total would leave a run of stale quads between the total and the new one.
    ZTAssert(index <= m_uTotalQuads, "index <= m_uTotalQuads");
    ++m_uTotalQuads;
    ZTAssert(m_uTotalQuads <= m_uCapacity, "m_uTotalQuads <= m_uCapacity");
    const unsigned int remaining = m_uTotalQuads - 1 - index;
    if (remaining > 0) {
        std::memmove(&m_pQuads[index + 1], &m_pQuads[index], remaining * kQuadBytes);
    }
    m_pQuads[index] = *quad;
    m_bDirty = true;
}

void ZTTextureAtlas::insertQuadFromIndex(unsigned int oldIndex, unsigned int newIndex)
{
    ZTAssert(newIndex < m_uTotalQuads, "newIndex >= 0 && newIndex < m_uTotalQuads");
    ZTAssert(oldIndex < m_uTotalQuads, "oldIndex >= 0 && oldIndex < m_uTotalQuads");
    if (oldIndex == newIndex) {
        return;
    }
    const ztV3F_C4B_T2F_Quad saved = m_pQuads[oldIndex];
    if (oldIndex > newIndex) {
        std::memmove(&m_pQuads[newIndex + 1], &m_pQuads[newIndex], (oldIndex - newIndex) * kQuadBytes);
    } else {
        std::memmove(&m_pQuads[oldIndex], &m_pQuads[oldIndex + 1], (newIndex - oldIndex) * kQuadBytes);
    }
    m_pQuads[newIndex] = saved;
    m_bDirty = true;
}

void ZTTextureAtlas::removeQuadAtIndex(unsigned int index)
{
    ZTAssert(index < m_uTotalQuads, "index < m_uTotalQuads");
    const unsigned int remaining = m_uTotalQuads - 1 - index;
    if (remaining > 0) {
        std::memmove(&m_pQuads[index], &m_pQuads[index + 1], remaining * kQuadBytes);
    }
    --m_uTotalQuads;
    m_bDirty = true;
}

bool ZTTextureAtlas::resizeCapacity(unsigned int newCapacity)
{
    if (newCapacity == m_uCapacity) {
        return true;
    }
    if (newCapacity > kMaxCapacity) {
        ZTLog("ZTTextureAtlas: ERROR: capacity %u is above the largest atlas (%u quads)\n", newCapacity,
              kMaxCapacity);
        releaseStorage();
        m_uTotalQuads = 0;
        m_uCapacity = 0;
        return false;
    }
    m_uTotalQuads = std::min(m_uTotalQuads, newCapacity);
    m_uCapacity = newCapacity;

    if (newCapacity == 0) {
        // realloc(p, 0) may free p and answer null, which would leave p behind to be freed again.
        releaseStorage();
        glDeleteBuffers(2, m_pBuffersVBO);
        glGenBuffers(2, m_pBuffersVBO);
        m_bDirty = true;
        initIndices();
        return true;
    }
    void* pQuads =
        m_pQuads ? std::realloc(m_pQuads, newCapacity * kQuadBytes) : std::calloc(newCapacity, kQuadBytes);
    if (pQuads) {
        m_pQuads = static_cast<ztV3F_C4B_T2F_Quad*>(pQuads);
    }
    void* pIndices = m_pIndices ? std::realloc(m_pIndices, newCapacity * kIndexBytesPerQuad)
                                : std::calloc(newCapacity, kIndexBytesPerQuad);
    if (pIndices) {
        m_pIndices = static_cast<GLuint*>(pIndices);
    }
    if (newCapacity && (!pQuads || !pIndices)) {
        releaseStorage();
        m_uTotalQuads = 0;
        m_uCapacity = 0;
        return false;
    }

    glDeleteBuffers(2, m_pBuffersVBO);
    glGenBuffers(2, m_pBuffersVBO);
    m_bDirty = true;
    initIndices();
    return true;
}

void ZTTextureAtlas::drawQuads()
{
    drawNumberOfQuads(m_uTotalQuads, 0);
}

void ZTTextureAtlas::drawNumberOfQuads(unsigned int n)
{
    drawNumberOfQuads(n, 0);
}

void ZTTextureAtlas::drawNumberOfQuads(unsigned int n, unsigned int start)
{
    if (n == 0) {
        return;
    }
    if (start > m_uTotalQuads || n > m_uTotalQuads - start) {
        ZTLog("ZTTextureAtlas: ERROR: cannot draw quads %u to %u of %u\n", start, start + n - 1,
              m_uTotalQuads);
        return;
    }
    // Queued quads were drawn before these; the blend function is the caller's.
    ZTRenderer::sharedRenderer()->flush();
    ZTGLStateCache::setTexturing(true);
    ZTGLStateCache::bindTexture2D(m_pTexture->getName());
    glBindBuffer(GL_ARRAY_BUFFER, m_pBuffersVBO[0]);
    if (m_bDirty) {
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(start * kQuadBytes),
                        static_cast<GLsizeiptr>(n * kQuadBytes), m_pQuads + start);
        m_bDirty = false;
    }
    constexpr GLsizei kStride = sizeof(ztV3F_C4B_T2F);
    glVertexPointer(3, GL_FLOAT, kStride, reinterpret_cast<const GLvoid*>(offsetof(ztV3F_C4B_T2F, vertices)));
    glColorPointer(4, GL_UNSIGNED_BYTE, kStride,
                   reinterpret_cast<const GLvoid*>(offsetof(ztV3F_C4B_T2F, colors)));
    glTexCoordPointer(2, GL_FLOAT, kStride,
                      reinterpret_cast<const GLvoid*>(offsetof(ztV3F_C4B_T2F, texCoords)));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_pBuffersVBO[1]);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(n * 6), GL_UNSIGNED_INT,
                   reinterpret_cast<const GLvoid*>(start * kIndexBytesPerQuad));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

char* ZTTextureAtlas::description() const
{
    char* pszRet = new char[100];
    std::snprintf(pszRet, 100, "<ZTTextureAtlas | totalQuads = %u>", m_uTotalQuads);
    return pszRet;
}

} // namespace zanth2d
