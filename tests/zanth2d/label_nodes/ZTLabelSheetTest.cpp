// Labels share sheets: what they draw must stay what a texture of their own would show, whatever their
// neighbours on the sheet do.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <memory>
#include <string>
#include <vector>

#include "../sprite_nodes/SpriteScene.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "label_nodes/ZTLabelSheet.h"
#include "label_nodes/ZTLabelTTF.h"
#include "platform/ZTImage.h"
#include "sprite_nodes/ZTSprite.h"
#include "support/ZTRenderer.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

const char* kFont = "/usr/share/fonts/truetype/paratype/PTS55F.ttf";

struct Text
{
    const char* text;
    ZTSize box;
    ZTTextAlignment alignment;
    float size;
};

// Plain lines, a line too wide for its box (wrapped by Qt), text measured without a box, accents.
const Text kTexts[] = {
    {"Score: 12045", ZTSize(120, 20), kZTTextAlignmentLeft, 14},
    {"2.50", ZTSize(38, 15), kZTTextAlignmentCenter, 11},
    {"Wave 3", ZTSize(90, 30), kZTTextAlignmentRight, 18},
    {"Hello world and more", ZTSize(90, 80), kZTTextAlignmentLeft, 20},
    {"00.0", ZTSizeZero, kZTTextAlignmentCenter, 24},
    {"\xc3\x84rger \xc3\xbc"
     "ber 3 \xe2\x82\xac",
     ZTSize(150, 24), kZTTextAlignmentCenter, 16},
};

// A label drawn on a sheet, as the bridge makes them for QML texts.
ZTLabelTTF* labelOf(const Text& text)
{
    return ztMakeAutoreleased<ZTLabelTTF>([&](ZTLabelTTF* label) {
        label->setDrawnOnSheet(true);
        return label->initWithString(text.text, text.box, text.alignment, kFont, text.size);
    });
}

bool onASheet(ZTLabelTTF* label)
{
    return dynamic_cast<ZTLabelSheet*>(label->getTexture()) != nullptr;
}

class LabelSheetTest : public ::testing::Test
{
protected:
    // The frame with the node alone drawn, its lower-left corner at (x, y).
    std::vector<unsigned char> drawn(ZTNode* node, float x = 3, float y = 5)
    {
        node->setAnchorPoint(ZTPointZero);
        node->setPosition(ZTPoint(x, y));
        m_scene.clear();
        node->visit();
        return m_scene.frame();
    }

    // A sprite showing the text on a texture of its own (or of the rect of it).
    static ZTSprite* ownSprite(const Text& text, const ZTRect* rect = nullptr)
    {
        auto* texture = new ZTTexture2D();
        EXPECT_TRUE(texture->initWithString(text.text, text.box, text.alignment, kFont, text.size));
        ZTSprite* sprite =
            rect ? ZTSprite::spriteWithTexture(texture, *rect) : ZTSprite::spriteWithTexture(texture);
        texture->release();
        return sprite;
    }

    // What the text shows on a texture of its own.
    std::vector<unsigned char> ownTexture(const Text& text) { return drawn(ownSprite(text)); }

    static int litPixels(const std::vector<unsigned char>& frame)
    {
        int lit = 0;
        for (size_t i = 0; i < frame.size(); i += 3)
            lit += frame[i] > 40 || frame[i + 1] > 40 || frame[i + 2] > 40;
        return lit;
    }

    SpriteScene m_scene{256, 256};
};

} // namespace

TEST_F(LabelSheetTest, aLabelMadeByGameCodeKeepsATextureOfItsOwn)
{
    ZTLabelTTF* first = ZTLabelTTF::labelWithString("12", ZTSize(30, 16), kZTTextAlignmentLeft, kFont, 12);
    ZTLabelTTF* second = ZTLabelTTF::labelWithString("34", ZTSize(30, 16), kZTTextAlignmentLeft, kFont, 12);
    EXPECT_FALSE(onASheet(first));
    EXPECT_FALSE(onASheet(second));
    ZTTexture2D* before = first->getTexture();
    first->setString("56");
    EXPECT_NE(first->getTexture(), before);
    EXPECT_NE(first->getTexture(), second->getTexture());
    EXPECT_EQ(ZTLabelSheet::sheetCount(), 0u);
}

