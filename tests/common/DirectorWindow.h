#pragma once

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "ZTDirector.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "platform/ZTTime.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"

// Present only in sanitizer builds.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

// The scene graph's own window for tests that draw whole frames: an application object, a GL view of the
// given size installed in the director with the 2D projection, and the director's real ending when it
// goes (which frees the scenes, the view and the autorelease pools). Tests that use it show a window:
// the build gives them the visible-window lock.
//
// Time is the director's fixed frame time: every frame() moves a fake clock on by exactly 1/60 s (kept to
// the microsecond over any number of frames) before the pass, so actions advance by frames, not by how
// long drawing takes.
class DirectorWindow
{
public:
    explicit DirectorWindow(int width = 320, int height = 240, const char* title = "zanth test window")
    {
        zanth2d::ZTTime::setClock(&DirectorWindow::clock);
        auto* view = new zanth2d::ZTEGLView();
        if (!view->Create(title, width, height, nullptr)) {
            delete view;
            zanth2d::ZTTime::setClock(nullptr);
            throw std::runtime_error("no GL view");
        }
        view->makeContextCurrent();
        checkLeaksBeforeTheDriverGoes();
        m_director = zanth2d::ZTDirector::sharedDirector();
        m_director->setOpenGLView(view);
        m_director->setProjection(zanth2d::kZTDirectorProjection2D);
    }

    ~DirectorWindow()
    {
        m_director->end();
        m_director->mainLoop();
        zanth2d::ZTTime::setClock(nullptr);
    }

    DirectorWindow(const DirectorWindow&) = delete;
    DirectorWindow& operator=(const DirectorWindow&) = delete;

    zanth2d::ZTDirector* director() const { return m_director; }

    // Runs the scene and draws one frame with it.
    void show(zanth2d::ZTScene* scene)
    {
        m_director->runWithScene(scene);
        frame();
    }

    // One pass of the director's loop, 1/60 s after the previous one: tick, draw, swap, empty the
    // autorelease pool.
    void frame()
    {
        ++s_frames;
        m_director->mainLoop();
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            frame();
        }
    }

    // RGB of a pixel of the last frame, origin at the bottom left. The software driver swaps by copying,
    // so the back buffer still holds the frame.
    static std::array<int, 3> pixel(int x, int y)
    {
        unsigned char rgba[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

private:
    class Application : public zanth2d::ZTApplication
    {
    public:
        bool initInstance() override { return true; }
        bool applicationDidFinishLaunching() override { return true; }
        void applicationDidEnterBackground() override {}
        void applicationWillEnterForeground() override {}
    };

    static void clock(zanth2d::zt_timeval* now)
    {
        const int64_t micros = 1000000000LL + std::llround(s_frames * 1000000.0 / 60.0);
        now->tv_sec = micros / 1000000;
        now->tv_usec = micros % 1000000;
    }

    // Exit handlers run last-registered first: registered after the window's GLFW start, the leak check runs
    // while the GL driver and its threads are still there (the checker can crash on a driver tearing down).
    static void checkLeaksBeforeTheDriverGoes()
    {
        static const bool registered = [] {
            if (__lsan_do_leak_check) {
                std::atexit(__lsan_do_leak_check);
            }
            return true;
        }();
        (void)registered;
    }

    static inline int64_t s_frames = 0;
    Application m_application;
    zanth2d::ZTDirector* m_director = nullptr;
};
