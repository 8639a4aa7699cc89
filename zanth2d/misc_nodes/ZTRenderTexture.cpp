#include "misc_nodes/ZTRenderTexture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "ZTConfiguration.h"
#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTCommon.h"
#include "platform/ZTFileUtils.h"
#include "platform/ZTImage.h"
#include "platform/linux/DesktopWindow.h"
#include "platform/linux/ZTEGLView.h"
#include "sprite_nodes/ZTSprite.h"
#include "support/ZTGLStack.h"
#include "support/ZTRenderer.h"
#include "support/ZTUtils.h"

namespace zanth2d {

namespace {

// The formats a texture can be made from raw data in.
bool isUploadableFormat(ZTTexture2DPixelFormat format)
{
    switch (format) {
    case kZTTexture2DPixelFormat_RGBA8888:
    case kZTTexture2DPixelFormat_RGB888:
    case kZTTexture2DPixelFormat_RGB565:
    case kZTTexture2DPixelFormat_A8:
    case kZTTexture2DPixelFormat_AI88:
    case kZTTexture2DPixelFormat_RGBA4444:
    case kZTTexture2DPixelFormat_RGB5A1:
        return true;
    default:
        return false;
    }
}

void clearBound(float r, float g, float b, float a)
{
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    GLfloat saved[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, saved);
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(saved[0], saved[1], saved[2], saved[3]);
}

} // namespace

ZTRenderTexture::~ZTRenderTexture()
{
    removeAllChildrenWithCleanup(true);
    if (!m_pSprite && m_pTexture) {
        m_pTexture->release();
    }
    if (m_uFBO && DesktopWindow::hasCurrentContext()) {
        glDeleteFramebuffers(1, &m_uFBO);
    }
}

ZTRenderTexture* ZTRenderTexture::renderTextureWithWidthAndHeight(int width, int height,
                                                                  ZTTexture2DPixelFormat format)
{
    return ztMakeAutoreleased<ZTRenderTexture>(
        [&](ZTRenderTexture* pTexture) { return pTexture->initWithWidthAndHeight(width, height, format); });
}

ZTRenderTexture* ZTRenderTexture::renderTextureWithWidthAndHeight(int width, int height)
{
    return renderTextureWithWidthAndHeight(width, height, kZTTexture2DPixelFormat_RGBA8888);
}

bool ZTRenderTexture::initWithWidthAndHeight(int width, int height, ZTTexture2DPixelFormat format)
{
    if (ZTConfiguration::sharedConfiguration()->getGlesVersion() < kZTGlesVersion1_1) {
        ZTLog("ZTRenderTexture: ERROR: the GL context has no framebuffer objects\n");
        return false;
    }
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_nOldFBO);

    const int scale = static_cast<int>(ZTDirector::sharedDirector()->getContentScaleFactor());
    const long w = static_cast<long>(width) * scale;
    const long h = static_cast<long>(height) * scale;
    const long maxSize = ZTConfiguration::sharedConfiguration()->getMaxTextureSize();
    if (w <= 0 || h <= 0 || static_cast<long>(ztNextPOT(w)) > maxSize ||
        static_cast<long>(ztNextPOT(h)) > maxSize) {
        ZTLog("ZTRenderTexture: ERROR: a render texture of %d x %d points is not possible\n", width, height);
        return false;
    }
    if (!isUploadableFormat(format)) {
        ZTLog("ZTRenderTexture: ERROR: pixel format %d can not be drawn into\n", static_cast<int>(format));
        return false;
    }
    const unsigned int potWide = static_cast<unsigned int>(ztNextPOT(w));
    const unsigned int potHigh = static_cast<unsigned int>(ztNextPOT(h));
    void* zeros = std::calloc(static_cast<size_t>(potWide) * potHigh, 4);
    if (!zeros) {
        return false;
    }
    m_ePixelFormat = format;
    m_pTexture = new ZTTexture2D();
    m_pTexture->initWithData(zeros, format, potWide, potHigh,
                             ZTSize(static_cast<float>(w), static_cast<float>(h)));
    std::free(zeros);

    glGenFramebuffers(1, &m_uFBO);
    glBindFramebuffer(GL_FRAMEBUFFER, m_uFBO);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_pTexture->getName(), 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        ZTLog("ZTRenderTexture: ERROR: the framebuffer of a %d x %d render texture is incomplete\n", width,
              height);
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_nOldFBO));
        return false;
    }
    m_pTexture->setAliasTexParameters();

    m_pSprite = ZTSprite::spriteWithTexture(m_pTexture);
    // The sprite holds the texture from here on.
    m_pTexture->release();
    m_pSprite->setScaleY(-1);
    addChild(m_pSprite);
    m_pSprite->setBlendFunc(ztBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA});

    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_nOldFBO));
    return true;
}

