#pragma once

#include "ZTTypes.h"

namespace zanth2d {

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
};

} // namespace zanth2d
