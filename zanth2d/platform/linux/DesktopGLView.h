#pragma once

#include <cstdint>
#include <map>
#include <string>

struct GLFWwindow;

namespace zanth2d {

class DesktopWindow;
class ZTGLViewEventSink;
class ZTSet;
class ZTTouch;

// The OpenGL view inside the desktop window: turns the window's mouse, wheel, key and resize events
// into the one mouse touch, text input, director calls and the sink's key and wheel calls.
// Mouse positions are view points with the origin at the top-left corner.
class DesktopGLView
{
public:
    // Attaches to the window's input callbacks and becomes the shared view; the window must outlive it.
    explicit DesktopGLView(DesktopWindow* window);
    ~DesktopGLView();
    DesktopGLView(const DesktopGLView&) = delete;
    DesktopGLView& operator=(const DesktopGLView&) = delete;

    // Asserts that a view exists.
    static DesktopGLView* sharedDesktopGLView();
    static bool exists();

    // The sink is not owned; null drops keys and wheel input.
    void setSceneGraphWrapper(ZTGLViewEventSink* sink) { m_sceneGraphWrapper = sink; }
    DesktopWindow* window() const { return m_pWindow; }

    // Content size in points and in framebuffer pixels.
    void getBoundsSize(float* width, float* height) const;
    void getBackingSize(int* width, int* height) const;

    void becomeFirstResponder();
    // Swaps the width and height of the view.
    void changeDeviceOrientation();

    // Event entry points, reached from the GLFW callbacks.
    void mouseDown(double x, double y);
    void mouseDragged(double x, double y);
    void mouseUp(double x, double y);
    void scrollWheel(double x, double y, double deltaX, double deltaY);
    // characters: the typed text of the key; ignoringModifiers: the key's own character(s).
    void keyDown(const std::u16string& characters, const std::u16string& ignoringModifiers, int modifiers);
    void keyUp(const std::u16string& ignoringModifiers, int modifiers);
    // The window has a new size: projection, layout and one frame; the game clock does not move.
    void reshape();
    // Iconifying sends the application to the background and restoring brings it back; a restore without
    // an iconify before it (the first show) is no foreground event.
    void iconifyChanged(bool iconified);

private:
    static void onMouseButton(GLFWwindow* window, int button, int action, int mods);
    static void onCursorPos(GLFWwindow* window, double x, double y);
    static void onScroll(GLFWwindow* window, double dx, double dy);
    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onChar(GLFWwindow* window, unsigned int codepoint);
    static void onWindowSize(GLFWwindow* window, int width, int height);
    static void onIconify(GLFWwindow* window, int iconified);

    void handleKeyEvent(const std::u16string& ignoringModifiers, bool up, int modifiers);
    void setTouchLocation(double x, double y);

    DesktopWindow* m_pWindow;
    ZTTouch* m_pTouch;
    ZTSet* m_pSet;
    ZTGLViewEventSink* m_sceneGraphWrapper = nullptr;
    bool m_bLeftButtonDown = false;
    // Where the pointer was as of the last event read: a button or wheel event is at that point. The
    // server's pointer may have moved on since when the program reads its events late.
    double m_cursorX = 0;
    double m_cursorY = 0;
    bool m_bIconified = false;
    // The key of the last press and its modifiers: the character callback that follows belongs to it.
    int m_lastKey = 0;
    int m_lastMods = 0;
    // The character each held key typed, so that its release reports the same character.
    std::map<int, std::u16string> m_heldKeys;
};

} // namespace zanth2d
