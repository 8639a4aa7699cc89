#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include "CountedObject.h"
#include "GLDeleteWatch.h"
#include "RecordingNode.h"
#include "ZTDirector.h"
#include "ZTScheduler.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureAtlas.h"

using namespace zanth2d;

namespace {

// Seconds by which this program's wall clock is stepped, as a time sync or a user would step it.
int64_t g_wallClockStep = 0;

} // namespace

extern "C" int gettimeofday(struct timeval* __restrict tv, void* __restrict tz) noexcept
{
    static const auto real = reinterpret_cast<int (*)(timeval*, void*)>(dlsym(RTLD_NEXT, "gettimeofday"));
    const int result = real(tv, tz);
    tv->tv_sec += g_wallClockStep;
    return result;
}

extern "C" int clock_gettime(clockid_t clock, struct timespec* tp) noexcept
{
    static const auto real =
        reinterpret_cast<int (*)(clockid_t, timespec*)>(dlsym(RTLD_NEXT, "clock_gettime"));
    const int result = real(clock, tp);
    if (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE) {
        tp->tv_sec += g_wallClockStep;
    }
    return result;
}

namespace {

using RecordingScene = Recording<ZTScene>;
using RecordingTransition = Recording<ZTTransitionScene>;

zt_timeval g_now{1000, 0};

void fakeClock(zt_timeval* now)
{
    *now = g_now;
}

// Moves the fake clock; microseconds are carried so that the record stays normalised.
void advance(double seconds)
{
    int64_t micros = g_now.tv_sec * 1000000 + g_now.tv_usec + static_cast<int64_t>(seconds * 1000000);
    g_now.tv_sec = micros / 1000000;
    g_now.tv_usec = micros % 1000000;
}

class TestApplication : public ZTApplication
{
public:
    bool initInstance() override { return true; }
    bool applicationDidFinishLaunching() override { return true; }
    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}
};

// A 2 x 2 texture that lives until the autorelease pool lets it go.
ZTTexture2D* autoreleasedTexture()
{
    const unsigned char pixels[16] = {};
    auto* texture = new ZTTexture2D();
    EXPECT_TRUE(texture->initWithData(pixels, kZTTexture2DPixelFormat_RGBA8888, 2, 2, ZTSize(2, 2)));
    texture->autorelease();
    return texture;
}

bool contains(const std::vector<std::string>& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

class DirectorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_application = new TestApplication();
        ZTTime::setClock(fakeClock);
    }
    static void TearDownTestSuite()
    {
        ZTTime::setClock(nullptr);
        delete s_application;
    }

    void SetUp() override
    {
        director = ZTDirector::sharedDirector();
        auto* view = new ZTEGLView();
        ASSERT_TRUE(view->Create("director test", 64, 48, nullptr));
        view->makeContextCurrent();
        director->setOpenGLView(view);
        director->setProjection(kZTDirectorProjection2D);
    }

    void TearDown() override
    {
        // Every test leaves through the real ending, which also frees what the test made.
        director->end();
        director->mainLoop();
        EXPECT_EQ(director->getOpenGLView(), nullptr);
        EXPECT_EQ(director->getRunningScene(), nullptr);
    }

    void frame(double seconds)
    {
        advance(seconds);
        director->mainLoop();
    }

    static TestApplication* s_application;
    ZTDirector* director = nullptr;
    std::vector<std::string> log;
};

TestApplication* DirectorTest::s_application = nullptr;

} // namespace

// Ending

TEST_F(DirectorTest, popSceneOnTheLastSceneEndsTheDirectorAtTheNextLoopPass)
{
    director->runWithScene(RecordingScene::create(&log, "s"));
    frame(0.1);
    EXPECT_TRUE(contains(log, "s.enter"));
    log.clear();

    director->popScene();
    EXPECT_NE(director->getRunningScene(), nullptr) << "nothing ends before the next pass";
    EXPECT_TRUE(log.empty());

    frame(0.1);
    EXPECT_EQ(director->getRunningScene(), nullptr);
    EXPECT_EQ(director->getOpenGLView(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"s.exit", "s.cleanup", "s.destroyed"}));

    const unsigned int frames = director->getTotalFrames();
    frame(0.1);
    EXPECT_EQ(director->getTotalFrames(), frames) << "an ended director draws nothing";
}

