// Text items rendered as scene-graph labels, checked by node state and the window's pixels.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

#include "base_nodes/ZTNode.h"
#include "label_nodes/ZTLabelTTF.h"
#include "scenegraphwrapper.h"
#include "sprite_nodes/ZTSprite.h"
#include "textures/ZTTexture2D.h"

#include <QQuickItem>

#include <cmath>

using namespace zanth2d;

namespace {

InProcessEngine* engine = nullptr;

ZTNode* nodeOf(QQuickItem* item)
{
    return engine->wrapper().getNodeFromObject(item);
}

ZTLabelTTF* labelOf(QQuickItem* item)
{
    ZTNode* node = nodeOf(item);
    return node ? dynamic_cast<ZTLabelTTF*>(node->getChildByTag(0)) : nullptr;
}

// Red pixels of the window inside and outside a rectangle (window points, origin top left).
struct RedCount
{
    int inside = 0;
    int outside = 0;
};

RedCount countRed(const QRect& area)
{
    const QImage window = engine->grabWindow();
    RedCount count;
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            const QColor c = window.pixelColor(x, y);
            if (c.red() > 120 && c.green() < 60 && c.blue() < 60)
                ++(area.contains(x, y) ? count.inside : count.outside);
        }
    }
    return count;
}

QByteArray withText(const QByteArray& textProperties, const QByteArray& around = "")
{
    return "import QtQuick 2.15\nItem { width: 200; height: 120\n" + around +
           "\n  Text { objectName: \"text\"; " + textProperties + " } }\n";
}

} // namespace

TEST(TextLabels, textIsDrawnInItsColourInsideItsBox)
{
    QQuickItem* root =
        engine->load(withText("x: 20; y: 10; text: \"HHHH\"; color: \"red\"; font.pixelSize: 20"));
    QQuickItem* text = findItem(root, "text");
    const QRect box(20, 10, int(std::ceil(text->width())), int(std::ceil(text->height())));
    const RedCount red = countRed(box);
    EXPECT_GT(red.inside, 40);
    EXPECT_EQ(red.outside, 0);
    ZTLabelTTF* label = labelOf(text);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getFontSize(), 20.0f);
    EXPECT_EQ(label->getDimensions().width, float(int(text->width())));
}

TEST(TextLabels, aMovedAndTurnedTextIsTransformedOnce)
{
    QQuickItem* root = engine->load(withText("x: 100; y: 20; rotation: 90; transformOrigin: Item.TopLeft\n"
                                             "    text: \"HHHH\"; color: \"red\"; font.pixelSize: 20"));
    QQuickItem* text = findItem(root, "text");
    engine->stepFrames(1);
    EXPECT_EQ(labelOf(text)->getRotation(), 0.0f);
    EXPECT_EQ(labelOf(text)->getPosition().x, 0.0f);
    EXPECT_EQ(nodeOf(text)->getRotation(), 90.0f);
    // Turned a quarter clockwise about its top-left corner, the text runs down the left of x = 100.
    const int width = int(std::ceil(text->width()));
    const int height = int(std::ceil(text->height()));
    const RedCount red = countRed(QRect(100 - height, 20, height + 1, width + 1));
    EXPECT_GT(red.inside, 40);
    EXPECT_EQ(red.outside, 0);
}

TEST(TextLabels, aTextInAScaledSceneRendersAtTheSceneScaleAndIsScaledBack)
{
    QQuickItem* root = engine->load(withText("text: \"Hi\"; font.pixelSize: 10; height: 15.5",
                                             "transform: Scale { xScale: 2; yScale: 2 }"));
    QQuickItem* text = findItem(root, "text");
    ZTLabelTTF* label = labelOf(text);
    EXPECT_EQ(label->getFontSize(), 20.0f);
    EXPECT_EQ(label->getDimensions().width, float(2 * int(text->width())));
    EXPECT_EQ(label->getDimensions().height, 31.0f);
    EXPECT_EQ(label->getScaleX(), 0.5f);
    EXPECT_EQ(nodeOf(text)->getScaleX(), 1.0f);
}

TEST(TextLabels, aTextScaledToNothingGetsAFiniteLabelScaleAndShowsWhenScaledBack)
{
    QQuickItem* root = engine->load(withText("x: 20; y: 20; scale: 0; transformOrigin: Item.TopLeft\n"
                                             "    text: \"HHHH\"; color: \"red\"; font.pixelSize: 20"));
    QQuickItem* text = findItem(root, "text");
    ZTLabelTTF* label = labelOf(text);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(std::isfinite(label->getScaleX()));
    text->setScale(1);
    engine->stepFrames(1);
    EXPECT_EQ(label->getScaleX(), 1.0f);
    EXPECT_GT(countRed(QRect(20, 20, int(text->width()) + 1, int(text->height()) + 1)).inside, 40);
}

TEST(TextLabels, fontFilesKeepTheirNameAndBoldFamiliesAskForTheBoldFace)
{
    QQuickItem* root =
        engine->load("import QtQuick 2.15\nItem { width: 200; height: 120\n"
                     "  Text { objectName: \"file\"; text: \"a\"; font.family: \"fonts/Face.TTF\"; "
                     "font.bold: true }\n"
                     "  Text { objectName: \"bold\"; text: \"a\"; font.family: \"PT Sans\"; "
                     "font.bold: true }\n"
                     "  Text { objectName: \"plain\"; text: \"a\"; font.family: \"PT Sans\" } }\n");
    EXPECT_STREQ(labelOf(findItem(root, "file"))->getFontName(), "fonts/Face.TTF");
    EXPECT_STREQ(labelOf(findItem(root, "bold"))->getFontName(), "PT Sans-Bold");
    EXPECT_STREQ(labelOf(findItem(root, "plain"))->getFontName(), "PT Sans");
}

