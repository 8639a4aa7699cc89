#pragma once

#include "layers_scenes_transitions_nodes/ZTLayerColor.h"

namespace zanth2d {

// A colour layer whose corners blend from the start colour (the layer colour) to the end colour along a
// direction vector.
class ZTLayerGradient : public ZTLayerColor
{
public:
    ZTLayerGradient();
    ~ZTLayerGradient() override;

    // Vector (0, -1): start colour at the top, end colour at the bottom.
    virtual bool initWithColor(const ztColor4B& start, const ztColor4B& end);
    virtual bool initWithColor(const ztColor4B& start, const ztColor4B& end, const ZTPoint& vector);
    using ZTLayerColor::initWithColor;
    static ZTLayerGradient* layerWithColor(const ztColor4B& start, const ztColor4B& end);
    static ZTLayerGradient* layerWithColor(const ztColor4B& start, const ztColor4B& end, const ZTPoint& vector);

    virtual const ztColor3B& getStartColor() { return m_tColor; }
    virtual void setStartColor(const ztColor3B& color) { setColor(color); }
    virtual const ztColor3B& getEndColor() { return m_endColor; }
    virtual void setEndColor(const ztColor3B& color);
    virtual GLubyte getStartOpacity() { return m_cStartOpacity; }
    virtual void setStartOpacity(GLubyte opacity);
    virtual GLubyte getEndOpacity() { return m_cEndOpacity; }
    virtual void setEndOpacity(GLubyte opacity);
    virtual const ZTPoint& getVector() { return m_AlongVector; }
    virtual void setVector(const ZTPoint& vector);
    virtual bool getIsCompressedInterpolation() { return m_bCompressedInterpolation; }
    // On: the corners always reach the full start and end colours whatever the vector's direction.
    virtual void setIsCompressedInterpolation(bool compressed);

protected:
    void updateColor() override;

    ztColor3B m_endColor{};
    GLubyte m_cStartOpacity = 255;
    GLubyte m_cEndOpacity = 255;
    ZTPoint m_AlongVector;
    bool m_bCompressedInterpolation = false;
};

} // namespace zanth2d