TEST_F(DirectorTest, endedDirectorRunsHooksInTheirFixedOrder)
{
    static std::vector<std::string>* s_log = nullptr;
    s_log = &log;
    director->setPurgeHook(kZTPurgeBMFontCachedData, [] { s_log->push_back("bmfont"); });
    director->setPurgeHook(kZTPurgeAnimationCache, [] { s_log->push_back("animations"); });
    director->setPurgeHook(kZTPurgeSpriteFrameCache, [] { s_log->push_back("frames"); });
    director->setPurgeHook(kZTPurgeTextureCache, [] { s_log->push_back("textures"); });
    director->setPurgeHook(kZTRemoveUnusedTextures, [] { s_log->push_back("unused"); });

    director->purgeCachedData();
    EXPECT_EQ(log, (std::vector<std::string>{"bmfont", "unused"}));
    log.clear();
    director->end();
    director->mainLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"bmfont", "animations", "frames", "textures"}));

    for (int hook = 0; hook < kZTDirectorPurgeHookCount; ++hook) {
        director->setPurgeHook(static_cast<ztDirectorPurgeHook>(hook), nullptr);
    }
}

TEST_F(DirectorTest, glObjectsHeldByThePoolsAreDeletedWhileTheirContextIsCurrent)
{
    director->runWithScene(RecordingScene::create(&log, "s"));
    frame(0.1);
    autoreleasedTexture();
    ASSERT_NE(ZTTextureAtlas::textureAtlasWithTexture(autoreleasedTexture(), 4), nullptr);
    glfwMakeContextCurrent(nullptr); // as Qt may leave it between frames
    GLDeleteWatch::reset();

    director->end();
    director->mainLoop();
    EXPECT_EQ(director->getOpenGLView(), nullptr);
    EXPECT_EQ(GLDeleteWatch::withContext, 4) << "two textures and the atlas's two buffers";
    EXPECT_EQ(GLDeleteWatch::withoutContext, 0);
}

TEST_F(DirectorTest, glObjectOutlivingItsContextDeletesNothing)
{
    ZTTexture2D* heldElsewhere = autoreleasedTexture();
    heldElsewhere->retain();
    director->end();
    director->mainLoop();
    GLDeleteWatch::reset();

    heldElsewhere->release();
    EXPECT_EQ(GLDeleteWatch::withoutContext, 0);
    EXPECT_EQ(GLDeleteWatch::withContext, 0);
}

// Run in a process of its own by the next test: the program ends with the director still holding a view
// and a texture in its pool, and reports the GL deletes that its exit made.
TEST(DirectorExitTest, DISABLED_exitWithoutPurge)
{
    std::atexit([] {
        std::printf("deletes at exit: %d with context, %d without\n", GLDeleteWatch::withContext,
                    GLDeleteWatch::withoutContext);
        std::fflush(stdout);
    });
    ZTDirector* director = ZTDirector::sharedDirector();
    auto* view = new ZTEGLView();
    ASSERT_TRUE(view->Create("director exit test", 32, 32, nullptr));
    view->makeContextCurrent();
    director->setOpenGLView(view);
    autoreleasedTexture();
    GLDeleteWatch::reset();
}

TEST(DirectorExitTest, exitWithoutPurgeDeletesGLObjectsBeforeTheContextEnds)
{
    const std::string command =
        "/proc/" + std::to_string(getpid()) +
        "/exe --gtest_also_run_disabled_tests --gtest_filter=DirectorExitTest.DISABLED_*";
    FILE* child = popen(command.c_str(), "r");
    ASSERT_NE(child, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, child)) {
        output += buffer;
    }
    EXPECT_EQ(pclose(child), 0) << output;
    EXPECT_NE(output.find("deletes at exit: 1 with context, 0 without"), std::string::npos) << output;
}

// Frame time and rate

TEST_F(DirectorTest, frameTimeIsMeasuredFromTheStartAndNeverGoesNegative)
{
    director->runWithScene(RecordingScene::create(&log, "s"));
    frame(0.25);
    EXPECT_FLOAT_EQ(director->getDeltaTime(), 0.25f);

    g_now.tv_sec -= 2; // the clock went backwards
    director->mainLoop();
    EXPECT_EQ(director->getDeltaTime(), 0.0f);

    frame(0.5);
    EXPECT_FLOAT_EQ(director->getDeltaTime(), 0.5f) << "measured from the frame that saw the clock go back";

    director->setNextDeltaTimeZero(true);
    frame(0.3);
    EXPECT_EQ(director->getDeltaTime(), 0.0f);
    frame(0.125);
    EXPECT_FLOAT_EQ(director->getDeltaTime(), 0.125f);
}

