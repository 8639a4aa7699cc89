#pragma once

#include <GL/gl.h>

#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTTexture2D;

// Points a framebuffer object at a texture so that drawing between beforeRender and afterRender lands
// in the texture. Below GL version class 2 there are no framebuffer objects and every call does nothing.
// Engine thread only, with the GL context current.
class ZTGrabber : public ZTObject
{
public:
    ZTGrabber();
    ~ZTGrabber() override;

    // Attaches the texture as the colour buffer. An incomplete framebuffer is reported once, and
    // isComplete() is false from then on.
    void grab(ZTTexture2D* pTexture);
    // Redirects drawing into the texture, cleared to opaque black; the alpha channel keeps that 1.
    void beforeRender(ZTTexture2D* pTexture);
    // Restores the framebuffer, clear colour and colour mask of before beforeRender.
    void afterRender(ZTTexture2D* pTexture);

    // Whether drawing can go through the framebuffer (true without framebuffer objects: nothing to lose).
    bool isComplete() const { return m_bComplete; }

protected:
    bool hasFramebuffers() const { return m_nGlesVersion >= 2; }

    GLuint m_fbo = 0;
    GLint m_oldFBO = 0;
    int m_nGlesVersion = 0;
    bool m_bComplete = true;
    GLfloat m_oldClearColor[4] = {0, 0, 0, 0};
};

} // namespace zanth2d
