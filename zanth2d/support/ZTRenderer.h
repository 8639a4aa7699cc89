#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ZTTypes.h"
#include "textures/ZTTextureAtlas.h"

namespace zanth2d {

// Collects the quads of self-drawn sprites and colour layers in drawing order and draws each run of
// consecutive quads that share texture, texturing and blend function with one call. Quads are queued in
// eye coordinates (the model-view matrix in force when they are queued is applied to them), so a run may
// span nodes with different transforms; the projection, viewport, stencil and framebuffer must stay as
// they are until the queue is drawn.
//
// Every piece of code that draws with GL itself, or changes the projection, viewport, stencil, depth mask
// or framebuffer, first calls `beginDirectDraw()`: what was queued before is drawn first, with the state it
// was queued under. Engine thread only, with the GL context current.
class ZTRenderer
{
public:
    ZTRenderer(const ZTRenderer&) = delete;
    ZTRenderer& operator=(const ZTRenderer&) = delete;

    static ZTRenderer* sharedRenderer();

    // On by default. Off: every sprite and colour layer draws itself at once with its own GL calls, the
    // reference a batched picture must equal.
    void setBatchingEnabled(bool enabled);
    bool isBatchingEnabled() const { return m_bBatching; }

    // Queues a textured quad (texture 0: none) drawn with the blend function; false when it is not queued
    // and the caller draws it itself (batching off, outside the director's frame, or a model-view matrix
    // that is not affine).
    bool queueQuad(const ztV3F_C4B_T2F_Quad& quad, GLuint texture, const ztBlendFunc& blend);
    // Queues an untextured quad given as a triangle strip of four (x, y) points with an RGBA colour each.
    bool queueColorQuad(const GLfloat* vertices, const GLubyte* colors, const ztBlendFunc& blend);

    // Draws everything queued; GL keeps the last run's texture, texturing and blend function.
    void flush();
    // Whether quads wait to be drawn: a texture they use must not change until they are.
    bool hasQueuedQuads() const { return !m_runs.empty(); }
    // Draws everything queued and leaves GL in the frame's default state for code that draws itself.
    void beginDirectDraw();
    // The director's frame, in which quads are queued: it starts with nothing queued and the frame's
    // default GL state, and ends with everything drawn and that state restored.
    void beginFrame();
    void endFrame();

    // Draw calls the renderer made since the last reset; for tests and benchmarks.
    unsigned long getDrawCalls() const { return m_uDrawCalls; }
    void resetDrawCalls() { m_uDrawCalls = 0; }

private:
    struct Run
    {
        GLuint texture;
        bool textured;
        // Untextured, fully opaque and drawn over with (GL_ONE, GL_ONE_MINUS_SRC_ALPHA): blending would
        // give the source colour itself, so it is switched off.
        bool opaque;
        ztBlendFunc blend;
        unsigned firstQuad;
        unsigned quadCount;
    };

    ZTRenderer() = default;
    // Points m_pModelView at the current model-view matrix; false when it is not affine.
    inline bool readModelView();
    inline ztV3F_C4B_T2F* appendQuad(GLuint texture, bool textured, bool opaque, const ztBlendFunc& blend);
    inline void transformInto(ztV3F_C4B_T2F& out, GLfloat x, GLfloat y, GLfloat z) const;
    void ensureIndices(unsigned quads);
    // Marks the frame's depths as mattering when a queued quad leaves the plane z = 0.
    inline void noteDepths(const ztV3F_C4B_T2F* quad);
    // Whether the depth test passes everywhere for what is queued: nothing left z = 0 or drew itself this
    // frame, and the projection gives that plane one depth.
    bool depthIsFlat();
    // Draws the queue; the frame's last draw may leave the depth buffer alone (see depthIsFlat).
    void drawQueued(bool lastOfFrame);
    // Copies the queued vertices into the vertex buffer of the current context, after those copied
    // earlier in the frame, and leaves it and the index buffer bound. Returns the byte offset of the
    // copy, or -1 without a context of the platform's (the caller then draws from client memory).
    std::ptrdiff_t uploadVertices(unsigned quads);

    bool m_bBatching = true;
    bool m_bInFrame = false;
    // Something in the frame so far may have written or needs depths other than those of the plane z = 0.
    bool m_bDepthMatters = false;
    GLfloat m_aModelView[16] = {};
    // The matrix quads are queued under: the stack's own during a visit, else m_aModelView.
    const GLfloat* m_pModelView = m_aModelView;
    // The frame's quads so far are the first m_uVertexCount.
    std::vector<ztV3F_C4B_T2F> m_vertices;
    size_t m_uVertexCount = 0;
    std::vector<Run> m_runs;
    std::vector<GLuint> m_indices;
    unsigned long m_uDrawCalls = 0;
    // The buffers, made in the context named m_uBufferContext: the driver reads the vertices from its own
    // memory, where client arrays would be copied into fresh memory at every draw call.
    std::uintptr_t m_uBufferContext = 0;
    GLuint m_uVertexBuffer = 0;
    GLuint m_uIndexBuffer = 0;
    size_t m_uVertexCapacity = 0;
    size_t m_uVertexWritten = 0;
    unsigned m_uIndexedQuads = 0;
};

} // namespace zanth2d
