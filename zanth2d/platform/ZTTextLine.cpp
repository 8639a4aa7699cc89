#include "platform/ZTTextLine.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace zanth2d {

namespace {

// Qt's own layout of a short text on one line of unlimited width.
QList<QGlyphRun> qtGlyphRuns(const QString& text, const QFont& font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine().setLineWidth(1e6);
    layout.endLayout();
    return layout.glyphRuns();
}

int toFixed(qreal value)
{
    return int(std::lround(value * 64));
}

// Characters shaped one by one in the scripts of Latin text; anything else goes to Qt.
bool isPlainCharacter(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x21 && u < 0x7f) || u == 0x20 || (u >= 0xa1 && u <= 0x24f && u != 0xad) ||
           (u >= 0x2010 && u <= 0x2027) || (u >= 0x20a0 && u <= 0x20bf);
}

// Large text changes rarely and its pictures would take much memory: Qt draws it.
constexpr int kLargestPixelSize = 96;
// Pictures kept per font before they are all drawn again.
constexpr int kMostPictures = 16384;

// Qt's blend of a coverage over a premultiplied white text pixel: the source scaled by the coverage,
// over what is there.
inline unsigned char blendCoverage(unsigned coverage, unsigned there)
{
    if (coverage == 255)
        return 255;
    const unsigned rest = there * (255 - coverage);
    return static_cast<unsigned char>(coverage + ((rest + (rest >> 8) + 0x80) >> 8));
}

} // namespace

