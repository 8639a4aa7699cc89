#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "../sprite_nodes/SpriteScene.h"
#include "FixtureDir.h"
#include "PngFixture.h"
#include "ZTDirector.h"
#include "cocoa/ZTArray.h"
#include "label_nodes/ZTBMFontConfiguration.h"
#include "label_nodes/ZTLabelBMFont.h"
#include "sprite_nodes/ZTSprite.h"

using namespace zanth2d;

namespace {

// Glyphs of 8 x 16 pixels in a 64 x 32 atlas: A red, V green, B blue, e-acute white, side by side.
const char* const kFnt =
    "info face=\"Test\" size=16 bold=0 padding=1,2,3,4 spacing=1,1\n"
    "common lineHeight=32 base=26 scaleW=64 scaleH=32 pages=1 packed=0\n"
    "page id=0 file=\"atlas.png\"\n"
    "chars count=4\n"
    "char id=65 x=0 y=0 width=8 height=16 xoffset=1 yoffset=4 xadvance=10 page=0 chnl=0\n"
    "char id=86 x=8 y=0 width=8 height=16 xoffset=1 yoffset=4 xadvance=10 page=0 chnl=0\n"
    "char id=66 x=16 y=0 width=8 height=16 xoffset=0 yoffset=0 xadvance=9 page=0 chnl=0\n"
    "char id=233 x=24 y=0 width=8 height=16 xoffset=0 yoffset=0 xadvance=9 page=0 chnl=0\n"
    "kernings count=1\n"
    "kerning first=65 second=86 amount=-2\n";

std::string lineCount(const std::string& log)
{
    return std::to_string(std::count(log.begin(), log.end(), '\n')) + " lines: " + log;
}

class LabelBMFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string script = std::string(kPythonPngWriter) + R"PY(
colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]
def pixel(x, y):
    if y < 16 and x < 32:
        return bytes(colours[x // 8]) + b"\xff"
    return b"\0\0\0\0"
png("atlas.png", 64, 32, pixel)
)PY";
        ASSERT_TRUE(m_dir.python(script));
        m_fnt = font("font.fnt", kFnt);
    }

    void TearDown() override { FNTConfigRemoveCache(); }

    // Writes an FNT file beside the atlas; returns its path.
    std::string font(const std::string& name, const std::string& text)
    {
        m_dir.write(name, text);
        return m_dir.path(name);
    }

    // Parses a variant of the test font and returns the log it wrote; configuration is null when refused.
    std::string load(const std::string& text, ZTBMFontConfiguration** configuration)
    {
        const std::string path = font("variant" + std::to_string(++m_variants) + ".fnt", text);
        testing::internal::CaptureStdout();
        *configuration = FNTConfigLoadFile(path.c_str());
        return testing::internal::GetCapturedStdout();
    }

    static ZTSprite* glyph(ZTLabelBMFont* label, int index)
    {
        return static_cast<ZTSprite*>(label->getChildByTag(index));
    }

    SpriteScene m_scene{128, 128};
    FixtureDir m_dir;
    std::string m_fnt;
    int m_variants = 0;
};

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

} // namespace

// The FNT file

TEST_F(LabelBMFontTest, fileGivesGlyphsLineHeightPaddingKerningsAndTheAtlasBesideIt)
{
    ZTBMFontConfiguration* configuration = FNTConfigLoadFile(m_fnt.c_str());
    ASSERT_NE(configuration, nullptr);
    EXPECT_EQ(configuration->getBitmapFontArray().size(), 4u);
    EXPECT_EQ(configuration->getCommonHeight(), 32u);
    EXPECT_EQ(configuration->getPadding().left, 1);
    EXPECT_EQ(configuration->getPadding().bottom, 4);
    EXPECT_EQ(configuration->getAtlasName(), m_dir.path("atlas.png"));
    const _BMFontDef* v = configuration->fontDefForChar(86);
    ASSERT_NE(v, nullptr);
    EXPECT_FLOAT_EQ(v->rect.origin.x, 8);
    EXPECT_FLOAT_EQ(v->rect.size.height, 16);
    EXPECT_EQ(v->xOffset, 1);
    EXPECT_EQ(v->yOffset, 4);
    EXPECT_EQ(v->xAdvance, 10);
    EXPECT_EQ(configuration->kerningAmount(65, 86), -2);
    EXPECT_EQ(configuration->kerningAmount(86, 65), 0);
    char* description = configuration->description();
    EXPECT_EQ(std::string(description),
              "<ZTBMFontConfiguration | Kernings:1 | Image = " + m_dir.path("atlas.png") + ">");
    delete[] description;
}

