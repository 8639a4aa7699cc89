#include "platform/ZTImage.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <tuple>

#include "platform/ZTCommon.h"
#include "platform/ZTFileData.h"
#include "platform/ZTFileUtils.h"
#include "platform/ZTTextLine.h"

namespace zanth2d {

namespace {

const int kMaxSide = 65535;
// Text is never rendered into more than 256 MB.
const size_t kMaxTextPixels = 64u * 1024 * 1024;

// Font file path -> family used for it, so each file is registered with Qt at most once.
QMap<QString, QString>& loadedFontMap()
{
    static QMap<QString, QString> map;
    return map;
}

int bitsPerComponentOf(QImage::Format format)
{
    static const int bits[] = {1, 1, 8, 8, 8, 8, 5, 8, 6, 6, 5, 5, 8, 4, 4};
    int index = static_cast<int>(format);
    return (index >= 1 && index <= 15) ? bits[index - 1] : 0;
}

int qtAlignment(ZTImage::ETextAlign align)
{
    switch (align) {
    case ZTImage::kAlignTopLeft:
        return Qt::TextWordWrap | Qt::AlignTop | Qt::AlignLeft;
    case ZTImage::kAlignTopRight:
        return Qt::TextWordWrap | Qt::AlignTop | Qt::AlignRight;
    case ZTImage::kAlignTop:
        return Qt::TextWordWrap | Qt::AlignTop | Qt::AlignHCenter;
    case ZTImage::kAlignBottomLeft:
        return Qt::TextWordWrap | Qt::AlignBottom | Qt::AlignLeft;
    case ZTImage::kAlignBottomRight:
        return Qt::TextWordWrap | Qt::AlignBottom | Qt::AlignRight;
    case ZTImage::kAlignBottom:
        return Qt::TextWordWrap | Qt::AlignBottom | Qt::AlignHCenter;
    case ZTImage::kAlignLeft:
        return Qt::TextWordWrap | Qt::AlignVCenter | Qt::AlignLeft;
    case ZTImage::kAlignRight:
        return Qt::TextWordWrap | Qt::AlignVCenter | Qt::AlignRight;
    case ZTImage::kAlignCenter:
        return Qt::TextWordWrap | Qt::AlignVCenter | Qt::AlignHCenter;
    }
    return Qt::TextWordWrap;
}

// Fonts as text images ask for them, by family, pixel size and weight: a label that changes every frame
// would otherwise look its font up in the database every time.
struct FontKey
{
    QString family;
    int size;
    bool bold;
    bool operator<(const FontKey& other) const
    {
        return std::tie(family, size, bold) < std::tie(other.family, other.size, other.bold);
    }
};

struct TextFont
{
    QFont font;
    // Made when the font first draws a text.
    std::unique_ptr<ZTTextLine> line;
};

// Fonts hold font engines, which must go before the application: the cache is emptied when it ends.
std::map<FontKey, TextFont>& fontCache()
{
    static auto* cache = [] {
        qAddPostRoutine([] { fontCache().clear(); });
        return new std::map<FontKey, TextFont>();
    }();
    return *cache;
}

// The font of text images: the family's normal face at the pixel size, bold when asked.
TextFont& textFont(const QString& family, int size, bool bold)
{
    const FontKey key{family, size, bold};
    auto it = fontCache().find(key);
    if (it != fontCache().end()) {
        return it->second;
    }
    QFont font = QFontDatabase::font(family, QStringLiteral("Normal"), size);
    font.setPixelSize(size);
    font.setBold(bold);
    // Text of many sizes would otherwise keep every font it ever used.
    if (fontCache().size() >= 64) {
        fontCache().clear();
    }
    return fontCache()[key] = TextFont{font, nullptr};
}

// Font name as given -> family, for names met before (most labels share a few names); a name is looked
// for as a file only the first time.
QMap<std::string, QString>& familyByName()
{
    static QMap<std::string, QString> map;
    return map;
}

QString fontFamilyFor(const char* pFontName)
{
    const std::string given = pFontName ? pFontName : "";
    auto known = familyByName().constFind(given);
    if (known != familyByName().constEnd()) {
        return known.value();
    }
    QString name = QString::fromUtf8(given.c_str());
    QString key = QString::fromUtf8(ZTFileUtils::fullPathFromRelativePath(pFontName ? pFontName : ""));
    auto it = loadedFontMap().constFind(key);
    if (it != loadedFontMap().constEnd()) {
        return it.value();
    }
    QString family = name;
    int id = QFontDatabase::addApplicationFont(key);
    if (id != -1) {
        QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty()) {
            family = families.first();
        }
    }
    loadedFontMap().insert(key, family);
    if (id != -1) {
        // A new face may now answer for a family asked for before.
        fontCache().clear();
    }
    familyByName().insert(given, family);
    return family;
}

} // namespace

