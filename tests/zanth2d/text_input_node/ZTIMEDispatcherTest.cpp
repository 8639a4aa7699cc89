#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "text_input_node/ZTIMEDelegate.h"
#include "text_input_node/ZTIMEDispatcher.h"

using namespace zanth2d;

namespace {

std::vector<std::string> g_log;

// A text receiver whose consent to attach and detach is set by the test; logs every call.
class Field : public ZTIMEDelegate
{
public:
    explicit Field(std::string name) : m_name(std::move(name)) {}

    bool canAttachWithIME() override { return allowAttach; }
    bool canDetachWithIME() override { return allowDetach; }
    void didAttachWithIME() override { g_log.push_back(m_name + ":attached"); }
    void didDetachWithIME() override { g_log.push_back(m_name + ":detached"); }
    void insertText(const char* text, int length) override
    {
        g_log.push_back(m_name + ":insert " + std::string(text, static_cast<size_t>(length)));
        if (onInsert) {
            auto hook = onInsert; // the hook may replace itself
            hook();
        }
    }
    void deleteBackward() override { g_log.push_back(m_name + ":delete"); }
    const char* getContentText() override { return content; }
    void keyboardWillShow(ZTIMEKeyboardNotificationInfo& info) override
    {
        g_log.push_back(m_name + ":will show " + std::to_string(static_cast<int>(info.duration)));
        if (onKeyboard) {
            auto hook = onKeyboard; // the hook may replace itself
            hook();
        }
    }
    void keyboardDidHide(ZTIMEKeyboardNotificationInfo&) override { g_log.push_back(m_name + ":did hide"); }

    std::string m_name;
    bool allowAttach = true;
    bool allowDetach = true;
    const char* content = nullptr;
    std::function<void()> onInsert, onKeyboard;
};

using Log = std::vector<std::string>;

class IMEDispatcherTest : public ::testing::Test
{
protected:
    void SetUp() override { g_log.clear(); }
    void TearDown() override { ZTIMEDispatcher::purgeSharedDispatcher(); }
    static ZTIMEDispatcher* ime() { return ZTIMEDispatcher::sharedDispatcher(); }
    static Log take()
    {
        Log log;
        log.swap(g_log);
        return log;
    }
};

} // namespace

// Text routing

TEST_F(IMEDispatcherTest, textAndDeleteReachOnlyTheAttachedDelegate)
{
    Field a("a"), b("b");
    ime()->dispatchInsertText("x", 1);
    ime()->dispatchDeleteBackward();
    EXPECT_TRUE(take().empty()) << "nothing is attached yet";
    ASSERT_TRUE(b.attachWithIME());
    ime()->dispatchInsertText("hello", 3);
    ime()->dispatchDeleteBackward();
    EXPECT_EQ(take(), (Log{"b:attached", "b:insert hel", "b:delete"}));
}

TEST_F(IMEDispatcherTest, emptyOrNullTextIsIgnoredEvenWithAnAttachedDelegate)
{
    Field a("a");
    ASSERT_TRUE(a.attachWithIME());
    take();
    ime()->dispatchInsertText(nullptr, 1);
    ime()->dispatchInsertText("x", 0);
    ime()->dispatchInsertText("x", -1);
    EXPECT_TRUE(take().empty());
}

TEST_F(IMEDispatcherTest, contentTextIsTheAttachedDelegatesOrEmpty)
{
    Field a("a");
    EXPECT_STREQ(ime()->getContentText(), "");
    ASSERT_TRUE(a.attachWithIME());
    EXPECT_STREQ(ime()->getContentText(), "") << "a delegate without text gives the empty string";
    a.content = "typed";
    EXPECT_STREQ(ime()->getContentText(), "typed");
}

TEST_F(IMEDispatcherTest, delegateThatDetachesWhileReceivingTextGetsNothingAfter)
{
    Field a("a");
    a.onInsert = [&a] { a.detachWithIME(); };
    ASSERT_TRUE(a.attachWithIME());
    ime()->dispatchInsertText("\n", 1);
    ime()->dispatchInsertText("x", 1);
    EXPECT_EQ(take(), (Log{"a:attached", "a:insert \n", "a:detached"}));
}

