#include "effects/ZTGrabber.h"

#include "ZTConfiguration.h"
#include "platform/ZTCommon.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

ZTGrabber::ZTGrabber()
{
    m_nGlesVersion = ZTConfiguration::sharedConfiguration()->getGlesVersion();
    if (hasFramebuffers()) {
        glGenFramebuffers(1, &m_fbo);
    }
}

ZTGrabber::~ZTGrabber()
{
    if (hasFramebuffers()) {
        glDeleteFramebuffers(1, &m_fbo);
    }
}

void ZTGrabber::grab(ZTTexture2D* pTexture)
{
    if (!hasFramebuffers()) {
        return;
    }
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_oldFBO);
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pTexture->getName(), 0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_oldFBO));
    m_bComplete = status == GL_FRAMEBUFFER_COMPLETE;
    if (!m_bComplete) {
        ZTLog("ZTGrabber: WARNING: the framebuffer is incomplete (status 0x%x), so the node is drawn without "
              "its grid\n",
              status);
    }
}

void ZTGrabber::beforeRender(ZTTexture2D*)
{
    if (!hasFramebuffers()) {
        return;
    }
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_oldFBO);
    glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, m_oldClearColor);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

void ZTGrabber::afterRender(ZTTexture2D*)
{
    if (!hasFramebuffers()) {
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_oldFBO));
    glClearColor(m_oldClearColor[0], m_oldClearColor[1], m_oldClearColor[2], m_oldClearColor[3]);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

} // namespace zanth2d
