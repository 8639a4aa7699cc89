#pragma once

#include <cstdint>

struct GLFWwindow;

namespace zanth2d {

// The top-level desktop window with its OpenGL context (compatibility profile, double buffer, depth 24,
// stencil 8, swap interval 1). Sizes and positions are screen points; the content area is what the GL
// view draws into. Full screen moves the same window onto the primary monitor and back.
class DesktopWindow
{
public:
    DesktopWindow();
    ~DesktopWindow();
    DesktopWindow(const DesktopWindow&) = delete;
    DesktopWindow& operator=(const DesktopWindow&) = delete;

    // Opens a titled, closable window of the given content size, centred on the primary monitor, and makes
    // its context current. Returns false, after one log line naming the reason, when no display, window or
    // GL context can be had; the object then holds no window. Takes the prepared window when there is one.
    bool initWithFrame(const char* title, int width, int height);

    // Starts making the next window, hidden and untitled, on a thread of its own: the window system and
    // the GL driver take longer to start than anything else, and the program gets the rest of its start
    // ready meanwhile. The next initWithFrame waits for it, then only titles, sizes, places and shows it.
    // Call on the main thread before anything else uses Xlib, and once the program's locale is set (the
    // window system's input method follows it). Nothing when a window was made or prepared before.
    static void prepareWindow(int width, int height);
    // Waits for a prepared window and ends it when no initWithFrame took it.
    static void discardPreparedWindow();

    GLFWwindow* handle() const { return m_pWindow; }

    // True when the calling thread has a current GL context. GL objects are deleted only then: with none
    // current the delete reaches nothing, and the context that made them has ended and taken them along.
    static bool hasCurrentContext();
    // Names the calling thread's current GL context, or 0 when there is none: GL objects made in one
    // context are no use in another, so their owners tell contexts apart by it. A window's context keeps
    // its name while it lasts and no later one gets it again, although GLFW may give a new window the
    // address of one that closed; a context not made here (a test's own GLFW window) is named by its
    // address.
    static std::uintptr_t currentContext();

    void makeContextCurrent();
    void swapBuffers();
    bool shouldClose() const;

    // Content size in screen points; 0 x 0 without a window.
    void getContentSize(int* width, int* height) const;
    // Resizes the content area keeping the window's top-left corner where it is.
    void setContentSize(int width, int height);

    // The window manager lets the user resize and maximise the window only while it is resizable; GLFW
    // has no separate switch for minimising.
    void setResizable(bool resizable);
    bool isResizable() const;

    // Moves the window onto the primary monitor at its video mode, or back to the frame saved when it
    // went full screen. Nothing when already in the asked state.
    void setFullScreen(bool on);
    bool isFullScreen() const { return m_bFullScreen; }

private:
    GLFWwindow* m_pWindow = nullptr;
    bool m_bFullScreen = false;
    int m_savedFrame[4] = {0, 0, 800, 480};
};

} // namespace zanth2d