TEST_F(LabelSheetTest, aLabelOnASheetDrawsWhatATextureOfItsOwnWould)
{
    for (const Text& text : kTexts) {
        ZTLabelTTF* label = labelOf(text);
        ASSERT_NE(label, nullptr) << text.text;
        EXPECT_TRUE(onASheet(label)) << text.text;
        const std::vector<unsigned char> reference = ownTexture(text);
        EXPECT_GT(litPixels(reference), 20) << text.text;
        EXPECT_EQ(drawn(label), reference) << text.text;
    }
}

TEST_F(LabelSheetTest, aLabelKeepsItsPictureWhileTheLabelsBesideItChangeGrowAndGo)
{
    std::vector<ZTLabelTTF*> labels;
    for (int i = 0; i < 8; ++i) {
        labels.push_back(labelOf(kTexts[i % 2]));
        labels.back()->retain();
    }
    ZTLabelTTF* kept = labels[3];
    const std::vector<unsigned char> before = drawn(kept);
    ASSERT_EQ(before, ownTexture(kTexts[3 % 2]));
    // Texts of every length: the changing labels move between rooms and take new ones.
    for (int round = 0; round < 40; ++round) {
        for (int i : {2, 4, 5}) {
            labels[size_t(i)]->setString(
                std::string(size_t(1 + (round * 7 + i) % 11), char('0' + round % 10)).c_str());
            drawn(labels[size_t(i)]);
        }
    }
    labels[2]->release();
    labels[4]->release();
    labels[2] = labels[4] = nullptr;
    ZTLabelTTF* grown = labels[5];
    grown->setDimensions(ZTSize(200, 40));
    grown->setString("Wave 3");
    EXPECT_EQ(drawn(kept), before);
    EXPECT_EQ(drawn(grown), ownTexture({"Wave 3", ZTSize(200, 40), kZTTextAlignmentCenter, 11}));
    for (ZTLabelTTF* label : labels) {
        if (label)
            label->release();
    }
}

TEST_F(LabelSheetTest, roomsComeBackAndSheetsLeftWithoutLabelsGo)
{
    ASSERT_EQ(ZTLabelSheet::sheetCount(), 0u);
    for (int pass = 0; pass < 2; ++pass) {
        // More labels than one sheet holds.
        std::vector<ZTLabelTTF*> labels;
        for (int i = 0; i < 1500; ++i) {
            const std::string number = std::to_string(i * 37);
            labels.push_back(labelOf({number.c_str(), ZTSize(60, 20), kZTTextAlignmentLeft, 14}));
            labels.back()->retain();
            ASSERT_TRUE(onASheet(labels.back()));
        }
        EXPECT_GT(ZTLabelSheet::sheetCount(), 1u);
        EXPECT_EQ(drawn(labels[1499]), ownTexture({"55463", ZTSize(60, 20), kZTTextAlignmentLeft, 14}));
        for (ZTLabelTTF* label : labels)
            label->release();
        ZTPoolManager::getInstance()->getCurReleasePool()->clear();
        EXPECT_EQ(ZTLabelSheet::sheetCount(), 0u);
    }
}

