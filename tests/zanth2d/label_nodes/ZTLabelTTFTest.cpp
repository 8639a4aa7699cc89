#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <memory>
#include <string>

#include "../sprite_nodes/SpriteScene.h"
#include "ZTConfiguration.h"
#include "label_nodes/ZTLabelTTF.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

const char* kFont = "/usr/share/fonts/truetype/paratype/PTS55F.ttf";

// What Qt measures for the text in PT Sans at a pixel size.
QSize measured(const QString& text, int pixelSize)
{
    const int id = QFontDatabase::addApplicationFont(kFont);
    QFont font =
        QFontDatabase::font(QFontDatabase::applicationFontFamilies(id).value(0), "Normal", pixelSize);
    font.setPixelSize(pixelSize);
    return QFontMetrics(font).size(0, text);
}

// Lit pixels (any channel above 40) inside x0 <= x < x1, y0 <= y < y1 of the frame.
int litPixels(const std::vector<unsigned char>& frame, int width, int x0, int y0, int x1, int y1)
{
    int lit = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const size_t i = (static_cast<size_t>(y) * width + x) * 3;
            lit += frame[i] > 40 || frame[i + 1] > 40 || frame[i + 2] > 40;
        }
    }
    return lit;
}

// Lowest and highest lit rows inside a column range.
std::pair<int, int> litRows(const std::vector<unsigned char>& frame, int width, int height, int x0, int x1)
{
    int low = height;
    int high = -1;
    for (int y = 0; y < height; ++y) {
        if (litPixels(frame, width, x0, y, x1, y + 1) > 0) {
            low = std::min(low, y);
            high = std::max(high, y);
        }
    }
    return {low, high};
}

class ZTLabelTTFTest : public ::testing::Test
{
protected:
    // A label whose lower-left corner sits at the origin of the window.
    void drawAtOrigin(ZTLabelTTF* label)
    {
        label->setAnchorPoint(ZTPointZero);
        m_scene.clear();
        label->visit();
    }

    SpriteScene m_scene{256, 256};
};

} // namespace

TEST_F(ZTLabelTTFTest, helloHasTheSizeQtMeasuresAndDrawsPixels)
{
    ZTLabelTTF* label = ZTLabelTTF::labelWithString("Hello", kFont, 24);
    ASSERT_NE(label, nullptr);
    const QSize size = measured("Hello", 24);
    ASSERT_GT(size.width(), 0);
    EXPECT_FLOAT_EQ(label->getContentSize().width, static_cast<float>(size.width()));
    EXPECT_FLOAT_EQ(label->getContentSize().height, static_cast<float>(size.height()));
    EXPECT_STREQ(label->getString(), "Hello");
    EXPECT_NE(label->getTexture(), nullptr);

    drawAtOrigin(label);
    EXPECT_GT(litPixels(m_scene.frame(), 256, 0, 0, size.width(), size.height()), 50);
    EXPECT_EQ(litPixels(m_scene.frame(), 256, size.width() + 2, 0, 256, 256), 0);
}

TEST_F(ZTLabelTTFTest, alignmentPlacesTheTextInsideItsBox)
{
    const QSize text = measured("Hi", 24);
    ZTLabelTTF* left = ZTLabelTTF::labelWithString("Hi", ZTSize(200, 40), kZTTextAlignmentLeft, kFont, 24);
    drawAtOrigin(left);
    std::vector<unsigned char> frame = m_scene.frame();
    EXPECT_GT(litPixels(frame, 256, 0, 0, text.width() + 2, 40), 20);
    EXPECT_EQ(litPixels(frame, 256, text.width() + 4, 0, 256, 40), 0);

    ZTLabelTTF* right = ZTLabelTTF::labelWithString("Hi", ZTSize(200, 40), kZTTextAlignmentRight, kFont, 24);
    // The box gets a 2-pixel margin: the image is 202 pixels wide.
    EXPECT_FLOAT_EQ(right->getContentSize().width, 202);
    drawAtOrigin(right);
    frame = m_scene.frame();
    EXPECT_EQ(litPixels(frame, 256, 0, 0, 200 - text.width() - 4, 40), 0);
    EXPECT_GT(litPixels(frame, 256, 200 - text.width() - 2, 0, 202, 40), 20);

    ZTLabelTTF* centred =
        ZTLabelTTF::labelWithString("Hi", ZTSize(200, 40), kZTTextAlignmentCenter, kFont, 24);
    drawAtOrigin(centred);
    frame = m_scene.frame();
    EXPECT_EQ(litPixels(frame, 256, 0, 0, 80, 40), 0);
    EXPECT_EQ(litPixels(frame, 256, 122, 0, 256, 40), 0);
    EXPECT_GT(litPixels(frame, 256, 80, 0, 122, 40), 20);
}

