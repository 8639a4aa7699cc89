#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "platform/linux/DesktopKeys.h"
#include "platform/linux/KeyPair.h"

using namespace zanth2d;

namespace {

constexpr int kShift = 0x02000000;
constexpr int kControl = 0x04000000;
constexpr int kAlt = 0x08000000;
constexpr int kMeta = 0x10000000;
constexpr int kKeypad = 0x20000000;

std::int32_t qtKeyOfNonTextKey(int glfwKey, int mods = 0)
{
    return qtKeyForCharacters(std::u16string(1, DesktopKeys::characterForNonTextKey(glfwKey, mods)));
}

} // namespace

TEST(DesktopKeyCharacters, editingKeysUseTheCharactersOfTheKeyPath)
{
    EXPECT_EQ(13, DesktopKeys::characterForNonTextKey(GLFW_KEY_ENTER, 0));
    EXPECT_EQ(3, DesktopKeys::characterForNonTextKey(GLFW_KEY_KP_ENTER, 0));
    EXPECT_EQ(127, DesktopKeys::characterForNonTextKey(GLFW_KEY_BACKSPACE, 0));
    EXPECT_EQ(27, DesktopKeys::characterForNonTextKey(GLFW_KEY_ESCAPE, 0));
    EXPECT_EQ(9, DesktopKeys::characterForNonTextKey(GLFW_KEY_TAB, 0));
    EXPECT_EQ(25, DesktopKeys::characterForNonTextKey(GLFW_KEY_TAB, GLFW_MOD_SHIFT));
    EXPECT_EQ(0xF728, DesktopKeys::characterForNonTextKey(GLFW_KEY_DELETE, 0));
}

TEST(DesktopKeyCharacters, functionAndNavigationKeysReachTheirQtKeys)
{
    EXPECT_EQ(0x01000030, qtKeyOfNonTextKey(GLFW_KEY_F1));
    EXPECT_EQ(0x01000030 + 24, qtKeyOfNonTextKey(GLFW_KEY_F25));
    EXPECT_EQ(0x01000013, qtKeyOfNonTextKey(GLFW_KEY_UP));
    EXPECT_EQ(0x01000014, qtKeyOfNonTextKey(GLFW_KEY_RIGHT));
    EXPECT_EQ(0x01000011, qtKeyOfNonTextKey(GLFW_KEY_END));
    EXPECT_EQ(0x01000017, qtKeyOfNonTextKey(GLFW_KEY_PAGE_DOWN));
    EXPECT_EQ(0x01000055, qtKeyOfNonTextKey(GLFW_KEY_MENU));
    EXPECT_EQ(0x01000005, qtKeyOfNonTextKey(GLFW_KEY_KP_ENTER));
}

TEST(DesktopKeyCharacters, textAndModifierKeysHaveNoNonTextCharacter)
{
    EXPECT_EQ(0, DesktopKeys::characterForNonTextKey(GLFW_KEY_A, 0));
    EXPECT_EQ(0, DesktopKeys::characterForNonTextKey(GLFW_KEY_1, GLFW_MOD_CONTROL));
    EXPECT_EQ(0, DesktopKeys::characterForNonTextKey(GLFW_KEY_LEFT_SHIFT, 0));
    EXPECT_EQ(0, DesktopKeys::characterForNonTextKey(GLFW_KEY_LEFT_CONTROL, 0));
}

TEST(DesktopKeyCharacters, textKeyCharacterComesFromTheKeyWhenCtrlOrAltHidesIt)
{
    EXPECT_TRUE(DesktopKeys::suppressesCharacter(GLFW_MOD_CONTROL));
    EXPECT_TRUE(DesktopKeys::suppressesCharacter(GLFW_MOD_ALT));
    EXPECT_FALSE(DesktopKeys::suppressesCharacter(GLFW_MOD_SHIFT));
    EXPECT_EQ(u'1', DesktopKeys::characterForTextKey(GLFW_KEY_1, GLFW_MOD_CONTROL));
    EXPECT_EQ(u'f', DesktopKeys::characterForTextKey(GLFW_KEY_F, GLFW_MOD_CONTROL));
    EXPECT_EQ(u'F', DesktopKeys::characterForTextKey(GLFW_KEY_F, GLFW_MOD_CONTROL | GLFW_MOD_SHIFT));
    EXPECT_EQ(u'7', DesktopKeys::characterForTextKey(GLFW_KEY_KP_7, GLFW_MOD_CONTROL));
    EXPECT_EQ(u'/', DesktopKeys::characterForTextKey(GLFW_KEY_SLASH, GLFW_MOD_ALT));
    EXPECT_EQ(0, DesktopKeys::characterForTextKey(GLFW_KEY_LEFT_SHIFT, GLFW_MOD_CONTROL));
    EXPECT_EQ(0x46, qtKeyForCharacters(u"f"));
}

TEST(DesktopKeyModifiers, mapLinuxStyleToQtFlags)
{
    EXPECT_EQ(0, DesktopKeys::qtModifiers(0, false));
    EXPECT_EQ(kShift, DesktopKeys::qtModifiers(GLFW_MOD_SHIFT, false));
    EXPECT_EQ(kControl, DesktopKeys::qtModifiers(GLFW_MOD_CONTROL, false));
    EXPECT_EQ(kAlt, DesktopKeys::qtModifiers(GLFW_MOD_ALT, false));
    EXPECT_EQ(kMeta, DesktopKeys::qtModifiers(GLFW_MOD_SUPER, false));
    EXPECT_EQ(kControl | kKeypad, DesktopKeys::qtModifiers(GLFW_MOD_CONTROL, true));
    EXPECT_EQ(kShift | kControl | kAlt | kMeta,
              DesktopKeys::qtModifiers(GLFW_MOD_SHIFT | GLFW_MOD_CONTROL | GLFW_MOD_ALT | GLFW_MOD_SUPER, false));
}

TEST(DesktopKeyModifiers, lockStatesAddNothing)
{
    EXPECT_EQ(0, DesktopKeys::qtModifiers(GLFW_MOD_CAPS_LOCK | GLFW_MOD_NUM_LOCK, false));
}

TEST(DesktopKeyModifiers, onlyNumericPadKeysAreKeypadKeys)
{
    EXPECT_TRUE(DesktopKeys::isKeypadKey(GLFW_KEY_KP_0));
    EXPECT_TRUE(DesktopKeys::isKeypadKey(GLFW_KEY_KP_ENTER));
    EXPECT_TRUE(DesktopKeys::isKeypadKey(GLFW_KEY_KP_EQUAL));
    EXPECT_FALSE(DesktopKeys::isKeypadKey(GLFW_KEY_0));
    EXPECT_FALSE(DesktopKeys::isKeypadKey(GLFW_KEY_ENTER));
}
