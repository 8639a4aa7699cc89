// Types into a focused text field with real key presses (xdotool) and reads what the field reports.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProgramRun.h"
#include "VisibleWindowLock.h"

namespace {

const auto* const g_connection = ::testing::AddGlobalTestEnvironment(new XServerConnection());
const VisibleWindowLock g_windowLock;

// xdotool reads the text to type in the locale's encoding.
void typeText(const std::string& text)
{
    runCommand("LC_ALL=C.UTF-8 xdotool type --delay 60 '" + text + "'");
}

void pressKey(const std::string& key)
{
    runCommand("xdotool key " + key);
}

} // namespace

TEST(TextFieldTyping, keysEditTheTextAndReturnEndsTheEditThroughTheDelegate)
{
    ProgramRun program("TextFieldProgram", "Zanth text field");
    ASSERT_TRUE(program.ready()) << program.output();

    typeText("ab");
    ASSERT_TRUE(program.waitForLine("text [ab] 2")) << program.output();
    pressKey("BackSpace");
    ASSERT_TRUE(program.waitForLine("delete [b]")) << program.output();
    typeText("\xc3\xa9");
    ASSERT_TRUE(program.waitForLine("text [a\xc3\xa9] 2")) << program.output();
    pressKey("BackSpace");
    ASSERT_TRUE(program.waitForLine("delete [\xc3\xa9]")) << program.output();
    pressKey("Return");
    ASSERT_TRUE(program.waitForLine("detach")) << program.output();
    // Detached: typing changes nothing any more.
    typeText("z");
    pressKey("Escape");
    EXPECT_EQ(program.waitExit(5.0), 0) << program.output();

    EXPECT_EQ(program.linesStartingWith("text "),
              (std::vector<std::string>{"text [a] 1", "text [ab] 2", "text [a] 1", "text [a\xc3\xa9] 2", "text [a] 1"}))
        << program.output();
    EXPECT_EQ(program.linesStartingWith("insert "),
              (std::vector<std::string>{"insert [a]", "insert [b]", "insert [\xc3\xa9]", "insert [\\n]"}))
        << program.output();
}
