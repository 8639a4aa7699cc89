#pragma once

#include "cocoa/ZTGeometry.h"

namespace zanth2d {

class EGLTouchDelegate;
class ZTGLViewEventSink;
class ZTSet;

// The director's view of the platform: owns the desktop window and its GL view, forwards the mouse
// touch to the touch delegate and carries the window operations the bridge asks for.
// Constructing one makes it the shared view; the director owns it and ends it with release().
class ZTEGLView
{
public:
    ZTEGLView();
    virtual ~ZTEGLView();
    ZTEGLView(const ZTEGLView&) = delete;
    ZTEGLView& operator=(const ZTEGLView&) = delete;

    // Opens the window with its GL context and view; the sink (not owned, may be null) receives keys,
    // wheel and resizes. False, with a log line, when no window or GL context can be made.
    virtual bool Create(const char* title, int width, int height, ZTGLViewEventSink* sink);

    // Size of the view in points; zero without a window.
    ZTSize getSize() const;
    // Resizes the view to whole points, keeping the window's top-left corner in place.
    void resize(int width, int height);
    void setFullScreen(bool on);
    // Ignored in full screen; the window manager only offers resizing and maximising together.
    void setWindowFlags(bool minimizeable, bool maximizeable, bool resizeable);
    bool isOpenGLReady() const;
    bool canSetContentScaleFactor() const { return false; }
    void setContentScaleFactor(float factor);
    // Stops the run loop, closes the window and deletes this view; the caller forgets its pointer.
    void release();

    // The delegate is not owned.
    void setTouchDelegate(EGLTouchDelegate* delegate) { m_pDelegate = delegate; }
    void touchesBegan(ZTSet* touches);
    void touchesMoved(ZTSet* touches);
    void touchesEnded(ZTSet* touches);
    void touchesCancelled(ZTSet* touches);

    void swapBuffers();
    // Called before every frame: Qt may have cleared the current context since the last one.
    void makeContextCurrent();
    // Points are converted to framebuffer pixels for the viewport; the scissor takes them as given.
    void setViewPortInPoints(float x, float y, float w, float h);
    void setScissorInPoints(float x, float y, float w, float h);
    // Returns the initial orientation (0).
    int setDeviceOrientation(int orientation);
    void setIMEKeyboardState(bool open);

    bool windowShouldClose() const;
    bool isFullScreen() const { return m_bIsFullScreen; }

    // Asserts that a view exists.
    static ZTEGLView* sharedOpenGLView();
    static bool hasSharedOpenGLView();

private:
    EGLTouchDelegate* m_pDelegate = nullptr;
    bool m_bOrientationReverted = false;
    bool m_bOrientationInitVertical = false;
    int m_nInitOrientation = 0;
    bool m_bIsFullScreen = false;
    bool m_bResizeable = false;
    bool m_bMinimizeable = false;
    bool m_bMaximizeable = false;
};

} // namespace zanth2d
