// A small application on the platform layer for the end-to-end tests: a red window-sized colour layer,
// a half-transparent blue layer over part of it, a node drawing primitives, a touch-reporting layer, an
// attached text-input delegate and an event sink, each reporting on stdout one line per event. The key S
// makes it busy, reading no events, until the pointer stands at 200, 150 (or 10 s have passed); with
// --busy-launch it is so while it launches, before its first frame. The key L makes every frame after it
// take about three refresh periods, so that none leaves time to pause before the next.
//
//   PlatformProgram --title TITLE [--readback] [--measure] [--busy-launch]

#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>

#include "ZTDirector.h"
#include "ZTDrawingPrimitives.h"
#include "cocoa/ZTSet.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"
#include "platform/linux/ZTGLViewEventSink.h"
#include "text_input_node/ZTIMEDelegate.h"
#include "touch_dispatcher/ZTTouch.h"

using namespace zanth2d;

namespace {

std::string g_title = "Platform program";
bool g_readback = false;
bool g_measure = false;
bool g_busyLaunch = false;
bool g_slowFrames = false;

// CLOCK_PROCESS_CPUTIME_ID for the process, CLOCK_THREAD_CPUTIME_ID for the calling thread's own (the
// frame loop's, without the GL driver's threads), CLOCK_MONOTONIC for the wall.
double clockSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

double wallSeconds()
{
    return clockSeconds(CLOCK_MONOTONIC);
}

// Like a long frame: the events that come meanwhile are read late, after the pointer moved on.
void busyUntilThePointerIsAt(double x, double y)
{
    std::printf("busy\n");
    const double end = wallSeconds() + 10;
    double nowX = -1;
    double nowY = -1;
    while (wallSeconds() < end && (nowX != x || nowY != y)) {
        glfwGetCursorPos(glfwGetCurrentContext(), &nowX, &nowY);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::printf("idle\n");
}

class PrintingSink : public ZTGLViewEventSink
{
public:
    void keyPressed(int key, int modifiers) override
    {
        std::printf("key-press 0x%x 0x%x\n", key, modifiers);
        if (key == 0x53) {
            busyUntilThePointerIsAt(200, 150);
        }
        if (key == 0x4c) {
            g_slowFrames = true;
            std::printf("slow-frames\n");
        }
    }
    void keyReleased(int key, int modifiers) override
    {
        std::printf("key-release 0x%x 0x%x\n", key, modifiers);
    }
    void scrollWheel(int x, int y, int delta, bool horizontal) override
    {
        std::printf("scroll %d %d %d %d\n", x, y, delta, horizontal ? 1 : 0);
    }
    bool getAppStarted() const override { return true; }
    void reshape(float width, float height) override { std::printf("reshape %.0f %.0f\n", width, height); }
    void applyItemChanges() override { std::printf("apply-items\n"); }
};

class PrintingTextField : public ZTIMEDelegate
{
public:
    bool canAttachWithIME() override { return true; }
    void insertText(const char* text, int length) override
    {
        std::printf("insert-text %d [%.*s]\n", length, length, text);
    }
    void deleteBackward() override { std::printf("delete-backward\n"); }
};

class TouchReportingLayer : public ZTLayer
{
public:
    static TouchReportingLayer* create()
    {
        auto* layer = new TouchReportingLayer();
        layer->init();
        layer->setIsTouchEnabled(true);
        layer->autorelease();
        return layer;
    }
    void ztTouchesBegan(ZTSet* touches, ZTEvent*) override { report("began", touches); }
    void ztTouchesMoved(ZTSet* touches, ZTEvent*) override { report("moved", touches); }
    void ztTouchesEnded(ZTSet* touches, ZTEvent*) override { report("ended", touches); }

private:
    static void report(const char* phase, ZTSet* touches)
    {
        auto* touch = static_cast<ZTTouch*>(touches->anyObject());
        const ZTPoint p = touch->locationInView();
        std::printf("touch %s %.0f %.0f\n", phase, p.x, p.y);
    }
};

// Draws the primitives last, then reads the finished frame back and keeps the frame statistics.
class PrimitivesNode : public ZTNode
{
public:
    static PrimitivesNode* create()
    {
        auto* node = new PrimitivesNode();
        node->autorelease();
        return node;
    }

    void draw() override
    {
        // Outlines run through pixel centres so that each lights one known row or column.
        glColor4ub(0, 255, 0, 255);
        ztDrawLine(ZTPoint(400.5f, 50.5f), ZTPoint(600.5f, 50.5f));
        const ZTPoint square[4] = {ZTPoint(400.5f, 200.5f), ZTPoint(500.5f, 200.5f), ZTPoint(500.5f, 300.5f),
                                   ZTPoint(400.5f, 300.5f)};
        ztDrawPoly(square, 4, true);
        ztDrawCircle(ZTPoint(700.5f, 400.5f), 50, 0, 64, false);
        glColor4ub(255, 255, 0, 255);
        ztDrawSolidRect(ZTPoint(800, 500), ZTPoint(900, 600));
        const ZTPoint triangle[3] = {ZTPoint(100, 400), ZTPoint(300, 400), ZTPoint(200, 550)};
        glColor4ub(0, 255, 255, 255);
        ztDrawPoly(triangle, 3, true, true);
        glColor4ub(255, 255, 255, 255);
        afterFrame();
    }

private:
    void afterFrame()
    {
        ++m_frames;
        if (m_frames == 1) {
            std::printf("first-frame\n");
        }
        if (g_readback && m_frames == 10) {
            readBack();
        }
        if (g_measure) {
            measure();
        }
        if (g_slowFrames) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    static void readBack()
    {
        static const int points[][2] = {{50, 50},   {150, 150}, {290, 190}, {500, 50},
                                        {400, 250}, {450, 250}, {650, 400}, {700, 400},
                                        {850, 550}, {200, 450}, {950, 630}, {500, 52}};
        for (const auto& p : points) {
            unsigned char rgba[4] = {};
            glReadPixels(p[0], p[1], 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
            std::printf("pixel %d %d %d %d %d\n", p[0], p[1], rgba[0], rgba[1], rgba[2]);
        }
        std::printf("readback-done\n");
    }

    void measure()
    {
        const double now = wallSeconds();
        if (m_measureStart == 0 && m_frames == 30) {
            m_measureStart = now;
            m_lastFrame = now;
            m_cpuStart = clockSeconds(CLOCK_PROCESS_CPUTIME_ID);
            m_loopCpuStart = clockSeconds(CLOCK_THREAD_CPUTIME_ID);
            m_measureFrames = 0;
            return;
        }
        if (m_measureStart == 0 || m_measureDone) {
            return;
        }
        ++m_measureFrames;
        // Frames that came one refresh after the last: on a busy machine the others are late through no
        // fault of the pacing.
        const double interval = now - m_lastFrame;
        m_onTimeFrames += interval > 0.013 && interval < 0.020;
        m_lastFrame = now;
        if (now - m_measureStart >= 2.0) {
            m_measureDone = true;
            const double seconds = now - m_measureStart;
            std::printf("measure frames %d seconds %.3f cpu %.3f on-time %d loop-cpu %.3f\n", m_measureFrames,
                        seconds, clockSeconds(CLOCK_PROCESS_CPUTIME_ID) - m_cpuStart, m_onTimeFrames,
                        clockSeconds(CLOCK_THREAD_CPUTIME_ID) - m_loopCpuStart);
        }
    }

    int m_frames = 0;
    double m_measureStart = 0;
    double m_cpuStart = 0;
    double m_loopCpuStart = 0;
    int m_measureFrames = 0;
    double m_lastFrame = 0;
    int m_onTimeFrames = 0;
    bool m_measureDone = false;
};

class ProgramApplication : public ZTApplication
{
public:
    bool initInstance() override
    {
        auto* view = new ZTEGLView();
        return view->Create(g_title.c_str(), 960, 640, &m_sink);
    }

    bool applicationDidFinishLaunching() override
    {
        ZTDirector* director = ZTDirector::sharedDirector();
        director->setOpenGLView(ZTEGLView::sharedOpenGLView());
        director->setProjection(kZTDirectorProjection2D);
        director->setAnimationInterval(1.0 / 60);

        ZTScene* scene = ZTScene::node();
        scene->addChild(ZTLayerColor::layerWithColor(ztColor4B{255, 0, 0, 255}), 0);
        ZTLayerColor* blue = ZTLayerColor::layerWithColorWidthHeight(ztColor4B{0, 0, 255, 128}, 200, 100);
        blue->setPosition(ZTPoint(100, 100));
        scene->addChild(blue, 1);
        scene->addChild(TouchReportingLayer::create(), 2);
        scene->addChild(PrimitivesNode::create(), 3);
        director->runWithScene(scene);
        m_textField.attachWithIME();
        if (g_busyLaunch) {
            busyUntilThePointerIsAt(200, 150);
        }
        return true;
    }

    void applicationDidEnterBackground() override { std::printf("background\n"); }
    void applicationWillEnterForeground() override { std::printf("foreground\n"); }

private:
    PrintingSink m_sink;
    PrintingTextField m_textField;
};

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--title") == 0 && i + 1 < argc) {
            g_title = argv[++i];
        } else if (std::strcmp(argv[i], "--readback") == 0) {
            g_readback = true;
        } else if (std::strcmp(argv[i], "--measure") == 0) {
            g_measure = true;
        } else if (std::strcmp(argv[i], "--busy-launch") == 0) {
            g_busyLaunch = true;
        }
    }
    ProgramApplication app;
    const int status = app.run();
    std::printf("exit %d\n", status);
    return status;
}
