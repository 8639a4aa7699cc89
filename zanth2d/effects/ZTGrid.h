#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

#include "ZTTypes.h"
#include "base_nodes/ZTNodeGrid.h"
#include "cocoa/ZTGeometry.h"

namespace zanth2d {

class ZTGrabber;
class ZTTexture2D;

// Tiles across (x) and up (y).
struct _ztGridSize
{
    int x;
    int y;
};
using ztGridSize = _ztGridSize;

inline ztGridSize ztg(int x, int y)
{
    return ztGridSize{x, y};
}

inline bool operator==(const ztGridSize& a, const ztGridSize& b)
{
    return a.x == b.x && a.y == b.y;
}

// The four corners of one tile.
struct _ztQuad3
{
    ztVertex3F bl;
    ztVertex3F br;
    ztVertex3F tl;
    ztVertex3F tr;
};
using ztQuad3 = _ztQuad3;

// Captures a node's drawing into a texture of the window's size (rounded up to powers of two) and draws
// that texture onto a mesh whose vertices the grid effects move. The two kinds below supply the mesh.
// Vertices and steps are in pixels. Engine thread only, with the GL context current.
class ZTGridBase : public ZTNodeGrid
{
public:
    ~ZTGridBase() override;

    // Over a new texture of the window's size; false (one warning) for a grid size the mesh cannot
    // address, no window, or a window larger than the largest texture.
    bool initWithSize(const ztGridSize& gridSize);
    // Over the given texture, which the grid retains; false (one warning) for a grid size the mesh
    // cannot address.
    bool initWithSize(const ztGridSize& gridSize, ZTTexture2D* pTexture, bool bFlipped);

    bool isActive() const override { return m_bActive; }
    // Switching off re-applies the director's projection.
    void setActive(bool bActive);
    int getReuseGrid() const { return m_nReuseGrid; }
    void setReuseGrid(int nReuseGrid) { m_nReuseGrid = nReuseGrid; }
    const ztGridSize& getGridSize() const { return m_sGridSize; }
    // The size of one tile in pixels.
    const ZTPoint& getStep() const { return m_obStep; }
    void setStep(const ZTPoint& step) { m_obStep = step; }
    ZTTexture2D* getTexture() const { return m_pTexture; }
    bool isTextureFlipped() const { return m_bIsTextureFlipped; }
    // A change rebuilds the mesh.
    void setIsTextureFlipped(bool bFlipped);

    void beforeDraw() override;
    // Draws the captured texture through the mesh, under the director's projection and orientation.
    void afterDraw(ZTNode* pTarget) override;
    // An orthographic projection of the window in pixels and an identity model-view: drawing into the texture.
    void set2DProjection();
    // A perspective over the display in pixels whose plane z = 0 is the window, seen from the director's eye.
    void set3DProjection();
    // The director's device orientation, multiplied onto the current matrix.
    void applyLandscape();

    // Draws the texture through the current vertices.
    virtual void blit() = 0;
    // With a reuse count above 0: the current vertices become the originals and the count drops by one.
    virtual void reuse() = 0;
    // Rebuilds the vertices, originals, texture coordinates and indices from the grid size and step.
    virtual void calculateVertexPoints() = 0;

protected:
    // The mesh's indices are 16-bit: a grid needing more vertices than they address is refused.
    static constexpr long long kMaxVertices = 65536;

    // Logs the refusal of a grid size whose mesh would need the given number of vertices.
    static bool acceptsGridSize(const char* kind, const ztGridSize& gridSize, long long vertexCount);
    virtual bool isGridSizeSupported(const ztGridSize& gridSize) const = 0;
    // The director's projection and orientation, as the frame drawing around this node expects them.
    void restoreDirectorProjection();

    bool m_bActive = false;
    int m_nReuseGrid = 0;
    ztGridSize m_sGridSize{0, 0};
    ZTTexture2D* m_pTexture = nullptr;
    ZTPoint m_obStep;
    ZTGrabber* m_pGrabber = nullptr;
    bool m_bIsTextureFlipped = false;
};

// A lattice of (x + 1) x (y + 1) shared vertices: the picture bends without tearing.
class ZTGrid3D : public ZTGridBase
{
public:
    // Autoreleased; null when the grid cannot be made (see initWithSize).
    static ZTGrid3D* gridWithSize(const ztGridSize& gridSize);
    static ZTGrid3D* gridWithSize(const ztGridSize& gridSize, ZTTexture2D* pTexture, bool bFlipped);

    // Lattice point pos (0 ... x, 0 ... y) of the current and of the original vertices.
    ztVertex3F vertex(const ztGridSize& pos) const;
    ztVertex3F originalVertex(const ztGridSize& pos) const;
    void setVertex(const ztGridSize& pos, const ztVertex3F& vertex);

    void blit() override;
    void reuse() override;
    void calculateVertexPoints() override;

    const std::vector<GLushort>& getIndices() const { return m_pIndices; }
    const std::vector<GLfloat>& getTexCoordinates() const { return m_pTexCoordinates; }

protected:
    bool isGridSizeSupported(const ztGridSize& gridSize) const override;
    std::size_t vertexIndex(const ztGridSize& pos) const;

    std::vector<GLfloat> m_pTexCoordinates;
    std::vector<GLfloat> m_pVertices;
    std::vector<GLfloat> m_pOriginalVertices;
    std::vector<GLushort> m_pIndices;
};

// Four corners of its own for every tile: tiles move, shrink and vanish independently.
class ZTTiledGrid3D : public ZTGridBase
{
public:
    // Autoreleased; null when the grid cannot be made (see initWithSize).
    static ZTTiledGrid3D* gridWithSize(const ztGridSize& gridSize);
    static ZTTiledGrid3D* gridWithSize(const ztGridSize& gridSize, ZTTexture2D* pTexture, bool bFlipped);

    // Tile pos (0 ... x - 1, 0 ... y - 1) of the current and of the original vertices.
    ztQuad3 tile(const ztGridSize& pos) const;
    ztQuad3 originalTile(const ztGridSize& pos) const;
    void setTile(const ztGridSize& pos, const ztQuad3& coords);

    void blit() override;
    void reuse() override;
    void calculateVertexPoints() override;

    const std::vector<GLushort>& getIndices() const { return m_pIndices; }
    const std::vector<GLfloat>& getTexCoordinates() const { return m_pTexCoordinates; }

protected:
    bool isGridSizeSupported(const ztGridSize& gridSize) const override;
    std::size_t tileIndex(const ztGridSize& pos) const;

    std::vector<GLfloat> m_pTexCoordinates;
    std::vector<GLfloat> m_pVertices;
    std::vector<GLfloat> m_pOriginalVertices;
    std::vector<GLushort> m_pIndices;
};

} // namespace zanth2d
