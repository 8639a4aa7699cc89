#pragma once

#include <cstddef>
#include <functional>

namespace zanth2d {

// A decoded bitmap: rows top-down, each pixel the bytes R, G, B, A. Decoded files and rendered text
// hold colour premultiplied by alpha. Width and height are at most 65535 pixels.
class ZTImage
{
public:
    enum EImageFormat
    {
        kFmtJpg = 0,
        kFmtPng,
        kFmtRawData,
    };

    // High nibble: 1 top, 2 bottom, 3 vertically centred; low nibble: 1 left, 2 right, 3 centred.
    enum ETextAlign
    {
        kAlignCenter = 0x33,
        kAlignTop = 0x13,
        kAlignTopRight = 0x12,
        kAlignRight = 0x32,
        kAlignBottomRight = 0x22,
        kAlignBottom = 0x23,
        kAlignBottomLeft = 0x21,
        kAlignLeft = 0x31,
        kAlignTopLeft = 0x11,
    };

    ZTImage() = default;
    virtual ~ZTImage();
    ZTImage(const ZTImage&) = delete;
    ZTImage& operator=(const ZTImage&) = delete;

    // Every init returns false and leaves the image as it was on unreadable files, undecodable data,
    // missing text or unusable sizes.

    // Resolves the path with ZTFileUtils::fullPathFromRelativePath, then reads and decodes the file.
    bool initWithImageFile(const char* strPath, EImageFormat imageType = kFmtPng);
    // The same for a path that is already full; safe on a loader thread.
    bool initWithImageFileThreadSafe(const char* fullpath, EImageFormat imageType = kFmtPng);
    // Decodes JPEG or PNG data, or copies width x height raw RGBA pixels (length must cover them).
    bool initWithImageData(const void* pData, int nDataLen, EImageFormat eFmt = kFmtPng, int nWidth = 0,
                           int nHeight = 0, int nBitsPerComponent = 8);
    // Renders white text on transparent black. Width or height 0 measure the text; a given width gets
    // a 2-pixel margin. The font is a font file (registered once per process) or a family name.
    bool initWithString(const char* pText, int nWidth = 0, int nHeight = 0,
                        ETextAlign eAlignMask = kAlignCenter, const char* pFontName = nullptr, int nSize = 0);

    // Where drawPlainText draws: given the picture's size, sets the first pixel, the bytes a row and the
    // bytes a pixel (all set to the coverage) of cleared pixels, or returns false to draw nothing.
    using CoverageTarget =
        std::function<bool(int width, int height, unsigned char*& pixels, int& stride, int& step)>;
    // Draws the text as initWithString would render it, as coverage into the target, when it is one plain
    // line of text; false for text that initWithString lays out through Qt (the target may have been
    // asked for its pixels then, but nothing is drawn), empty text and unusable sizes.
    static bool drawPlainText(const char* pText, int nWidth, int nHeight, ETextAlign eAlignMask,
                              const char* pFontName, int nSize, const CoverageTarget& target);

    // Writes PNG (a path containing ".png", any case) or JPEG (".jpg"); isToRGB drops alpha from a PNG.
    bool saveToFile(const char* pszFilePath, bool bIsToRGB = true);

    unsigned char* getData() { return m_pData; }
    size_t getDataLen() const { return static_cast<size_t>(m_nWidth) * m_nHeight * 4; }
    bool hasAlpha() const { return m_bHasAlpha; }
    bool isPremultipliedAlpha() const { return m_bPreMulti; }

    virtual unsigned short getWidth() const { return m_nWidth; }
    virtual unsigned short getHeight() const { return m_nHeight; }
    virtual int getBitsPerComponent() const { return m_nBitsPerComponent; }

private:
    bool initWithEncodedData(const void* pData, int nDataLen, const char* pszFormat);
    bool initWithFileData(const char* fullpath, EImageFormat imageType);
    void adopt(unsigned char* pData, int nWidth, int nHeight, int nBitsPerComponent, bool bHasAlpha,
               bool bPreMulti);

    unsigned short m_nWidth = 0;
    unsigned short m_nHeight = 0;
    int m_nBitsPerComponent = 0;
    unsigned char* m_pData = nullptr;
    bool m_bHasAlpha = false;
    bool m_bPreMulti = false;
};

} // namespace zanth2d