TEST_F(LabelBMFontTest, laterDefinitionOfACharacterWins)
{
    ZTBMFontConfiguration* configuration = nullptr;
    load(std::string(kFnt) + "char id=65 x=40 y=0 width=4 height=4 xoffset=0 yoffset=0 xadvance=5\n",
         &configuration);
    ASSERT_NE(configuration, nullptr);
    EXPECT_FLOAT_EQ(configuration->fontDefForChar(65)->rect.origin.x, 40);
}

TEST_F(LabelBMFontTest, sameNameIsParsedOnceUntilTheDirectorPurgesTheCache)
{
    ZTBMFontConfiguration* first = FNTConfigLoadFile(m_fnt.c_str());
    font("font.fnt", replaced(kFnt, "lineHeight=32", "lineHeight=40"));
    EXPECT_EQ(FNTConfigLoadFile(m_fnt.c_str()), first);
    EXPECT_EQ(FNTConfigLoadFile(m_fnt.c_str())->getCommonHeight(), 32u);
    ZTDirector::sharedDirector()->purgeCachedData();
    EXPECT_EQ(FNTConfigLoadFile(m_fnt.c_str())->getCommonHeight(), 40u);
}

TEST_F(LabelBMFontTest, carriageReturnsAtLineEndsAreTolerated)
{
    std::string text = kFnt;
    for (std::string::size_type at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
        text.insert(at, "\r");
    }
    ZTBMFontConfiguration* configuration = nullptr;
    load(text, &configuration);
    ASSERT_NE(configuration, nullptr);
    EXPECT_EQ(configuration->getAtlasName(), m_dir.path("atlas.png"));
    EXPECT_EQ(configuration->fontDefForChar(65)->xAdvance, 10);
}

// Malformed files

TEST_F(LabelBMFontTest, brokenFilesAreRefusedWithOneLogLineEach)
{
    const std::string broken[] = {
        replaced(kFnt, "pages=1", "pages=2"),
        replaced(kFnt, "page id=0", "page id=1"),
        replaced(kFnt, "scaleW=64", "scaleW=1000000"),
        replaced(kFnt, "lineHeight=32", "lineHeight=99999999"),
        replaced(kFnt, " scaleH=32", ""),
        replaced(kFnt, "file=\"atlas.png\"", "file=atlas.png"),
        replaced(kFnt, "page id=0 file=\"atlas.png\"\n", ""),
        "",
    };
    for (const std::string& text : broken) {
        ZTBMFontConfiguration* configuration = nullptr;
        const std::string log = load(text, &configuration);
        EXPECT_EQ(configuration, nullptr) << text;
        EXPECT_EQ(lineCount(log), "1 lines: " + log) << text;
        EXPECT_NE(log.find("refused"), std::string::npos) << log;
    }
}

TEST_F(LabelBMFontTest, missingFileIsRefusedWithOneLogLine)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(ZTLabelBMFont::labelWithString("AV", m_dir.path("none.fnt").c_str()), nullptr);
    EXPECT_EQ(FNTConfigLoadFile(""), nullptr);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(lineCount(log), "2 lines: " + log);
}

