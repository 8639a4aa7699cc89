// The quick path for a line of text must give Qt's own picture of it, pixel for pixel, and leave every
// text it cannot place exactly to Qt.

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/ZTTextLine.h"

using namespace zanth2d;

namespace {

constexpr int kWordWrap = Qt::TextWordWrap;

QFont fontOf(const char* family, int pixelSize, bool bold)
{
    QFont font = QFontDatabase::font(family, "Normal", pixelSize);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// Qt's picture: white text on transparent black in a width x height image.
std::vector<unsigned char> qtPicture(const QString& text, const QFont& font, int flags, int width, int height)
{
    std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 4, 0);
    QImage canvas(pixels.data(), width, height, width * 4, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, width, height), flags, text);
    return pixels;
}

int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int differing = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        differing += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2] || a[i + 3] != b[i + 3];
    return differing;
}

} // namespace

TEST(ZTTextLine, drawsScoresTimersAndWordsAsQtDoesInEveryAlignmentSizeAndFace)
{
    const char* texts[] = {"450",       "2.50",         "Score: 12345", "Wave 3 of 10",
                           "AVATAR To", "Ärger über €", "ijlt.,;:|11",  "WWW.vvv/AVA"};
    const int alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    int drawn = 0;
    for (const char* family : {"Liberation Sans", "Liberation Serif", "PT Sans"}) {
        for (int size : {9, 11, 16, 31}) {
            for (bool bold : {false, true}) {
                const QFont font = fontOf(family, size, bold);
                ZTTextLine line(font);
                for (const char* text : texts) {
                    for (int alignment : alignments) {
                        for (int height : {size + 3, 40}) {
                            const int flags = kWordWrap | alignment | Qt::AlignVCenter;
                            const QString string = QString::fromUtf8(text);
                            std::vector<unsigned char> ours(size_t(222) * size_t(height) * 4, 0);
                            if (!line.draw(string, flags, ours.data(), 222, height))
                                continue;
                            ++drawn;
                            EXPECT_EQ(differingPixels(ours, qtPicture(string, font, flags, 222, height)), 0)
                                << family << " " << size << (bold ? " bold '" : " '") << text << "' flags "
                                << flags << " height " << height;
                        }
                    }
                }
            }
        }
    }
    // Everything above fits its box: only a line too wide at 31 pixels is left to Qt.
    EXPECT_GT(drawn, 500);
}

TEST(ZTTextLine, leavesToQtWhatItCannotPlaceExactly)
{
    const QFont font = fontOf("Liberation Sans", 12, false);
    ZTTextLine line(font);
    std::vector<unsigned char> pixels(size_t(200) * 20 * 4, 0);
    const int flags = kWordWrap | Qt::AlignLeft | Qt::AlignVCenter;
    // Too wide for its box (Qt breaks it onto two lines), two lines, spaces at the ends, a ligature, a
    // script of its own, nothing at all.
    EXPECT_FALSE(line.draw("a line much wider than its box", flags, pixels.data(), 40, 20));
    EXPECT_FALSE(line.draw("two\nlines", flags, pixels.data(), 200, 20));
    EXPECT_FALSE(line.draw(" lead", flags, pixels.data(), 200, 20));
    EXPECT_FALSE(line.draw("trail ", flags, pixels.data(), 200, 20));
    EXPECT_FALSE(line.draw(QString::fromUtf8("شكرا"), flags, pixels.data(), 200, 20));
    EXPECT_FALSE(line.draw("", flags, pixels.data(), 200, 20));
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), long(pixels.size()));
    // Large text is Qt's too.
    ZTTextLine large(fontOf("Liberation Sans", 120, false));
    std::vector<unsigned char> big(size_t(600) * 200 * 4, 0);
    EXPECT_FALSE(large.draw("Big", flags, big.data(), 600, 200));
    // And the line still draws what it can.
    EXPECT_TRUE(line.draw("fits", flags, pixels.data(), 200, 20));
}

TEST(ZTTextLine, pairsTheFontJoinsIntoOneGlyphAreLeftToQtAndOthersStillDrawn)
{
    // PT Sans joins "fi" and "fl" into ligatures.
    const QFont font = fontOf("PT Sans", 16, false);
    ZTTextLine line(font);
    std::vector<unsigned char> ours(size_t(200) * 24 * 4, 0);
    const int flags = kWordWrap | Qt::AlignLeft | Qt::AlignVCenter;
    EXPECT_FALSE(line.draw("final", flags, ours.data(), 200, 24));
    EXPECT_FALSE(line.draw("flow", flags, ours.data(), 200, 24));
    ASSERT_TRUE(line.draw("Fuel", flags, ours.data(), 200, 24));
    EXPECT_EQ(differingPixels(ours, qtPicture("Fuel", font, flags, 200, 24)), 0);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