// Attaching and detaching

TEST_F(IMEDispatcherTest, attachNeedsTheDelegatesConsent)
{
    Field a("a");
    a.allowAttach = false;
    EXPECT_FALSE(a.attachWithIME());
    EXPECT_FALSE(ime()->attachDelegateWithIME(nullptr));
    ime()->dispatchInsertText("x", 1);
    EXPECT_TRUE(take().empty());
}

TEST_F(IMEDispatcherTest, secondFieldCannotAttachWhileTheFirstRefusesToDetach)
{
    Field first("first"), second("second");
    ASSERT_TRUE(first.attachWithIME());
    first.allowDetach = false;
    EXPECT_FALSE(second.attachWithIME());
    ime()->dispatchInsertText("x", 1);
    EXPECT_EQ(take(), (Log{"first:attached", "first:insert x"}));
}

TEST_F(IMEDispatcherTest, secondFieldTakesOverWhenBothAgree)
{
    Field first("first"), second("second");
    ASSERT_TRUE(first.attachWithIME());
    second.allowAttach = false;
    EXPECT_FALSE(second.attachWithIME());
    second.allowAttach = true;
    EXPECT_TRUE(second.attachWithIME());
    ime()->dispatchInsertText("x", 1);
    EXPECT_EQ(take(), (Log{"first:attached", "first:detached", "second:attached", "second:insert x"}));
}

TEST_F(IMEDispatcherTest, detachNeedsToBeAttachedAndToConsent)
{
    Field a("a"), b("b");
    EXPECT_FALSE(a.detachWithIME());
    ASSERT_TRUE(a.attachWithIME());
    EXPECT_FALSE(b.detachWithIME());
    a.allowDetach = false;
    EXPECT_FALSE(a.detachWithIME());
    a.allowDetach = true;
    EXPECT_TRUE(a.detachWithIME());
    EXPECT_EQ(take(), (Log{"a:attached", "a:detached"}));
}

TEST_F(IMEDispatcherTest, destroyingTheAttachedDelegateLeavesNoAttachment)
{
    auto a = std::make_unique<Field>("a");
    ASSERT_TRUE(a->attachWithIME());
    a->content = "abc";
    a.reset();
    EXPECT_STREQ(ime()->getContentText(), "");
    ime()->dispatchInsertText("x", 1);
    ime()->dispatchDeleteBackward();
    Field b("b");
    EXPECT_TRUE(b.attachWithIME()) << "no stale attachment is asked to detach";
    EXPECT_EQ(take(), (Log{"a:attached", "b:attached"}));
}

TEST_F(IMEDispatcherTest, delegateForgottenByAPurgeCannotAttach)
{
    Field a("a");
    ZTIMEDispatcher::purgeSharedDispatcher();
    EXPECT_FALSE(a.attachWithIME());
}

// Keyboard notifications

TEST_F(IMEDispatcherTest, keyboardNotificationsReachEveryDelegateInRegistrationOrder)
{
    Field a("a"), b("b");
    ZTIMEKeyboardNotificationInfo info;
    info.duration = 2.0f;
    ime()->dispatchKeyboardWillShow(info);
    ime()->dispatchKeyboardDidHide(info);
    EXPECT_EQ(take(), (Log{"a:will show 2", "b:will show 2", "a:did hide", "b:did hide"}));
}

TEST_F(IMEDispatcherTest, delegatesMadeOrDestroyedDuringANotificationAreLeftOutOfIt)
{
    Field a("a");
    auto b = std::make_unique<Field>("b");
    std::unique_ptr<Field> c;
    a.onKeyboard = [&] {
        a.onKeyboard = nullptr;
        b.reset();
        c = std::make_unique<Field>("c");
    };
    ZTIMEKeyboardNotificationInfo info;
    ime()->dispatchKeyboardWillShow(info);
    EXPECT_EQ(take(), (Log{"a:will show 0"}));
    ime()->dispatchKeyboardWillShow(info);
    EXPECT_EQ(take(), (Log{"a:will show 0", "c:will show 0"}));
}
