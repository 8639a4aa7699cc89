#include "platform/linux/ZTDirectorCaller.h"

#include <GLFW/glfw3.h>

#include "ZTDirector.h"
#include "platform/linux/ZTEGLView.h"

namespace zanth2d {

namespace {

ZTDirectorCaller* s_sharedDirectorCaller = nullptr;

} // namespace

ZTDirectorCaller* ZTDirectorCaller::sharedDirectorCaller()
{
    if (!s_sharedDirectorCaller) {
        s_sharedDirectorCaller = new ZTDirectorCaller();
    }
    return s_sharedDirectorCaller;
}

void ZTDirectorCaller::destroy()
{
    if (!s_sharedDirectorCaller) {
        return;
    }
    if (s_sharedDirectorCaller->m_bRunning) {
        s_sharedDirectorCaller->m_bDestroyRequested = true;
        return;
    }
    delete s_sharedDirectorCaller;
    s_sharedDirectorCaller = nullptr;
}

void ZTDirectorCaller::setAnimationInterval(double seconds)
{
    m_interval = static_cast<int>(seconds);
}

double ZTDirectorCaller::refreshPeriodFor(int refreshRate)
{
    return refreshRate > 0 ? 1.0 / refreshRate : kRefreshPeriod;
}

double ZTDirectorCaller::displayRefreshPeriod()
{
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    return refreshPeriodFor(mode ? mode->refreshRate : 0);
}

void ZTDirectorCaller::doCaller()
{
    ZTDirector::sharedDirector()->mainLoop();
}

bool ZTDirectorCaller::waitForNextFrame()
{
    const double now = glfwGetTime();
    const double period = m_interval > 0 ? m_interval : m_refreshPeriod;
    m_nextFrameTime += period;
    if (m_nextFrameTime < now - period) {
        // Far behind (a slow frame or a stall): start counting again from now rather than racing.
        m_nextFrameTime = now;
    }
    // Input keeps flowing while we wait; a swap that waited for the display leaves nothing to wait for.
    bool eventsRead = false;
    while (!m_bDestroyRequested && ZTEGLView::hasSharedOpenGLView()) {
        const double remaining = m_nextFrameTime - glfwGetTime();
        if (remaining <= 0) {
            break;
        }
        // Reads what came, after the wait as well.
        glfwWaitEventsTimeout(remaining);
        eventsRead = true;
    }
    return eventsRead;
}

void ZTDirectorCaller::startMainLoop()
{
    m_bRunning = true;
    m_bDestroyRequested = false;
    m_refreshPeriod = displayRefreshPeriod();
    m_nextFrameTime = glfwGetTime();
    // The scene starts to take touches in the first frame, when it enters: input that came while the
    // shown window waited for it is read after that frame. A pause for the next frame reads the events
    // of its end; only a frame that left no time to pause reads them here.
    bool eventsRead = true;
    while (!m_bDestroyRequested && ZTEGLView::hasSharedOpenGLView()) {
        if (!eventsRead) {
            glfwPollEvents();
        }
        ZTEGLView* view = ZTEGLView::sharedOpenGLView();
        if (view->windowShouldClose()) {
            break;
        }
        view->makeContextCurrent();
        doCaller();
        eventsRead = waitForNextFrame();
    }
    if (!m_bDestroyRequested && ZTEGLView::hasSharedOpenGLView()) {
        // The window was closed: end the director as Escape would, so the scene graph is torn down.
        ZTDirector::sharedDirector()->end();
        doCaller();
    }
    m_bRunning = false;
    if (m_bDestroyRequested) {
        delete this;
        s_sharedDirectorCaller = nullptr;
    }
}

} // namespace zanth2d
