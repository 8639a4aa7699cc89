#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VisibleWindowLock.h"
#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "cocoa/ZTSet.h"
#include "platform/linux/DesktopGLView.h"
#include "platform/linux/DesktopWindow.h"
#include "platform/linux/EGLTouchDelegate.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"
#include "platform/linux/ZTGLViewEventSink.h"
#include "text_input_node/ZTIMEDelegate.h"
#include "touch_dispatcher/ZTTouch.h"

using namespace zanth2d;

namespace {

const VisibleWindowLock g_windowLock;

struct RecordedTouch
{
    std::string phase;
    ZTTouch* touch;
    float x;
    float y;
    float previousX;
    float previousY;
    unsigned int setSize;
};

class RecordingTouchDelegate : public EGLTouchDelegate
{
public:
    void touchesBegan(ZTSet* touches, ZTEvent* event) override { record("began", touches, event); }
    void touchesMoved(ZTSet* touches, ZTEvent* event) override { record("moved", touches, event); }
    void touchesEnded(ZTSet* touches, ZTEvent* event) override { record("ended", touches, event); }
    void touchesCancelled(ZTSet* touches, ZTEvent* event) override { record("cancelled", touches, event); }

    std::vector<RecordedTouch> touches;
    ZTSet* lastSet = nullptr;

private:
    void record(const char* phase, ZTSet* set, ZTEvent* event)
    {
        EXPECT_EQ(nullptr, event);
        auto* touch = static_cast<ZTTouch*>(set->anyObject());
        const ZTPoint p = touch->locationInView();
        const ZTPoint q = touch->previousLocationInView();
        touches.push_back({phase, touch, p.x, p.y, q.x, q.y, set->count()});
        lastSet = set;
    }
};

class RecordingSink : public ZTGLViewEventSink
{
public:
    void keyPressed(int key, int modifiers) override { events.push_back("press " + hex(key) + " " + hex(modifiers)); }
    void keyReleased(int key, int modifiers) override
    {
        events.push_back("release " + hex(key) + " " + hex(modifiers));
    }
    void scrollWheel(int x, int y, int delta, bool horizontal) override
    {
        events.push_back("scroll " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(delta) +
                         (horizontal ? " h" : " v"));
    }
    bool getAppStarted() const override { return started; }
    void reshape(float width, float height) override
    {
        events.push_back("reshape " + std::to_string(static_cast<int>(width)) + " " +
                         std::to_string(static_cast<int>(height)));
    }
    void applyItemChanges() override { events.push_back("apply"); }

    static std::string hex(int value)
    {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "0x%x", value);
        return buffer;
    }

    std::vector<std::string> events;
    bool started = false;
};

class RecordingTextField : public ZTIMEDelegate
{
public:
    bool canAttachWithIME() override { return true; }
    bool canDetachWithIME() override { return true; }
    void insertText(const char* text, int length) override { inserted.emplace_back(text, length); }
    void deleteBackward() override { ++deletes; }

    std::vector<std::string> inserted;
    int deletes = 0;
};

class RecordingApplication : public ZTApplication
{
public:
    bool initInstance() override { return true; }
    bool applicationDidFinishLaunching() override { return true; }
    void applicationDidEnterBackground() override { events.push_back("background"); }
    void applicationWillEnterForeground() override { events.push_back("foreground"); }

    std::vector<std::string> events;
};

class DesktopGLViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_view = new ZTEGLView();
        ASSERT_TRUE(m_view->Create("gl view test", 320, 200, &m_sink));
        m_view->setTouchDelegate(&m_touches);
        m_glView = DesktopGLView::sharedDesktopGLView();
        m_field.attachWithIME();
    }

    void TearDown() override
    {
        m_field.detachWithIME();
        delete m_view;
        ZTPoolManager::getInstance()->pop();
    }

    ZTEGLView* m_view = nullptr;
    DesktopGLView* m_glView = nullptr;
    RecordingSink m_sink;
    RecordingTouchDelegate m_touches;
    RecordingTextField m_field;
};

std::u16string chars(char16_t c)
{
    return std::u16string(1, c);
}

} // namespace

TEST_F(DesktopGLViewTest, mouseGivesOneReusedTouchThroughTheViewsTouchDelegate)
{
    m_glView->mouseDown(10, 20);
    m_glView->mouseDragged(15.5, 25);
    m_glView->mouseUp(30, 40);
    m_glView->mouseDown(1, 2);
    ASSERT_EQ(4u, m_touches.touches.size());
    EXPECT_EQ("began", m_touches.touches[0].phase);
    EXPECT_EQ(10.0f, m_touches.touches[0].x);
    EXPECT_EQ(20.0f, m_touches.touches[0].y);
    EXPECT_EQ("moved", m_touches.touches[1].phase);
    EXPECT_EQ(15.5f, m_touches.touches[1].x);
    EXPECT_EQ(10.0f, m_touches.touches[1].previousX);
    EXPECT_EQ(20.0f, m_touches.touches[1].previousY);
    EXPECT_EQ("ended", m_touches.touches[2].phase);
    EXPECT_EQ(1u, m_touches.touches[2].setSize);
    EXPECT_EQ(1u, m_touches.lastSet->count());
    EXPECT_EQ(m_touches.touches[0].touch, m_touches.touches[3].touch);
    m_glView->mouseUp(1, 2);
}

TEST_F(DesktopGLViewTest, setIsEmptiedAfterEachRelease)
{
    m_glView->mouseDown(1, 1);
    m_glView->mouseUp(1, 1);
    EXPECT_EQ(0u, m_touches.lastSet->count());
}