TEST_F(LabelBMFontTest, glyphAndKerningLinesMissingKeysOrHoldingAbsurdValuesAreSkippedWithOneWarning)
{
    ZTBMFontConfiguration* configuration = nullptr;
    const std::string text = std::string(kFnt) +
                             "char id=67 x=0 y=0 width=8 height=16 xoffset=0 yoffset=0\n"
                             "char id=68 x=0 y=0 width=1e30 height=16 xoffset=0 yoffset=0 xadvance=9\n"
                             "char id=69 x=nan y=0 width=8 height=16 xoffset=0 yoffset=0 xadvance=9\n"
                             "char id=70 x=0 y=0 width=-8 height=16 xoffset=0 yoffset=0 xadvance=9\n"
                             "char id=71 x=0 y=0 width=8 height=16 xoffset=0 yoffset=0 xadvance=2000000000\n"
                             "char\n"
                             "kerning first=66 second=65\n";
    const std::string log = load(text, &configuration);
    ASSERT_NE(configuration, nullptr);
    EXPECT_EQ(lineCount(log), "1 lines: " + log);
    EXPECT_NE(log.find(" 7 "), std::string::npos) << log;
    EXPECT_EQ(configuration->getBitmapFontArray().size(), 4u);
    EXPECT_EQ(configuration->getKerningCount(), 1u);
}

// Layout

TEST_F(LabelBMFontTest, glyphsSitByOffsetsAdvancesAndKerning)
{
    ZTLabelBMFont* label = ZTLabelBMFont::labelWithString("AV", m_fnt.c_str());
    ASSERT_NE(label, nullptr);
    ASSERT_EQ(label->getChildrenCount(), 2u);
    // Centres: x + xoffset + width / 2 (+ kerning), line top - yoffset - height / 2.
    EXPECT_FLOAT_EQ(glyph(label, 0)->getPositionInPixels().x, 5);
    EXPECT_FLOAT_EQ(glyph(label, 0)->getPositionInPixels().y, 20);
    EXPECT_FLOAT_EQ(glyph(label, 1)->getPositionInPixels().x, 13);
    EXPECT_FLOAT_EQ(label->getContentSizeInPixels().width, 18);
    EXPECT_FLOAT_EQ(label->getContentSizeInPixels().height, 32);
    EXPECT_EQ(label->kerningAmountForFirst(65, 86), -2);

    // Without the kerning pair the V sits two pixels further right and the line is two pixels longer.
    label->setString("BV");
    EXPECT_FLOAT_EQ(glyph(label, 1)->getPositionInPixels().x, 9 + 1 + 4);
    EXPECT_FLOAT_EQ(label->getContentSizeInPixels().width, 19);
}

TEST_F(LabelBMFontTest, emptyTextGivesALabelWithoutGlyphsThatCanGrow)
{
    ZTLabelBMFont* label = ZTLabelBMFont::labelWithString("", m_fnt.c_str());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getChildrenCount(), 0u);
    EXPECT_FLOAT_EQ(label->getContentSizeInPixels().width, 0);
    label->setString("ABBA");
    EXPECT_EQ(label->getChildrenCount(), 4u);
    label->setString(nullptr);
    EXPECT_STREQ(label->getString(), "");
}

TEST_F(LabelBMFontTest, secondLineSitsOneLineHeightLower)
{
    ZTLabelBMFont* label = ZTLabelBMFont::labelWithString("A\nA", m_fnt.c_str());
    ASSERT_NE(label, nullptr);
    EXPECT_FLOAT_EQ(label->getContentSizeInPixels().height, 64);
    EXPECT_FLOAT_EQ(glyph(label, 0)->getPositionInPixels().y - glyph(label, 2)->getPositionInPixels().y, 32);
    EXPECT_FLOAT_EQ(glyph(label, 0)->getPositionInPixels().x, glyph(label, 2)->getPositionInPixels().x);
    EXPECT_EQ(label->getChildByTag(1), nullptr);
}

