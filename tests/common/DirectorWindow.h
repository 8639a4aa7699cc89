#pragma once

#include <GL/gl.h>
#include <dlfcn.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "PinGLDriver.h"
#include "ZTDirector.h"
#include "platform/ZTTime.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"

// Present only in sanitizer builds.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

// The real director drawing into a visible window, stepped by hand: every frame() moves a fake clock on by
// exactly 1/60 s (kept to the microsecond over any number of frames) and runs one main-loop pass. Pixels
// are read back from the last frame shown. Ending the fixture ends the director and frees its scenes.
class DirectorWindow
{
public:
    explicit DirectorWindow(int width = 480, int height = 320, const char* title = "zanth test")
    {
        keepDriverLoaded();
        if (!zanth2d::ZTApplication::hasSharedApplication()) {
            static Application application;
        }
        zanth2d::ZTTime::setClock(&DirectorWindow::clock);
        m_director = zanth2d::ZTDirector::sharedDirector();
        auto* view = new zanth2d::ZTEGLView();
        m_ready = view->Create(title, width, height, nullptr);
        if (!m_ready) {
            delete view;
            return;
        }
        view->makeContextCurrent();
        checkLeaksBeforeTheDriverGoes();
        m_director->setOpenGLView(view);
        m_director->setProjection(zanth2d::kZTDirectorProjection2D);
    }

    ~DirectorWindow()
    {
        if (m_ready) {
            m_director->end();
            m_director->mainLoop();
        }
        zanth2d::ZTTime::setClock(nullptr);
    }

    DirectorWindow(const DirectorWindow&) = delete;
    DirectorWindow& operator=(const DirectorWindow&) = delete;

    bool ready() const { return m_ready; }
    zanth2d::ZTDirector* director() const { return m_director; }

    // One main-loop pass, 1/60 s after the previous one.
    void frame()
    {
        ++s_frames;
        m_director->mainLoop();
        if (!s_driverPinned) {
            pinGLDriver();
            s_driverPinned = true;
        }
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            frame();
        }
    }

    // RGB of one pixel of the frame last shown, origin at the bottom left. The software driver swaps by
    // copying, so the back buffer still holds that frame.
    static std::array<int, 3> pixel(int x, int y)
    {
        unsigned char rgba[4] = {0, 0, 0, 0};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    // RGB of the whole frame last shown, bottom row first.
    static std::vector<unsigned char> frameRGB(int width, int height)
    {
        std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
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

    // The driver's first draw compiles code whose buffers it keeps for the process; once it is unloaded the
    // leak checker cannot name the library any more and so cannot suppress it.
    static void keepDriverLoaded()
    {
        for (const char* library :
             {"swrast_dri.so", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libGLX_mesa.so.0"}) {
            dlopen(library, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
    }

    static inline int64_t s_frames = 0;
    static inline bool s_driverPinned = false;
    zanth2d::ZTDirector* m_director = nullptr;
    bool m_ready = false;
};
