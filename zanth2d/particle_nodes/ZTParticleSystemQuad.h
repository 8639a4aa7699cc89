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

// One particle as point sprites draw it (16 bytes): its centre, colour and size.
struct ztParticleSprite
{
    ztVertex2F position;
    ztColor4B color;
    GLfloat size;
};

// The emitter that draws: every live particle is a coloured, textured square turned by its spin, drawn
// in one call from one buffer upload a frame. While no particle is turned and the node's transform keeps
// squares upright (turns by right angles, flips and even scales), each particle is one GL point sprite;
// otherwise quad k shows pool slot k and the quads are drawn as indexed triangles (32-bit indices, so
// every pool size up to kMaxTotalParticles is addressable). Needs a current GL context for init, the steps
// and drawing.
//
// A point sprite covers the pixels its quad covers and samples the texture at the same places; only
// pixels whose centres lie within the rasteriser's rounding of an edge may fall the other way. The
// rasteriser fills such squares with far less work than two triangles, which is what makes the sprites
// the way for many particles.
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

    // getTotalParticles quads (those of the live particles as of the last step) and 6 indices for each.
    const ztV2F_C4B_T2F_Quad* getQuads();
    const GLuint* getIndices() const { return m_pIndices; }
    // Whether the last draw drew point sprites.
    bool getDrewPointSprites() const { return m_bDrewPointSprites; }

    // Whether emitters may draw point sprites (the default); quads otherwise.
    static void setPointSpritesAllowed(bool allowed);

protected:
    // Writes the sprites of the step; quads are built from the pool when they are drawn or read.
    void updateQuads(unsigned int from, unsigned int to) override;
    void postStep() override;

private:
    struct SpriteTransform;

    void releaseStorage();
    // The quads of the live particles from the pool's last step.
    void buildQuads();
    // Whether the particles can be drawn as sprites under the current transform, and how.
    bool spriteTransform(SpriteTransform* transform) const;
    void drawSprites(unsigned int count);
    void drawQuads(unsigned int count);

    ztV2F_C4B_T2F_Quad* m_pQuads = nullptr;
    GLuint* m_pIndices = nullptr;
    ztParticleSprite* m_pSprites = nullptr;
    unsigned int m_uQuadCount = 0;
    GLuint m_uQuadsVBO = 0;
    GLuint m_uIndicesVBO = 0;
    GLuint m_uSpritesVBO = 0;
    // The rectangle of the texture every particle shows, in texture coordinates.
    GLfloat m_fTexLeft = 0.0f;
    GLfloat m_fTexRight = 1.0f;
    GLfloat m_fTexTop = 0.0f;
    GLfloat m_fTexBottom = 1.0f;
    // What the last step wrote: whether a particle is turned, the sizes, and which buffers wait for their
    // upload.
    bool m_bAnyTurned = false;
    GLfloat m_fSmallestSize = 0.0f;
    GLfloat m_fLargestSize = 0.0f;
    bool m_bQuadsBuilt = true;
    bool m_bQuadsUploaded = true;
    bool m_bSpritesUploaded = true;
    bool m_bDrewPointSprites = false;
    // Blend factors that are no GL factors are reported once, then drawn with the default blending.
    bool m_bReportedBlendFunc = false;
};

} // namespace zanth2d
