#include "textures/ZTTexture2D.h"
#include "ZTDirector.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "ZTConfiguration.h"
#include "ZTMacros.h"
#include "platform/ZTCommon.h"
#include "platform/ZTImage.h"
#include "platform/linux/DesktopWindow.h"
#include "support/ZTGLStateCache.h"
#include "support/ZTRenderer.h"
#include "support/ZTUtils.h"
#include "textures/ZTTexturePVR.h"

namespace zanth2d {

namespace {

ZTTexture2DPixelFormat g_defaultAlphaPixelFormat = kZTTexture2DPixelFormat_Default;
bool g_PVRHaveAlphaPremultiplied = false;

// Float sizes from callers become ints without wrapping: NaN and very negative values become -1 and
// huge ones 1000000, both of which the image refuses.
int toPixels(double value)
{
    return !(value >= -1.0) ? -1 : value > 1.0e6 ? 1000000 : static_cast<int>(value);
}

ZTImage::ETextAlign imageAlignment(ZTTextAlignment alignment)
{
    return alignment == kZTTextAlignmentLeft    ? ZTImage::kAlignLeft
           : alignment == kZTTextAlignmentRight ? ZTImage::kAlignRight
                                                : ZTImage::kAlignCenter;
}

bool isPowerOfTwo(unsigned int value)
{
    return value == ztNextPOT(value);
}

// Copies the image's rows to the top of a zeroed width x height buffer of bytesPerPixel pixels.
unsigned char* padToSize(ZTImage* image, unsigned int potWide, unsigned int potHigh,
                         unsigned int bytesPerPixel)
{
    const unsigned char* source = image->getData();
    ZTAssert(source != nullptr, "tempData != __null");
    size_t rowBytes = static_cast<size_t>(potWide) * bytesPerPixel;
    size_t size = rowBytes * potHigh;
    auto* data = static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size));
    if (!data) {
        return nullptr;
    }
    unsigned int width = image->getWidth();
    unsigned int height = image->getHeight();
    // Only the padding is cleared: the image's own pixels are written over anyway (labels make one of
    // these for every new text).
    const size_t usedBytes = static_cast<size_t>(width) * bytesPerPixel;
    for (unsigned int y = 0; y < height; ++y) {
        const unsigned char* row = source + static_cast<size_t>(y) * width * 4;
        unsigned char* target = data + rowBytes * y;
        std::memset(target + usedBytes, 0, rowBytes - usedBytes);
        if (bytesPerPixel == 4) {
            std::memcpy(target, row, static_cast<size_t>(width) * 4);
        } else {
            for (unsigned int x = 0; x < width; ++x) {
                target[x * 3] = row[x * 4];
                target[x * 3 + 1] = row[x * 4 + 1];
                target[x * 3 + 2] = row[x * 4 + 2];
            }
        }
    }
    std::memset(data + rowBytes * height, 0, rowBytes * (potHigh - height));
    return data;
}

// Converts RGBA8888 pixels (R in the low byte of the little-endian word) into 16-bit pixels.
unsigned char* convertTo16Bit(const unsigned char* data, size_t pixels, ZTTexture2DPixelFormat format)
{
    auto* out = static_cast<uint16_t*>(std::malloc(pixels == 0 ? 2 : pixels * 2));
    if (!out) {
        return nullptr;
    }
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned char* p = data + i * 4;
        uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        switch (format) {
        case kZTTexture2DPixelFormat_RGB565:
            out[i] = static_cast<uint16_t>(((v << 8) & 0xF800) | ((v >> 5) & 0x07E0) | ((v >> 19) & 0x001F));
            break;
        case kZTTexture2DPixelFormat_RGBA4444:
            out[i] = static_cast<uint16_t>(((v << 8) & 0xF000) | ((v >> 4) & 0x0F00) | ((v >> 16) & 0x00F0) |
                                           (v >> 28));
            break;
        default: // RGB5A1
            out[i] = static_cast<uint16_t>(((v << 8) & 0xF800) | ((v >> 5) & 0x07C0) | ((v >> 18) & 0x003E) |
                                           (v >> 31));
            break;
        }
    }
    return reinterpret_cast<unsigned char*>(out);
}

} // namespace

ZTTexture2D::ZTTexture2D() = default;

ZTTexture2D::~ZTTexture2D()
{
    deleteName();
}

void ZTTexture2D::deleteName()
{
    // Names are the context's own: another context current may hold a live texture of the same name, and
    // a context that is gone took its textures with it.
    if (m_uName && DesktopWindow::hasCurrentContext() && DesktopWindow::currentContext() == m_uContext) {
        ZTGLStateCache::deleteTexture2D(m_uName);
    }
    m_uName = 0;
}