void ZTRenderTexture::begin()
{
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    ZTGLStack::pushMatrix();
    const ZTSize texture = m_pTexture->getContentSizeInPixels();
    const ZTSize display = ZTDirector::sharedDirector()->getDisplaySizeInPixels();
    // The window's projection, squeezed so that the texture's size fills the texture.
    if (display.width > 0 && display.height > 0) {
        const float rw = display.width / texture.width;
        const float rh = display.height / texture.height;
        glOrtho(-1.0 / rw, 1.0 / rw, -1.0 / rh, 1.0 / rh, -1, 1);
    }
    glGetIntegerv(GL_VIEWPORT, m_aOldViewport);
    glViewport(0, 0, static_cast<GLsizei>(texture.width), static_cast<GLsizei>(texture.height));

    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_nOldFBO);
    glBindFramebuffer(GL_FRAMEBUFFER, m_uFBO);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
}

void ZTRenderTexture::beginWithClear(float r, float g, float b, float a)
{
    begin();
    clearBound(r, g, b, a);
}

void ZTRenderTexture::end(bool)
{
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_nOldFBO));
    ZTGLStack::popMatrix();
    ZTDirector* director = ZTDirector::sharedDirector();
    if (ZTEGLView* view = director->getOpenGLView()) {
        const ZTSize display = director->getDisplaySizeInPixels();
        view->setViewPortInPoints(0, 0, display.width, display.height);
    } else {
        glViewport(m_aOldViewport[0], m_aOldViewport[1], m_aOldViewport[2], m_aOldViewport[3]);
    }
}

void ZTRenderTexture::clear(float r, float g, float b, float a)
{
    beginWithClear(r, g, b, a);
    end();
}

unsigned char* ZTRenderTexture::readRectangle(int x, int y, int& width, int& height)
{
    if (!m_pTexture) {
        return nullptr;
    }
    const ZTSize size = m_pTexture->getContentSizeInPixels();
    const int tw = static_cast<int>(size.width);
    const int th = static_cast<int>(size.height);
    if (x < 0 || y < 0 || x >= tw || y >= th || width < 0 || height < 0 || ((width == 0) != (height == 0))) {
        return nullptr;
    }
    if (width == 0) {
        width = tw;
        height = th;
    }
    height = std::min(height, th - y);
    width = std::min(width, tw - x);
    if (m_ePixelFormat != kZTTexture2DPixelFormat_RGBA8888) {
        ZTLog("ZTRenderTexture: ERROR: only RGBA8888 render textures can be read back\n");
        return nullptr;
    }

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const unsigned long potWide = ztNextPOT(static_cast<unsigned long>(tw));
    const unsigned long potHigh = ztNextPOT(static_cast<unsigned long>(th));
    if (potWide == 0 || potHigh == 0 || potWide > static_cast<unsigned long>(maxSize) ||
        potHigh > static_cast<unsigned long>(maxSize)) {
        return nullptr;
    }
    auto* result = new (std::nothrow) unsigned char[static_cast<size_t>(width) * height * 4];
    auto* read = new (std::nothrow) unsigned char[potWide * potHigh * 4];
    if (!result || !read) {
        delete[] result;
        delete[] read;
        return nullptr;
    }
    begin();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(potWide), static_cast<GLsizei>(potHigh), GL_RGBA,
                 GL_UNSIGNED_BYTE, read);
    end();

    // GL's rows run bottom up: the top row of the rectangle comes first.
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int i = 0; i < height; ++i) {
        const size_t readRow = static_cast<size_t>(y + height - 1 - i);
        std::memcpy(result + i * rowBytes, read + (readRow * potWide + static_cast<size_t>(x)) * 4, rowBytes);
    }
    delete[] read;
    return result;
}

bool ZTRenderTexture::getUIImageFromBuffer(ZTImage* image, int x, int y, int width, int height)
{
    if (!image) {
        return false;
    }
    unsigned char* pixels = readRectangle(x, y, width, height);
    if (!pixels) {
        return false;
    }
    const bool ok =
        image->initWithImageData(pixels, width * height * 4, ZTImage::kFmtRawData, width, height, 8);
    delete[] pixels;
    return ok;
}

unsigned char* ZTRenderTexture::getBuffer(unsigned char* buffer, int x, int y, int width, int height)
{
    unsigned char* pixels = readRectangle(x, y, width, height);
    return pixels ? pixels : buffer;
}

bool ZTRenderTexture::saveBuffer(const char* fileName, int x, int y, int width, int height)
{
    ZTImage image;
    if (!getUIImageFromBuffer(&image, x, y, width, height)) {
        return false;
    }
    return image.saveToFile(fileName, true);
}

bool ZTRenderTexture::saveBuffer(int format, const char* fileName, int x, int y, int width, int height)
{
    if (format != kZTImageFormatJPG && format != kZTImageFormatPNG) {
        ZTLog("ZTRenderTexture: ERROR: image format %d can not be saved, only JPG (0) and PNG (1)\n", format);
        return false;
    }
    const std::string path = ZTFileUtils::getWriteablePath() + (fileName ? fileName : "");
    return saveBuffer(path.c_str(), x, y, width, height);
}

unsigned char* ZTRenderTexture::getUIImageAsDataFromBuffer(int)
{
    return nullptr;
}

} // namespace zanth2d
