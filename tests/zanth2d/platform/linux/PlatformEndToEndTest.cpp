// Starts the platform test program under the X server of the test run and drives it with real input
// (xdotool), reading its report lines, its GL read-back and screenshots of the root window.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ProgramRun.h"
#include "VisibleWindowLock.h"

namespace {

// The platform program under the given title.
class PlatformRun : public ProgramRun
{
public:
    explicit PlatformRun(const std::string& title, std::vector<std::string> extra = {},
                         const char* display = nullptr)
        : ProgramRun("PlatformProgram", title, std::move(extra), display)
    {
    }
};

struct RGB
{
    int r = -1, g = -1, b = -1;
};

::testing::AssertionResult near(const RGB& actual, int r, int g, int b, int tolerance = 2)
{
    if (std::abs(actual.r - r) <= tolerance && std::abs(actual.g - g) <= tolerance &&
        std::abs(actual.b - b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "(" << actual.r << "," << actual.g << "," << actual.b << ") is not within " << tolerance
           << " of (" << r << "," << g << "," << b << ")";
}

std::map<std::pair<int, int>, RGB> readBackPixels(const ProgramRun& program)
{
    std::map<std::pair<int, int>, RGB> pixels;
    for (const std::string& line : program.linesStartingWith("pixel ")) {
        std::istringstream in(line.substr(6));
        int x = 0, y = 0;
        RGB c;
        in >> x >> y >> c.r >> c.g >> c.b;
        pixels[{x, y}] = c;
    }
    return pixels;
}

// The colour of one pixel of a PNG file, read with ImageMagick.
RGB pngPixel(const std::string& file, int x, int y)
{
    RGB c;
    const std::string out = commandOutput("convert " + file + " -crop 1x1+" + std::to_string(x) + "+" +
                                          std::to_string(y) + " -depth 8 txt:- 2>/dev/null");
    const auto open = out.find("\n");
    if (open == std::string::npos) {
        return c;
    }
    std::sscanf(out.c_str() + open + 1, "%*d,%*d: (%d,%d,%d", &c.r, &c.g, &c.b);
    return c;
}

// Xlib, loaded for the few calls that act as a window manager would (the test has no X headers' library
// at link time).
class Xlib
{
public:
    Xlib() : m_library(dlopen("libX11.so.6", RTLD_NOW))
    {
        if (m_library) {
            m_display = function<Display* (*)(const char*)>("XOpenDisplay")(nullptr);
        }
    }
    ~Xlib()
    {
        if (m_display) {
            function<int (*)(Display*)>("XCloseDisplay")(m_display);
        }
        if (m_library) {
            dlclose(m_library);
        }
    }
    Xlib(const Xlib&) = delete;
    Xlib& operator=(const Xlib&) = delete;

    Display* display() const { return m_display; }
    template <typename F> F function(const char* name) const
    {
        return reinterpret_cast<F>(dlsym(m_library, name));
    }
    Atom atom(const char* name) const
    {
        return function<Atom (*)(Display*, const char*, Bool)>("XInternAtom")(m_display, name, False);
    }
    void flush() const { function<int (*)(Display*)>("XFlush")(m_display); }

private:
    void* m_library;
    Display* m_display = nullptr;
};

// Sends the window manager's close request, as a title-bar close button would.
bool requestClose(const std::string& windowId)
{
    const Xlib xlib;
    if (!xlib.display()) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(windowId);
    event.xclient.message_type = xlib.atom("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(xlib.atom("WM_DELETE_WINDOW"));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = xlib.function<Status (*)(Display*, Window, Bool, long, XEvent*)>("XSendEvent")(
        xlib.display(), event.xclient.window, False, NoEventMask, &event);
    xlib.flush();
    return sent != 0;
}

// The window states of WM_STATE (ICCCM).
constexpr long kNormalState = 1;
constexpr long kIconicState = 3;

// Sets the window's WM_STATE as a window manager does when it iconifies or restores a window; the test
// server has no window manager of its own.
bool setWindowManagerState(const std::string& windowId, long state)
{
    const Xlib xlib;
    if (!xlib.display()) {
        return false;
    }
    const long data[2] = {state, 0};
    const Atom wmState = xlib.atom("WM_STATE");
    xlib.function<int (*)(Display*, Window, Atom, Atom, int, int, const unsigned char*, int)>(
        "XChangeProperty")(xlib.display(), std::stoul(windowId), wmState, wmState, 32, PropModeReplace,
                           reinterpret_cast<const unsigned char*>(data), 2);
    xlib.flush();
    return true;
}

const auto* const g_connection = ::testing::AddGlobalTestEnvironment(new XServerConnection());
const VisibleWindowLock g_windowLock;

} // namespace

TEST(PlatformWindow, opensA960By640WindowWithTheGivenTitle)
{
    PlatformRun program("Zanth title check");
    ASSERT_TRUE(program.ready()) << program.output();
    const std::string info = commandOutput("xwininfo -name 'Zanth title check'");
    EXPECT_NE(std::string::npos, info.find("\"Zanth title check\"")) << info;
    EXPECT_NE(std::string::npos, info.find("Width: 960")) << info;
    EXPECT_NE(std::string::npos, info.find("Height: 640")) << info;
}

TEST(PlatformWindow, startUpStopsWithAMessageWhenNoGLContextCanBeMade)
{
    PlatformRun program("No display", {}, ":4321");
    EXPECT_EQ(1, program.waitExit(120.0));
    const std::string out = program.output();
    EXPECT_NE(std::string::npos, out.find("No OpenGL pixel format")) << out;
    EXPECT_NE(std::string::npos, out.find("start-up stopped")) << out;
    EXPECT_EQ(std::string::npos, out.find("first-frame")) << out;
}

TEST(PlatformDrawing, colourLayersAndPrimitivesReadBackWhereExpected)
{
    PlatformRun program("Zanth drawing", {"--readback"});
    ASSERT_TRUE(program.ready()) << program.output();
    ASSERT_TRUE(program.waitForLine("readback-done")) << program.output();
    auto pixels = readBackPixels(program);

    EXPECT_TRUE(near(pixels[{50, 50}], 255, 0, 0));
    EXPECT_TRUE(near(pixels[{950, 630}], 255, 0, 0));
    // Blue at alpha 128 over red, with source-alpha blending.
    EXPECT_TRUE(near(pixels[{150, 150}], 127, 0, 128));
    EXPECT_TRUE(near(pixels[{290, 190}], 127, 0, 128));
    // Line, polygon outline, circle outline, filled rectangle, filled triangle.
    EXPECT_TRUE(near(pixels[{500, 50}], 0, 255, 0));
    EXPECT_TRUE(near(pixels[{500, 52}], 255, 0, 0));
    EXPECT_TRUE(near(pixels[{400, 250}], 0, 255, 0));
    EXPECT_TRUE(near(pixels[{450, 250}], 255, 0, 0));
    EXPECT_TRUE(near(pixels[{650, 400}], 0, 255, 0));
    EXPECT_TRUE(near(pixels[{700, 400}], 255, 0, 0));
    EXPECT_TRUE(near(pixels[{850, 550}], 255, 255, 0));
    EXPECT_TRUE(near(pixels[{200, 450}], 0, 255, 255));
}

TEST(PlatformDrawing, screenshotOfTheRootWindowShowsTheSameColours)
{
    PlatformRun program("Zanth screenshot");
    ASSERT_TRUE(program.ready()) << program.output();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string info = commandOutput("xwininfo -id " + program.windowId());
    int left = 0;
    int top = 0;
    std::sscanf(info.c_str() + info.find("Absolute upper-left X:"), "Absolute upper-left X: %d", &left);
    std::sscanf(info.c_str() + info.find("Absolute upper-left Y:"), "Absolute upper-left Y: %d", &top);
    char shot[] = "/tmp/zanth-shot-XXXXXX";
    const int fd = mkstemp(shot);
    close(fd);
    const std::string file = std::string(shot) + ".png";
    ASSERT_EQ(0, runCommand("import -window root " + file));
    // GL rows count from the bottom of the 640-pixel-high view.
    auto at = [&](int x, int y) { return pngPixel(file, left + x, top + 639 - y); };
    EXPECT_TRUE(near(at(50, 50), 255, 0, 0));
    EXPECT_TRUE(near(at(150, 150), 127, 0, 128));
    EXPECT_TRUE(near(at(850, 550), 255, 255, 0));
    std::remove(file.c_str());
    std::remove(shot);
}

TEST(PlatformInput, pressDragReleaseGivesTouchesInViewPointsFromTheTopLeft)
{
    PlatformRun program("Zanth mouse");
    ASSERT_TRUE(program.ready()) << program.output();
    const std::string w = program.windowId();
    runCommand("xdotool mousemove --window " + w + " 100 100 mousedown 1");
    ASSERT_TRUE(program.waitForLine("touch began")) << program.output();
    runCommand("xdotool mousemove --window " + w + " 150 125");
    runCommand("xdotool mousemove --window " + w + " 200 150");
    ASSERT_TRUE(program.waitForLine("touch moved 200 150")) << program.output();
    runCommand("xdotool mouseup 1");
    ASSERT_TRUE(program.waitForLine("touch ended")) << program.output();

    const auto touches = program.linesStartingWith("touch ");
    ASSERT_GE(touches.size(), 3u);
    EXPECT_EQ("touch began 100 100", touches.front());
    EXPECT_EQ("touch ended 200 150", touches.back());
    for (std::size_t i = 1; i + 1 < touches.size(); ++i) {
        EXPECT_EQ(0u, touches[i].find("touch moved ")) << touches[i];
    }
}

TEST(PlatformInput, aClickReadLateIsWhereItHappenedNotWhereThePointerIsNow)
{
    PlatformRun program("Zanth late click");
    ASSERT_TRUE(program.ready()) << program.output();
    const std::string w = program.windowId();
    runCommand("xdotool mousemove --window " + w + " 20 20 key s");
    ASSERT_TRUE(program.waitForLine("busy")) << program.output();
    // Read only once the pointer has moved on to 200, 150.
    runCommand("xdotool mousemove --window " + w + " 100 100 click 1 click 5 mousemove --window " + w +
               " 200 150");
    ASSERT_TRUE(program.waitForLine("touch ended")) << program.output();
    ASSERT_TRUE(program.waitForLine("scroll ")) << program.output();

    EXPECT_TRUE(program.waitForLine("idle")) << program.output();
    const auto touches = program.linesStartingWith("touch ");
    ASSERT_EQ(2u, touches.size()) << program.output();
    EXPECT_EQ("touch began 100 100", touches[0]);
    EXPECT_EQ("touch ended 100 100", touches[1]);
    EXPECT_EQ("scroll 100 100 -1 0", program.linesStartingWith("scroll ").front());
}

// The window is shown before the program has launched and drawn its first frame, in which the scene
// starts to take touches: a click that comes meanwhile waits for that scene.
TEST(PlatformInput, aClickWhileTheProgramLaunchesReachesTheSceneOfItsFirstFrame)
{
    PlatformRun program("Zanth click at launch", {"--busy-launch"});
    ASSERT_TRUE(program.waitForLine("busy")) << program.output();
    const std::string w = program.windowId();
    ASSERT_FALSE(w.empty()) << program.output();
    runCommand("xdotool mousemove --window " + w + " 100 100 click 1 mousemove --window " + w + " 200 150");
    ASSERT_TRUE(program.waitForLine("first-frame")) << program.output();
    ASSERT_TRUE(program.waitForLine("touch ended")) << program.output();
    const auto touches = program.linesStartingWith("touch ");
    ASSERT_EQ(2u, touches.size()) << program.output();
    EXPECT_EQ("touch began 100 100", touches[0]);
    EXPECT_EQ("touch ended 100 100", touches[1]);
}

TEST(PlatformInput, mouseMovesWithoutAPressedButtonGiveNoTouches)
{
    PlatformRun program("Zanth hover");
    ASSERT_TRUE(program.ready()) << program.output();
    const std::string w = program.windowId();
    runCommand("xdotool mousemove --window " + w + " 300 300");
    runCommand("xdotool mousemove --window " + w + " 320 310 click 3");
    runCommand("xdotool key a");
    ASSERT_TRUE(program.waitForLine("key-release")) << program.output();
    EXPECT_TRUE(program.linesStartingWith("touch ").empty()) << program.output();
}

TEST(PlatformInput, scrollWheelReachesTheSink)
{
    PlatformRun program("Zanth wheel");
    ASSERT_TRUE(program.ready()) << program.output();
    runCommand("xdotool mousemove --window " + program.windowId() + " 40 60 click 4");
    ASSERT_TRUE(program.waitForLine("scroll ")) << program.output();
    EXPECT_EQ("scroll 40 60 1 0", program.linesStartingWith("scroll ").front());
    runCommand("xdotool click 5");
    ASSERT_TRUE(program.waitForLine("scroll 40 60 -1 0")) << program.output();
}

TEST(PlatformInput, keysBecomeQtKeysAndTextInput)
{
    PlatformRun program("Zanth keys");
    ASSERT_TRUE(program.ready()) << program.output();
    runCommand("xdotool key a");
    ASSERT_TRUE(program.waitForLine("key-release 0x41 0x0")) << program.output();
    EXPECT_TRUE(program.waitForLine("key-press 0x41 0x0"));
    EXPECT_TRUE(program.waitForLine("insert-text 1 [a]"));

    runCommand("xdotool key ctrl+1");
    EXPECT_TRUE(program.waitForLine("key-press 0x31 0x4000000")) << program.output();

    runCommand("xdotool key F1");
    EXPECT_TRUE(program.waitForLine("key-press 0x1000030 0x0")) << program.output();

    runCommand("xdotool key Delete");
    EXPECT_TRUE(program.waitForLine("key-press 0x1000007 0x0")) << program.output();
    EXPECT_TRUE(program.waitForLine("delete-backward")) << program.output();

    runCommand("xdotool key shift+b Return");
    EXPECT_TRUE(program.waitForLine("key-press 0x42 0x2000000")) << program.output();
    EXPECT_TRUE(program.waitForLine("insert-text 1 [B]")) << program.output();
    EXPECT_TRUE(program.waitForLine("key-press 0x1000004 0x0")) << program.output();
    EXPECT_TRUE(program.waitForLine("insert-text 1 [\n]")) << program.output();
}

TEST(PlatformWindow, resizingTheWindowRedrawsThroughTheSink)
{
    PlatformRun program("Zanth resize");
    ASSERT_TRUE(program.ready()) << program.output();
    runCommand("xdotool windowsize " + program.windowId() + " 800 600");
    ASSERT_TRUE(program.waitForLine("reshape 800 600")) << program.output();
    ASSERT_TRUE(program.waitForLine("apply-items")) << program.output();
    // The layout takes the new size, then its changes reach the nodes before the redraw.
    const std::string out = program.output();
    EXPECT_LT(out.find("reshape 800 600"), out.find("apply-items")) << out;
}

TEST(PlatformLifecycle, onlyIconifyAndRestoreAreBackgroundAndForegroundNeverFocusOrTheFirstShow)
{
    PlatformRun program("Zanth lifecycle");
    ASSERT_TRUE(program.ready()) << program.output();
    PlatformRun other("Zanth other window");
    ASSERT_TRUE(other.ready()) << other.output();
    runCommand("xdotool windowfocus --sync " + program.windowId() + " key a");
    // The key comes after both focus changes: once it is reported, they have been handled.
    ASSERT_TRUE(program.waitForLine("key-press 0x41")) << program.output();
    EXPECT_TRUE(program.linesStartingWith("background").empty()) << program.output();
    EXPECT_TRUE(program.linesStartingWith("foreground").empty()) << program.output();

    ASSERT_TRUE(setWindowManagerState(program.windowId(), kIconicState));
    ASSERT_TRUE(program.waitForLine("background")) << program.output();
    ASSERT_TRUE(setWindowManagerState(program.windowId(), kNormalState));
    ASSERT_TRUE(program.waitForLine("foreground")) << program.output();
    EXPECT_EQ(program.linesStartingWith("background").size(), 1u) << program.output();
    EXPECT_EQ(program.linesStartingWith("foreground").size(), 1u) << program.output();
}

TEST(PlatformLifetime, escapeEndsTheProcessWithStatusZeroWithinASecond)
{
    PlatformRun program("Zanth escape");
    ASSERT_TRUE(program.ready()) << program.output();
    const auto pressed = Clock::now();
    runCommand("xdotool key Escape");
    // The run ends when main() reports its status; the sanitizers' exit work (the leak scan) follows
    // and takes its own time on a loaded machine.
    EXPECT_TRUE(program.waitForLine("exit 0", 60.0)) << program.output();
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - pressed).count(), 1.0);
    EXPECT_EQ(0, program.waitExit(120.0)) << program.output();
    EXPECT_NE(std::string::npos, program.output().find("key-press 0x1000000")) << program.output();
}

