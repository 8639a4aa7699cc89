#pragma once

#include <GL/gl.h>
#include <dlfcn.h>

// Include in one test file only: it replaces the program's glDeleteTextures and glDeleteBuffers with
// versions that count the names deleted, apart by whether a GLX context was current, and then call the
// driver's own functions.
struct __GLXcontextRec;
extern "C" __GLXcontextRec* glXGetCurrentContext();

struct GLDeleteWatch
{
    static inline int withContext = 0;
    static inline int withoutContext = 0;

    static void reset() { withContext = withoutContext = 0; }
    static void count(GLsizei n) { (glXGetCurrentContext() ? withContext : withoutContext) += n; }
};

extern "C" void glDeleteTextures(GLsizei n, const GLuint* textures)
{
    static const auto real =
        reinterpret_cast<void (*)(GLsizei, const GLuint*)>(dlsym(RTLD_NEXT, "glDeleteTextures"));
    GLDeleteWatch::count(n);
    real(n, textures);
}

extern "C" void glDeleteBuffers(GLsizei n, const GLuint* buffers)
{
    static const auto real =
        reinterpret_cast<void (*)(GLsizei, const GLuint*)>(dlsym(RTLD_NEXT, "glDeleteBuffers"));
    GLDeleteWatch::count(n);
    real(n, buffers);
}