bool ZTTexture2D::initWithData(const void* data, ZTTexture2DPixelFormat pixelFormat, unsigned int pixelsWide,
                               unsigned int pixelsHigh, const ZTSize& contentSize)
{
    GLint internal = 0;
    GLenum format = 0;
    GLenum type = GL_UNSIGNED_BYTE;
    switch (pixelFormat) {
    case kZTTexture2DPixelFormat_RGBA8888:
        internal = GL_RGBA;
        format = GL_RGBA;
        break;
    case kZTTexture2DPixelFormat_RGB888:
        internal = GL_RGB;
        format = GL_RGB;
        break;
    case kZTTexture2DPixelFormat_RGB565:
        internal = GL_RGB;
        format = GL_RGB;
        type = GL_UNSIGNED_SHORT_5_6_5;
        break;
    case kZTTexture2DPixelFormat_A8:
        internal = GL_ALPHA;
        format = GL_ALPHA;
        break;
    case kZTTexture2DPixelFormat_AI88:
        internal = GL_LUMINANCE_ALPHA;
        format = GL_LUMINANCE_ALPHA;
        break;
    case kZTTexture2DPixelFormat_RGBA4444:
        internal = GL_RGBA;
        format = GL_RGBA;
        type = GL_UNSIGNED_SHORT_4_4_4_4;
        break;
    case kZTTexture2DPixelFormat_RGB5A1:
        internal = GL_RGBA;
        format = GL_RGBA;
        type = GL_UNSIGNED_SHORT_5_5_5_1;
        break;
    default:
        ZTAssert(0, "0");
        return false;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    deleteName();
    glGenTextures(1, &m_uName);
    m_uContext = DesktopWindow::currentContext();
    ZTGLStateCache::bindTexture2D(m_uName);
    m_uPixelsWide = pixelsWide;
    m_uPixelsHigh = pixelsHigh;
    setAntiAliasTexParameters();
    glTexImage2D(GL_TEXTURE_2D, 0, internal, static_cast<GLsizei>(pixelsWide),
                 static_cast<GLsizei>(pixelsHigh), 0, format, type, data);
    m_tContentSize = contentSize;
    m_ePixelFormat = pixelFormat;
    m_fMaxS = pixelsWide ? contentSize.width / static_cast<float>(pixelsWide) : 0.0f;
    m_fMaxT = pixelsHigh ? contentSize.height / static_cast<float>(pixelsHigh) : 0.0f;
    m_bHasPremultipliedAlpha = false;
    return true;
}

bool ZTTexture2D::initWithImage(ZTImage* uiImage)
{
    if (!uiImage || !uiImage->getData()) {
        return false;
    }
    unsigned int potWide = static_cast<unsigned int>(ztNextPOT(uiImage->getWidth()));
    unsigned int potHigh = static_cast<unsigned int>(ztNextPOT(uiImage->getHeight()));
    unsigned int maxSize =
        static_cast<unsigned int>(ZTConfiguration::sharedConfiguration()->getMaxTextureSize());
    if (potWide > maxSize || potHigh > maxSize) {
        return false;
    }
    return initPremultipliedATextureWithImage(uiImage, potWide, potHigh);
}

bool ZTTexture2D::initPremultipliedATextureWithImage(ZTImage* image, unsigned int potWide,
                                                     unsigned int potHigh)
{
    ZTTexture2DPixelFormat pixelFormat;
    if (image->hasAlpha()) {
        pixelFormat = g_defaultAlphaPixelFormat;
    } else {
        pixelFormat = image->getBitsPerComponent() >= 8 ? kZTTexture2DPixelFormat_RGB888
                                                        : kZTTexture2DPixelFormat_RGB565;
    }
    ZTSize contentSize(static_cast<float>(image->getWidth()), static_cast<float>(image->getHeight()));

    unsigned char* data = nullptr;
    switch (pixelFormat) {
    case kZTTexture2DPixelFormat_RGBA8888:
    case kZTTexture2DPixelFormat_RGB565:
    case kZTTexture2DPixelFormat_A8:
    case kZTTexture2DPixelFormat_RGBA4444:
    case kZTTexture2DPixelFormat_RGB5A1:
        data = padToSize(image, potWide, potHigh, 4);
        break;
    case kZTTexture2DPixelFormat_RGB888:
        data = padToSize(image, potWide, potHigh, 3);
        break;
    default:
        ZTAssert(0, "0");
        return false;
    }
    if (!data) {
        return false;
    }
    size_t pixels = static_cast<size_t>(potWide) * potHigh;
    if (pixelFormat == kZTTexture2DPixelFormat_RGB565 || pixelFormat == kZTTexture2DPixelFormat_RGBA4444 ||
        pixelFormat == kZTTexture2DPixelFormat_RGB5A1) {
        unsigned char* converted = convertTo16Bit(data, pixels, pixelFormat);
        std::free(data);
        if (!converted) {
            return false;
        }
        data = converted;
    } else if (pixelFormat == kZTTexture2DPixelFormat_A8) {
        // An 8-bit alpha request still uploads the 32-bit pixels.
        pixelFormat = kZTTexture2DPixelFormat_RGBA8888;
    }
    initWithData(data, pixelFormat, potWide, potHigh, contentSize);
    m_bHasPremultipliedAlpha = image->isPremultipliedAlpha();
    std::free(data);
    return true;
}

bool ZTTexture2D::initWithString(const char* text, const char* fontName, float fontSize)
{
    ZTImage image;
    if (!image.initWithString(text, 0, 0, ZTImage::kAlignCenter, fontName, toPixels(fontSize))) {
        return false;
    }
    return initWithImage(&image);
}

bool ZTTexture2D::initWithString(const char* text, const ZTSize& dimensions, ZTTextAlignment alignment,
                                 const char* fontName, float fontSize)
{
    ZTImage image;
    return renderString(image, text, dimensions, alignment, fontName, fontSize) && initWithImage(&image);
}

bool ZTTexture2D::renderString(ZTImage& image, const char* text, const ZTSize& dimensions,
                               ZTTextAlignment alignment, const char* fontName, float fontSize)
{
    return image.initWithString(text, toPixels(std::ceil(dimensions.width)),
                                toPixels(std::ceil(dimensions.height)), imageAlignment(alignment), fontName,
                                toPixels(fontSize));
}

bool ZTTexture2D::drawPlainString(const char* text, const ZTSize& dimensions, ZTTextAlignment alignment,
                                  const char* fontName, float fontSize, const ZTImage::CoverageTarget& target)
{
    return ZTImage::drawPlainText(text, toPixels(std::ceil(dimensions.width)),
                                  toPixels(std::ceil(dimensions.height)), imageAlignment(alignment), fontName,
                                  toPixels(fontSize), target);
}

bool ZTTexture2D::initWithPVRFile(const char* file)
{
    auto* pvr = new ZTTexturePVR();
    if (!pvr->initWithContentsOfFile(file)) {
        pvr->release();
        return false;
    }
    pvr->setRetainName(true);
    deleteName();
    m_uName = pvr->getName();
    m_uContext = DesktopWindow::currentContext();
    m_fMaxS = 1.0f;
    m_fMaxT = 1.0f;
    m_uPixelsWide = pvr->getWidth();
    m_uPixelsHigh = pvr->getHeight();
    m_tContentSize = ZTSize(static_cast<float>(m_uPixelsWide), static_cast<float>(m_uPixelsHigh));
    m_bHasPremultipliedAlpha = g_PVRHaveAlphaPremultiplied;
    m_ePixelFormat = pvr->getFormat();
    setAntiAliasTexParameters();
    pvr->release();
    return true;
}

ZTSize ZTTexture2D::getContentSize()
{
    float scale = ZTDirector::sharedDirector()->getContentScaleFactor();
    return ZTSize(m_tContentSize.width / scale, m_tContentSize.height / scale);
}

void ZTTexture2D::setTexParameters(ztTexParams* texParams)
{
    ZTAssert((isPowerOfTwo(m_uPixelsWide) && isPowerOfTwo(m_uPixelsHigh)) ||
                 (texParams->wrapS == GL_CLAMP_TO_EDGE && texParams->wrapT == GL_CLAMP_TO_EDGE),
             "(m_uPixelsWide == ztNextPOT(m_uPixelsWide) && m_uPixelsHigh == ztNextPOT(m_uPixelsHigh)) || "
             "(texParams->wrapS == 0x812F && texParams->wrapT == 0x812F)");
    ZTGLStateCache::bindTexture2D(m_uName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(texParams->minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(texParams->magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(texParams->wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(texParams->wrapT));
}

void ZTTexture2D::setAntiAliasTexParameters()
{
    ztTexParams params = {GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE};
    setTexParameters(&params);
}

void ZTTexture2D::setAliasTexParameters()
{
    ztTexParams params = {GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE};
    setTexParameters(&params);
}

void ZTTexture2D::generateMipmap()
{
    ZTAssert(isPowerOfTwo(m_uPixelsWide) && isPowerOfTwo(m_uPixelsHigh),
             "m_uPixelsWide == ztNextPOT(m_uPixelsWide) && m_uPixelsHigh == ztNextPOT(m_uPixelsHigh)");
    ZTGLStateCache::bindTexture2D(m_uName);
    glGenerateMipmap(GL_TEXTURE_2D);
}

void ZTTexture2D::drawAtPoint(const ZTPoint& point)
{
    GLfloat coordinates[] = {0.0f, m_fMaxT, m_fMaxS, m_fMaxT, 0.0f, 0.0f, m_fMaxS, 0.0f};
    GLfloat width = static_cast<GLfloat>(m_uPixelsWide) * m_fMaxS;
    GLfloat height = static_cast<GLfloat>(m_uPixelsHigh) * m_fMaxT;
    GLfloat vertices[] = {point.x, point.y,          0.0f, width + point.x, point.y,          0.0f,
                          point.x, height + point.y, 0.0f, width + point.x, height + point.y, 0.0f};
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    ZTGLStateCache::bindTexture2D(m_uName);
    glVertexPointer(3, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void ZTTexture2D::drawInRect(const ZTRect& rect)
{
    GLfloat coordinates[] = {0.0f, m_fMaxT, m_fMaxS, m_fMaxT, 0.0f, 0.0f, m_fMaxS, 0.0f};
    GLfloat vertices[] = {rect.origin.x,
                          rect.origin.y,
                          rect.origin.x + rect.size.width,
                          rect.origin.y,
                          rect.origin.x,
                          rect.origin.y + rect.size.height,
                          rect.origin.x + rect.size.width,
                          rect.origin.y + rect.size.height};
    ZTRenderer::sharedRenderer()->beginDirectDraw();
    ZTGLStateCache::bindTexture2D(m_uName);
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

unsigned int ZTTexture2D::bitsPerPixelForFormat()
{
    switch (m_ePixelFormat) {
    case kZTTexture2DPixelFormat_RGBA8888:
        return 32;
    case kZTTexture2DPixelFormat_RGB888:
        return 24;
    case kZTTexture2DPixelFormat_RGB565:
    case kZTTexture2DPixelFormat_AI88:
    case kZTTexture2DPixelFormat_RGBA4444:
    case kZTTexture2DPixelFormat_RGB5A1:
        return 16;
    case kZTTexture2DPixelFormat_A8:
    case kZTTexture2DPixelFormat_I8:
        return 8;
    case kZTTexture2DPixelFormat_PVRTC4:
        return 4;
    case kZTTexture2DPixelFormat_PVRTC2:
        return 2;
    default:
        ZTAssert(false, "false");
        return 0;
    }
}

char* ZTTexture2D::description()
{
    char* text = new char[100];
    std::snprintf(text, 100, "<ZTTexture2D | Name = %u | Dimensions = %u x %u | Coordinates = (%.2f, %.2f)>",
                  m_uName, m_uPixelsWide, m_uPixelsHigh, static_cast<double>(m_fMaxS),
                  static_cast<double>(m_fMaxT));
    return text;
}

void* ZTTexture2D::keepData(void* data, unsigned int)
{
    return data;
}

void ZTTexture2D::releaseData(void* data)
{
    std::free(data);
}

void ZTTexture2D::setDefaultAlphaPixelFormat(ZTTexture2DPixelFormat format)
{
    // The next image loaded would otherwise meet a format it cannot be converted to.
    if (!canMakeFromImage(format)) {
        ZTLog("ZTTexture2D: WARNING: images cannot be loaded in pixel format %d, the default alpha pixel "
              "format stays %d\n",
              static_cast<int>(format), static_cast<int>(g_defaultAlphaPixelFormat));
        return;
    }
    g_defaultAlphaPixelFormat = format;
}

ZTTexture2DPixelFormat ZTTexture2D::defaultAlphaPixelFormat()
{
    return g_defaultAlphaPixelFormat;
}

bool ZTTexture2D::canMakeFromImage(ZTTexture2DPixelFormat format)
{
    switch (format) {
    case kZTTexture2DPixelFormat_RGBA8888:
    case kZTTexture2DPixelFormat_RGB888:
    case kZTTexture2DPixelFormat_RGB565:
    case kZTTexture2DPixelFormat_A8:
    case kZTTexture2DPixelFormat_RGBA4444:
    case kZTTexture2DPixelFormat_RGB5A1:
        return true;
    default:
        return false;
    }
}

void ZTTexture2D::PVRImagesHavePremultipliedAlpha(bool haveAlphaPremultiplied)
{
    g_PVRHaveAlphaPremultiplied = haveAlphaPremultiplied;
}

} // namespace zanth2d