TEST_F(DesktopGLViewTest, lowerCaseLetterGivesUpperCaseKeyAndInsertsItsText)
{
    m_glView->keyDown(chars(u'a'), chars(u'a'), 0);
    m_glView->keyUp(chars(u'a'), 0);
    EXPECT_EQ((std::vector<std::string>{"press 0x41 0x0", "release 0x41 0x0"}), m_sink.events);
    EXPECT_EQ((std::vector<std::string>{"a"}), m_field.inserted);
}

TEST_F(DesktopGLViewTest, returnInsertsANewLineAndPostsKeyReturn)
{
    m_glView->keyDown(chars(13), chars(13), 0);
    m_glView->keyDown(chars(3), chars(3), 0x20000000);
    EXPECT_EQ((std::vector<std::string>{"\n", "\n"}), m_field.inserted);
    EXPECT_EQ((std::vector<std::string>{"press 0x1000004 0x0", "press 0x1000005 0x20000000"}), m_sink.events);
}

TEST_F(DesktopGLViewTest, deleteKeysDeleteBackwardAndPostTheirOwnKeys)
{
    m_glView->keyDown(chars(0xF728), chars(0xF728), 0);
    m_glView->keyDown(chars(127), chars(127), 0);
    EXPECT_EQ(2, m_field.deletes);
    EXPECT_TRUE(m_field.inserted.empty());
    EXPECT_EQ((std::vector<std::string>{"press 0x1000007 0x0", "press 0x1000003 0x0"}), m_sink.events);
}

TEST_F(DesktopGLViewTest, functionKeysTypeNothingButStillPostAKey)
{
    m_glView->keyDown(chars(0xF704), chars(0xF704), 0);
    m_glView->keyDown(chars(0xF8FF), chars(0xF8FF), 0);
    EXPECT_TRUE(m_field.inserted.empty());
    EXPECT_EQ("press 0x1000030 0x0", m_sink.events.front());
}

TEST_F(DesktopGLViewTest, charactersAboveAsciiAreTypedAsUtf8AndPostAKey)
{
    m_glView->keyDown(chars(u'\u00e9'), chars(u'\u00e9'), 0);
    m_glView->keyDown(chars(u'\u20ac'), chars(u'\u20ac'), 0);
    m_glView->keyDown(u"\U0001F600", u"\U0001F600", 0);
    m_glView->keyDown(chars(0xD800), chars(0xD800), 0);
    EXPECT_EQ((std::vector<std::string>{"\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80"}), m_field.inserted);
    EXPECT_EQ("press 0xc9 0x0", m_sink.events.front());
}

TEST_F(DesktopGLViewTest, textOfMoreThanOneUnitPostsTheUnknownKey)
{
    m_glView->keyDown(u"ab", u"ab", 0);
    EXPECT_EQ((std::vector<std::string>{"press 0x1ffffff 0x0"}), m_sink.events);
    EXPECT_EQ((std::vector<std::string>{"a"}), m_field.inserted);
}

TEST_F(DesktopGLViewTest, emptyKeyTextDoesNothing)
{
    m_glView->keyDown(u"", u"", 0);
    m_glView->keyUp(u"", 0);
    EXPECT_TRUE(m_sink.events.empty());
    EXPECT_TRUE(m_field.inserted.empty());
}

TEST_F(DesktopGLViewTest, scrollTruncatesTheDeltaAndFlagsMostlyHorizontalMoves)
{
    m_glView->scrollWheel(10.7, 20.2, 0.0, 1.0);
    m_glView->scrollWheel(5, 6, 2.0, -1.0);
    m_glView->scrollWheel(5, 6, 0.5, 0.9);
    EXPECT_EQ((std::vector<std::string>{"scroll 10 20 1 v", "scroll 5 6 -1 h", "scroll 5 6 0 v"}), m_sink.events);
}

TEST_F(DesktopGLViewTest, withoutASinkKeysAndScrollAreDropped)
{
    m_glView->setSceneGraphWrapper(nullptr);
    m_glView->scrollWheel(1, 1, 0, 1);
    m_glView->keyDown(chars(u'x'), chars(u'x'), 0);
    EXPECT_TRUE(m_sink.events.empty());
    EXPECT_EQ((std::vector<std::string>{"x"}), m_field.inserted);
}

TEST_F(DesktopGLViewTest, reshapeWaitsForTheStartedApplication)
{
    m_glView->reshape();
    EXPECT_TRUE(m_sink.events.empty());
}

TEST_F(DesktopGLViewTest, iconifyIsTheBackgroundAndOnlyARestoreAfterItIsTheForeground)
{
    RecordingApplication application;
    // The first show is a restore with no iconify before it.
    m_glView->iconifyChanged(false);
    m_glView->iconifyChanged(true);
    m_glView->iconifyChanged(true);
    m_glView->iconifyChanged(false);
    m_glView->iconifyChanged(false);
    EXPECT_EQ((std::vector<std::string>{"background", "foreground"}), application.events);
}

TEST_F(DesktopGLViewTest, viewSizeIsTheWindowContentSize)
{
    const ZTSize size = m_view->getSize();
    EXPECT_EQ(320.0f, size.width);
    EXPECT_EQ(200.0f, size.height);
    EXPECT_TRUE(m_view->isOpenGLReady());
    EXPECT_FALSE(m_view->canSetContentScaleFactor());
}

TEST_F(DesktopGLViewTest, windowFlagsAreIgnoredInFullScreenAndOnlyAppliedWhenChanged)
{
    m_view->setWindowFlags(false, false, true);
    EXPECT_TRUE(m_glView->window()->isResizable());
    m_view->setFullScreen(true);
    m_view->setWindowFlags(false, false, false);
    m_view->setFullScreen(false);
    EXPECT_TRUE(m_glView->window()->isResizable());
    m_view->setWindowFlags(false, false, false);
    EXPECT_FALSE(m_glView->window()->isResizable());
}
