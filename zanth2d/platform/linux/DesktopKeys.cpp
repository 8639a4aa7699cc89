#include "platform/linux/DesktopKeys.h"

#include <GLFW/glfw3.h>

namespace zanth2d {
namespace DesktopKeys {

std::uint16_t characterForNonTextKey(int glfwKey, int glfwMods)
{
    if (glfwKey >= GLFW_KEY_F1 && glfwKey <= GLFW_KEY_F25) {
        return static_cast<std::uint16_t>(0xF704 + (glfwKey - GLFW_KEY_F1));
    }
    switch (glfwKey) {
    case GLFW_KEY_ENTER: return 13;
    case GLFW_KEY_KP_ENTER: return 3;
    case GLFW_KEY_BACKSPACE: return 127;
    case GLFW_KEY_ESCAPE: return 27;
    case GLFW_KEY_TAB: return (glfwMods & GLFW_MOD_SHIFT) ? 25 : 9;
    case GLFW_KEY_UP: return 0xF700;
    case GLFW_KEY_DOWN: return 0xF701;
    case GLFW_KEY_LEFT: return 0xF702;
    case GLFW_KEY_RIGHT: return 0xF703;
    case GLFW_KEY_INSERT: return 0xF727;
    case GLFW_KEY_DELETE: return 0xF728;
    case GLFW_KEY_HOME: return 0xF729;
    case GLFW_KEY_END: return 0xF72B;
    case GLFW_KEY_PAGE_UP: return 0xF72C;
    case GLFW_KEY_PAGE_DOWN: return 0xF72D;
    case GLFW_KEY_PRINT_SCREEN: return 0xF72E;
    case GLFW_KEY_SCROLL_LOCK: return 0xF72F;
    case GLFW_KEY_PAUSE: return 0xF730;
    case GLFW_KEY_MENU: return 0xF735;
    default: return 0;
    }
}

std::uint16_t characterForTextKey(int glfwKey, int glfwMods)
{
    const bool shift = (glfwMods & GLFW_MOD_SHIFT) != 0;
    if (glfwKey >= GLFW_KEY_A && glfwKey <= GLFW_KEY_Z) {
        return static_cast<std::uint16_t>(shift ? glfwKey : glfwKey - GLFW_KEY_A + 'a');
    }
    if (glfwKey >= GLFW_KEY_KP_0 && glfwKey <= GLFW_KEY_KP_9) {
        return static_cast<std::uint16_t>('0' + glfwKey - GLFW_KEY_KP_0);
    }
    switch (glfwKey) {
    case GLFW_KEY_KP_DECIMAL: return '.';
    case GLFW_KEY_KP_DIVIDE: return '/';
    case GLFW_KEY_KP_MULTIPLY: return '*';
    case GLFW_KEY_KP_SUBTRACT: return '-';
    case GLFW_KEY_KP_ADD: return '+';
    case GLFW_KEY_KP_EQUAL: return '=';
    default: break;
    }
    // The remaining printable GLFW keys carry their unshifted US character as their code.
    if (glfwKey >= GLFW_KEY_SPACE && glfwKey <= GLFW_KEY_GRAVE_ACCENT) {
        return static_cast<std::uint16_t>(glfwKey);
    }
    return 0;
}

bool suppressesCharacter(int glfwMods)
{
    return (glfwMods & (GLFW_MOD_CONTROL | GLFW_MOD_ALT)) != 0;
}

bool isKeypadKey(int glfwKey)
{
    return glfwKey >= GLFW_KEY_KP_0 && glfwKey <= GLFW_KEY_KP_EQUAL;
}

int qtModifiers(int glfwMods, bool keypad)
{
    int modifiers = 0;
    if (glfwMods & GLFW_MOD_SHIFT) {
        modifiers |= 0x02000000;
    }
    if (glfwMods & GLFW_MOD_CONTROL) {
        modifiers |= 0x04000000;
    }
    if (glfwMods & GLFW_MOD_ALT) {
        modifiers |= 0x08000000;
    }
    if (glfwMods & GLFW_MOD_SUPER) {
        modifiers |= 0x10000000;
    }
    if (keypad) {
        modifiers |= 0x20000000;
    }
    return modifiers;
}

} // namespace DesktopKeys
} // namespace zanth2d
