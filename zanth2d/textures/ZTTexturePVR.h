#pragma once

#include <GL/gl.h>

#include "cocoa/ZTObject.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

#define ZT_PVRMIPMAP_MAX 16

struct ZTPVRMipmap
{
    const unsigned char* address;
    unsigned int len;
};

// Reads a PVR version 2 texture file (plain, or compressed when the name contains ".ccz" or ".gz")
// and uploads it with all its mipmap levels as one GL texture. Files with unknown pixel types,
// sizes that are not powers of two, or levels shorter than their size are refused.
class ZTTexturePVR : public ZTObject
{
public:
    ZTTexturePVR();
    // Deletes the GL texture unless the name is retained by a texture that adopted it.
    ~ZTTexturePVR() override;

    // An autoreleased reader, or null when the file is missing or not accepted.
    static ZTTexturePVR* pvrTextureWithContentsOfFile(const char* path);
    // False when the file is missing or not accepted; the creator then releases the reader.
    bool initWithContentsOfFile(const char* path);
    // The same over the (uncompressed) file content in memory.
    bool initWithData(const unsigned char* data, unsigned long length);

    virtual GLuint getName() { return m_uName; }
    virtual unsigned int getWidth() { return m_uWidth; }
    virtual unsigned int getHeight() { return m_uHeight; }
    virtual ZTTexture2DPixelFormat getFormat() { return m_eFormat; }
    virtual bool getHasAlpha() { return m_bHasAlpha; }
    virtual bool getRetainName() { return m_bRetainName; }
    virtual void setRetainName(bool retainName) { m_bRetainName = retainName; }

    unsigned int getNumberOfMipmaps() const { return m_uNumberOfMipmaps; }

private:
    bool unpackPVRData(const unsigned char* data, unsigned long length);
    bool createGLTexture();

    GLuint m_uName = 0;
    unsigned int m_uWidth = 0;
    unsigned int m_uHeight = 0;
    ZTTexture2DPixelFormat m_eFormat = kZTTexture2DPixelFormat_Automatic;
    bool m_bHasAlpha = false;
    bool m_bRetainName = false;
    unsigned int m_uTableFormatIndex = 0;
    unsigned int m_uNumberOfMipmaps = 0;
    ZTPVRMipmap m_asMipmaps[ZT_PVRMIPMAP_MAX];
};

} // namespace zanth2d
