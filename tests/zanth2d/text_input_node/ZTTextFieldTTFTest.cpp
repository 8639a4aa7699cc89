#include <gtest/gtest.h>

#include <QGuiApplication>

#include <algorithm>
#include <string>
#include <vector>

#include "../sprite_nodes/SpriteScene.h"
#include "text_input_node/ZTIMEDispatcher.h"
#include "text_input_node/ZTTextFieldDelegate.h"
#include "text_input_node/ZTTextFieldTTF.h"

using namespace zanth2d;

namespace {

// Records what the field asks; refuses what the test says.
class RecordingDelegate : public ZTTextFieldDelegate
{
public:
    bool onTextFieldAttachWithIME(ZTTextFieldTTF*) override
    {
        calls.push_back("attach");
        return refuseAttach;
    }
    bool onTextFieldDetachWithIME(ZTTextFieldTTF*) override
    {
        calls.push_back("detach");
        return refuseDetach;
    }
    bool onTextFieldInsertText(ZTTextFieldTTF*, const char* text, int length) override
    {
        const std::string inserted(text, static_cast<size_t>(length));
        calls.push_back("insert " + inserted);
        return inserted == "\n" ? refuseNewline : refuseInsert;
    }
    bool onTextFieldDeleteBackward(ZTTextFieldTTF*, const char* text, int length) override
    {
        calls.push_back("delete " + std::string(text, static_cast<size_t>(length)));
        return refuseDelete;
    }
    bool onDraw(ZTTextFieldTTF*) override { return skipDraw; }

    std::vector<std::string> calls;
    bool refuseAttach = false;
    bool refuseDetach = false;
    bool refuseInsert = false;
    bool refuseNewline = false;
    bool refuseDelete = false;
    bool skipDraw = false;
};

using Calls = std::vector<std::string>;

class TextFieldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_field = ZTTextFieldTTF::textFieldWithPlaceHolder("Name", "Arial", 24);
        ASSERT_NE(m_field, nullptr);
        m_field->setDelegate(&m_delegate);
        ASSERT_TRUE(m_field->attachWithIME());
        m_delegate.calls.clear();
    }

    void TearDown() override
    {
        m_field->detachWithIME();
        ZTIMEDispatcher::purgeSharedDispatcher();
    }

    static void type(const std::string& text)
    {
        ZTIMEDispatcher::sharedDispatcher()->dispatchInsertText(text.data(), static_cast<int>(text.size()));
    }
    static void backspace() { ZTIMEDispatcher::sharedDispatcher()->dispatchDeleteBackward(); }

    // The text the label shows: the typed text or the placeholder.
    std::string shown() const { return m_field->ZTLabelTTF::getString(); }

    // The brightest channel value of the frame after drawing the field alone.
    int brightest()
    {
        m_scene.clear();
        m_field->setAnchorPoint(ZTPointZero);
        m_field->visit();
        const std::vector<unsigned char> frame = m_scene.frame();
        return *std::max_element(frame.begin(), frame.end());
    }

    SpriteScene m_scene{256, 64};
    RecordingDelegate m_delegate;
    ZTTextFieldTTF* m_field = nullptr;
};

} // namespace

// Typing

TEST_F(TextFieldTest, typingAThenBThenBackspaceLeavesA)
{
    type("a");
    type("b");
    EXPECT_STREQ(m_field->getString(), "ab");
    backspace();
    EXPECT_STREQ(m_field->getString(), "a");
    EXPECT_EQ(m_field->getCharCount(), 1);
    EXPECT_EQ(shown(), "a");
    EXPECT_EQ(m_delegate.calls, (Calls{"insert a", "insert b", "delete b"}));
}

TEST_F(TextFieldTest, backspaceRemovesATwoByteCharacterWholeAndShowsThePlaceholder)
{
    type("\xc3\xa9");
    EXPECT_EQ(m_field->getCharCount(), 1);
    backspace();
    EXPECT_STREQ(m_field->getString(), "");
    EXPECT_EQ(m_field->getCharCount(), 0);
    EXPECT_EQ(shown(), "Name");
    EXPECT_EQ(m_delegate.calls, (Calls{"insert \xc3\xa9", "delete \xc3\xa9"}));
    backspace();
    EXPECT_EQ(m_delegate.calls.size(), 2u);
}

TEST_F(TextFieldTest, charactersAreCountedNotBytes)
{
    type("x\xe2\x82\xac\xf0\x9f\x98\x80");
    EXPECT_EQ(m_field->getCharCount(), 3);
    backspace();
    EXPECT_STREQ(m_field->getString(), "x\xe2\x82\xac");
    EXPECT_EQ(m_field->getCharCount(), 2);
}

TEST_F(TextFieldTest, newlineAppendsTheTextBeforeItThenEndsTheInput)
{
    type("abc\ndef");
    EXPECT_STREQ(m_field->getString(), "abc");
    EXPECT_EQ(m_delegate.calls, (Calls{"insert abc", "insert \n", "detach"}));
    type("x");
    EXPECT_STREQ(m_field->getString(), "abc");
}