TEST(PlatformLifetime, closingTheWindowEndsTheProcessWithStatusZeroWithinASecond)
{
    PlatformRun program("Zanth close");
    ASSERT_TRUE(program.ready()) << program.output();
    const auto asked = Clock::now();
    ASSERT_TRUE(requestClose(program.windowId()));
    EXPECT_TRUE(program.waitForLine("exit 0", 60.0)) << program.output();
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - asked).count(), 1.0);
    EXPECT_EQ(0, program.waitExit(120.0)) << program.output();
}

TEST(PlatformPacing, drawsAboutSixtyFramesASecondWithoutSpinning)
{
    PlatformRun program("Zanth pacing", {"--measure"});
    ASSERT_TRUE(program.windowId().size() > 0) << program.output();
    ASSERT_TRUE(program.waitForLine("measure frames", 15.0)) << program.output();
    const std::string line = program.linesStartingWith("measure frames").front();
    int frames = 0;
    double seconds = 0;
    double cpu = 0;
    int onTime = 0;
    double loopCpu = 0;
    ASSERT_EQ(5, std::sscanf(line.c_str(), "measure frames %d seconds %lf cpu %lf on-time %d loop-cpu %lf",
                             &frames, &seconds, &cpu, &onTime, &loopCpu));
    const double fps = frames / seconds;
    // Never faster than the display and never spinning; as fast when the machine lets it: a busy machine
    // wakes the program late for some frames, but the others still come one refresh apart. Paced too
    // slowly, none would. Spinning is judged by the frame loop's own thread: the GL driver's threads
    // take more of the process's time on a busy machine. The loop takes about a tenth of its time here;
    // a loop that polled instead of waiting took nine tenths, and no less than four tenths with ten busy
    // loops beside it on eight cores.
    EXPECT_LE(fps, 65.0) << line;
    EXPECT_LT(loopCpu / seconds, 0.3) << line;
    EXPECT_GE(onTime, frames / 5) << line;
}

