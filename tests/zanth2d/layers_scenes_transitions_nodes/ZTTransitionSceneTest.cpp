#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "DirectorWindow.h"
#include "RecordingNode.h"
#include "VisibleWindowLock.h"
#include "ZTCamera.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "layers_scenes_transitions_nodes/ZTTransitionFade.h"
#include "layers_scenes_transitions_nodes/ZTTransitionFlip.h"
#include "layers_scenes_transitions_nodes/ZTTransitionMoveIn.h"
#include "layers_scenes_transitions_nodes/ZTTransitionSlideIn.h"
#include "layers_scenes_transitions_nodes/ZTTransitionTiles.h"
#include "layers_scenes_transitions_nodes/ZTTransitionZoom.h"
#include "touch_dispatcher/ZTTouchDelegateProtocol.h"
#include "touch_dispatcher/ZTTouchDispatcher.h"

using namespace zanth2d;

namespace {

using RGB = std::array<int, 3>;
const RGB kRed{255, 0, 0};
const RGB kBlue{0, 0, 255};
const RGB kBlack{0, 0, 0};

ZTScene* colourScene(GLubyte r, GLubyte g, GLubyte b)
{
    ZTScene* scene = ZTScene::node();
    scene->addChild(ZTLayerColor::layerWithColor(ztColor4B{r, g, b, 255}));
    return scene;
}

bool near(const RGB& actual, const RGB& expected, int tolerance)
{
    for (int c = 0; c < 3; ++c) {
        if (std::abs(actual[c] - expected[c]) > tolerance) {
            return false;
        }
    }
    return true;
}

std::string printed(const RGB& c)
{
    return "(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) + ")";
}

float eyeX(ZTScene* scene)
{
    float x = 0, y = 0, z = 0;
    scene->getCamera()->getEyeXYZ(&x, &y, &z);
    return x;
}

float eyeY(ZTScene* scene)
{
    float x = 0, y = 0, z = 0;
    scene->getCamera()->getEyeXYZ(&x, &y, &z);
    return y;
}

// A 480 x 320 window running a red scene; transitions go from it to a blue one. The test keeps both.
class TransitionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        red = colourScene(255, 0, 0);
        blue = colourScene(0, 0, 255);
        red->retain();
        blue->retain();
        window.director()->runWithScene(red);
        window.frames(2);
    }

    void TearDown() override
    {
        red->release();
        blue->release();
    }

    // Replaces the red scene by the transition; afterwards its actions have taken their first step, so
    // after run(s) they have run s seconds.
    void begin(ZTScene* transition)
    {
        ASSERT_NE(transition, nullptr);
        window.director()->replaceScene(transition);
        window.frames(2);
    }
    void run(double seconds) { window.frames(static_cast<int>(seconds * 60 + 0.5)); }

    // Recording scenes write here until the window's end frees them.
    std::vector<std::string> log;
    DirectorWindow window{480, 320, "transition test"};
    ZTScene* red = nullptr;
    ZTScene* blue = nullptr;
};

} // namespace

// Kinds shown by their pixels

TEST_F(TransitionTest, fadeOverWhiteCoversTheRedSceneThenUncoversTheBlueOne)
{
    auto* fade = ZTTransitionFade::transitionWithDuration(2, blue, ztColor3B{255, 255, 255});
    begin(fade);
    run(0.5);
    EXPECT_TRUE(near(DirectorWindow::pixel(240, 160), RGB{255, 127, 127}, 10))
        << printed(DirectorWindow::pixel(240, 160));
    run(0.5);
    EXPECT_TRUE(near(DirectorWindow::pixel(240, 160), RGB{255, 255, 255}, 5))
        << printed(DirectorWindow::pixel(240, 160));
    run(0.5);
    EXPECT_TRUE(near(DirectorWindow::pixel(240, 160), RGB{127, 127, 255}, 10))
        << printed(DirectorWindow::pixel(240, 160));
    EXPECT_NE(fade->getChildByTag(kSceneFade), nullptr);
    fade->retain();
    run(0.5);
    window.frames(2);
    EXPECT_EQ(DirectorWindow::pixel(240, 160), kBlue);
    EXPECT_EQ(window.director()->getRunningScene(), blue);
    EXPECT_EQ(fade->getChildByTag(kSceneFade), nullptr) << "the fade layer is gone";
    EXPECT_EQ(fade->getChildrenCount(), 0u);
    fade->release();
}