TEST_F(LabelSheetTest, labelsOfOneSheetAreDrawnWithOneCall)
{
    // As many as the first sheet holds.
    std::vector<ZTLabelTTF*> labels;
    for (int i = 0; i < 30; ++i) {
        const std::string number = std::to_string(i);
        labels.push_back(labelOf({number.c_str(), ZTSize(30, 16), kZTTextAlignmentLeft, 12}));
        labels.back()->setAnchorPoint(ZTPointZero);
        labels.back()->setPosition(ZTPoint(float(i % 8) * 30, float(i / 8) * 20));
    }
    ZTRenderer* renderer = ZTRenderer::sharedRenderer();
    m_scene.clear();
    renderer->resetDrawCalls();
    renderer->beginFrame();
    for (ZTLabelTTF* label : labels)
        label->visit();
    renderer->endFrame();
    ASSERT_EQ(ZTLabelSheet::sheetCount(), 1u);
    EXPECT_EQ(renderer->getDrawCalls(), 1u);
    const std::vector<unsigned char> batched = m_scene.frame();

    renderer->setBatchingEnabled(false);
    m_scene.clear();
    for (ZTLabelTTF* label : labels)
        label->visit();
    renderer->setBatchingEnabled(true);
    EXPECT_EQ(m_scene.frame(), batched);
    EXPECT_GT(litPixels(batched), 200);
}

TEST_F(LabelSheetTest, aTextChangedAfterItWasDrawnIsDrawnAnew)
{
    ZTLabelTTF* label = labelOf(kTexts[1]);
    drawn(label);
    label->setString("9.75");
    EXPECT_EQ(drawn(label), ownTexture({"9.75", ZTSize(38, 15), kZTTextAlignmentCenter, 11}));
}

TEST_F(LabelSheetTest, labelsOfAnotherGLContextGetASheetOfTheirOwn)
{
    ZTLabelTTF* first = labelOf(kTexts[0]);
    first->retain();
    {
        SpriteScene other(128, 128);
        ZTLabelTTF* second = labelOf(kTexts[0]);
        ASSERT_TRUE(onASheet(second));
        EXPECT_NE(second->getTexture(), first->getTexture());
        second->setAnchorPoint(ZTPointZero);
        other.clear();
        second->visit();
        EXPECT_GT(litPixels(other.frame()), 20);
    }
    // The first context again: its label was never touched by the other's.
    m_scene.makeCurrent();
    EXPECT_EQ(drawn(first), ownTexture(kTexts[0]));
    first->release();
}

TEST_F(LabelSheetTest, aGameThatAsksForSmallerTexturesGetsLabelsOfTheirOwnInThatFormat)
{
    ZTTexture2D::setDefaultAlphaPixelFormat(kZTTexture2DPixelFormat_RGBA4444);
    ZTLabelTTF* label = labelOf(kTexts[0]);
    ZTTexture2D::setDefaultAlphaPixelFormat(kZTTexture2DPixelFormat_RGBA8888);
    ASSERT_NE(label->getTexture(), nullptr);
    EXPECT_FALSE(onASheet(label));
    EXPECT_EQ(label->getTexture()->getPixelFormat(), kZTTexture2DPixelFormat_RGBA4444);
}

TEST_F(LabelSheetTest, aScaledLabelNeverShowsTheRoomsBesideAndBelowIt)
{
    const std::vector<unsigned char> lit(8 * 20 * 4, 255);
    ZTImage blank;
    ZTImage full;
    ZTImage tall;
    ASSERT_TRUE(blank.initWithImageData(std::vector<unsigned char>(8 * 8 * 4, 0).data(), 8 * 8 * 4,
                                        ZTImage::kFmtRawData, 8, 8));
    ASSERT_TRUE(full.initWithImageData(lit.data(), 8 * 8 * 4, ZTImage::kFmtRawData, 8, 8));
    ASSERT_TRUE(tall.initWithImageData(lit.data(), 8 * 20 * 4, ZTImage::kFmtRawData, 8, 20));
    ZTLabelSheet::Slot shown = ZTLabelSheet::take(8, 8);
    ZTLabelSheet::Slot beside = ZTLabelSheet::take(8, 8);
    ZTLabelSheet::Slot below = ZTLabelSheet::take(8, 20);
    ASSERT_NE(shown.sheet, nullptr);
    ASSERT_EQ(beside.sheet, shown.sheet);
    ASSERT_EQ(below.sheet, shown.sheet);
    ASSERT_EQ(beside.y, shown.y);
    ASSERT_EQ(beside.x, shown.x + shown.width);
    ASSERT_EQ(below.y, shown.y + shown.height);
    EXPECT_TRUE(shown.sheet->write(shown, blank));
    EXPECT_TRUE(shown.sheet->write(beside, full));
    EXPECT_TRUE(shown.sheet->write(below, tall));

    // Filtered at a fraction of a texel beyond its edges.
    const auto at = [](const ZTLabelSheet::Slot& slot) {
        return ZTRect(float(ZTLabelSheet::pictureX(slot)), float(ZTLabelSheet::pictureY(slot)), 8, 8);
    };
    ZTSprite* sprite = ZTSprite::spriteWithTexture(shown.sheet, at(shown));
    sprite->setScale(9.7f);
    EXPECT_EQ(litPixels(drawn(sprite, 10.3f, 20.6f)), 0);
    // The picture beside it does show when asked for.
    sprite->setTextureRect(at(beside));
    EXPECT_GT(litPixels(drawn(sprite, 10.3f, 20.6f)), 3000);
    for (ZTLabelSheet::Slot* slot : {&shown, &beside, &below})
        ZTLabelSheet::giveBack(*slot);
}