TEST_F(DirectorTest, stepsOfTheWallClockDoNotReachTheFrameTime)
{
    ZTTime::setClock(nullptr);
    director->runWithScene(RecordingScene::create(&log, "s"));
    director->mainLoop();
    for (const int64_t step : {3600, 0, -7200}) {
        g_wallClockStep = step;
        director->mainLoop();
        EXPECT_GE(director->getDeltaTime(), 0.0f);
        EXPECT_LT(director->getDeltaTime(), 1.0f) << "after a step of " << step << " s";
    }
    g_wallClockStep = 0;
    ZTTime::setClock(fakeClock);
}

TEST_F(DirectorTest, frameRateUpdatesOnlyOnceMoreThanHalfASecondHasPassed)
{
    director->runWithScene(RecordingScene::create(&log, "s"));
    frame(1.0); // starts a fresh measurement
    const float previous = director->getFrameRate();
    for (int i = 0; i < 4; ++i) {
        frame(0.125);
    }
    EXPECT_EQ(director->getFrameRate(), previous) << "exactly half a second is not yet enough";
    frame(0.125);
    EXPECT_FLOAT_EQ(director->getFrameRate(), 8.0f);

    frame(0.25);
    frame(0.25);
    EXPECT_FLOAT_EQ(director->getFrameRate(), 8.0f);
    frame(0.25);
    EXPECT_FLOAT_EQ(director->getFrameRate(), 4.0f);
}

TEST_F(DirectorTest, pauseStopsTheSchedulerButKeepsDrawing)
{
    RecordingScene* scene = RecordingScene::create(&log, "s");
    director->runWithScene(scene);
    frame(0.1);
    scene->scheduleUpdate();
    frame(0.1);
    EXPECT_EQ(scene->updates, 1);

    director->setAnimationInterval(1 / 30.0);
    director->pause();
    EXPECT_DOUBLE_EQ(director->getAnimationInterval(), 0.25);
    director->pause();
    const unsigned int frames = director->getTotalFrames();
    frame(0.1);
    EXPECT_EQ(scene->updates, 1);
    EXPECT_EQ(director->getTotalFrames(), frames + 1);

    advance(5.0);
    director->resume();
    EXPECT_DOUBLE_EQ(director->getAnimationInterval(), 1 / 30.0)
        << "a second pause kept the first saved interval";
    frame(0.2);
    EXPECT_EQ(scene->updates, 2);
    EXPECT_FLOAT_EQ(director->getDeltaTime(), 0.2f) << "measured from the resume";

    director->resume();
    EXPECT_FALSE(director->isPaused());
    EXPECT_DOUBLE_EQ(director->getAnimationInterval(), 1 / 30.0);
}

// Scene switches

TEST_F(DirectorTest, pushKeepsTheOutgoingSceneAndPopCleansUpTheTopOne)
{
    RecordingScene* first = RecordingScene::create(&log, "a");
    director->runWithScene(first);
    frame(0.1);
    log.clear();

    director->pushScene(RecordingScene::create(&log, "b"));
    EXPECT_EQ(director->getRunningScene(), first) << "switches wait for the next frame";
    frame(0.1);
    EXPECT_TRUE(contains(log, "a.exit"));
    EXPECT_FALSE(contains(log, "a.cleanup"));
    EXPECT_TRUE(contains(log, "b.enter"));
    log.clear();

    director->popScene();
    frame(0.1);
    EXPECT_TRUE(contains(log, "b.exit"));
    EXPECT_TRUE(contains(log, "b.cleanup"));
    EXPECT_TRUE(contains(log, "b.destroyed"));
    EXPECT_TRUE(contains(log, "a.enter"));
    EXPECT_EQ(director->getRunningScene(), first);
}

TEST_F(DirectorTest, replacingByTheSceneAlreadyWaitingKeepsItAlive)
{
    director->runWithScene(RecordingScene::create(&log, "a"));
    frame(0.1);
    RecordingScene* next = RecordingScene::create(&log, "b");
    director->replaceScene(next);
    ZTPoolManager::getInstance()->pop(); // only the scene stack holds b now
    director->replaceScene(next);
    EXPECT_FALSE(contains(log, "b.destroyed"));
    frame(0.1);
    EXPECT_EQ(director->getRunningScene(), next);
    EXPECT_TRUE(contains(log, "b.enter"));
}

TEST_F(DirectorTest, redrawAfterPoppingTheLastSceneDoesNotSwitchToIt)
{
    director->runWithScene(RecordingScene::create(&log, "a"));
    frame(0.1);
    director->replaceScene(RecordingScene::create(&log, "b"));
    ZTPoolManager::getInstance()->pop(); // only the scene stack holds b now
    director->popScene();
    EXPECT_TRUE(contains(log, "b.destroyed"));
    director->reshape(); // a window resize before the next loop pass
    EXPECT_FALSE(contains(log, "b.enter"));
}

