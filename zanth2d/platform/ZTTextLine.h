#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRawFont>
#include <QString>

#include <array>
#include <vector>

namespace zanth2d {

// Draws one line of plain text in one font exactly as QPainter::drawText(rect, flags, text) draws it, at
// a fraction of the cost, for labels whose text changes every frame. Qt lays every text out anew (text
// shaping) and paints it through a painter; this keeps what shaping found for each character and each
// pair of neighbours of the font (glyph, advance, kerning), learnt once from Qt's own layout, places the
// glyphs from that, and copies each glyph's picture, drawn once by Qt at each fraction of a pixel it is
// placed at, blending it as Qt's painter blends text.
// Text it cannot place exactly as Qt would (more than one line, a line too wide for the box, leading or
// trailing spaces, characters that join into ligatures or need another font) is left to the caller.
// Not thread-safe: one per thread and font.
class ZTTextLine
{
public:
    explicit ZTTextLine(const QFont& font);

    // Draws white text on transparent black into the first `height` rows of `width` pixels of `pixels`
    // (premultiplied ARGB32, `width` * 4 bytes a row, cleared by the caller) placed in the rectangle
    // (0, 0, width, height) by the alignment of `flags` (Qt::Alignment with Qt::TextWordWrap). False, with
    // nothing drawn, for text it leaves to Qt.
    bool draw(const QString& text, int flags, unsigned char* pixels, int width, int height);
    // The same into rows of `stride` bytes whose pixels are `step` bytes, each of them set to the
    // coverage (4 over premultiplied ARGB32 white, 2 over luminance and alpha, 1 over coverage alone).
    bool draw(const QString& text, int flags, unsigned char* pixels, int width, int height, int stride,
              int step);

private:
    // 26.6 fixed point, as Qt's layout counts.
    struct Glyph
    {
        quint32 index = 0;
        int advance = 0;
    };
    static constexpr int kNotPlain = -0x40000000;
    // A glyph's coverage as Qt paints it with its pen at a whole pixel plus a fraction, relative to the
    // pen's pixel and the baseline.
    struct Picture
    {
        bool made = false;
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        std::vector<unsigned char> coverage;
    };

    // Blends a glyph's picture into pixels of Step bytes each.
    template <int Step>
    static void copyPicture(const Picture& picture, int left, int top, unsigned char* pixels, int width,
                            int height, int stride);
    bool glyphFor(QChar character, Glyph& glyph);
    // The kerning between two neighbours, or false when Qt would not place them as two glyphs side by side.
    bool kerningFor(QChar left, QChar right, int& kerning);
    bool layOut(const QString& text, int& width);
    // fraction: 64ths of a pixel.
    const Picture& pictureOf(quint32 glyph, int fraction);

    QFont m_font;
    QRawFont m_rawFont;
    bool m_usable = false;
    qreal m_ascent = 0;
    // Ascent and descent: the line's height in Qt's placing.
    qreal m_height = 0;
    // Latin-1 characters and pairs of ASCII characters, most text, are looked up in tables; the rest in
    // hashes.
    static constexpr int kQuickCharacters = 256;
    static constexpr int kQuickPairs = 128;
    static constexpr qint16 kUnknownKerning = -32768;
    static constexpr qint16 kNotPlainKerning = -32767;
    std::array<Glyph, kQuickCharacters> m_quickGlyphs{};
    std::array<bool, kQuickCharacters> m_quickGlyphKnown{};
    // Made when the font first places a pair; kUnknownKerning where not yet learnt.
    std::vector<qint16> m_quickKernings;
    QHash<QChar, Glyph> m_glyphs;
    QHash<quint32, int> m_kernings;
    QHash<quint32, Picture> m_pictures;
    // Of the text being drawn: glyphs and their pen positions (26.6).
    std::vector<quint32> m_indexes;
    std::vector<int> m_positions;
    // Where Qt draws a glyph to be copied; the pen sits at (m_margin, m_margin).
    QImage m_scratch;
    int m_margin = 0;
};

} // namespace zanth2d