TEST_F(TransitionTest, crossFadeMixesTheTwoPicturesHalfAndHalfAtHalfTime)
{
    auto* crossFade = ZTTransitionCrossFade::transitionWithDuration(2, blue);
    begin(crossFade);
    EXPECT_EQ(DirectorWindow::pixel(240, 160), kRed);
    run(1);
    EXPECT_TRUE(near(DirectorWindow::pixel(240, 160), RGB{128, 0, 127}, 8))
        << printed(DirectorWindow::pixel(240, 160));
    EXPECT_TRUE(near(DirectorWindow::pixel(3, 316), RGB{128, 0, 127}, 8))
        << printed(DirectorWindow::pixel(3, 316));
    crossFade->retain();
    run(1);
    window.frames(2);
    EXPECT_EQ(DirectorWindow::pixel(240, 160), kBlue);
    EXPECT_EQ(window.director()->getRunningScene(), blue);
    EXPECT_EQ(crossFade->getChildrenCount(), 0u) << "the layer of the pictures is gone";
    crossFade->release();
}

TEST_F(TransitionTest, slideInFromTheLeftHasItsBoundaryWhereTheEasedMoveIsAtHalfTime)
{
    begin(ZTTransitionSlideInL::transitionWithDuration(2, blue));
    run(1);
    int boundary = -1;
    for (int x = 0; x < 480; ++x) {
        if (DirectorWindow::pixel(x, 160) == kRed) {
            boundary = x;
            break;
        }
    }
    EXPECT_NEAR(boundary, 339.6, 6);
    EXPECT_EQ(DirectorWindow::pixel(boundary - 8, 160), kBlue);
}

TEST_F(TransitionTest, turnOffTilesUncoversHalfOfItsTilesAtHalfTime)
{
    begin(ZTTransitionTurnOffTiles::transitionWithDuration(2, blue));
    run(1);
    int blueTiles = 0;
    int redTiles = 0;
    for (int i = 0; i < 18; ++i) {
        for (int j = 0; j < 12; ++j) {
            const RGB c = DirectorWindow::pixel(i * 80 / 3 + 13, j * 80 / 3 + 13);
            blueTiles += c == kBlue;
            redTiles += c == kRed;
        }
    }
    EXPECT_NEAR(blueTiles, 108, 2);
    EXPECT_EQ(blueTiles + redTiles, 216) << "an 18 x 12 grid";
}

TEST_F(TransitionTest, flipXTurnsTheOutSceneAwayInTheFirstHalfAndTheInSceneInTheSecond)
{
    begin(ZTTransitionFlipX::transitionWithDuration(2, blue, kZTOrientationRightOver));
    run(0.5);
    EXPECT_TRUE(red->getIsVisible());
    EXPECT_FALSE(blue->getIsVisible());
    EXPECT_GT(eyeX(red), 0) << "turned from z angle 0 towards 90";
    EXPECT_EQ(DirectorWindow::pixel(240, 160), kRed);
    EXPECT_EQ(DirectorWindow::pixel(30, 160), kBlack) << "seen edge on, the scene is narrower";

    run(0.55);
    EXPECT_FALSE(red->getIsVisible()) << "hidden after its turn";
    EXPECT_TRUE(blue->getIsVisible());
    EXPECT_LT(eyeX(blue), 0) << "from z angle 270";

    run(0.45);
    EXPECT_EQ(DirectorWindow::pixel(240, 160), kBlue);
    EXPECT_EQ(DirectorWindow::pixel(30, 160), kBlack);
    run(0.5);
    window.frames(2);
    EXPECT_EQ(DirectorWindow::pixel(30, 160), kBlue);
    EXPECT_EQ(window.director()->getRunningScene(), blue);
    EXPECT_TRUE(red->getIsVisible()) << "the out scene is made visible again once replaced";
}

