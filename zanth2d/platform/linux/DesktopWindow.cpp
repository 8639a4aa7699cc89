#include "platform/linux/DesktopWindow.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// Last: its macros (None, Bool, Status) would clash with names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

// GLFW's native access (glfw3native.h, which would also need the Xrandr headers).
extern "C" {
Display* glfwGetX11Display(void);
Window glfwGetX11Window(GLFWwindow* window);
}

namespace zanth2d {

namespace {

bool s_glfwReady = false;
std::string s_lastError;

// The names of the open windows' contexts: counted up from 1, so that none is given twice and none is
// mistaken for an address.
std::mutex s_namesMutex;
std::map<GLFWwindow*, std::uintptr_t> s_contextNames;
std::uintptr_t s_lastContextName = 0;

void recordError(int code, const char* description)
{
    s_lastError = std::to_string(code) + " " + (description ? description : "");
}

// GLFW stays open until the process exits: closing its display connection lets Xvfb reset, and it then
// refuses the next connection for a moment. Its end is registered when the program is loaded, before any
// function-local static (the director among them) exists, so it runs after their destructors: the GL
// objects they still hold are deleted while their context is there.
const int s_glfwEndsAtExit = std::atexit(glfwTerminate);

bool initGlfw()
{
    if (s_glfwReady) {
        return true;
    }
    glfwSetErrorCallback(recordError);
    if (glfwInit() != GLFW_TRUE) {
        return false;
    }
    s_glfwReady = true;
    return true;
}

void setWindowHints()
{
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
    glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
}

// The window made ahead by prepareWindow, and the thread making it. GLFW asks for its calls on the main
// thread for the platforms that need it; on X11 a window and its context may be made on another one, as
// long as no two threads call GLFW at once: every use of GLFW here waits for the thread first.
struct Preparation
{
    std::thread maker;
    GLFWwindow* window = nullptr;
    bool started = false;

    // At exit, before GLFW ends.
    ~Preparation() { finish(); }

    void finish()
    {
        if (maker.joinable()) {
            maker.join();
        }
    }
};

Preparation& preparation()
{
    static Preparation s_preparation;
    return s_preparation;
}

// GLFW is free for this thread once a window being prepared is made.
void waitForPreparedWindow()
{
    preparation().finish();
}

// GLFW classes a window (WM_CLASS, by which task bars group and name it) after the title it is made with;
// a prepared window was made untitled. Set before the window is shown, as window managers read it then.
void classAfterTitle(GLFWwindow* window, const char* title)
{
    if (!title || !*title) {
        return;
    }
    const char* resourceName = std::getenv("RESOURCE_NAME");
    XClassHint hint;
    hint.res_name = const_cast<char*>(resourceName && *resourceName ? resourceName : title);
    hint.res_class = const_cast<char*>(title);
    XSetClassHint(glfwGetX11Display(), glfwGetX11Window(window), &hint);
}

} // namespace

void DesktopWindow::prepareWindow(int width, int height)
{
    Preparation& prepared = preparation();
    if (prepared.started || s_glfwReady) {
        return;
    }
    prepared.started = true;
    // Xlib must know of threads before any of them uses it: GLFW and Qt each open a connection of their
    // own, on two threads now.
    XInitThreads();
    prepared.maker = std::thread([&prepared, width, height] {
        if (!initGlfw()) {
            return;
        }
        setWindowHints();
        prepared.window = glfwCreateWindow(width, height, "", nullptr, nullptr);
    });
}

void DesktopWindow::discardPreparedWindow()
{
    waitForPreparedWindow();
    if (GLFWwindow* window = preparation().window) {
        preparation().window = nullptr;
        glfwDestroyWindow(window);
    }
}

DesktopWindow::DesktopWindow() = default;

bool DesktopWindow::hasCurrentContext()
{
    waitForPreparedWindow();
    return glfwGetCurrentContext() != nullptr;
}

std::uintptr_t DesktopWindow::currentContext()
{
    waitForPreparedWindow();
    GLFWwindow* current = glfwGetCurrentContext();
    if (!current) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(s_namesMutex);
    const auto found = s_contextNames.find(current);
    return found != s_contextNames.end() ? found->second : reinterpret_cast<std::uintptr_t>(current);
}

DesktopWindow::~DesktopWindow()
{
    if (!m_pWindow) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(s_namesMutex);
        s_contextNames.erase(m_pWindow);
    }
    glfwDestroyWindow(m_pWindow);
    m_pWindow = nullptr;
}

