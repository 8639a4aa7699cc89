#pragma once

#include <GL/gl.h>

#include "ZTTypes.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTTexture2D;

// One vertex as the atlas uploads it: 24 bytes, position, colour, texture coordinates.
struct ztV3F_C4B_T2F
{
    ztVertex3F vertices;
    ztColor4B colors;
    ztTex2F texCoords;
};

// Four vertices in the order top-left, bottom-left, top-right, bottom-right (96 bytes).
struct ztV3F_C4B_T2F_Quad
{
    ztV3F_C4B_T2F tl;
    ztV3F_C4B_T2F bl;
    ztV3F_C4B_T2F tr;
    ztV3F_C4B_T2F br;
};

// An array of textured, coloured quads sharing one texture, mirrored in a GL vertex buffer with a fixed
// index buffer; any contiguous run of quads draws with one glDrawElements. Indices are 32-bit, so the
// capacity is not bound by the 16,384 quads that 16-bit indices could address.
class ZTTextureAtlas : public ZTObject
{
public:
    // Quads beyond this are refused: their byte sizes and indices would no longer fit.
    static constexpr unsigned int kMaxCapacity = 1u << 24;

    ZTTextureAtlas() = default;
    ~ZTTextureAtlas() override;

    // Autoreleased; null when the image gives no texture or the capacity is refused.
    static ZTTextureAtlas* textureAtlasWithFile(const char* file, unsigned int capacity);
    static ZTTextureAtlas* textureAtlasWithTexture(ZTTexture2D* texture, unsigned int capacity);
    bool initWithFile(const char* file, unsigned int capacity);
    // Once per atlas; false (and an empty atlas without texture) when the memory or the capacity is refused.
    bool initWithTexture(ZTTexture2D* texture, unsigned int capacity);

    virtual unsigned int getTotalQuads() const { return m_uTotalQuads; }
    virtual unsigned int getCapacity() const { return m_uCapacity; }
    virtual ZTTexture2D* getTexture() const { return m_pTexture; }
    // Retains the new texture, releases the old.
    virtual void setTexture(ZTTexture2D* texture);
    virtual ztV3F_C4B_T2F_Quad* getQuads() const { return m_pQuads; }
    // Replaces the pointer only: the caller keeps the old array and must pass one of capacity entries.
    virtual void setQuads(ztV3F_C4B_T2F_Quad* quads) { m_pQuads = quads; }

    // Writes the quad at index (below the capacity); the total grows to index + 1 when needed.
    void updateQuad(const ztV3F_C4B_T2F_Quad* quad, unsigned int index);
    // Inserts before index (at most the total); needs a free quad.
    void insertQuad(const ztV3F_C4B_T2F_Quad* quad, unsigned int index);
    // Moves one quad; both indices below the total.
    void insertQuadFromIndex(unsigned int oldIndex, unsigned int newIndex);
    void removeQuadAtIndex(unsigned int index);
    void removeAllQuads() { m_uTotalQuads = 0; }

    // False (and an empty atlas) when the memory or the capacity is refused.
    bool resizeCapacity(unsigned int newCapacity);

    void drawQuads();
    void drawNumberOfQuads(unsigned int n);
    // Draws quads start .. start + n - 1; a run past the total is refused and draws nothing.
    void drawNumberOfQuads(unsigned int n, unsigned int start);

    // A new char[100] that the caller deletes.
    char* description() const;

    bool isDirty() const { return m_bDirty; }
    const GLuint* getIndices() const { return m_pIndices; }

private:
    void initIndices();
    void releaseStorage();

    GLuint* m_pIndices = nullptr;
    GLuint m_pBuffersVBO[2] = {0, 0};
    bool m_bDirty = false;
    unsigned int m_uTotalQuads = 0;
    unsigned int m_uCapacity = 0;
    ZTTexture2D* m_pTexture = nullptr;
    ztV3F_C4B_T2F_Quad* m_pQuads = nullptr;
};

} // namespace zanth2d