TEST_F(TextFieldTest, newlineAloneAppendsNothingAndEndsTheInput)
{
    type("\n");
    EXPECT_STREQ(m_field->getString(), "");
    EXPECT_EQ(m_delegate.calls, (Calls{"insert \n", "detach"}));
    EXPECT_STREQ(ZTIMEDispatcher::sharedDispatcher()->getContentText(), "");
}

TEST_F(TextFieldTest, dispatcherReadsTheTypedTextNeverThePlaceholder)
{
    EXPECT_STREQ(ZTIMEDispatcher::sharedDispatcher()->getContentText(), "");
    type("hi");
    EXPECT_STREQ(ZTIMEDispatcher::sharedDispatcher()->getContentText(), "hi");
}

// The delegate's refusals

TEST_F(TextFieldTest, refusedInsertKeepsTextAndCountAndTheNewlineWithIt)
{
    type("ab");
    m_delegate.refuseInsert = true;
    type("cd\n");
    EXPECT_STREQ(m_field->getString(), "ab");
    EXPECT_EQ(m_field->getCharCount(), 2);
    // Still attached: the newline never got through.
    type("\n");
    EXPECT_EQ(m_delegate.calls.back(), "detach");
}

TEST_F(TextFieldTest, refusedNewlineKeepsTheFieldAttached)
{
    m_delegate.refuseNewline = true;
    type("a\n");
    type("b");
    EXPECT_STREQ(m_field->getString(), "ab");
}

TEST_F(TextFieldTest, refusedDeleteKeepsTheText)
{
    type("ab");
    m_delegate.refuseDelete = true;
    backspace();
    EXPECT_STREQ(m_field->getString(), "ab");
}

TEST_F(TextFieldTest, refusalsToAttachAndDetachAreHonoured)
{
    m_delegate.refuseDetach = true;
    EXPECT_FALSE(m_field->detachWithIME());
    m_delegate.refuseDetach = false;
    ASSERT_TRUE(m_field->detachWithIME());
    m_delegate.refuseAttach = true;
    EXPECT_FALSE(m_field->attachWithIME());
    type("a");
    EXPECT_STREQ(m_field->getString(), "");
}

// Text and placeholder

TEST_F(TextFieldTest, settingNoTextEmptiesTheInputAndShowsThePlaceholder)
{
    m_field->setString("typed");
    EXPECT_EQ(shown(), "typed");
    m_field->setString(nullptr);
    EXPECT_STREQ(m_field->getString(), "");
    EXPECT_EQ(shown(), "Name");
    EXPECT_EQ(m_field->getCharCount(), 0);
}

TEST_F(TextFieldTest, newPlaceholderShowsAtOnceOnlyWhileTheInputIsEmpty)
{
    m_field->setPlaceHolder("Other");
    EXPECT_EQ(shown(), "Other");
    m_field->setString("x");
    m_field->setPlaceHolder("Third");
    EXPECT_EQ(shown(), "x");
    EXPECT_STREQ(m_field->getPlaceHolder(), "Third");
    m_field->setPlaceHolder(nullptr);
    EXPECT_STREQ(m_field->getPlaceHolder(), "");
}

TEST_F(TextFieldTest, fieldMadeWithABoxStartsEmptyShowingThePlaceholder)
{
    ZTTextFieldTTF* field = ZTTextFieldTTF::textFieldWithPlaceHolder("Your name", ZTSize(200, 40),
                                                                     kZTTextAlignmentLeft, "Arial", 20);
    ASSERT_NE(field, nullptr);
    EXPECT_STREQ(field->getString(), "");
    EXPECT_STREQ(field->ZTLabelTTF::getString(), "Your name");
    EXPECT_EQ(field->getAlignment(), kZTTextAlignmentLeft);
    EXPECT_GE(field->getContentSize().width, 200);

    auto* direct = new ZTTextFieldTTF();
    ASSERT_TRUE(direct->initWithPlaceHolder("Hint", "Arial", 20));
    EXPECT_STREQ(direct->getString(), "");
    EXPECT_STREQ(direct->ZTLabelTTF::getString(), "Hint");
    direct->release();
}

// Drawing

TEST_F(TextFieldTest, placeholderIsDrawnGreyWhileTheLabelKeepsItsColour)
{
    const int placeholder = brightest();
    EXPECT_NEAR(placeholder, 127, 3);
    EXPECT_EQ(m_field->getColor().r, 255);
    m_field->setString("Name");
    EXPECT_EQ(brightest(), 255);

    m_field->setString("");
    m_field->setColorSpaceHolder(ztColor3B{200, 200, 200});
    EXPECT_NEAR(brightest(), 200, 3);
}

TEST_F(TextFieldTest, delegateCanSkipTheDrawing)
{
    m_field->setString("Name");
    m_delegate.skipDraw = true;
    EXPECT_EQ(brightest(), 0);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