TEST_F(TransitionTest, flipYChoosesItsTurnByOrientation)
{
    begin(ZTTransitionFlipY::transitionWithDuration(1, blue, kZTOrientationUpOver));
    run(0.6);
    EXPECT_LT(eyeY(blue), 0) << "orientation 0 turns in from z angle 270";
    run(0.5);
    ASSERT_EQ(window.director()->getRunningScene(), blue);

    ZTScene* green = colourScene(0, 255, 0);
    begin(ZTTransitionFlipY::transitionWithDuration(1, green, kZTOrientationDownOver));
    run(0.6);
    EXPECT_GT(eyeY(green), 0) << "orientation 1 turns in from z angle 90";
}

// Every kind

TEST_F(TransitionTest, everyKindEndsOnTheIncomingSceneWithoutAGLError)
{
    const std::vector<std::pair<const char*, std::function<ZTScene*(ZTScene*)>>> kinds = {
        {"RotoZoom", [](ZTScene* s) { return ZTTransitionRotoZoom::transitionWithDuration(0.5f, s); }},
        {"JumpZoom", [](ZTScene* s) { return ZTTransitionJumpZoom::transitionWithDuration(0.5f, s); }},
        {"MoveInL", [](ZTScene* s) { return ZTTransitionMoveInL::transitionWithDuration(0.5f, s); }},
        {"MoveInR", [](ZTScene* s) { return ZTTransitionMoveInR::transitionWithDuration(0.5f, s); }},
        {"MoveInT", [](ZTScene* s) { return ZTTransitionMoveInT::transitionWithDuration(0.5f, s); }},
        {"MoveInB", [](ZTScene* s) { return ZTTransitionMoveInB::transitionWithDuration(0.5f, s); }},
        {"SlideInL", [](ZTScene* s) { return ZTTransitionSlideInL::transitionWithDuration(0.5f, s); }},
        {"SlideInR", [](ZTScene* s) { return ZTTransitionSlideInR::transitionWithDuration(0.5f, s); }},
        {"SlideInT", [](ZTScene* s) { return ZTTransitionSlideInT::transitionWithDuration(0.5f, s); }},
        {"SlideInB", [](ZTScene* s) { return ZTTransitionSlideInB::transitionWithDuration(0.5f, s); }},
        {"ShrinkGrow", [](ZTScene* s) { return ZTTransitionShrinkGrow::transitionWithDuration(0.5f, s); }},
        {"FlipX",
         [](ZTScene* s) {
             return ZTTransitionFlipX::transitionWithDuration(0.5f, s, kZTOrientationLeftOver);
         }},
        {"FlipY",
         [](ZTScene* s) {
             return ZTTransitionFlipY::transitionWithDuration(0.5f, s, kZTOrientationDownOver);
         }},
        {"FlipAngular",
         [](ZTScene* s) {
             return ZTTransitionFlipAngular::transitionWithDuration(0.5f, s, kZTOrientationRightOver);
         }},
        {"ZoomFlipX",
         [](ZTScene* s) {
             return ZTTransitionZoomFlipX::transitionWithDuration(0.5f, s, kZTOrientationRightOver);
         }},
        {"ZoomFlipY",
         [](ZTScene* s) {
             return ZTTransitionZoomFlipY::transitionWithDuration(0.5f, s, kZTOrientationUpOver);
         }},
        {"ZoomFlipAngular",
         [](ZTScene* s) {
             return ZTTransitionZoomFlipAngular::transitionWithDuration(0.5f, s, kZTOrientationLeftOver);
         }},
        {"Fade", [](ZTScene* s) { return ZTTransitionFade::transitionWithDuration(0.5f, s); }},
        {"CrossFade", [](ZTScene* s) { return ZTTransitionCrossFade::transitionWithDuration(0.5f, s); }},
        {"TurnOffTiles",
         [](ZTScene* s) { return ZTTransitionTurnOffTiles::transitionWithDuration(0.5f, s); }},
        {"SplitCols", [](ZTScene* s) { return ZTTransitionSplitCols::transitionWithDuration(0.5f, s); }},
        {"SplitRows", [](ZTScene* s) { return ZTTransitionSplitRows::transitionWithDuration(0.5f, s); }},
        {"FadeTR", [](ZTScene* s) { return ZTTransitionFadeTR::transitionWithDuration(0.5f, s); }},
        {"FadeBL", [](ZTScene* s) { return ZTTransitionFadeBL::transitionWithDuration(0.5f, s); }},
        {"FadeUp", [](ZTScene* s) { return ZTTransitionFadeUp::transitionWithDuration(0.5f, s); }},
        {"FadeDown", [](ZTScene* s) { return ZTTransitionFadeDown::transitionWithDuration(0.5f, s); }},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.first);
        ZTScene* from = colourScene(255, 0, 0);
        window.director()->replaceScene(from);
        window.frames(2);
        ZTScene* to = colourScene(0, 0, 255);
        begin(kind.second(to));
        run(0.25);
        EXPECT_NE(window.director()->getRunningScene(), to) << "still in transition";
        run(0.25);
        window.frames(2);
        EXPECT_EQ(window.director()->getRunningScene(), to);
        EXPECT_EQ(DirectorWindow::pixel(240, 160), kBlue);
        EXPECT_EQ(DirectorWindow::pixel(2, 2), kBlue);
        EXPECT_EQ(DirectorWindow::pixel(477, 317), kBlue);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

// Every kind on its way

namespace {

const RGB kYellow{255, 255, 0};
const RGB kGreen{0, 255, 0};

// The red scene with a yellow square near its bottom-left corner, and the blue one with a green square
// near its top-right corner: the squares show where each picture went and which way round it is.
ZTScene* markedScene(const ztColor4B& colour, const ztColor4B& mark, float x, float y)
{
    ZTScene* scene = ZTScene::node();
    scene->addChild(ZTLayerColor::layerWithColor(colour));
    ZTLayerColor* square = ZTLayerColor::layerWithColorWidthHeight(mark, 40, 40);
    square->setPosition(ZTPoint(x, y));
    scene->addChild(square);
    return scene;
}

// A window pixel (origin bottom left) and its colour at that moment.
struct Expected
{
    int x;
    int y;
    RGB colour;
    int tolerance = 0;
};

// What a 2-second transition from the red scene to the blue one shows so many seconds after it began.
struct Picture
{
    const char* kind;
    std::function<ZTScene*(ZTScene*)> make;
    double seconds;
    std::vector<Expected> pixels;
};

template <class Kind> std::function<ZTScene*(ZTScene*)> twoSeconds()
{
    return [](ZTScene* scene) { return Kind::transitionWithDuration(2, scene); };
}

template <class Kind> std::function<ZTScene*(ZTScene*)> twoSeconds(tOrientation orientation)
{
    return [orientation](ZTScene* scene) { return Kind::transitionWithDuration(2, scene, orientation); };
}

// Fade, cross-fade and turn-off-tiles are checked in their own tests above as well. The pixels lie well
// inside their regions, so that one frame more or less changes none of them; the flips name no pixel of
// the squares, which the depth buffer cuts up while a camera turns.
const RGB R = kRed, B = kBlue, Y = kYellow, G = kGreen, K = kBlack;
// clang-format off
const std::vector<Picture> kPictures = {
    // Out shrinks about the middle, turning twice; then in grows the same way.
    {"RotoZoom", twoSeconds<ZTTransitionRotoZoom>(), 0.5, {{246, 158, R}, {140, 160, R}, {100, 160, K}, {238, 62, K}}},
    {"RotoZoom", twoSeconds<ZTTransitionRotoZoom>(), 1.5, {{238, 158, B}, {140, 160, B}, {100, 160, K}, {238, 62, K}}},
    // Out at half size, in waiting off to the right; then in half-way through its jumps in from there.
    {"JumpZoom", twoSeconds<ZTTransitionJumpZoom>(), 0.5, {{230, 174, R}, {420, 160, K}, {60, 160, K}, {238, 70, K}}},
    {"JumpZoom", twoSeconds<ZTTransitionJumpZoom>(), 1.25, {{430, 174, B}, {198, 158, K}}},
    // In moves over out, which stays put.
    {"MoveInL", twoSeconds<ZTTransitionMoveInL>(), 1, {{158, 158, B}, {302, 278, G}, {414, 158, R}, {374, 38, R}}},
    {"MoveInR", twoSeconds<ZTTransitionMoveInR>(), 1, {{310, 158, B}, {70, 166, R}, {38, 38, Y}}},
    {"MoveInT", twoSeconds<ZTTransitionMoveInT>(), 1, {{238, 206, B}, {254, 46, R}, {38, 38, Y}}},
    {"MoveInB", twoSeconds<ZTTransitionMoveInB>(), 1, {{230, 110, B}, {438, 182, G}, {238, 278, R}}},
    // In pushes out away: out's square has moved with it, or left the window.
    {"SlideInL", twoSeconds<ZTTransitionSlideInL>(), 1, {{158, 158, B}, {302, 278, G}, {414, 166, R}, {374, 38, Y}}},
    {"SlideInR", twoSeconds<ZTTransitionSlideInR>(), 1, {{310, 158, B}, {70, 158, R}, {38, 38, R}}},
    {"SlideInT", twoSeconds<ZTTransitionSlideInT>(), 1, {{238, 206, B}, {238, 46, R}, {38, 38, R}}},
    {"SlideInB", twoSeconds<ZTTransitionSlideInB>(), 1, {{230, 110, B}, {438, 190, G}, {254, 278, R}, {38, 262, Y}}},
    // Out shrinks towards a third of the width, in grows from two thirds, over it.
    {"ShrinkGrow", twoSeconds<ZTTransitionShrinkGrow>(), 0.25, {{174, 166, R}, {78, 78, Y}, {294, 158, B}, {262, 46, K}}},
    // Out turns away narrower, then in turns in; about the vertical, horizontal or a slanted axis.
    {"FlipX", twoSeconds<ZTTransitionFlipX>(kZTOrientationRightOver), 0.5, {{246, 158, R}, {30, 158, K}, {446, 158, K}, {55, 250, K}}},
    {"FlipX", twoSeconds<ZTTransitionFlipX>(kZTOrientationRightOver), 1.5, {{238, 158, B}, {30, 158, K}, {446, 158, K}, {420, 200, K}}},
    {"FlipY", twoSeconds<ZTTransitionFlipY>(kZTOrientationUpOver), 0.5, {{246, 166, R}, {238, 22, K}, {238, 302, K}}},
    {"FlipY", twoSeconds<ZTTransitionFlipY>(kZTOrientationUpOver), 1.5, {{230, 158, B}, {238, 22, K}, {238, 302, K}}},
    {"FlipAngular", twoSeconds<ZTTransitionFlipAngular>(kZTOrientationRightOver), 0.5, {{246, 158, R}, {55, 250, R}, {54, 70, K}, {446, 214, K}}},
    {"FlipAngular", twoSeconds<ZTTransitionFlipAngular>(kZTOrientationRightOver), 1.5, {{238, 158, B}, {420, 200, B}, {422, 70, K}, {30, 222, K}}},
    // The same turns while out shrinks to half its size and in grows back from it.
    {"ZoomFlipX", twoSeconds<ZTTransitionZoomFlipX>(kZTOrientationRightOver), 0.5, {{238, 166, R}, {238, 30, K}, {100, 160, K}}},
    {"ZoomFlipX", twoSeconds<ZTTransitionZoomFlipX>(kZTOrientationRightOver), 1.5, {{238, 158, B}, {238, 30, K}, {100, 160, K}}},
    {"ZoomFlipY", twoSeconds<ZTTransitionZoomFlipY>(kZTOrientationUpOver), 0.5, {{246, 158, R}, {100, 160, R}, {238, 62, K}}},
    {"ZoomFlipY", twoSeconds<ZTTransitionZoomFlipY>(kZTOrientationUpOver), 1.5, {{238, 158, B}, {100, 160, B}, {238, 62, K}}},
    {"ZoomFlipAngular", twoSeconds<ZTTransitionZoomFlipAngular>(kZTOrientationRightOver), 0.5, {{246, 158, R}, {78, 110, K}, {398, 198, K}}},
    {"ZoomFlipAngular", twoSeconds<ZTTransitionZoomFlipAngular>(kZTOrientationRightOver), 1.5, {{238, 158, B}, {398, 118, K}, {78, 198, K}}},
    // Half-way to black over out, then half-way back from black over in.
    {"Fade", twoSeconds<ZTTransitionFade>(), 0.5, {{240, 160, {128, 0, 0}, 10}, {38, 38, {128, 128, 0}, 10}}},
    {"Fade", twoSeconds<ZTTransitionFade>(), 1.5, {{240, 160, {0, 0, 128}, 10}, {438, 278, {0, 128, 0}, 10}}},
    // Half of each picture, each in its own place.
    {"CrossFade", twoSeconds<ZTTransitionCrossFade>(), 1, {{240, 160, {128, 0, 128}, 10}, {38, 38, {128, 128, 128}, 10}, {438, 278, {128, 128, 0}, 10}}},
    // Out's columns part (the middle one up, the outer ones down), then in's close.
    {"SplitCols", twoSeconds<ZTTransitionSplitCols>(), 0.8, {{78, 70, R}, {398, 70, R}, {238, 246, R}, {238, 78, K}, {78, 246, K}, {398, 246, K}}},
    {"SplitCols", twoSeconds<ZTTransitionSplitCols>(), 1.2, {{78, 70, B}, {390, 62, B}, {238, 246, B}, {438, 118, G}, {238, 78, K}, {78, 246, K}, {398, 246, K}}},
    // In's rows close: the outer ones from the left, the middle one from the right.
    {"SplitRows", twoSeconds<ZTTransitionSplitRows>(), 1.2, {{102, 46, B}, {366, 158, B}, {94, 262, B}, {366, 54, K}, {118, 166, K}, {366, 270, K}}},
    // Out's tiles shrink away from one side; in shows where they have gone.
    {"FadeTR", twoSeconds<ZTTransitionFadeTR>(), 1, {{110, 110, B}, {38, 38, B}, {358, 198, R}, {440, 300, R}}},
    {"FadeBL", twoSeconds<ZTTransitionFadeBL>(), 1, {{382, 222, B}, {440, 300, B}, {150, 134, R}, {38, 38, Y}}},
    {"FadeUp", twoSeconds<ZTTransitionFadeUp>(), 1, {{238, 62, B}, {238, 246, R}}},
    {"FadeDown", twoSeconds<ZTTransitionFadeDown>(), 1, {{222, 302, B}, {246, 86, R}, {38, 38, Y}}},
};
// clang-format on

} // namespace

TEST_F(TransitionTest, everyKindShowsItsOwnPictureOnTheWay)
{
    for (const Picture& picture : kPictures) {
        SCOPED_TRACE(std::string(picture.kind) + " after " + std::to_string(picture.seconds) + " s");
        window.director()->replaceScene(
            markedScene(ztColor4B{255, 0, 0, 255}, ztColor4B{255, 255, 0, 255}, 20, 20));
        window.frames(2);
        ZTScene* to = markedScene(ztColor4B{0, 0, 255, 255}, ztColor4B{0, 255, 0, 255}, 420, 260);
        begin(picture.make(to));
        run(picture.seconds);
        for (const Expected& e : picture.pixels) {
            const RGB seen = DirectorWindow::pixel(e.x, e.y);
            EXPECT_TRUE(near(seen, e.colour, e.tolerance))
                << "(" << e.x << ", " << e.y << ") is " << printed(seen) << ", not " << printed(e.colour);
        }
        run(2 - picture.seconds);
        window.frames(2);
        EXPECT_EQ(window.director()->getRunningScene(), to);
    }
}

// Scene life cycle

TEST_F(TransitionTest, theTransitionSendsEachSceneItsCallsOnce)
{
    auto* from = Recording<ZTScene>::create(&log, "from");
    from->init();
    window.director()->replaceScene(from);
    window.frames(2);
    auto* to = Recording<ZTScene>::create(&log, "to");
    to->init();
    log.clear();
    begin(ZTTransitionMoveInL::transitionWithDuration(0.25f, to));
    run(0.25);
    window.frames(2);
    ASSERT_EQ(window.director()->getRunningScene(), to);
    const std::vector<std::string> calls{"to.enter", "from.exit", "to.entered", "from.cleanup",
                                         "from.destroyed"};
    std::vector<std::string> seen;
    std::copy_if(log.begin(), log.end(), std::back_inserter(seen),
                 [](const std::string& e) { return e.find(".draw") == std::string::npos; });
    EXPECT_EQ(seen, calls);
}

// Touch input

namespace {

class TouchCounter : public ZTObject, public ZTTouchDelegate
{
public:
    bool ztTouchBegan(ZTTouch*, ZTEvent*) override
    {
        ++touches;
        return true;
    }
    int touches = 0;
};

// Clicks into the window with the given title through the X server, as a user would.
void click(const char* title)
{
    const std::string command = std::string("id=$(xdotool search --name '^") + title +
                                "$' | head -n 1) && xdotool mousemove --window \"$id\" 100 100 click 1";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

} // namespace

TEST_F(TransitionTest, aClickDuringATransitionIsIgnoredAndOneAfterItDelivered)
{
    VisibleWindowLock lock;
    auto* counter = new TouchCounter();
    ZTTouchDispatcher::sharedDispatcher()->addTargetedDelegate(counter, 0, true);
    const auto clickAndDeliver = [&] {
        click("transition test");
        for (int i = 0; i < 20; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            glfwPollEvents();
            window.frame();
        }
    };

    begin(ZTTransitionFade::transitionWithDuration(1, blue));
    clickAndDeliver();
    EXPECT_EQ(counter->touches, 0);
    run(1);
    window.frames(2);
    ASSERT_EQ(window.director()->getRunningScene(), blue);
    clickAndDeliver();
    EXPECT_EQ(counter->touches, 1);

    ZTTouchDispatcher::sharedDispatcher()->removeDelegate(counter);
    counter->release();
}

TEST_F(TransitionTest, aTransitionNeverRunGivesTouchInputBackWhenDestroyed)
{
    ZTTouchDispatcher* dispatcher = ZTTouchDispatcher::sharedDispatcher();
    ZTTransitionScene* first = ZTTransitionFade::transitionWithDuration(1, blue);
    ZTTransitionScene* second = ZTTransitionFade::transitionWithDuration(1, blue);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(dispatcher->isDispatchEvents());
    second->retain();
    window.frame();
    EXPECT_FALSE(dispatcher->isDispatchEvents()) << "the other transition still holds it";
    second->release();
    EXPECT_TRUE(dispatcher->isDispatchEvents());
}

// Refusals

namespace {

void expectRefusedWithOneWarning(const std::function<ZTScene*()>& make)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(make(), nullptr);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("ZTTransitionScene: WARNING:"), std::string::npos) << output;
    EXPECT_TRUE(ZTTouchDispatcher::sharedDispatcher()->isDispatchEvents()) << "touch input stays on";
}

} // namespace

TEST_F(TransitionTest, aMissingSceneOrTheRunningSceneGivesNoTransitionAndOneWarning)
{
    expectRefusedWithOneWarning([] { return ZTTransitionFade::transitionWithDuration(1, nullptr); });
    expectRefusedWithOneWarning([&] { return ZTTransitionSlideInL::transitionWithDuration(1, red); });
    expectRefusedWithOneWarning(
        [&] { return ZTTransitionFlipX::transitionWithDuration(1, red, kZTOrientationRightOver); });
    window.frame();
    EXPECT_EQ(DirectorWindow::pixel(240, 160), kRed);
}

TEST(TransitionWithoutRunningScene, givesNoTransitionAndOneWarning)
{
    DirectorWindow window(64, 64, "no running scene");
    expectRefusedWithOneWarning(
        [] { return ZTTransitionTurnOffTiles::transitionWithDuration(1, ZTScene::node()); });
}
