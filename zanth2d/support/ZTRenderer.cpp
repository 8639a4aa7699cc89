#include "support/ZTRenderer.h"

#include <algorithm>
#include <cstddef>

#include "platform/linux/DesktopWindow.h"
#include "support/ZTGLStack.h"
#include "support/ZTGLStateCache.h"

namespace zanth2d {

namespace {

constexpr GLsizei kStride = sizeof(ztV3F_C4B_T2F);

bool sameBlend(const ztBlendFunc& a, const ztBlendFunc& b)
{
    return a.src == b.src && a.dst == b.dst;
}

} // namespace

ZTRenderer* ZTRenderer::sharedRenderer()
{
    static ZTRenderer renderer;
    return &renderer;
}

void ZTRenderer::setBatchingEnabled(bool enabled)
{
    if (!enabled) {
        beginDirectDraw();
    }
    m_bBatching = enabled;
}

bool ZTRenderer::readModelView()
{
    m_pModelView = ZTGLStack::modelView();
    if (!m_pModelView) {
        glGetFloatv(GL_MODELVIEW_MATRIX, m_aModelView);
        m_pModelView = m_aModelView;
    }
    return m_pModelView[3] == 0.0f && m_pModelView[7] == 0.0f && m_pModelView[11] == 0.0f &&
           m_pModelView[15] == 1.0f;
}

ztV3F_C4B_T2F* ZTRenderer::appendQuad(GLuint texture, bool textured, bool opaque, const ztBlendFunc& blend)
{
    const auto quad = static_cast<unsigned>(m_uVertexCount / 4);
    if (m_runs.empty() || m_runs.back().texture != texture || m_runs.back().textured != textured ||
        m_runs.back().opaque != opaque || !sameBlend(m_runs.back().blend, blend)) {
        m_runs.push_back(Run{texture, textured, opaque, blend, quad, 0});
    }
    ++m_runs.back().quadCount;
    // Grown, never shrunk: the storage of one frame serves the next.
    if (m_uVertexCount + 4 > m_vertices.size()) {
        m_vertices.resize(std::max<size_t>(m_vertices.size() * 2, 256));
    }
    ztV3F_C4B_T2F* out = &m_vertices[m_uVertexCount];
    m_uVertexCount += 4;
    return out;
}

void ZTRenderer::transformInto(ztV3F_C4B_T2F& out, GLfloat x, GLfloat y, GLfloat z) const
{
    const GLfloat* m = m_pModelView;
    if (z == 0.0f) {
        // The sums GL makes, less their terms of z, which add nothing.
        out.vertices.x = m[0] * x + m[4] * y + m[12];
        out.vertices.y = m[1] * x + m[5] * y + m[13];
        out.vertices.z = m[2] * x + m[6] * y + m[14];
        return;
    }
    out.vertices.x = m[0] * x + m[4] * y + m[8] * z + m[12];
    out.vertices.y = m[1] * x + m[5] * y + m[9] * z + m[13];
    out.vertices.z = m[2] * x + m[6] * y + m[10] * z + m[14];
}

bool ZTRenderer::queueQuad(const ztV3F_C4B_T2F_Quad& quad, GLuint texture, const ztBlendFunc& blend)
{
    if (!m_bBatching || !m_bInFrame || !readModelView()) {
        return false;
    }
    ztV3F_C4B_T2F* out = appendQuad(texture, true, false, blend);
    // Strip order, as a self-drawn sprite sends them.
    const ztV3F_C4B_T2F* corners[4] = {&quad.tl, &quad.bl, &quad.tr, &quad.br};
    for (int i = 0; i < 4; ++i) {
        const ztV3F_C4B_T2F& in = *corners[i];
        transformInto(out[i], in.vertices.x, in.vertices.y, in.vertices.z);
        out[i].colors = in.colors;
        out[i].texCoords = in.texCoords;
    }
    noteDepths(out);
    return true;
}

bool ZTRenderer::queueColorQuad(const GLfloat* vertices, const GLubyte* colors, const ztBlendFunc& blend)
{
    if (!m_bBatching || !m_bInFrame || !readModelView()) {
        return false;
    }
    const bool opaque = blend.src == GL_ONE && blend.dst == GL_ONE_MINUS_SRC_ALPHA && colors[3] == 255 &&
                        colors[7] == 255 && colors[11] == 255 && colors[15] == 255;
    ztV3F_C4B_T2F* out = appendQuad(0, false, opaque, blend);
    for (int i = 0; i < 4; ++i) {
        transformInto(out[i], vertices[i * 2], vertices[i * 2 + 1], 0.0f);
        out[i].colors = ztColor4B{colors[i * 4], colors[i * 4 + 1], colors[i * 4 + 2], colors[i * 4 + 3]};
        out[i].texCoords = ztTex2F{0.0f, 0.0f};
    }
    noteDepths(out);
    return true;
}

void ZTRenderer::noteDepths(const ztV3F_C4B_T2F* quad)
{
    if (quad[0].vertices.z != 0.0f || quad[1].vertices.z != 0.0f || quad[2].vertices.z != 0.0f ||
        quad[3].vertices.z != 0.0f) {
        m_bDepthMatters = true;
    }
}

void ZTRenderer::ensureIndices(unsigned quads)
{
    const auto have = static_cast<unsigned>(m_indices.size() / 6);
    m_indices.reserve(size_t(quads) * 6);
    // The two triangles of a strip of four, with the strip's own winding.
    for (GLuint q = have; q < quads; ++q) {
        const GLuint v = q * 4;
        for (GLuint index : {v, v + 1, v + 2, v + 2, v + 1, v + 3}) {
            m_indices.push_back(index);
        }
    }
}

std::ptrdiff_t ZTRenderer::uploadVertices(unsigned quads)
{
    const std::uintptr_t context = DesktopWindow::currentContext();
    if (!context) {
        return -1;
    }
    // A context made elsewhere is named by its address, which a new one may reuse: GL then knows none of
    // the ended one's buffers.
    if (context != m_uBufferContext || !glIsBuffer(m_uVertexBuffer)) {
        GLuint buffers[2] = {};
        glGenBuffers(2, buffers);
        m_uBufferContext = context;
        m_uVertexBuffer = buffers[0];
        m_uIndexBuffer = buffers[1];
        m_uVertexCapacity = 0;
        m_uVertexWritten = 0;
        m_uIndexedQuads = 0;
    }
    const size_t bytes = m_uVertexCount * sizeof(ztV3F_C4B_T2F);
    glBindBuffer(GL_ARRAY_BUFFER, m_uVertexBuffer);
    if (m_uVertexWritten + bytes > m_uVertexCapacity) {
        // Room for a few frames like this one; the draws made from the old storage keep it.
        m_uVertexCapacity = std::max(m_uVertexCapacity, bytes * 4);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_uVertexCapacity), nullptr, GL_STREAM_DRAW);
        m_uVertexWritten = 0;
    }
    const size_t offset = m_uVertexWritten;
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes),
                    m_vertices.data());
    m_uVertexWritten += bytes;

    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_uIndexBuffer);
    if (quads > m_uIndexedQuads) {
        // The indices of a quad never change: they are sent again only when more quads come at once.
        m_uIndexedQuads = std::max(quads, m_uIndexedQuads * 2);
        ensureIndices(m_uIndexedQuads);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(size_t(m_uIndexedQuads) * 6 * sizeof(GLuint)), m_indices.data(),
                     GL_STATIC_DRAW);
    }
    return static_cast<std::ptrdiff_t>(offset);
}

