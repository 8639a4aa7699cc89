#pragma once

#include "ZTTypes.h"

namespace zanth2d {

class ZTTexture2D;

// The colour-and-opacity interface of drawable nodes (sprites, labels, colour layers); fades and tints
// find it on their target by a dynamic cast.
class ZTRGBAProtocol
{
public:
    virtual ~ZTRGBAProtocol() = default;

    virtual void setColor(const ztColor3B& color) = 0;
    virtual const ztColor3B& getColor() = 0;
    // 0 is transparent, 255 opaque.
    virtual GLubyte getOpacity() = 0;
    virtual void setOpacity(GLubyte opacity) = 0;
    // Whether opacity is multiplied into the colour (textures with premultiplied alpha); off unless a
    // node implements it.
    virtual void setIsOpacityModifyRGB(bool) {}
    virtual bool getIsOpacityModifyRGB() { return false; }
};

// A node that blends with a blend function of its own.
class ZTBlendProtocol
{
public:
    virtual ~ZTBlendProtocol() = default;

    virtual void setBlendFunc(ztBlendFunc blendFunc) = 0;
    virtual ztBlendFunc getBlendFunc() = 0;
};

// A node drawn with a texture.
class ZTTextureProtocol : public ZTBlendProtocol
{
public:
    virtual ZTTexture2D* getTexture() = 0;
    virtual void setTexture(ZTTexture2D* texture) = 0;
};

// A node that shows a text.
class ZTLabelProtocol
{
public:
    virtual ~ZTLabelProtocol() = default;

    virtual void setString(const char* label) = 0;
    virtual const char* getString() = 0;
};

} // namespace zanth2d
