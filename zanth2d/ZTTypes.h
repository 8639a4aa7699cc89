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

// An RGBA colour, one byte a channel.
struct ztColor4B
{
    GLubyte r;
    GLubyte g;
    GLubyte b;
    GLubyte a;
};

// An RGBA colour, one float from 0 to 1 a channel.
struct ztColor4F
{
    GLfloat r;
    GLfloat g;
    GLfloat b;
    GLfloat a;
};

// A vertex position.
struct ztVertex3F
{
    GLfloat x;
    GLfloat y;
    GLfloat z;
};

// A texture coordinate.
struct ztTex2F
{
    GLfloat u;
    GLfloat v;
};

// Source and destination factors of glBlendFunc.
struct ztBlendFunc
{
    GLenum src;
    GLenum dst;
};

} // namespace zanth2d
