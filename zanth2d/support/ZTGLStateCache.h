#pragma once

#include <GL/gl.h>

namespace zanth2d {

// What the scene graph last set of the GL state its quads depend on (bound 2D texture, blend function,
// texturing on or off), so that a call that changes nothing is skipped. Engine thread only, with the GL
// context current.
//
// The cache only knows what went through it. Code that sets these states with GL itself announces it:
// `ZTRenderer::beginDirectDraw()` does so for drawing code, and `forget()` alone for anything else.
// Between draws the frame's default holds: texturing on with all three client arrays enabled, blend
// function (GL_ONE, GL_ONE_MINUS_SRC_ALPHA).
class ZTGLStateCache
{
public:
    ZTGLStateCache() = delete;

    static void bindTexture2D(GLuint name);
    // Deletes the texture name; a deleted bound texture leaves 0 bound, as GL does.
    static void deleteTexture2D(GLuint name);
    static void blendFunc(GLenum src, GLenum dst);
    // GL_BLEND on or off; on between draws.
    static void setBlending(bool enabled);
    // Texturing on: GL_TEXTURE_2D and the texture coordinate array enabled; off: both disabled.
    static void setTexturing(bool enabled);

    // Puts back the frame's default blending and texturing where the cache set anything else.
    static void restoreDefaults();
    // Forgets the bound texture, and takes blend and texturing to be the frame's defaults (as they are at the
    // start of a frame and after code that drew with GL itself).
    static void forget();

    // GL calls that reached the driver and calls skipped since the last reset; for tests and benchmarks.
    static unsigned long getCallsMade() { return s_callsMade; }
    static unsigned long getCallsSkipped() { return s_callsSkipped; }
    static void resetCounters();

private:
    // Counts a call as made or skipped; true when it must reach GL.
    static bool needed(bool unchanged);

    static bool s_textureKnown;
    static GLuint s_texture;
    static GLenum s_blendSrc;
    static GLenum s_blendDst;
    static bool s_texturing;
    static bool s_blending;
    static unsigned long s_callsMade;
    static unsigned long s_callsSkipped;
};

} // namespace zanth2d
