#pragma once

#include <vector>

#include "ZTTypes.h"
#include "base_nodes/ZTNode.h"

namespace zanth2d {

class ZTTexture2D;

// One simple polygon given by its corners (points, in node space): textured (the texture repeated
// across the triangulated area, anchored at the node's origin), or in one colour as a filled area, a
// closed outline or an open line. Set the texture before the points: only setPoints builds the texture
// coordinates.
class ZTFilledPolygon : public ZTNode
{
public:
    ZTFilledPolygon() = default;
    ~ZTFilledPolygon() override;

    // Autoreleased. texture may be null; init() is not run.
    static ZTFilledPolygon* filledPolygonWithPoints(const std::vector<ZTPoint>& points, ZTTexture2D* texture,
                                                    const ztColor4F& color, bool fill, bool close);
    bool initWithPoints(const std::vector<ZTPoint>& points, ZTTexture2D* texture, const ztColor4F& color,
                        bool fill, bool close);

    void draw() override;
    virtual bool init() { return true; }
    virtual ZTTexture2D* getTexture() const { return m_pTexture; }
    // Retained; repeats in both directions with nearest filtering. Null forgets the texture and keeps
    // the drawn points until the next setPoints.
    virtual void setTexture(ZTTexture2D* texture);
    // Stored only: drawing always blends (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA).
    virtual ztBlendFunc getBlendFunc() const { return m_tBlendFunc; }
    virtual void setBlendFunc(ztBlendFunc blendFunc) { m_tBlendFunc = blendFunc; }

    // Rebuilds what is drawn: the outline as given, or the triangles of the area when filled or textured.
    void setPoints(const std::vector<ZTPoint>& points);
    // Colour, fill and close apply from the next draw; a change of fill changes the drawn points only at
    // the next setPoints.
    void setColor(const ztColor4F& color) { m_tColor = color; }
    void setFill(bool fill) { m_bFill = fill; }
    void setClose(bool close) { m_bClose = close; }
    void updateBlendFunc();

    const ztColor4F& getColor() const { return m_tColor; }
    bool getFill() const { return m_bFill; }
    bool getClose() const { return m_bClose; }
    // The drawn points: the outline, or three per triangle.
    const std::vector<ZTPoint>& getAreaTrianglePoints() const { return m_areaTrianglePoints; }
    int getVertexCount() const { return static_cast<int>(m_areaTrianglePoints.size()); }
    // One per drawn point while a texture is set; empty otherwise.
    const std::vector<ZTPoint>& getTextureCoordinates() const { return m_textureCoordinates; }

private:
    void calculateTextureCoordinates();

    std::vector<ZTPoint> m_areaTrianglePoints;
    std::vector<ZTPoint> m_textureCoordinates;
    ZTTexture2D* m_pTexture = nullptr;
    ztBlendFunc m_tBlendFunc = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    ztColor4F m_tColor = {1.0f, 1.0f, 1.0f, 1.0f};
    bool m_bFill = false;
    bool m_bClose = true;
};

} // namespace zanth2d
