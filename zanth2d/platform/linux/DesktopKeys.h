#pragma once

#include <cstdint>

namespace zanth2d {

// Turns GLFW key codes into the characters the key path of the GL view expects (the desktop codes of
// the key table: arrows 0xF700.., F1.. 0xF704.., forward delete 0xF728, Return 13, Backspace 127,
// Escape 27, Tab 9, Shift+Tab 25), so that GLFW input and the key table meet in one place.
namespace DesktopKeys {

// The character of a key that produces no text of its own; 0 for keys that type text (their character
// comes from the character callback) and for keys with no character (modifier keys, unknown keys).
std::uint16_t characterForNonTextKey(int glfwKey, int glfwMods);

// The character of a text key when GLFW sends none (Ctrl or Alt held): letters in lower case unless
// Shift is held, digits and punctuation as on an unshifted US keyboard; 0 when there is none.
std::uint16_t characterForTextKey(int glfwKey, int glfwMods);

// True while Ctrl or Alt is held: GLFW then sends no character callback for a text key.
bool suppressesCharacter(int glfwMods);

bool isKeypadKey(int glfwKey);

// Qt modifier flags for GLFW modifier bits: Shift, Ctrl → Control, Alt, Super → Meta, and Keypad
// for keys of the numeric keypad.
int qtModifiers(int glfwMods, bool keypad);

} // namespace DesktopKeys

} // namespace zanth2d