TEST_F(LabelSheetTest, aPictureInColourIsRefusedBySheets)
{
    ZTLabelSheet::Slot slot = ZTLabelSheet::take(2, 1);
    ASSERT_NE(slot.sheet, nullptr);
    const unsigned char grey[] = {9, 9, 9, 9, 200, 200, 200, 200};
    const unsigned char red[] = {9, 9, 9, 9, 200, 0, 0, 200};
    ZTImage white;
    ASSERT_TRUE(white.initWithImageData(grey, sizeof(grey), ZTImage::kFmtRawData, 2, 1));
    EXPECT_TRUE(slot.sheet->write(slot, white));
    ZTImage coloured;
    ASSERT_TRUE(coloured.initWithImageData(red, sizeof(red), ZTImage::kFmtRawData, 2, 1));
    EXPECT_FALSE(slot.sheet->write(slot, coloured));
    ZTLabelSheet::giveBack(slot);
    EXPECT_EQ(slot.sheet, nullptr);
    EXPECT_EQ(ZTLabelSheet::sheetCount(), 0u);
}

TEST_F(LabelSheetTest, aLabelDrawnAgainWithAnotherTextInTheSameFrameShowsEachTextWhereItWasDrawn)
{
    // One label drawn at several places, a text each, as a node's own draw code reuses it.
    const Text texts[] = {{"2.50", ZTSize(38, 15), kZTTextAlignmentCenter, 11},
                          {"9.75", ZTSize(38, 15), kZTTextAlignmentCenter, 11},
                          {"Wave 12", ZTSizeZero, kZTTextAlignmentCenter, 18}};
    ZTLabelTTF* label = labelOf(texts[0]);
    ASSERT_TRUE(onASheet(label));
    label->setAnchorPoint(ZTPointZero);
    ZTRenderer* renderer = ZTRenderer::sharedRenderer();
    m_scene.clear();
    renderer->beginFrame();
    for (int i = 0; i < 3; ++i) {
        label->setDimensions(texts[i].box);
        label->setFontSize(texts[i].size);
        label->setString(texts[i].text);
        ASSERT_TRUE(onASheet(label));
        label->setPosition(ZTPoint(3, float(5 + 60 * i)));
        label->visit();
    }
    renderer->endFrame();
    const std::vector<unsigned char> shown = m_scene.frame();

    m_scene.clear();
    renderer->beginFrame();
    for (int i = 0; i < 3; ++i) {
        ZTSprite* sprite = ownSprite(texts[i]);
        sprite->setAnchorPoint(ZTPointZero);
        sprite->setPosition(ZTPoint(3, float(5 + 60 * i)));
        sprite->visit();
    }
    renderer->endFrame();
    const std::vector<unsigned char> reference = m_scene.frame();
    EXPECT_GT(litPixels(reference), 60);
    EXPECT_EQ(shown, reference);
}