ZTTextLine::ZTTextLine(const QFont& font) : m_font(font), m_rawFont(QRawFont::fromFont(font))
{
    QTextLayout layout(QStringLiteral("x"), font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    m_ascent = line.ascent();
    m_height = line.ascent() + line.descent();
    const int pixelSize = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    m_usable = m_rawFont.isValid() && pixelSize > 0 && pixelSize <= kLargestPixelSize;
    m_margin = 2 * pixelSize + 8;
}

const ZTTextLine::Picture& ZTTextLine::pictureOf(quint32 glyph, int fraction)
{
    if (m_pictures.size() >= kMostPictures)
        m_pictures.clear();
    Picture& picture = m_pictures[(glyph << 6) | quint32(fraction)];
    if (picture.made)
        return picture;
    picture.made = true;
    if (m_scratch.isNull())
        m_scratch = QImage(2 * m_margin, 2 * m_margin, QImage::Format_ARGB32_Premultiplied);
    m_scratch.fill(0);
    QGlyphRun run;
    run.setRawFont(m_rawFont);
    run.setGlyphIndexes({glyph});
    run.setPositions({QPointF(0, 0)});
    {
        QPainter painter(&m_scratch);
        painter.setPen(Qt::white);
        painter.drawGlyphRun(QPointF(m_margin + fraction / 64.0, m_margin), run);
    }
    int left = m_scratch.width();
    int top = m_scratch.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < m_scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(m_scratch.constScanLine(y));
        for (int x = 0; x < m_scratch.width(); ++x) {
            if (qAlpha(line[x])) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    // A blank glyph (a space) leaves nothing to copy.
    if (right < 0)
        return picture;
    picture.left = left - m_margin;
    picture.top = top - m_margin;
    picture.width = right - left + 1;
    picture.height = bottom - top + 1;
    picture.coverage.resize(size_t(picture.width) * size_t(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(m_scratch.constScanLine(top + y));
        for (int x = 0; x < picture.width; ++x)
            picture.coverage[size_t(y) * size_t(picture.width) + size_t(x)] = uchar(qAlpha(line[left + x]));
    }
    return picture;
}

template <int Step>
void ZTTextLine::copyPicture(const Picture& picture, int left, int top, unsigned char* pixels, int width,
                             int height, int stride)
{
    const int firstColumn = std::max(0, -left);
    const int endColumn = std::min(picture.width, width - left);
    const int endRow = std::min(picture.height, height - top);
    for (int row = std::max(0, -top); row < endRow; ++row) {
        const unsigned char* coverage = picture.coverage.data() + size_t(row) * size_t(picture.width);
        unsigned char* pixel =
            pixels + size_t(top + row) * size_t(stride) + size_t(left + firstColumn) * Step;
        for (int column = firstColumn; column < endColumn; ++column, pixel += Step) {
            const unsigned c = coverage[column];
            if (!c)
                continue;
            // Neighbouring glyphs seldom overlap: most pixels take the coverage as it is.
            const unsigned there = pixel[Step - 1];
            const unsigned char value = there ? blendCoverage(c, there) : static_cast<unsigned char>(c);
            for (int byte = 0; byte < Step; ++byte)
                pixel[byte] = value;
        }
    }
}

bool ZTTextLine::glyphFor(QChar character, Glyph& glyph)
{
    const ushort code = character.unicode();
    if (code < kQuickCharacters && m_quickGlyphKnown[code]) {
        glyph = m_quickGlyphs[code];
        return glyph.index != 0;
    }
    const auto known = m_glyphs.constFind(character);
    if (known != m_glyphs.constEnd()) {
        glyph = known.value();
        return glyph.index != 0;
    }
    Glyph found;
    if (isPlainCharacter(character)) {
        const QList<QGlyphRun> runs = qtGlyphRuns(QString(character), m_font);
        // One glyph of the font itself, not of a fallback font.
        if (runs.size() == 1 && runs.first().glyphIndexes().size() == 1 &&
            runs.first().rawFont() == m_rawFont) {
            found.index = runs.first().glyphIndexes().first();
            found.advance = toFixed(m_rawFont.advancesForGlyphIndexes({found.index}).first().x());
        }
    }
    if (code < kQuickCharacters) {
        m_quickGlyphs[code] = found;
        m_quickGlyphKnown[code] = true;
    } else {
        m_glyphs.insert(character, found);
    }
    glyph = found;
    return found.index != 0;
}

bool ZTTextLine::kerningFor(QChar left, QChar right, int& kerning)
{
    const bool quick = left.unicode() < kQuickPairs && right.unicode() < kQuickPairs;
    const size_t pair = size_t(left.unicode()) * kQuickPairs + right.unicode();
    if (quick && !m_quickKernings.empty() && m_quickKernings[pair] != kUnknownKerning) {
        kerning = m_quickKernings[pair];
        return kerning != kNotPlainKerning;
    }
    const quint32 key = (quint32(left.unicode()) << 16) | right.unicode();
    const auto known = m_kernings.constFind(key);
    if (known != m_kernings.constEnd()) {
        kerning = known.value();
        return kerning != kNotPlain;
    }
    int found = kNotPlain;
    Glyph first;
    Glyph second;
    if (glyphFor(left, first) && glyphFor(right, second)) {
        const QList<QGlyphRun> runs = qtGlyphRuns(QString(left) + right, m_font);
        if (runs.size() == 1 && runs.first().glyphIndexes() == QList<quint32>{first.index, second.index})
            found = toFixed(runs.first().positions().at(1).x()) - first.advance;
    }
    // A kerning too large for the quick table is not worth one.
    if (quick && (found == kNotPlain || std::abs(found) < kNotPlainKerning)) {
        if (m_quickKernings.empty())
            m_quickKernings.assign(size_t(kQuickPairs) * kQuickPairs, kUnknownKerning);
        m_quickKernings[pair] = found == kNotPlain ? kNotPlainKerning : qint16(found);
    } else {
        m_kernings.insert(key, found);
    }
    kerning = found;
    return found != kNotPlain;
}

bool ZTTextLine::layOut(const QString& text, int& width)
{
    m_indexes.clear();
    m_positions.clear();
    m_indexes.reserve(size_t(text.size()));
    m_positions.reserve(size_t(text.size()));
    int x = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        Glyph glyph;
        if (!glyphFor(text.at(i), glyph))
            return false;
        if (i > 0) {
            int kerning = 0;
            if (!kerningFor(text.at(i - 1), text.at(i), kerning))
                return false;
            x += kerning;
        }
        m_indexes.push_back(glyph.index);
        m_positions.push_back(x);
        x += glyph.advance;
    }
    width = x;
    return true;
}

bool ZTTextLine::draw(const QString& text, int flags, unsigned char* pixels, int width, int height)
{
    return draw(text, flags, pixels, width, height, width * 4, 4);
}

bool ZTTextLine::draw(const QString& text, int flags, unsigned char* pixels, int width, int height,
                      int stride, int step)
{
    if (!m_usable || text.isEmpty() || text.front().isSpace() || text.back().isSpace() || width <= 0 ||
        height <= 0)
        return false;
    int textWidth = 0;
    if (!layOut(text, textWidth))
        return false;
    // A line as wide as the box or wider would be broken or laid out otherwise.
    if (textWidth >= width * 64 - 1)
        return false;

    // Placed as QPainter::drawText places a single line in its rectangle.
    const qreal advance = textWidth / 64.0;
    qreal x = 0;
    if (flags & Qt::AlignRight)
        x = width - advance;
    else if (flags & Qt::AlignHCenter)
        x = (width - advance) / 2;
    qreal y = 0;
    if (flags & Qt::AlignBottom)
        y = height - m_height;
    else if (flags & Qt::AlignVCenter)
        y = (height - m_height) / 2;

    if (x < 0)
        return false;
    // The pen's positions as Qt's painter takes them (whole 64ths, cut towards zero); the baseline is
    // rounded to a whole pixel.
    const int baseline = (int((y + m_ascent) * 64) + 32) >> 6;
    for (size_t i = 0; i < m_indexes.size(); ++i) {
        const int pen = int((x + m_positions[i] / 64.0) * 64);
        const Picture& picture = pictureOf(m_indexes[i], pen & 63);
        const int left = (pen >> 6) + picture.left;
        const int top = baseline + picture.top;
        switch (step) {
        case 1:
            copyPicture<1>(picture, left, top, pixels, width, height, stride);
            break;
        case 2:
            copyPicture<2>(picture, left, top, pixels, width, height, stride);
            break;
        default:
            copyPicture<4>(picture, left, top, pixels, width, height, stride);
            break;
        }
    }
    return true;
}

} // namespace zanth2d