ZTImage::~ZTImage()
{
    delete[] m_pData;
}

void ZTImage::adopt(unsigned char* pData, int nWidth, int nHeight, int nBitsPerComponent, bool bHasAlpha,
                    bool bPreMulti)
{
    delete[] m_pData;
    m_pData = pData;
    m_nWidth = static_cast<unsigned short>(nWidth);
    m_nHeight = static_cast<unsigned short>(nHeight);
    m_nBitsPerComponent = nBitsPerComponent;
    m_bHasAlpha = bHasAlpha;
    m_bPreMulti = bPreMulti;
}

bool ZTImage::initWithImageFile(const char* strPath, EImageFormat imageType)
{
    return initWithFileData(ZTFileUtils::fullPathFromRelativePath(strPath), imageType);
}

bool ZTImage::initWithImageFileThreadSafe(const char* fullpath, EImageFormat imageType)
{
    return initWithFileData(fullpath, imageType);
}

bool ZTImage::initWithFileData(const char* fullpath, EImageFormat imageType)
{
    ZTFileData data(fullpath, "rb");
    if (!data.getBuffer() || data.getSize() > static_cast<unsigned long>(INT_MAX)) {
        return false;
    }
    return initWithImageData(data.getBuffer(), static_cast<int>(data.getSize()), imageType);
}

bool ZTImage::initWithImageData(const void* pData, int nDataLen, EImageFormat eFmt, int nWidth, int nHeight,
                                int nBitsPerComponent)
{
    if (!pData || nDataLen <= 0) {
        return false;
    }
    switch (eFmt) {
    case kFmtJpg:
        return initWithEncodedData(pData, nDataLen, "JPG");
    case kFmtPng:
        return initWithEncodedData(pData, nDataLen, "PNG");
    case kFmtRawData: {
        if (nWidth <= 0 || nHeight <= 0 || nWidth > kMaxSide || nHeight > kMaxSide) {
            return false;
        }
        size_t size = static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight) * 4;
        if (static_cast<size_t>(nDataLen) < size) {
            ZTLog("ZTImage: WARNING: %d bytes of raw data are too few for %d x %d pixels\n", nDataLen, nWidth,
                  nHeight);
            return false;
        }
        auto* pCopy = new (std::nothrow) unsigned char[size];
        if (!pCopy) {
            return false;
        }
        std::memcpy(pCopy, pData, size);
        adopt(pCopy, nWidth, nHeight, nBitsPerComponent, true, false);
        return true;
    }
    }
    return false;
}

bool ZTImage::initWithEncodedData(const void* pData, int nDataLen, const char* pszFormat)
{
    QImage decoded;
    if (!decoded.loadFromData(static_cast<const uchar*>(pData), nDataLen, pszFormat)) {
        return false;
    }
    if (decoded.width() > kMaxSide || decoded.height() > kMaxSide) {
        ZTLog("ZTImage: WARNING: a %d x %d image is too large\n", decoded.width(), decoded.height());
        return false;
    }
    QImage image = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied).rgbSwapped();
    if (image.isNull()) {
        return false;
    }
    size_t rowBytes = static_cast<size_t>(image.width()) * 4;
    auto* pCopy = new (std::nothrow) unsigned char[rowBytes * static_cast<size_t>(image.height())];
    if (!pCopy) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(pCopy + rowBytes * static_cast<size_t>(y), image.constScanLine(y), rowBytes);
    }
    adopt(pCopy, image.width(), image.height(), bitsPerComponentOf(image.format()), image.hasAlphaChannel(),
          true);
    return true;
}

