#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTObject.h"
#include "platform/ZTImage.h"

namespace zanth2d {

enum ZTTexture2DPixelFormat
{
    kZTTexture2DPixelFormat_Automatic = 0,
    kZTTexture2DPixelFormat_RGBA8888,
    kZTTexture2DPixelFormat_RGB888,
    kZTTexture2DPixelFormat_RGB565,
    kZTTexture2DPixelFormat_A8,
    kZTTexture2DPixelFormat_I8,
    kZTTexture2DPixelFormat_AI88,
    kZTTexture2DPixelFormat_RGBA4444,
    kZTTexture2DPixelFormat_RGB5A1,
    kZTTexture2DPixelFormat_PVRTC4,
    kZTTexture2DPixelFormat_PVRTC2,
    kZTTexture2DPixelFormat_Default = kZTTexture2DPixelFormat_RGBA8888,
};

// Horizontal alignment of text in its box.
enum ZTTextAlignment
{
    kZTTextAlignmentLeft = 0,
    kZTTextAlignmentCenter,
    kZTTextAlignmentRight,
};

struct ztTexParams
{
    GLuint minFilter;
    GLuint magFilter;
    GLuint wrapS;
    GLuint wrapT;
};

// One GL 2D texture: the stored (usually power-of-two) size in pixels, the content size the image
// really covers, and the texture coordinates maxS/maxT of that content.
//
// Ownership: an init that fails returns false and leaves the object to its creator, who releases it
// once (an init never releases the object itself).
class ZTTexture2D : public ZTObject
{
public:
    ZTTexture2D();
    ~ZTTexture2D() override;

    // Uploads pixels already in pixelFormat; the sizes may be any size. Unsupported formats are a
    // programming error.
    bool initWithData(const void* data, ZTTexture2DPixelFormat pixelFormat, unsigned int pixelsWide,
                      unsigned int pixelsHigh, const ZTSize& contentSize);
    // Power-of-two upload of a decoded image, converted to the default alpha pixel format. False for a
    // null image or one whose power-of-two size exceeds GL's maximum texture size.
    bool initWithImage(ZTImage* uiImage);
    // Text measured and rendered by ZTImage, centred.
    bool initWithString(const char* text, const char* fontName, float fontSize);
    // Text rendered in a box of dimensions (pixels), vertically centred.
    bool initWithString(const char* text, const ZTSize& dimensions, ZTTextAlignment alignment,
                        const char* fontName, float fontSize);
    // The picture initWithString(text, dimensions, ...) uploads, rendered into image.
    static bool renderString(ZTImage& image, const char* text, const ZTSize& dimensions,
                             ZTTextAlignment alignment, const char* fontName, float fontSize);
    // Draws what renderString would render as coverage into the target, when the text is one plain line
    // (see ZTImage::drawPlainText).
    static bool drawPlainString(const char* text, const ZTSize& dimensions, ZTTextAlignment alignment,
                                const char* fontName, float fontSize, const ZTImage::CoverageTarget& target);
    // A PVR file (plain, .ccz or .gz); maxS = maxT = 1.
    bool initWithPVRFile(const char* file);

    virtual ZTTexture2DPixelFormat getPixelFormat() { return m_ePixelFormat; }
    virtual unsigned int getPixelsWide() { return m_uPixelsWide; }
    virtual unsigned int getPixelsHigh() { return m_uPixelsHigh; }
    virtual GLuint getName() { return m_uName; }
    virtual const ZTSize& getContentSizeInPixels() { return m_tContentSize; }
    virtual float getMaxS() { return m_fMaxS; }
    virtual void setMaxS(float maxS) { m_fMaxS = maxS; }
    virtual float getMaxT() { return m_fMaxT; }
    virtual void setMaxT(float maxT) { m_fMaxT = maxT; }
    virtual bool getHasPremultipliedAlpha() { return m_bHasPremultipliedAlpha; }

    // Content size in points (pixels divided by the content scale factor).
    ZTSize getContentSize();

    void setTexParameters(ztTexParams* texParams);
    void setAntiAliasTexParameters();
    void setAliasTexParameters();
    // Needs power-of-two sizes.
    void generateMipmap();

    // Immediate drawing of the whole content; needs the vertex and texture-coordinate arrays enabled.
    void drawAtPoint(const ZTPoint& point);
    void drawInRect(const ZTRect& rect);

    unsigned int bitsPerPixelForFormat();
    // A new[] text the caller deletes.
    char* description();

    void* keepData(void* data, unsigned int length);
    // Frees data with free().
    void releaseData(void* data);

    // A format that canMakeFromImage refuses is not taken (one warning): the default stays as it was.
    static void setDefaultAlphaPixelFormat(ZTTexture2DPixelFormat format);
    // Whether decoded images can be turned into textures of this format. Every caller that sets the
    // default alpha pixel format from a game's value or a file asks this first.
    static bool canMakeFromImage(ZTTexture2DPixelFormat format);
    static ZTTexture2DPixelFormat defaultAlphaPixelFormat();
    // Whether PVR files carry premultiplied colour (false at start).
    static void PVRImagesHavePremultipliedAlpha(bool haveAlphaPremultiplied);

private:
    bool initPremultipliedATextureWithImage(ZTImage* image, unsigned int potWide, unsigned int potHigh);
    // Deletes the GL texture when the context that made it is current; the name is 0 after.
    void deleteName();

    ZTTexture2DPixelFormat m_ePixelFormat = kZTTexture2DPixelFormat_Automatic;
    unsigned int m_uPixelsWide = 0;
    unsigned int m_uPixelsHigh = 0;
    GLuint m_uName = 0;
    // The GL context the name belongs to (DesktopWindow::currentContext).
    std::uintptr_t m_uContext = 0;
    ZTSize m_tContentSize;
    float m_fMaxS = 0.0f;
    float m_fMaxT = 0.0f;
    bool m_bHasPremultipliedAlpha = false;
};

} // namespace zanth2d