bool DesktopWindow::initWithFrame(const char* title, int width, int height)
{
    if (m_pWindow) {
        return true;
    }
    waitForPreparedWindow();
    if (GLFWwindow* prepared = preparation().window) {
        preparation().window = nullptr;
        m_pWindow = prepared;
        glfwSetWindowTitle(m_pWindow, title ? title : "");
        classAfterTitle(m_pWindow, title);
        int preparedWidth = 0;
        int preparedHeight = 0;
        glfwGetWindowSize(m_pWindow, &preparedWidth, &preparedHeight);
        if (preparedWidth != width || preparedHeight != height) {
            glfwSetWindowSize(m_pWindow, width, height);
        }
    } else {
        // Also when the preparation failed: this attempt says why.
        s_lastError.clear();
        if (!initGlfw()) {
            std::fprintf(stderr, "No OpenGL pixel format: no display (%s)\n", s_lastError.c_str());
            return false;
        }
        setWindowHints();
        m_pWindow = glfwCreateWindow(width, height, title ? title : "", nullptr, nullptr);
        if (!m_pWindow) {
            std::fprintf(stderr, "No OpenGL pixel format: %s\n", s_lastError.c_str());
            return false;
        }
    }
    {
        std::lock_guard<std::mutex> lock(s_namesMutex);
        s_contextNames[m_pWindow] = ++s_lastContextName;
    }
    if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) {
        if (const GLFWvidmode* mode = glfwGetVideoMode(monitor)) {
            glfwSetWindowPos(m_pWindow, (mode->width - width) / 2, (mode->height - height) / 2);
        }
    }
    glfwMakeContextCurrent(m_pWindow);
    glfwSwapInterval(1);
    glfwShowWindow(m_pWindow);
    glfwFocusWindow(m_pWindow);
    return true;
}

void DesktopWindow::makeContextCurrent()
{
    // Every frame asks for it: GLX would check for a fork again even when nothing changes.
    if (m_pWindow && glfwGetCurrentContext() != m_pWindow) {
        glfwMakeContextCurrent(m_pWindow);
    }
}

void DesktopWindow::swapBuffers()
{
    if (m_pWindow) {
        glfwSwapBuffers(m_pWindow);
    }
}

bool DesktopWindow::shouldClose() const
{
    return !m_pWindow || glfwWindowShouldClose(m_pWindow);
}

void DesktopWindow::getContentSize(int* width, int* height) const
{
    int w = 0;
    int h = 0;
    if (m_pWindow) {
        glfwGetWindowSize(m_pWindow, &w, &h);
    }
    if (width) {
        *width = w;
    }
    if (height) {
        *height = h;
    }
}

void DesktopWindow::setContentSize(int width, int height)
{
    if (!m_pWindow) {
        return;
    }
    // X11 window managers keep the top-left corner on resize; setting the position again pins it down
    // where a manager would move the window.
    int x = 0;
    int y = 0;
    glfwGetWindowPos(m_pWindow, &x, &y);
    glfwSetWindowSize(m_pWindow, width, height);
    glfwSetWindowPos(m_pWindow, x, y);
}

void DesktopWindow::setResizable(bool resizable)
{
    if (m_pWindow) {
        glfwSetWindowAttrib(m_pWindow, GLFW_RESIZABLE, resizable ? GLFW_TRUE : GLFW_FALSE);
    }
}

bool DesktopWindow::isResizable() const
{
    return m_pWindow && glfwGetWindowAttrib(m_pWindow, GLFW_RESIZABLE) == GLFW_TRUE;
}

void DesktopWindow::setFullScreen(bool on)
{
    if (!m_pWindow || on == m_bFullScreen) {
        return;
    }
    if (on) {
        GLFWmonitor* monitor = glfwGetPrimaryMonitor();
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (!mode) {
            return;
        }
        glfwGetWindowPos(m_pWindow, &m_savedFrame[0], &m_savedFrame[1]);
        glfwGetWindowSize(m_pWindow, &m_savedFrame[2], &m_savedFrame[3]);
        glfwSetWindowMonitor(m_pWindow, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
    } else {
        glfwSetWindowMonitor(m_pWindow, nullptr, m_savedFrame[0], m_savedFrame[1], m_savedFrame[2],
                             m_savedFrame[3], GLFW_DONT_CARE);
    }
    m_bFullScreen = on;
    glfwFocusWindow(m_pWindow);
}

} // namespace zanth2d
