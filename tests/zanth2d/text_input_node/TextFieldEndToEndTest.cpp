// Types into a focused text field with real key presses (xdotool) and reads what the field reports.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ProgramRun.h"
#include "VisibleWindowLock.h"

namespace {

const auto* const g_connection = ::testing::AddGlobalTestEnvironment(new XServerConnection());
const VisibleWindowLock g_windowLock;

int charCount(const std::string& text)
{
    return static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// xdotool reads the text to type in the locale's encoding.
void typeText(const std::string& text)
{
    runCommand("LC_ALL=C.UTF-8 xdotool type --delay 60 '" + text + "'");
}

// xdotool types a character the keymap lacks by binding it to a spare key for a moment; a busy program
// reads that key after the binding is gone and gets nothing. Bound to a free key for the whole run instead.
bool bindToSpareKey(const std::string& keysym)
{
    return runCommand("xmodmap -pke | grep -qw " + keysym +
                      " || { code=$(xmodmap -pke | awk '$4 == \"\" { print $2; exit }') && [ -n \"$code\" ] && "
                      "xmodmap -e \"keycode $code = " + keysym + "\"; }") == 0;
}

void pressKey(const std::string& key)
{
    runCommand("xdotool key " + key);
}

// Waits until the field's latest report is this text; reports come once per frame, so a frame may take
// in several keys at once.
bool waitForText(const ProgramRun& program, const std::string& text, double seconds = 10.0)
{
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        const std::vector<std::string> texts = program.linesStartingWith("text ");
        if (!texts.empty() && texts.back() == "text [" + text + "] " + std::to_string(charCount(text))) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace

TEST(TextFieldTyping, keysEditTheTextAndReturnEndsTheEditThroughTheDelegate)
{
    ProgramRun program("TextFieldProgram", "Zanth text field");
    ASSERT_TRUE(program.ready()) << program.output();
    ASSERT_TRUE(bindToSpareKey("eacute"));

    typeText("ab");
    ASSERT_TRUE(waitForText(program, "ab")) << program.output();
    pressKey("BackSpace");
    ASSERT_TRUE(waitForText(program, "a")) << program.output();
    typeText("\xc3\xa9");
    ASSERT_TRUE(waitForText(program, "a\xc3\xa9")) << program.output();
    pressKey("BackSpace");
    ASSERT_TRUE(waitForText(program, "a")) << program.output();
    pressKey("Return");
    ASSERT_TRUE(program.waitForLine("detach")) << program.output();
    // Detached: typing changes nothing any more.
    typeText("z");
    pressKey("Escape");
    EXPECT_EQ(program.waitExit(120.0), 0) << program.output();

    EXPECT_EQ(program.linesStartingWith("text ").back(), "text [a] 1") << program.output();
    EXPECT_EQ(program.linesStartingWith("insert "),
              (std::vector<std::string>{"insert [a]", "insert [b]", "insert [\xc3\xa9]", "insert [\\n]"}))
        << program.output();
    EXPECT_EQ(program.linesStartingWith("delete "),
              (std::vector<std::string>{"delete [b]", "delete [\xc3\xa9]"}))
        << program.output();
}