TEST_F(DirectorTest, transitionScenesTakeOverTheEnterAndExitCalls)
{
    director->runWithScene(RecordingScene::create(&log, "a"));
    frame(0.1);
    log.clear();

    director->replaceScene(RecordingTransition::create(&log, "t"));
    frame(0.1);
    EXPECT_FALSE(contains(log, "a.exit")) << "the transition sends the outgoing scene's exit";
    EXPECT_FALSE(contains(log, "a.cleanup"));
    EXPECT_TRUE(contains(log, "t.enter"));
    log.clear();

    director->replaceScene(RecordingScene::create(&log, "b"));
    frame(0.1);
    EXPECT_TRUE(contains(log, "t.exit"));
    EXPECT_TRUE(contains(log, "t.cleanup"));
    EXPECT_FALSE(contains(log, "b.enter")) << "the transition sends the incoming scene's enter";
    EXPECT_TRUE(contains(log, "b.draw"));
}

// The frame

TEST_F(DirectorTest, frameLeavesTheMatrixAsFoundAndEmptiesTheAutoreleasePool)
{
    director->runWithScene(RecordingScene::create(&log, "s"));
    frame(0.1);
    int destroyed = 0;
    (new CountedObject(&destroyed))->autorelease();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    std::array<float, 16> before{};
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
    frame(0.1);
    std::array<float, 16> after{};
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(after, before);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DirectorTest, frameRateLabelComesFromTheInstalledLabelFactory)
{
    static std::vector<std::string>* s_log = nullptr;
    s_log = &log;
    ztFPSLabelHooks hooks;
    hooks.labelWithString = [](const char* text, const char* font, float size) -> ZTNode* {
        s_log->push_back(std::string("label ") + text + " " + font + " " +
                         std::to_string(static_cast<int>(size)));
        return RecordingNode::create(s_log, "label");
    };
    hooks.setString = [](ZTNode*, const char* text) { s_log->push_back(std::string("text ") + text); };
    ZTDirector::setFPSLabelHooks(hooks);
    EXPECT_EQ(log, (std::vector<std::string>{"label 00.0 Arial 24"}))
        << "a view is set: the label appears at once";

    director->setDisplayFPS(true);
    director->runWithScene(RecordingScene::create(&log, "s"));
    frame(1.0); // starts a fresh measurement
    frame(1.0);
    EXPECT_TRUE(contains(log, "text 1.0"));
    EXPECT_TRUE(contains(log, "label.draw"));
    director->setDisplayFPS(false);

    director->end();
    director->mainLoop();
    EXPECT_TRUE(contains(log, "label.destroyed"));
    ZTDirector::setFPSLabelHooks(ztFPSLabelHooks{});
}

// Sizes and projection

TEST_F(DirectorTest, windowSizeAndCoordinatesComeFromTheView)
{
    EXPECT_FLOAT_EQ(director->getWinSize().width, 64.0f);
    EXPECT_FLOAT_EQ(director->getWinSize().height, 48.0f);
    EXPECT_FLOAT_EQ(director->getWinSizeInPixels().width, 64.0f);
    const ZTPoint gl = director->convertToGL(ZTPoint(10, 5));
    EXPECT_FLOAT_EQ(gl.x, 10.0f);
    EXPECT_FLOAT_EQ(gl.y, 43.0f);
    const ZTPoint ui = director->convertToUI(gl);
    EXPECT_FLOAT_EQ(ui.y, 5.0f);

    std::array<float, 16> projection{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    EXPECT_FLOAT_EQ(projection[0], 2.0f / 64);
    EXPECT_FLOAT_EQ(projection[5], 2.0f / 48);
    EXPECT_FLOAT_EQ(projection[10], -1.0f / 1024);
}

TEST_F(DirectorTest, secondContentScaleFactorIsAPlainValue)
{
    EXPECT_FLOAT_EQ(director->getZanthContentScaleFactor(), 1.0f);
    director->setZanthContentScaleFactor(1.5f);
    EXPECT_FLOAT_EQ(director->getZanthContentScaleFactor(), 1.5f);
    EXPECT_FLOAT_EQ(director->getContentScaleFactor(), 1.0f);
    director->setZanthContentScaleFactor(1.0f);
    EXPECT_FALSE(director->enableRetinaDisplay(true));
}