TEST_F(LabelSheetTest, aScaledLabelWhoseTextTouchesItsEdgesShowsThemAsATextureOfItsOwnWould)
{
    // Text taller than its box is cut at its top and bottom rows; text without a box may reach its sides.
    // Filtered beyond those edges, a texture of its own repeats its edge pixels (or shows its padding).
    const Text texts[] = {{"HHHH", ZTSize(60, 8), kZTTextAlignmentLeft, 20},
                          {"\xc3\x85ngstr\xc3\xb6m", ZTSizeZero, kZTTextAlignmentCenter, 24}};
    ZTLabelTTF* first = labelOf(kTexts[0]);
    ASSERT_TRUE(onASheet(first));
    for (const Text& text : texts) {
        // Beside a label of its size and below the first one: a room inside the sheet, not at its edges.
        labelOf(text);
        ZTLabelTTF* label = labelOf(text);
        ASSERT_TRUE(onASheet(label)) << text.text;
        label->setScale(4.3f);
        ZTSprite* own = ownSprite(text);
        own->setScale(4.3f);
        const std::vector<unsigned char> reference = drawn(own, 10.3f, 20.6f);
        EXPECT_GT(litPixels(reference), 200) << text.text;
        EXPECT_EQ(drawn(label, 10.3f, 20.6f), reference) << text.text;
    }
}

TEST_F(LabelSheetTest, aScaledLabelNeverShowsWhatAGoneLabelLeftAboveIt)
{
    ASSERT_EQ(ZTLabelSheet::sheetCount(), 0u);
    ZTLabelTTF* first = labelOf({"a", ZTSize(20, 10), kZTTextAlignmentLeft, 8});
    first->retain();
    // A large title, cut by its box so that its rows are lit to the bottom, shown and then gone: its rows
    // at the bottom of the sheet go back to the rows of smaller labels.
    ZTLabelTTF* title = labelOf({"WWWWWWWWWWWW", ZTSize(200, 36), kZTTextAlignmentLeft, 60});
    title->retain();
    drawn(title);
    title->release();
    ZTPoolManager::getInstance()->getCurReleasePool()->clear();
    // A narrow label on a short shelf over the title's top rows, then a wider one on the shelf below.
    ZTLabelTTF* narrow = labelOf({"i", ZTSize(2, 5), kZTTextAlignmentLeft, 4});
    narrow->retain();
    const Text dash{"-", ZTSize(150, 20), kZTTextAlignmentLeft, 10};
    ZTLabelTTF* label = labelOf(dash);
    ASSERT_TRUE(onASheet(label));
    ASSERT_EQ(label->getTexture(), first->getTexture());
    ASSERT_EQ(narrow->getTexture(), first->getTexture());
    label->setScale(1.7f);

    ZTSprite* own = ownSprite(dash);
    own->setScale(1.7f);
    const std::vector<unsigned char> reference = drawn(own, 10.3f, 20.6f);
    EXPECT_GT(litPixels(reference), 5);
    EXPECT_EQ(drawn(label, 10.3f, 20.6f), reference);
    first->release();
    narrow->release();
}

TEST_F(LabelSheetTest, aNewTextResetsTheBlendFunctionAndOpacityModeAsANewTextureOfItsOwnDid)
{
    // Over grey, where an additive blend and an opacity not multiplied in show.
    glClearColor(0.4f, 0.4f, 0.4f, 1);
    const Text text{"9.75", ZTSize(38, 15), kZTTextAlignmentCenter, 11};
    ZTLabelTTF* label = labelOf({"2.50", ZTSize(38, 15), kZTTextAlignmentCenter, 11});
    label->setBlendFunc(ztBlendFunc{GL_ONE, GL_ONE});
    label->setIsOpacityModifyRGB(false);
    label->setString(text.text);
    ASSERT_TRUE(onASheet(label));
    label->setOpacity(100);
    const std::vector<unsigned char> shown = drawn(label);

    ZTSprite* own = ownSprite(text);
    own->setOpacity(100);
    const std::vector<unsigned char> reference = drawn(own);
    glClearColor(0, 0, 0, 1);
    EXPECT_EQ(shown, reference);
}

