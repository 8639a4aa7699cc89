#pragma once

#include <GL/gl.h>

#include "ZTTypes.h"
#include "particle_nodes/ZTParticleSystem.h"

namespace zanth2d {

class ZTSpriteFrame;

// One vertex of a particle quad as it is uploaded: 20 bytes, position, colour, texture coordinates.
struct ztV2F_C4B_T2F
{
    ztVertex2F vertices;
    ztColor4B colors;
    ztTex2F texCoords;
};

// Four vertices in the order bottom-left, bottom-right, top-left, top-right (80 bytes).
struct ztV2F_C4B_T2F_Quad
{
    ztV2F_C4B_T2F bl;
    ztV2F_C4B_T2F br;
    ztV2F_C4B_T2F tl;
    ztV2F_C4B_T2F tr;
};

// The emitter that draws: every live particle is a coloured, textured square turned by its spin. Quad k
// always shows pool slot k; after each simulation step the live quads go into a GL vertex buffer in one
// upload, and draw issues one indexed call. Indices are 32-bit, so every pool size up to
// kMaxTotalParticles is addressable. Needs a current GL context for init, the steps and drawing.
class ZTParticleSystemQuad : public ZTParticleSystem
{
public:
    ZTParticleSystemQuad() = default;
    ~ZTParticleSystemQuad() override;

    // An autoreleased emitter read from a particle property list, or null when the load fails.
    static ZTParticleSystemQuad* particleWithFile(const char* plistFile);
    // An autoreleased emitter with a pool of count particles, or null (after one log line) when refused.
    static ZTParticleSystemQuad* particleWithTotalParticles(unsigned int numberOfParticles);

    // The pool, its quads, indices and buffers. False, with one log line, when refused; the emitter then
    // has an empty pool and its creator releases it.
    bool initWithTotalParticles(unsigned int numberOfParticles) override;
    // Every quad shows pointRect (points) of the texture, or of a 1 x 1 texture space without one.
    void initTexCoordsWithRect(const ZTRect& pointRect);
    // Fills and uploads the indices: quad i is the triangles 4i, 4i+1, 4i+2 and 4i+3, 4i+2, 4i+1.
    void initIndices();
    // Shows the whole texture; the same GL texture again only recomputes the texture coordinates.
    void setTexture(ZTTexture2D* texture) override;
    // Shows rect (points) of the texture.
    void setTextureWithRect(ZTTexture2D* texture, const ZTRect& rect);
    // Takes the frame's texture (the frame must have no offset); the frame's rectangle is not used.
    void setDisplayFrame(ZTSpriteFrame* spriteFrame);
    // Draws the quads the last step wrote; nothing without a texture. Needs the vertex, colour and
    // texture-coordinate arrays and GL_TEXTURE_2D enabled, as the director leaves them.
    void draw() override;

    // getTotalParticles quads and 6 indices for each.
    const ztV2F_C4B_T2F_Quad* getQuads() const { return m_pQuads; }
    const GLuint* getIndices() const { return m_pIndices; }

protected:
    void updateQuads(unsigned int from, unsigned int to) override;
    // Uploads the quads of the live particles.
    void postStep() override;

private:
    void releaseStorage();

    ztV2F_C4B_T2F_Quad* m_pQuads = nullptr;
    GLuint* m_pIndices = nullptr;
    unsigned int m_uQuadCount = 0;
    GLuint m_uQuadsVBO = 0;
    GLuint m_uIndicesVBO = 0;
    // Blend factors that are no GL factors are reported once, then drawn with the default blending.
    bool m_bReportedBlendFunc = false;
};

} // namespace zanth2d
