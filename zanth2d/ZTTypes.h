#pragma once

#include <GL/gl.h>

namespace zanth2d {

// An RGB colour, one byte a channel.
struct ztColor3B
{
    GLubyte r;
    GLubyte g;
    GLubyte b;
};

} // namespace zanth2d
