#pragma once

#include <GL/gl.h>

#include <cstdint>

namespace zanth2d {

// The GLSL program that draws particles as point sprites: each particle is one GL point of its size,
// filled as a square with the texture, in its colour. The modelview and projection are the fixed-function
// ones the scene graph keeps, so the program drops into the usual drawing. One per GL context, built at
// its first use there.
class ZTParticleSpriteProgram
{
public:
    // Generic vertex attributes the program reads.
    enum Attribute
    {
        kPosition = 1, // 2 floats, node space
        kColor = 2,    // 4 unsigned bytes, normalised
        kSize = 3,     // 1 float, node units
    };

    // The program of the current context, or null (after one log line per context) when GL can't build it.
    // Unmapped, a point shows the whole texture upright and the mapping given to use is ignored.
    static ZTParticleSpriteProgram* current(bool mapped);

    // Makes the program current: a point's size in pixels is its size times pixelsPerUnit, and the
    // texture coordinate of a point coordinate pc is origin + pc.x * alongX + pc.y * alongY.
    void use(float pixelsPerUnit, const GLfloat origin[2], const GLfloat alongX[2], const GLfloat alongY[2]);
    // Back to fixed-function drawing.
    static void done();

    ZTParticleSpriteProgram(const ZTParticleSpriteProgram&) = delete;
    ZTParticleSpriteProgram& operator=(const ZTParticleSpriteProgram&) = delete;

private:
    ZTParticleSpriteProgram() = default;
    bool build(const char* fragmentShader);

    std::uintptr_t m_uContext = 0;
    GLuint m_uProgram = 0;
    GLint m_iPixelsPerUnit = -1;
    GLint m_iOrigin = -1;
    GLint m_iAlongX = -1;
    GLint m_iAlongY = -1;
    GLint m_iTexture = -1;
    bool m_bFailed = false;
};

} // namespace zanth2d
