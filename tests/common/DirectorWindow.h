#pragma once

#include <GL/gl.h>

#include <array>
#include <stdexcept>

#include "PinGLDriver.h"
#include "ZTDirector.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"

// The scene graph's own window for tests that draw whole frames: an application object, a GL view of the
// given size installed in the director with the 2D projection, and the director's real ending when it
// goes (which frees the scenes, the view and the autorelease pools). Tests that use it show a window:
// the build gives them the visible-window lock.
class DirectorWindow
{
public:
    explicit DirectorWindow(int width = 320, int height = 240, const char* title = "zanth test window")
    {
        auto* view = new zanth2d::ZTEGLView();
        if (!view->Create(title, width, height, nullptr)) {
            delete view;
            throw std::runtime_error("no GL view");
        }
        view->makeContextCurrent();
        m_director = zanth2d::ZTDirector::sharedDirector();
        m_director->setOpenGLView(view);
        m_director->setProjection(zanth2d::kZTDirectorProjection2D);
    }

    ~DirectorWindow()
    {
        m_director->end();
        m_director->mainLoop();
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

    // One pass of the director's loop: tick, draw, swap, empty the autorelease pool.
    void frame()
    {
        m_director->mainLoop();
        pinGLDriver();
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

    Application m_application;
    zanth2d::ZTDirector* m_director = nullptr;
};