// After the key L every frame takes longer than a refresh period: no pause comes between two frames to
// read the input meanwhile, and each frame must read it before it starts. The key itself is read while
// frames still had time to spare.
class PlatformSlowFrames : public ::testing::Test
{
protected:
    PlatformSlowFrames() : program(::testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    void SetUp() override
    {
        ASSERT_TRUE(program.ready()) << program.output();
        runCommand("xdotool key l");
        ASSERT_TRUE(program.waitForLine("slow-frames")) << program.output();
    }

    PlatformRun program;
};

TEST_F(PlatformSlowFrames, pressDragReleaseAndKeysReachTheScene)
{
    const std::string w = program.windowId();
    runCommand("xdotool mousemove --window " + w + " 100 100 mousedown 1");
    ASSERT_TRUE(program.waitForLine("touch began")) << program.output();
    runCommand("xdotool mousemove --window " + w + " 200 150");
    ASSERT_TRUE(program.waitForLine("touch moved 200 150")) << program.output();
    runCommand("xdotool mouseup 1");
    ASSERT_TRUE(program.waitForLine("touch ended")) << program.output();
    runCommand("xdotool key a");
    EXPECT_TRUE(program.waitForLine("insert-text 1 [a]")) << program.output();
    EXPECT_TRUE(program.waitForLine("key-release 0x41 0x0")) << program.output();

    const auto touches = program.linesStartingWith("touch ");
    ASSERT_GE(touches.size(), 3u) << program.output();
    EXPECT_EQ("touch began 100 100", touches.front());
    EXPECT_EQ("touch ended 200 150", touches.back());
}

TEST_F(PlatformSlowFrames, closingTheWindowEndsTheProcessWithStatusZeroWithinASecond)
{
    const auto asked = Clock::now();
    ASSERT_TRUE(requestClose(program.windowId()));
    ASSERT_TRUE(program.waitForLine("exit 0", 60.0)) << program.output();
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - asked).count(), 1.0);
    EXPECT_EQ(0, program.waitExit(120.0)) << program.output();
}