namespace {

// What initWithString renders: the text, its font and the picture's size. False, after the log line,
// for sizes that cannot be rendered.
struct TextPicture
{
    QString text;
    TextFont* font = nullptr;
    int width = 0;
    int height = 0;
};

bool prepareText(const char* pText, int nWidth, int nHeight, const char* pFontName, int nSize,
                 TextPicture& picture, bool log)
{
    if (nWidth < 0 || nHeight < 0 || nWidth > kMaxSide - 2 || nHeight > kMaxSide || nSize <= 0) {
        if (log)
            ZTLog("ZTImage: WARNING: text size %d x %d at font size %d is not possible\n", nWidth, nHeight,
                  nSize);
        return false;
    }
    picture.text = QString::fromUtf8(pText);
    QString family = fontFamilyFor(pFontName);
    // Bold faces are asked for as the family followed by "-Bold".
    const bool bold = family.endsWith(QLatin1String("-Bold"));
    if (bold) {
        family.chop(5);
    }
    picture.font = &textFont(family, nSize, bold);
    // A box of its own needs no measuring.
    const QSize measured =
        nWidth == 0 || nHeight == 0 ? QFontMetrics(picture.font->font).size(0, picture.text) : QSize();
    const int width = nWidth == 0 ? measured.width() : nWidth + 2;
    const int height = nHeight == 0 ? measured.height() : nHeight;
    if (width > kMaxSide || height > kMaxSide ||
        static_cast<size_t>(width) * static_cast<size_t>(height) > kMaxTextPixels) {
        if (log)
            ZTLog("ZTImage: WARNING: text of %d x %d pixels is too large\n", width, height);
        return false;
    }
    // Empty text still gives a (transparent) pixel, so that no texture is ever 0 pixels wide.
    picture.width = std::max(width, 1);
    picture.height = std::max(height, 1);
    return true;
}

// A plain line of text is placed from what the font learnt before; anything else is laid out by Qt.
ZTTextLine& lineOf(TextFont& font)
{
    if (!font.line) {
        font.line = std::make_unique<ZTTextLine>(font.font);
    }
    return *font.line;
}

} // namespace

bool ZTImage::initWithString(const char* pText, int nWidth, int nHeight, ETextAlign eAlignMask,
                             const char* pFontName, int nSize)
{
    TextPicture picture;
    if (!pText || !prepareText(pText, nWidth, nHeight, pFontName, nSize, picture, true)) {
        return false;
    }
    const int width = picture.width;
    const int height = picture.height;
    size_t size = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    auto* pData = new (std::nothrow) unsigned char[size];
    if (!pData) {
        return false;
    }
    std::memset(pData, 0, size);
    if (!lineOf(*picture.font).draw(picture.text, qtAlignment(eAlignMask), pData, width, height)) {
        QImage canvas(pData, width, height, width * 4, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&canvas);
        painter.setFont(picture.font->font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, width, height), qtAlignment(eAlignMask), picture.text);
        painter.end();
    }
    adopt(pData, width, height, 8, true, true);
    return true;
}

bool ZTImage::drawPlainText(const char* pText, int nWidth, int nHeight, ETextAlign eAlignMask,
                            const char* pFontName, int nSize, const CoverageTarget& target)
{
    TextPicture picture;
    // Sizes it refuses are refused again, with their log line, by initWithString.
    if (!pText || !*pText || !prepareText(pText, nWidth, nHeight, pFontName, nSize, picture, false)) {
        return false;
    }
    ZTTextLine& line = lineOf(*picture.font);
    unsigned char* pixels = nullptr;
    int stride = 0;
    int step = 0;
    return target(picture.width, picture.height, pixels, stride, step) && pixels &&
           line.draw(picture.text, qtAlignment(eAlignMask), pixels, picture.width, picture.height, stride,
                     step);
}

bool ZTImage::saveToFile(const char* pszFilePath, bool bIsToRGB)
{
    if (!pszFilePath || std::strlen(pszFilePath) < 5 || !m_pData) {
        return false;
    }
    std::string lower(pszFilePath);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    bool bPng = lower.find(".png") != std::string::npos;
    if (!bPng && lower.find(".jpg") == std::string::npos) {
        return false;
    }
    // Premultiplied pixels are described as such, so Qt un-premultiplies them and colours survive.
    QImage::Format format = m_bPreMulti ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32;
    QImage image(m_pData, m_nWidth, m_nHeight, m_nWidth * 4, format);
    if (bPng) {
        if (bIsToRGB) {
            image = image.convertToFormat(QImage::Format_RGB32);
        }
        return image.rgbSwapped().save(QString::fromUtf8(pszFilePath), "PNG", -1);
    }
    return image.rgbSwapped().save(QString::fromUtf8(pszFilePath), "JPG", -1);
}

} // namespace zanth2d
