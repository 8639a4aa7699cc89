#pragma once

#include <GL/gl.h>

#include "base_nodes/ZTNode.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

class ZTImage;
class ZTSprite;

// Image formats of saveBuffer.
enum ztImageFormat
{
    kZTImageFormatJPG = 0,
    kZTImageFormatPNG = 1,
};

// A node that owns a framebuffer object with a texture: whatever is visited between begin and end is
// drawn into the texture, which a vertically flipped sprite child shows. The texture's pixels can be
// read back into memory or written to a PNG or JPEG file. begin and end pair; clear and the read-backs
// hold their own pair and must not run between them. Needs a current GL context with framebuffer objects.
class ZTRenderTexture : public ZTNode
{
public:
    ZTRenderTexture() = default;
    ~ZTRenderTexture() override;

    // Width and height in points. Autoreleased, or null (with a log line) when the context has no
    // framebuffer objects, the size or format is unusable or the framebuffer is incomplete.
    static ZTRenderTexture* renderTextureWithWidthAndHeight(int width, int height,
                                                            ZTTexture2DPixelFormat format);
    static ZTRenderTexture* renderTextureWithWidthAndHeight(int width, int height);
    bool initWithWidthAndHeight(int width, int height, ZTTexture2DPixelFormat format);

    // Drawing goes to the texture from here on, in the window's coordinates.
    void begin();
    // begin, then fills the texture with the colour (components 0 to 1).
    void beginWithClear(float r, float g, float b, float a);
    // Drawing goes back to the framebuffer bound before begin. The argument is not used.
    void end(bool bIsTOCacheTexture = true);
    void clear(float r, float g, float b, float a);

    // Rectangles are in texture pixels with the origin at the bottom left; a width and height of 0 mean
    // the whole texture; a rectangle that reaches beyond the texture is cut at its edge. The pixels come
    // top row first, RGBA. Failures (no texture, a rectangle starting outside, a negative size, exactly one
    // size 0, a pixel format other than RGBA8888) write nothing.

    // Fills image with the rectangle; false on failure.
    bool getUIImageFromBuffer(ZTImage* image, int x = 0, int y = 0, int width = 0, int height = 0);
    // The rectangle's width x height x 4 bytes in a new[] array that the caller deletes with delete[];
    // on failure returns buffer as given (it is never written).
    unsigned char* getBuffer(unsigned char* buffer, int x = 0, int y = 0, int width = 0, int height = 0);
    // Writes the rectangle to fileName, PNG (alpha dropped) or JPEG after the name's ending; false when the
    // read-back or the write fails.
    bool saveBuffer(const char* fileName, int x = 0, int y = 0, int width = 0, int height = 0);
    // The same into the writeable folder (ZTFileUtils::getWriteablePath); format must be
    // kZTImageFormatJPG or kZTImageFormatPNG, else false with a log line. The name's ending decides the kind.
    bool saveBuffer(int format, const char* fileName, int x = 0, int y = 0, int width = 0, int height = 0);
    // Not available: always null.
    unsigned char* getUIImageAsDataFromBuffer(int format);

    virtual ZTSprite* getSprite() const { return m_pSprite; }
    // Not retained beyond being a child.
    virtual void setSprite(ZTSprite* sprite) { m_pSprite = sprite; }

    ZTTexture2D* getTexture() const { return m_pTexture; }
    ZTTexture2DPixelFormat getPixelFormat() const { return m_ePixelFormat; }

private:
    // Reads the rectangle into a new[] array of width x height x 4 bytes, top row first; null on failure.
    unsigned char* readRectangle(int x, int y, int& width, int& height);

    ZTSprite* m_pSprite = nullptr;
    GLuint m_uFBO = 0;
    GLint m_nOldFBO = 0;
    ZTTexture2D* m_pTexture = nullptr;
    ZTTexture2DPixelFormat m_ePixelFormat = kZTTexture2DPixelFormat_RGBA8888;
    // The view port before begin, put back by end when there is no director view to take it from.
    GLint m_aOldViewport[4] = {0, 0, 0, 0};
};

} // namespace zanth2d
