#include "textures/ZTTexturePVR.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "ZTConfiguration.h"
#include "platform/ZTCommon.h"
#include "platform/ZTFileUtils.h"
#include "platform/linux/DesktopWindow.h"
#include "support/ZTGLStateCache.h"
#include "support/ZTUtils.h"
#include "support/zip_support/ZipUtils.h"

namespace zanth2d {

namespace {

const unsigned long kHeaderLength = 52;
const uint32_t kPVRTag = 0x21525650; // "PVR!"

struct PVRFormat
{
    unsigned int type;
    GLint internalFormat;
    GLenum format;
    GLenum glType;
    unsigned int bpp;
    bool compressed;
    ZTTexture2DPixelFormat pixelFormat;
};

const PVRFormat tableFormats[] = {
    {0x10, GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 16, false, kZTTexture2DPixelFormat_RGBA4444},
    {0x11, GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, 16, false, kZTTexture2DPixelFormat_RGB5A1},
    {0x12, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, 32, false, kZTTexture2DPixelFormat_RGBA8888},
    {0x13, GL_RGB, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 16, false, kZTTexture2DPixelFormat_RGB565},
    {0x1B, GL_ALPHA, GL_ALPHA, GL_UNSIGNED_BYTE, 8, false, kZTTexture2DPixelFormat_A8},
    {0x16, GL_LUMINANCE, GL_LUMINANCE, GL_UNSIGNED_BYTE, 8, false, kZTTexture2DPixelFormat_I8},
    {0x17, GL_LUMINANCE_ALPHA, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 16, false, kZTTexture2DPixelFormat_AI88},
};

uint32_t littleEndian32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

ZTTexturePVR::ZTTexturePVR() = default;

ZTTexturePVR::~ZTTexturePVR()
{
    if (m_uName != 0 && !m_bRetainName && DesktopWindow::hasCurrentContext()) {
        ZTGLStateCache::deleteTexture2D(m_uName);
    }
}

ZTTexturePVR* ZTTexturePVR::pvrTextureWithContentsOfFile(const char* path)
{
    auto* pvr = new ZTTexturePVR();
    if (!pvr->initWithContentsOfFile(path)) {
        pvr->release();
        return nullptr;
    }
    pvr->autorelease();
    return pvr;
}

bool ZTTexturePVR::initWithContentsOfFile(const char* path)
{
    std::string lower = path ? path : "";
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (lower.find(".ccz") != std::string::npos || lower.find(".gz") != std::string::npos) {
        unsigned char* data = nullptr;
        int length = lower.find(".ccz") != std::string::npos ? ZipUtils::ztInflateCCZFile(path, &data)
                                                             : ZipUtils::ztInflateGZipFile(path, &data);
        bool ok = length >= 0 && data && initWithData(data, static_cast<unsigned long>(length));
        std::free(data);
        return ok;
    }
    unsigned long length = 0;
    unsigned char* data = ZTFileUtils::getFileData(path, "rb", &length);
    bool ok = data && initWithData(data, length);
    delete[] data;
    return ok;
}

bool ZTTexturePVR::initWithData(const unsigned char* data, unsigned long length)
{
    m_uName = 0;
    m_uWidth = 0;
    m_uHeight = 0;
    m_bHasAlpha = false;
    m_uNumberOfMipmaps = 0;
    bool ok = unpackPVRData(data, length) && createGLTexture();
    m_uNumberOfMipmaps = ok ? m_uNumberOfMipmaps : 0;
    return ok;
}

bool ZTTexturePVR::unpackPVRData(const unsigned char* data, unsigned long length)
{
    if (!data || length < kHeaderLength || littleEndian32(data + 44) != kPVRTag) {
        return false;
    }
    uint32_t height = littleEndian32(data + 4);
    uint32_t width = littleEndian32(data + 8);
    uint32_t flags = littleEndian32(data + 16);
    uint32_t dataLength = littleEndian32(data + 20);
    uint32_t alphaMask = littleEndian32(data + 40);
    if (width == 0 || height == 0 || ztNextPOT(width) != width || ztNextPOT(height) != height) {
        return false;
    }
    // Before any level size is multiplied out: width x height x bytes can wrap for absurd sizes.
    const uint32_t largest =
        static_cast<uint32_t>(std::max(ZTConfiguration::sharedConfiguration()->getMaxTextureSize(), 0));
    if (width > largest || height > largest) {
        ZTLog("ZTTexturePVR: WARNING: %u x %u is above the largest texture size (%u)\n", width, height,
              largest);
        return false;
    }
    const unsigned int type = flags & 0xFF;
    const PVRFormat* row = std::find_if(std::begin(tableFormats), std::end(tableFormats),
                                        [type](const PVRFormat& f) { return f.type == type; });
    if (row == std::end(tableFormats)) {
        return false;
    }
    if (dataLength > length - kHeaderLength) {
        ZTLog("ZTTexturePVR: WARNING: the file promises %u bytes of pixels but holds %lu\n", dataLength,
              length - kHeaderLength);
        return false;
    }
    m_uTableFormatIndex = static_cast<unsigned int>(row - std::begin(tableFormats));
    m_uWidth = width;
    m_uHeight = height;
    m_bHasAlpha = alphaMask != 0;
    m_eFormat = row->pixelFormat;

    unsigned long long offset = 0;
    unsigned long long w = width;
    unsigned long long h = height;
    while (offset < dataLength) {
        unsigned long long levelSize = std::max(w, 2ull) * std::max(h, 2ull) * (row->bpp / 8);
        if (levelSize > dataLength - offset) {
            // A short level would make GL read past the data.
            ZTLog("ZTTexturePVR: WARNING: mipmap level %u is %llu bytes short\n", m_uNumberOfMipmaps,
                  levelSize - (dataLength - offset));
            break;
        }
        if (m_uNumberOfMipmaps >= ZT_PVRMIPMAP_MAX - 1) {
            ZTLog("ZTTexturePVR: WARNING: more than %d mipmap levels\n", ZT_PVRMIPMAP_MAX - 1);
            return false;
        }
        m_asMipmaps[m_uNumberOfMipmaps].address = data + kHeaderLength + offset;
        m_asMipmaps[m_uNumberOfMipmaps].len = static_cast<unsigned int>(levelSize);
        ++m_uNumberOfMipmaps;
        offset += levelSize;
        w = std::max(w / 2, 1ull);
        h = std::max(h / 2, 1ull);
    }
    return dataLength == 0 || m_uNumberOfMipmaps > 0;
}

bool ZTTexturePVR::createGLTexture()
{
    if (m_uNumberOfMipmaps == 0) {
        return true;
    }
    const PVRFormat& row = tableFormats[m_uTableFormatIndex];
    if (m_uName != 0) {
        ZTGLStateCache::deleteTexture2D(m_uName);
    }
    // Errors left by earlier calls must not be taken for ours.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &m_uName);
    ZTGLStateCache::bindTexture2D(m_uName);
    GLsizei w = static_cast<GLsizei>(m_uWidth);
    GLsizei h = static_cast<GLsizei>(m_uHeight);
    for (unsigned int i = 0; i < m_uNumberOfMipmaps; ++i) {
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), row.internalFormat, w, h, 0, row.format,
                     row.glType, m_asMipmaps[i].address);
        GLenum err = glGetError();
        if (err != GL_NO_ERROR) {
            ZTLog("ZTTexturePVR: WARNING: uploading mipmap level %u failed: 0x%04X\n", i, err);
            return false;
        }
        w = std::max(w / 2, 1);
        h = std::max(h / 2, 1);
    }
    return true;
}

} // namespace zanth2d