TEST(TextLabels, justifiedTextIsCentredAndLeftAndRightStay)
{
    QQuickItem* root = engine->load(
        "import QtQuick 2.15\nItem { width: 200; height: 120\n"
        "  Text { objectName: \"justify\"; text: \"a\"; horizontalAlignment: Text.AlignJustify }\n"
        "  Text { objectName: \"right\"; text: \"a\"; horizontalAlignment: Text.AlignRight }\n"
        "  Text { objectName: \"left\"; text: \"a\" } }\n");
    EXPECT_EQ(labelOf(findItem(root, "justify"))->getAlignment(), kZTTextAlignmentCenter);
    EXPECT_EQ(labelOf(findItem(root, "right"))->getAlignment(), kZTTextAlignmentRight);
    EXPECT_EQ(labelOf(findItem(root, "left"))->getAlignment(), kZTTextAlignmentLeft);
}

TEST(TextLabels, onlyChangesOfBoxOrPixelSizeRenderAgain)
{
    QQuickItem* root = engine->load(
        withText("width: 80; height: 20; text: \"Hello\"; font.family: \"PT Sans\"; font.pixelSize: 12"));
    QQuickItem* text = findItem(root, "text");
    ZTLabelTTF* label = labelOf(text);
    const unsigned long rendered = label->getPicturesRendered();
    text->setWidth(80.4);
    EXPECT_EQ(label->getPicturesRendered(), rendered);
    QFont font = text->property("font").value<QFont>();
    font.setFamily("Liberation Serif");
    text->setProperty("font", font);
    EXPECT_EQ(label->getPicturesRendered(), rendered);
    EXPECT_STREQ(label->getFontName(), "PT Sans");
    font.setPixelSize(16);
    text->setProperty("font", font);
    EXPECT_EQ(label->getPicturesRendered(), rendered + 1);
    EXPECT_EQ(label->getFontSize(), 16.0f);
    text->setProperty("text", "Changed");
    EXPECT_EQ(label->getPicturesRendered(), rendered + 2);
    EXPECT_STREQ(label->getString(), "Changed");
}

TEST(TextLabels, colourAndOpacityChangesReachTheLabel)
{
    QQuickItem* root = engine->load(withText("text: \"Hi\"; color: \"red\""));
    QQuickItem* text = findItem(root, "text");
    text->setProperty("color", QColor(Qt::blue));
    EXPECT_EQ(labelOf(text)->getColor().b, 255);
    EXPECT_EQ(labelOf(text)->getColor().r, 0);
    text->setOpacity(0.5);
    EXPECT_EQ(labelOf(text)->getOpacity(), 127);
    text->setOpacity(0);
    EXPECT_FALSE(nodeOf(text)->getIsVisible());
}

TEST(TextLabels, theChildrenOfATextHangFromItsNodeUnscaled)
{
    QQuickItem* root =
        engine->load(withText("text: \"Hi\"; Rectangle { objectName: \"badge\"; x: 5; width: 4; "
                              "height: 4 }",
                              "transform: Scale { xScale: 2; yScale: 2 }"));
    QQuickItem* text = findItem(root, "text");
    ZTNode* badge = nodeOf(findItem(root, "badge"));
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(badge->getParent(), nodeOf(text));
    EXPECT_EQ(badge->getPosition().x, 5.0f);
}

TEST(TextLabels, aTurnedTextCutByItsBoxShowsWhatATextureOfItsOwnWould)
{
    // Its line is taller than its box: the picture is lit to its top and bottom rows, which a turned
    // text filters with what lies beyond them.
    QQuickItem* root = engine->load(withText("x: 40.5; y: 30.25; rotation: 30; width: 60; height: 8\n"
                                             "    text: \"HHHH\"; color: \"white\"; font.pixelSize: 20"));
    QQuickItem* text = findItem(root, "text");
    ZTLabelTTF* label = labelOf(text);
    ASSERT_NE(label, nullptr);
    ASSERT_NE(label->getTexture(), nullptr);
    const QImage shown = engine->grabWindow();

    auto* texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithString(label->getString(), label->getDimensions(), label->getAlignment(),
                                        label->getFontName(), label->getFontSize()));
    ZTSprite* own = ZTSprite::spriteWithTexture(texture);
    texture->release();
    own->setAnchorPoint(label->getAnchorPoint());
    own->setPosition(label->getPosition());
    own->setScaleX(label->getScaleX());
    own->setScaleY(label->getScaleY());
    own->setColor(label->getColor());
    own->setOpacity(label->getOpacity());
    nodeOf(text)->addChild(own, label->getZOrder(), 1);
    label->setIsVisible(false);
    engine->stepFrames(1);
    const QImage reference = engine->grabWindow();
    nodeOf(text)->removeChild(own, true);
    label->setIsVisible(true);

    ASSERT_EQ(shown.size(), reference.size());
    int lit = 0;
    int differing = 0;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            lit += qRed(reference.pixel(x, y)) > 40;
            differing += shown.pixel(x, y) != reference.pixel(x, y);
        }
    }
    EXPECT_GT(lit, 40);
    EXPECT_EQ(differing, 0);
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