TEST_F(LabelBMFontTest, shorterTextHidesTheSpritesItNoLongerNeeds)
{
    ZTLabelBMFont* label = ZTLabelBMFont::labelWithString("ABAB", m_fnt.c_str());
    ZTSprite* third = glyph(label, 2);
    label->setString("AV");
    EXPECT_EQ(label->getChildrenCount(), 4u);
    EXPECT_TRUE(glyph(label, 0)->getIsVisible());
    EXPECT_TRUE(glyph(label, 1)->getIsVisible());
    EXPECT_FALSE(glyph(label, 2)->getIsVisible());
    EXPECT_FALSE(glyph(label, 3)->getIsVisible());
    label->setString("BBB");
    EXPECT_EQ(glyph(label, 2), third);
    EXPECT_TRUE(third->getIsVisible());
    EXPECT_STREQ(label->getString(), "BBB");
}

TEST_F(LabelBMFontTest, charactersTheFontLacksAreSkippedWithOneWarning)
{
    testing::internal::CaptureStdout();
    ZTLabelBMFont* label = ZTLabelBMFont::labelWithString("AxyB", m_fnt.c_str());
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(lineCount(log), "1 lines: " + log);
    EXPECT_EQ(label->getChildrenCount(), 2u);
    // B follows A directly.
    EXPECT_FLOAT_EQ(glyph(label, 3)->getPositionInPixels().x, 10 + 4);
}

TEST_F(LabelBMFontTest, utf8TextFindsItsGlyphsAndMalformedBytesAreSkipped)
{
    ZTLabelBMFont* label = ZTLabelBMFont::labelWithString("A\xc3\xa9", m_fnt.c_str());
    ASSERT_NE(label, nullptr);
    ASSERT_NE(glyph(label, 1), nullptr);
    EXPECT_FLOAT_EQ(glyph(label, 1)->getTextureRectInPixels().origin.x, 24);

    testing::internal::CaptureStdout();
    label->setString("A\xc3");
    label->setString("\xe2\x82");
    label->setString("\x80\xff"
                     "B");
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(lineCount(log), "3 lines: " + log);
    EXPECT_NE(log.find("0xFFFF"), std::string::npos);
    EXPECT_TRUE(glyph(label, 2)->getIsVisible());
}

TEST_F(LabelBMFontTest, colourOpacityAndAnchorReachTheGlyphs)
{
    ZTLabelBMFont* label = ZTLabelBMFont::labelWithString("AB", m_fnt.c_str());
    EXPECT_TRUE(label->getIsOpacityModifyRGB());
    EXPECT_FLOAT_EQ(label->getAnchorPoint().x, 0.5f);
    label->setIsOpacityModifyRGB(false);
    label->setColor(ztColor3B{10, 20, 30});
    label->setOpacity(100);
    EXPECT_EQ(glyph(label, 1)->getColor().g, 20);
    EXPECT_EQ(glyph(label, 1)->getOpacity(), 100);
    EXPECT_FALSE(glyph(label, 1)->getIsOpacityModifyRGB());
    label->setString("ABB");
    EXPECT_EQ(glyph(label, 2)->getColor().b, 30);
    EXPECT_EQ(glyph(label, 2)->getOpacity(), 100);
}

// Pixels

TEST_F(LabelBMFontTest, glyphsAreDrawnFromTheAtlasWhereTheLayoutPutsThem)
{
    ZTLabelBMFont* label = ZTLabelBMFont::labelWithString("AV", m_fnt.c_str());
    label->setAnchorPoint(ZTPointZero);
    label->setPosition(ZTPoint(20, 20));
    label->visit();
    // A covers x 21..28 and y 32..47 of the window, V (kerned two pixels left) x 29..36.
    EXPECT_EQ(SpriteScene::rgb(21, 32), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(28, 47), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(29, 40), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(SpriteScene::rgb(36, 40), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(SpriteScene::rgb(20, 40), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(37, 40), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(25, 31), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(SpriteScene::rgb(25, 48), (std::array<int, 3>{0, 0, 0}));
}
