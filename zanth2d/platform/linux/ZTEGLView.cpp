#include "platform/linux/ZTEGLView.h"

#include <GL/gl.h>

#include "platform/ZTCommon.h"

#include "ZTMacros.h"
#include "platform/linux/DesktopGLView.h"
#include "platform/linux/DesktopWindow.h"
#include "platform/linux/EGLTouchDelegate.h"
#include "platform/linux/ZTDirectorCaller.h"

namespace zanth2d {

namespace {

ZTEGLView* s_pMainWindow = nullptr;
DesktopWindow* m_windowGLView = nullptr;
DesktopGLView* m_glView = nullptr;

void closeWindow()
{
    delete m_glView;
    m_glView = nullptr;
    delete m_windowGLView;
    m_windowGLView = nullptr;
}

} // namespace

ZTEGLView::ZTEGLView()
{
    s_pMainWindow = this;
}

ZTEGLView::~ZTEGLView()
{
    if (s_pMainWindow == this) {
        closeWindow();
        s_pMainWindow = nullptr;
    }
}

bool ZTEGLView::Create(const char* title, int width, int height, ZTGLViewEventSink* sink)
{
    closeWindow();
    auto* window = new DesktopWindow();
    if (!window->initWithFrame(title, width, height)) {
        delete window;
        return false;
    }
    m_windowGLView = window;
    m_glView = new DesktopGLView(window);
    m_glView->setSceneGraphWrapper(sink);
    return true;
}

ZTSize ZTEGLView::getSize() const
{
    float width = 0;
    float height = 0;
    if (m_glView) {
        m_glView->getBoundsSize(&width, &height);
    }
    return ZTSize(width, height);
}

void ZTEGLView::resize(int width, int height)
{
    if (m_windowGLView) {
        m_windowGLView->setContentSize(width, height);
    }
}

void ZTEGLView::setFullScreen(bool on)
{
    if (on == m_bIsFullScreen) {
        return;
    }
    m_bIsFullScreen = on;
    if (m_windowGLView) {
        m_windowGLView->setFullScreen(on);
    }
}

void ZTEGLView::setWindowFlags(bool minimizeable, bool maximizeable, bool resizeable)
{
    if (m_bIsFullScreen) {
        return;
    }
    if (minimizeable == m_bMinimizeable && maximizeable == m_bMaximizeable && resizeable == m_bResizeable) {
        return;
    }
    m_bMinimizeable = minimizeable;
    m_bMaximizeable = maximizeable;
    m_bResizeable = resizeable;
    if (m_windowGLView) {
        m_windowGLView->setResizable(maximizeable || resizeable);
    }
}

bool ZTEGLView::isOpenGLReady() const
{
    return m_glView != nullptr;
}

void ZTEGLView::setContentScaleFactor(float)
{
    ZTLog("could not set contentScaleFactor after initialized");
}

void ZTEGLView::release()
{
    ZTDirectorCaller::destroy();
    delete this;
}

void ZTEGLView::touchesBegan(ZTSet* touches)
{
    if (m_pDelegate) {
        m_pDelegate->touchesBegan(touches, nullptr);
    }
}

void ZTEGLView::touchesMoved(ZTSet* touches)
{
    if (m_pDelegate) {
        m_pDelegate->touchesMoved(touches, nullptr);
    }
}

void ZTEGLView::touchesEnded(ZTSet* touches)
{
    if (m_pDelegate) {
        m_pDelegate->touchesEnded(touches, nullptr);
    }
}

void ZTEGLView::touchesCancelled(ZTSet* touches)
{
    if (m_pDelegate) {
        m_pDelegate->touchesCancelled(touches, nullptr);
    }
}

void ZTEGLView::swapBuffers()
{
    if (m_windowGLView) {
        m_windowGLView->swapBuffers();
    }
}

void ZTEGLView::makeContextCurrent()
{
    if (m_windowGLView) {
        m_windowGLView->makeContextCurrent();
    }
}

void ZTEGLView::setViewPortInPoints(float x, float y, float w, float h)
{
    if (!m_glView) {
        glViewport(0, 0, 0, 0);
        return;
    }
    float pointsWide = 0;
    float pointsHigh = 0;
    int pixelsWide = 0;
    int pixelsHigh = 0;
    m_glView->getBoundsSize(&pointsWide, &pointsHigh);
    m_glView->getBackingSize(&pixelsWide, &pixelsHigh);
    const float sx = pointsWide > 0 ? pixelsWide / pointsWide : 1.0f;
    const float sy = pointsHigh > 0 ? pixelsHigh / pointsHigh : 1.0f;
    glViewport(static_cast<GLint>(x * sx), static_cast<GLint>(y * sy), static_cast<GLsizei>(w * sx),
               static_cast<GLsizei>(h * sy));
}

void ZTEGLView::setScissorInPoints(float x, float y, float w, float h)
{
    glScissor(static_cast<GLint>(x), static_cast<GLint>(y), static_cast<GLsizei>(w), static_cast<GLsizei>(h));
}

int ZTEGLView::setDeviceOrientation(int orientation)
{
    const bool vertical = orientation < 2;
    if ((m_bOrientationReverted && vertical == m_bOrientationInitVertical) ||
        (!m_bOrientationReverted && vertical != m_bOrientationInitVertical)) {
        m_bOrientationReverted = vertical != m_bOrientationInitVertical;
        if (m_glView) {
            m_glView->changeDeviceOrientation();
        }
    }
    return m_nInitOrientation;
}

void ZTEGLView::setIMEKeyboardState(bool open)
{
    // Giving up the keyboard needs nothing from the window; taking it focuses the window.
    if (open && m_glView) {
        m_glView->becomeFirstResponder();
    }
}

bool ZTEGLView::windowShouldClose() const
{
    return !m_windowGLView || m_windowGLView->shouldClose();
}

ZTEGLView* ZTEGLView::sharedOpenGLView()
{
    ZTAssert(s_pMainWindow, "s_pMainWindow");
    return s_pMainWindow;
}

bool ZTEGLView::hasSharedOpenGLView()
{
    return s_pMainWindow != nullptr;
}

} // namespace zanth2d