TEST_F(LabelSheetTest, aTextureRectSetByGameCodeIsARectOfTheLabelsOwnPicture)
{
    // Labels game code makes keep textures of their own, whatever labels on sheets exist.
    ASSERT_TRUE(onASheet(labelOf({"WWWWWWWW", ZTSize(120, 20), kZTTextAlignmentLeft, 14})));
    const Text text{"Score: 12045", ZTSize(120, 20), kZTTextAlignmentLeft, 14};
    ZTLabelTTF* label = ZTLabelTTF::labelWithString(text.text, text.box, text.alignment, kFont, text.size);
    ASSERT_FALSE(onASheet(label));
    // Its left half, as a text revealed from the left shows it.
    label->setTextureRect(ZTRect(0, 0, 60, 20));

    const ZTRect leftHalf(0, 0, 60, 20);
    ZTSprite* own = ownSprite(text, &leftHalf);
    const std::vector<unsigned char> reference = drawn(own);
    EXPECT_GT(litPixels(reference), 20);
    EXPECT_EQ(drawn(label), reference);
}

TEST_F(LabelSheetTest, aSpriteMadeOfALabelsTextureAndRectShowsItsText)
{
    // The label itself is never drawn: the game shows its picture through sprites of its own.
    const Text text{"Score: 12045", ZTSize(120, 20), kZTTextAlignmentLeft, 14};
    ZTLabelTTF* label = labelOf(text);
    ASSERT_TRUE(onASheet(label));
    ZTSprite* copy = ZTSprite::spriteWithTexture(label->getTexture(), label->getTextureRect());
    const std::vector<unsigned char> reference = ownTexture(text);
    EXPECT_GT(litPixels(reference), 20);
    EXPECT_EQ(drawn(copy), reference);
}

TEST_F(LabelSheetTest, texParametersAGameSetsOnOneLabelsTextureLeaveOtherLabelsAsTheyWere)
{
    // A pixel-art game asks for sharp text on its one label.
    ZTLabelTTF* sharp = ZTLabelTTF::labelWithString(kTexts[0].text, kTexts[0].box, kTexts[0].alignment, kFont,
                                                    kTexts[0].size);
    ZTLabelTTF* other = labelOf(kTexts[2]);
    ASSERT_FALSE(onASheet(sharp));
    ASSERT_TRUE(onASheet(other));
    sharp->getTexture()->setAliasTexParameters();
    other->setScale(2.6f);

    ZTSprite* own = ownSprite(kTexts[2]);
    own->setScale(2.6f);
    const std::vector<unsigned char> reference = drawn(own, 10.3f, 20.6f);
    EXPECT_GT(litPixels(reference), 100);
    EXPECT_EQ(drawn(other, 10.3f, 20.6f), reference);
}

TEST_F(LabelSheetTest, aLabelKeptFromAClosedWindowLeavesTheLabelsOfTheNextWindowAlone)
{
    // The game keeps a label past the window it was made in; it goes while the next window shows labels.
    ZTLabelTTF* kept = nullptr;
    {
        SpriteScene closed(128, 128);
        kept = labelOf(kTexts[0]);
        kept->retain();
        kept->setAnchorPoint(ZTPointZero);
        closed.clear();
        kept->visit();
        ASSERT_GT(litPixels(closed.frame()), 20);
    }
    m_scene.makeCurrent();
    std::vector<ZTLabelTTF*> shown;
    for (int i : {1, 2}) {
        shown.push_back(labelOf(kTexts[i]));
        ASSERT_TRUE(onASheet(shown.back()));
    }
    // The closed window's scene emptied the pool: this is the last reference.
    kept->release();
    for (int i : {1, 2}) {
        const std::vector<unsigned char> reference = ownTexture(kTexts[i]);
        EXPECT_GT(litPixels(reference), 20) << kTexts[i].text;
        EXPECT_EQ(drawn(shown[size_t(i - 1)]), reference) << kTexts[i].text;
    }
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
