#include "support/ZTGLStateCache.h"

#include "support/ZTRenderer.h"

namespace zanth2d {

bool ZTGLStateCache::s_textureKnown = false;
GLuint ZTGLStateCache::s_texture = 0;
GLenum ZTGLStateCache::s_blendSrc = GL_ONE;
GLenum ZTGLStateCache::s_blendDst = GL_ONE_MINUS_SRC_ALPHA;
bool ZTGLStateCache::s_texturing = true;
bool ZTGLStateCache::s_blending = true;
unsigned long ZTGLStateCache::s_callsMade = 0;
unsigned long ZTGLStateCache::s_callsSkipped = 0;

void ZTGLStateCache::bindTexture2D(GLuint name)
{
    if (!needed(s_textureKnown && s_texture == name)) {
        return;
    }
    glBindTexture(GL_TEXTURE_2D, name);
    s_texture = name;
    s_textureKnown = true;
}

void ZTGLStateCache::deleteTexture2D(GLuint name)
{
    // Queued quads may still name it, and GL may hand the name out again at once.
    ZTRenderer::sharedRenderer()->flush();
    glDeleteTextures(1, &name);
    if (s_texture == name) {
        s_texture = 0;
    }
}

void ZTGLStateCache::blendFunc(GLenum src, GLenum dst)
{
    if (!needed(s_blendSrc == src && s_blendDst == dst)) {
        return;
    }
    glBlendFunc(src, dst);
    s_blendSrc = src;
    s_blendDst = dst;
}

void ZTGLStateCache::setTexturing(bool enabled)
{
    if (!needed(s_texturing == enabled)) {
        return;
    }
    s_texturing = enabled;
    if (enabled) {
        glEnable(GL_TEXTURE_2D);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

void ZTGLStateCache::setBlending(bool enabled)
{
    if (!needed(s_blending == enabled)) {
        return;
    }
    s_blending = enabled;
    if (enabled) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
}

bool ZTGLStateCache::needed(bool unchanged)
{
    ++(unchanged ? s_callsSkipped : s_callsMade);
    return !unchanged;
}

void ZTGLStateCache::restoreDefaults()
{
    setBlending(true);
    blendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    setTexturing(true);
}

void ZTGLStateCache::forget()
{
    s_textureKnown = false;
    s_blendSrc = GL_ONE;
    s_blendDst = GL_ONE_MINUS_SRC_ALPHA;
    s_texturing = true;
    s_blending = true;
}

void ZTGLStateCache::resetCounters()
{
    s_callsMade = 0;
    s_callsSkipped = 0;
}

} // namespace zanth2d
