#include "platform/linux/DesktopGLView.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "cocoa/ZTSet.h"
#include "platform/linux/DesktopKeys.h"
#include "platform/linux/DesktopWindow.h"
#include "platform/linux/KeyPair.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"
#include "platform/linux/ZTGLViewEventSink.h"
#include "text_input_node/ZTIMEDispatcher.h"
#include "touch_dispatcher/ZTTouch.h"

namespace zanth2d {

namespace {

DesktopGLView* view = nullptr;

DesktopGLView* viewOf(GLFWwindow* window)
{
    return static_cast<DesktopGLView*>(glfwGetWindowUserPointer(window));
}

// The first character of the text (a surrogate pair counts as one) in UTF-8; empty for a lone surrogate.
std::string utf8Of(const std::u16string& characters)
{
    char32_t code = characters[0];
    if (code >= 0xD800 && code <= 0xDBFF) {
        if (characters.size() < 2 || characters[1] < 0xDC00 || characters[1] > 0xDFFF) {
            return std::string();
        }
        code = 0x10000 + ((code - 0xD800) << 10) + (characters[1] - 0xDC00);
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
        return std::string();
    }
    std::string text;
    if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    text += static_cast<char>(0x80 | (code & 0x3F));
    return text;
}

} // namespace

DesktopGLView::DesktopGLView(DesktopWindow* window)
    : m_pWindow(window), m_pTouch(new ZTTouch()), m_pSet(new ZTSet())
{
    GLFWwindow* handle = window->handle();
    glfwSetWindowUserPointer(handle, this);
    glfwSetMouseButtonCallback(handle, onMouseButton);
    glfwSetCursorPosCallback(handle, onCursorPos);
    glfwSetScrollCallback(handle, onScroll);
    glfwSetKeyCallback(handle, onKey);
    glfwSetCharCallback(handle, onChar);
    glfwSetWindowSizeCallback(handle, onWindowSize);
    glfwSetWindowIconifyCallback(handle, onIconify);
    glfwGetCursorPos(handle, &m_cursorX, &m_cursorY);
    view = this;
}

DesktopGLView::~DesktopGLView()
{
    if (GLFWwindow* handle = m_pWindow->handle()) {
        glfwSetWindowUserPointer(handle, nullptr);
    }
    m_pSet->release();
    m_pTouch->release();
    if (view == this) {
        view = nullptr;
    }
}

DesktopGLView* DesktopGLView::sharedDesktopGLView()
{
    ZTAssert(view, "view");
    return view;
}

bool DesktopGLView::exists()
{
    return view != nullptr;
}

void DesktopGLView::getBoundsSize(float* width, float* height) const
{
    int w = 0;
    int h = 0;
    m_pWindow->getContentSize(&w, &h);
    *width = static_cast<float>(w);
    *height = static_cast<float>(h);
}

void DesktopGLView::getBackingSize(int* width, int* height) const
{
    *width = 0;
    *height = 0;
    if (GLFWwindow* handle = m_pWindow->handle()) {
        glfwGetFramebufferSize(handle, width, height);
    }
}

void DesktopGLView::becomeFirstResponder()
{
    if (GLFWwindow* handle = m_pWindow->handle()) {
        glfwFocusWindow(handle);
    }
}

void DesktopGLView::changeDeviceOrientation()
{
    int w = 0;
    int h = 0;
    m_pWindow->getContentSize(&w, &h);
    m_pWindow->setContentSize(h, w);
}

void DesktopGLView::setTouchLocation(double x, double y)
{
    // GLFW measures the cursor from the top-left corner of the content area already.
    m_pTouch->setTouchInfo(static_cast<float>(x), static_cast<float>(y));
}

void DesktopGLView::mouseDown(double x, double y)
{
    setTouchLocation(x, y);
    m_pSet->addObject(m_pTouch);
    ZTEGLView::sharedOpenGLView()->touchesBegan(m_pSet);
}

void DesktopGLView::mouseDragged(double x, double y)
{
    setTouchLocation(x, y);
    m_pSet->addObject(m_pTouch);
    ZTEGLView::sharedOpenGLView()->touchesMoved(m_pSet);
}

void DesktopGLView::mouseUp(double x, double y)
{
    setTouchLocation(x, y);
    m_pSet->addObject(m_pTouch);
    ZTEGLView::sharedOpenGLView()->touchesEnded(m_pSet);
    m_pSet->removeObject(m_pTouch);
}

void DesktopGLView::scrollWheel(double x, double y, double deltaX, double deltaY)
{
    if (!m_sceneGraphWrapper) {
        return;
    }
    const int delta = static_cast<int>(deltaY);
    const bool horizontal = std::abs(delta) < std::abs(static_cast<int>(deltaX));
    m_sceneGraphWrapper->scrollWheel(static_cast<int>(x), static_cast<int>(y), delta, horizontal);
}

void DesktopGLView::keyDown(const std::u16string& characters, const std::u16string& ignoringModifiers,
                            int modifiers)
{
    if (!characters.empty()) {
        const char16_t c = characters[0];
        ZTIMEDispatcher* ime = ZTIMEDispatcher::sharedDispatcher();
        if (c == 3 || c == 10 || c == 13) {
            ime->dispatchInsertText("\n", 1);
        } else if (c == 8 || c == 127 || c == 0xF728) {
            ime->dispatchDeleteBackward();
        } else if (c == 27) {
            ZTDirector::sharedDirector()->end();
        } else if (c <= 0x7F) {
            const char text = static_cast<char>(c);
            ime->dispatchInsertText(&text, 1);
        } else if (c < 0xF700 || c > 0xF8FF) {
            // Typed text beyond ASCII reaches text fields as UTF-8; the desktop codes of the function keys
            // (0xF700..0xF8FF) type nothing.
            const std::string text = utf8Of(characters);
            if (!text.empty()) {
                ime->dispatchInsertText(text.data(), static_cast<int>(text.size()));
            }
        }
    }
    handleKeyEvent(ignoringModifiers, false, modifiers);
}

void DesktopGLView::keyUp(const std::u16string& ignoringModifiers, int modifiers)
{
    handleKeyEvent(ignoringModifiers, true, modifiers);
}

void DesktopGLView::handleKeyEvent(const std::u16string& ignoringModifiers, bool up, int modifiers)
{
    if (ignoringModifiers.empty() || !m_sceneGraphWrapper) {
        return;
    }
    const int key = qtKeyForCharacters(ignoringModifiers);
    if (up) {
        m_sceneGraphWrapper->keyReleased(key, modifiers);
    } else {
        m_sceneGraphWrapper->keyPressed(key, modifiers);
    }
}

void DesktopGLView::reshape()
{
    ZTDirector* director = ZTDirector::sharedDirector();
    if (!director->getOpenGLView() || !m_sceneGraphWrapper || !m_sceneGraphWrapper->getAppStarted()) {
        return;
    }
    // Resizes arrive between frames, where Qt may have left another context current.
    m_pWindow->makeContextCurrent();
    float width = 0;
    float height = 0;
    getBoundsSize(&width, &height);
    director->reshapeProjection(ZTSize(width, height));
    // The layout follows the new size before the frame is drawn, so that no frame shows the old layout
    // in the new window; a resize is no game time.
    m_sceneGraphWrapper->reshape(width, height);
    m_sceneGraphWrapper->applyItemChanges();
    director->reshape();
}

void DesktopGLView::iconifyChanged(bool iconified)
{
    // Keyboard focus is not the background on a desktop: a window behind another one keeps running.
    if (iconified == m_bIconified || !ZTApplication::hasSharedApplication()) {
        return;
    }
    m_bIconified = iconified;
    if (iconified) {
        ZTApplication::sharedApplication().applicationDidEnterBackground();
    } else {
        ZTApplication::sharedApplication().applicationWillEnterForeground();
    }
}

void DesktopGLView::onMouseButton(GLFWwindow* window, int button, int action, int)
{
    DesktopGLView* self = viewOf(window);
    if (!self || button != GLFW_MOUSE_BUTTON_LEFT) {
        return;
    }
    const double x = self->m_cursorX;
    const double y = self->m_cursorY;
    if (action == GLFW_PRESS) {
        self->m_bLeftButtonDown = true;
        self->mouseDown(x, y);
    } else if (action == GLFW_RELEASE && self->m_bLeftButtonDown) {
        self->m_bLeftButtonDown = false;
        self->mouseUp(x, y);
    }
}

void DesktopGLView::onCursorPos(GLFWwindow* window, double x, double y)
{
    DesktopGLView* self = viewOf(window);
    if (!self) {
        return;
    }
    self->m_cursorX = x;
    self->m_cursorY = y;
    if (self->m_bLeftButtonDown) {
        self->mouseDragged(x, y);
    }
}

void DesktopGLView::onScroll(GLFWwindow* window, double dx, double dy)
{
    DesktopGLView* self = viewOf(window);
    if (!self) {
        return;
    }
    self->scrollWheel(self->m_cursorX, self->m_cursorY, dx, dy);
}

void DesktopGLView::onKey(GLFWwindow* window, int key, int, int action, int mods)
{
    DesktopGLView* self = viewOf(window);
    if (!self) {
        return;
    }
    const bool keypad = DesktopKeys::isKeypadKey(key);
    const int modifiers = DesktopKeys::qtModifiers(mods, keypad);
    if (action == GLFW_RELEASE) {
        auto held = self->m_heldKeys.find(key);
        if (held != self->m_heldKeys.end()) {
            const std::u16string characters = held->second;
            self->m_heldKeys.erase(held);
            self->keyUp(characters, modifiers);
        }
        return;
    }
    self->m_lastKey = key;
    self->m_lastMods = mods;
    char16_t c = DesktopKeys::characterForNonTextKey(key, mods);
    if (c == 0 && DesktopKeys::suppressesCharacter(mods)) {
        c = DesktopKeys::characterForTextKey(key, mods);
    }
    if (c == 0) {
        // A text key: its character arrives through the character callback.
        return;
    }
    const std::u16string characters(1, c);
    self->m_heldKeys[key] = characters;
    self->keyDown(characters, characters, modifiers);
}

void DesktopGLView::onChar(GLFWwindow* window, unsigned int codepoint)
{
    DesktopGLView* self = viewOf(window);
    if (!self) {
        return;
    }
    std::u16string characters;
    if (codepoint > 0xFFFF) {
        codepoint -= 0x10000;
        characters.push_back(static_cast<char16_t>(0xD800 + (codepoint >> 10)));
        characters.push_back(static_cast<char16_t>(0xDC00 + (codepoint & 0x3FF)));
    } else {
        characters.push_back(static_cast<char16_t>(codepoint));
    }
    const int modifiers = DesktopKeys::qtModifiers(self->m_lastMods, DesktopKeys::isKeypadKey(self->m_lastKey));
    self->m_heldKeys[self->m_lastKey] = characters;
    self->keyDown(characters, characters, modifiers);
}

void DesktopGLView::onWindowSize(GLFWwindow* window, int, int)
{
    if (DesktopGLView* self = viewOf(window)) {
        self->reshape();
    }
}

void DesktopGLView::onIconify(GLFWwindow* window, int iconified)
{
    if (DesktopGLView* self = viewOf(window)) {
        self->iconifyChanged(iconified == GLFW_TRUE);
    }
}

} // namespace zanth2d
