#pragma once

#include "ZTProtocols.h"
#include "layers_scenes_transitions_nodes/ZTLayer.h"

namespace zanth2d {

// A layer that fills its content rectangle with one colour and opacity, premultiplied-blended.
class ZTLayerColor : public ZTLayer, public ZTRGBAProtocol, public ZTBlendProtocol
{
public:
    ZTLayerColor();
    ~ZTLayerColor() override;

    // width and height in points.
    virtual bool initWithColorWidthHeight(const ztColor4B& color, float width, float height);
    // Window-sized.
    virtual bool initWithColor(const ztColor4B& color);
    static ZTLayerColor* layerWithColorWidthHeight(const ztColor4B& color, float width, float height);
    static ZTLayerColor* layerWithColor(const ztColor4B& color);

    GLubyte getOpacity() override { return m_cOpacity; }
    void setOpacity(GLubyte opacity) override;
    const ztColor3B& getColor() override { return m_tColor; }
    void setColor(const ztColor3B& color) override;
    ztBlendFunc getBlendFunc() override { return m_tBlendFunc; }
    void setBlendFunc(ztBlendFunc blendFunc) override { m_tBlendFunc = blendFunc; }
    void setIsOpacityModifyRGB(bool) override {}
    bool getIsOpacityModifyRGB() override { return false; }

    void draw() override;
    void setContentSize(const ZTSize& size) override;
    void changeWidth(float width);
    void changeHeight(float height);
    void changeWidthAndHeight(float width, float height);

    // Corner vertices in pixels and colours, bottom-left, bottom-right, top-left, top-right.
    const GLfloat* squareVertices() const { return m_pSquareVertices; }
    const GLubyte* squareColors() const { return m_pSquareColors; }

protected:
    virtual void updateColor();

    GLfloat m_pSquareVertices[4 * 2];
    GLubyte m_pSquareColors[4 * 4];
    GLubyte m_cOpacity = 0;
    ztColor3B m_tColor{};
    ztBlendFunc m_tBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
};

} // namespace zanth2d