TEST_F(ZTLabelTTFTest, textWiderThanItsBoxWrapsOntoMoreLines)
{
    const QSize line = measured("Hello", 24);
    ZTLabelTTF* label =
        ZTLabelTTF::labelWithString("Hello world and more", ZTSize(90, 200), kZTTextAlignmentLeft, kFont, 24);
    drawAtOrigin(label);
    const auto rows = litRows(m_scene.frame(), 256, 256, 0, 92);
    ASSERT_GE(rows.second, rows.first);
    EXPECT_GT(rows.second - rows.first, 2 * line.height());
    EXPECT_EQ(litPixels(m_scene.frame(), 256, 94, 0, 256, 256), 0);
}

TEST_F(ZTLabelTTFTest, labelMadeWithoutBoxCentresWhenItGetsOne)
{
    ZTLabelTTF* label = ZTLabelTTF::labelWithString("Hi", kFont, 24);
    EXPECT_EQ(label->getAlignment(), kZTTextAlignmentCenter);
    label->setDimensions(ZTSize(200, 40));
    label->setString("Hi");
    drawAtOrigin(label);
    EXPECT_EQ(litPixels(m_scene.frame(), 256, 0, 0, 80, 40), 0);
    EXPECT_GT(litPixels(m_scene.frame(), 256, 80, 0, 122, 40), 20);
}

TEST_F(ZTLabelTTFTest, emptyTextOrATooSmallBoxGivesNoTexture)
{
    ZTLabelTTF* empty = ZTLabelTTF::labelWithString("", kFont, 24);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->getTexture(), nullptr);
    EXPECT_FLOAT_EQ(empty->getContentSize().width, 0);
    EXPECT_FLOAT_EQ(empty->getContentSize().height, 0);

    ZTLabelTTF* flat =
        ZTLabelTTF::labelWithString("Hello", ZTSize(100, 0.5f), kZTTextAlignmentLeft, kFont, 24);
    EXPECT_EQ(flat->getTexture(), nullptr);
    ZTLabelTTF* thin =
        ZTLabelTTF::labelWithString("Hello", ZTSize(0.5f, 100), kZTTextAlignmentLeft, kFont, 24);
    EXPECT_EQ(thin->getTexture(), nullptr);
    m_scene.clear();
    thin->visit();
    EXPECT_EQ(litPixels(m_scene.frame(), 256, 0, 0, 256, 256), 0);
}

TEST_F(ZTLabelTTFTest, negativeBoxIsTakenAsNoBox)
{
    ZTLabelTTF* label = ZTLabelTTF::labelWithString("Hello", ZTSize(-5, -5), kZTTextAlignmentLeft, kFont, 24);
    ASSERT_NE(label->getTexture(), nullptr);
    EXPECT_FLOAT_EQ(label->getDimensions().width, 0);
    EXPECT_FLOAT_EQ(label->getContentSize().width, static_cast<float>(measured("Hello", 24).width()));
    label->setDimensions(ZTSize(-1, 30));
    EXPECT_FLOAT_EQ(label->getDimensions().width, 0);
    EXPECT_FLOAT_EQ(label->getDimensions().height, 30);
}

TEST_F(ZTLabelTTFTest, textTooWideForTheLargestTextureLeavesTheLabelEmpty)
{
    ZTLabelTTF* label = ZTLabelTTF::labelWithString("Hello", kFont, 24);
    ASSERT_NE(label->getTexture(), nullptr);
    // Wider than the largest texture this GL gives, whatever its size.
    const int maxSize = ZTConfiguration::sharedConfiguration()->getMaxTextureSize();
    ASSERT_GT(maxSize, 0);
    const std::string wide(static_cast<size_t>(maxSize / measured("W", 24).width() + 10), 'W');
    ASSERT_GT(measured(QString::fromStdString(wide), 24).width(), maxSize);
    label->setString(wide.c_str());
    EXPECT_EQ(label->getTexture(), nullptr);
    EXPECT_FLOAT_EQ(label->getContentSize().width, 0);
    EXPECT_STREQ(label->getString(), wide.c_str());
    label->setString("Hello");
    EXPECT_NE(label->getTexture(), nullptr);
}

TEST_F(ZTLabelTTFTest, fontSizeAndBoxAreScaledOnceAtInitAndStoredAsGivenLater)
{
    ZTDirector::sharedDirector()->setContentScaleFactor(2);
    ZTLabelTTF* label = ZTLabelTTF::labelWithString("Hi", ZTSize(50, 20), kZTTextAlignmentLeft, kFont, 12);
    ZTDirector::sharedDirector()->setContentScaleFactor(1);
    EXPECT_FLOAT_EQ(label->getFontSize(), 24);
    EXPECT_FLOAT_EQ(label->getDimensions().width, 100);
    label->setFontSize(20);
    EXPECT_FLOAT_EQ(label->getFontSize(), 20);
    std::unique_ptr<char[]> text(label->description());
    EXPECT_EQ(std::string(text.get()),
              std::string("<ZTLabelTTF | FontName = ") + kFont + ", FontSize = 20.0>");
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