void ZTRenderer::flush()
{
    // Whoever flushes draws next, and may write depths the rest of the frame is tested against.
    m_bDepthMatters = true;
    drawQueued(false);
}

bool ZTRenderer::depthIsFlat()
{
    if (m_bDepthMatters) {
        return false;
    }
    // Depth from a projection that mixes in x or y differs across a plane of one z.
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    return projection[2] == 0.0f && projection[6] == 0.0f && projection[3] == 0.0f && projection[7] == 0.0f;
}

void ZTRenderer::drawQueued(bool lastOfFrame)
{
    if (m_runs.empty()) {
        // Whoever flushes draws next, with the scene graph's matrix.
        ZTGLStack::syncModelView();
        return;
    }
    const auto quads = static_cast<unsigned>(m_uVertexCount / 4);

    const bool onCpu = ZTGLStack::modelView() != nullptr;
    GLfloat modelView[16];
    if (!onCpu) {
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    }
    glLoadIdentity();
    const std::ptrdiff_t offset = uploadVertices(quads);
    const bool buffered = offset >= 0;
    // Addresses in client memory, or offsets into the bound buffers.
    std::uintptr_t vertices = static_cast<std::uintptr_t>(offset);
    std::uintptr_t indices = 0;
    if (!buffered) {
        ensureIndices(quads);
        // Client arrays: nobody leaves a buffer bound between draws, but a stray one would turn the
        // pointers into offsets.
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        vertices = reinterpret_cast<std::uintptr_t>(m_vertices.data());
        indices = reinterpret_cast<std::uintptr_t>(m_indices.data());
    }
    glVertexPointer(3, GL_FLOAT, kStride,
                    reinterpret_cast<const GLvoid*>(vertices + offsetof(ztV3F_C4B_T2F, vertices)));
    glColorPointer(4, GL_UNSIGNED_BYTE, kStride,
                   reinterpret_cast<const GLvoid*>(vertices + offsetof(ztV3F_C4B_T2F, colors)));
    glTexCoordPointer(2, GL_FLOAT, kStride,
                      reinterpret_cast<const GLvoid*>(vertices + offsetof(ztV3F_C4B_T2F, texCoords)));

    // The frame's last draw, of quads that all lie in the plane z = 0 over a depth buffer nothing else
    // wrote: every depth test passes, and no later draw reads the depths, which the next frame clears.
    const bool skipDepth = lastOfFrame && depthIsFlat() && glIsEnabled(GL_DEPTH_TEST);
    if (skipDepth) {
        glDisable(GL_DEPTH_TEST);
    }
    for (const Run& run : m_runs) {
        ZTGLStateCache::setTexturing(run.textured);
        if (run.textured) {
            ZTGLStateCache::bindTexture2D(run.texture);
        }
        ZTGLStateCache::setBlending(!run.opaque);
        if (!run.opaque) {
            ZTGLStateCache::blendFunc(run.blend.src, run.blend.dst);
        }
        glDrawRangeElements(
            GL_TRIANGLES, run.firstQuad * 4, (run.firstQuad + run.quadCount) * 4 - 1,
            static_cast<GLsizei>(run.quadCount * 6), GL_UNSIGNED_INT,
            reinterpret_cast<const GLvoid*>(indices + size_t(run.firstQuad) * 6 * sizeof(GLuint)));
        ++m_uDrawCalls;
    }
    if (skipDepth) {
        glEnable(GL_DEPTH_TEST);
    }
    if (buffered) {
        // Code that draws itself uses client arrays.
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
    if (onCpu) {
        ZTGLStack::invalidateGLModelView();
        ZTGLStack::syncModelView();
    } else {
        glLoadMatrixf(modelView);
    }
    m_uVertexCount = 0;
    m_runs.clear();
}

void ZTRenderer::beginDirectDraw()
{
    flush();
    ZTGLStateCache::restoreDefaults();
    ZTGLStateCache::forget();
}

void ZTRenderer::beginFrame()
{
    // The previous frame's draws have read their vertices: its part of the buffer is free again.
    m_uVertexWritten = 0;
    m_uVertexCount = 0;
    m_runs.clear();
    ZTGLStateCache::forget();
    m_bDepthMatters = false;
    m_bInFrame = true;
}

void ZTRenderer::endFrame()
{
    drawQueued(m_bInFrame);
    ZTGLStateCache::restoreDefaults();
    ZTGLStateCache::forget();
    m_bInFrame = false;
}

} // namespace zanth2d
