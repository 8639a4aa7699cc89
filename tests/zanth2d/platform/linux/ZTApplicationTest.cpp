#include <gtest/gtest.h>

#include <cstdlib>

#include "cocoa/ZTGeometry.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTDirectorCaller.h"

using namespace zanth2d;

namespace {

class ScriptedApplication : public ZTApplication
{
public:
    ScriptedApplication(bool init, bool launch) : m_init(init), m_launch(launch) {}
    bool initInstance() override
    {
        ++initCalls;
        return m_init;
    }
    bool applicationDidFinishLaunching() override
    {
        ++launchCalls;
        return m_launch;
    }
    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}

    int initCalls = 0;
    int launchCalls = 0;

private:
    bool m_init;
    bool m_launch;
};

} // namespace

TEST(ApplicationStartUp, stopsWithStatusOneWhenTheWindowCannotBeMade)
{
    ScriptedApplication app(false, true);
    testing::internal::CaptureStderr();
    EXPECT_EQ(1, app.run());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(1, app.initCalls);
    EXPECT_EQ(0, app.launchCalls);
    EXPECT_NE(std::string::npos, err.find("start-up stopped")) << err;
}

TEST(ApplicationStartUp, stopsWithStatusOneWhenLaunchingFails)
{
    ScriptedApplication app(true, false);
    testing::internal::CaptureStderr();
    EXPECT_EQ(1, app.run());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(1, app.launchCalls);
}

TEST(ApplicationStartUp, isTheSharedApplicationForItsLifetime)
{
    EXPECT_FALSE(ZTApplication::hasSharedApplication());
    {
        ScriptedApplication app(true, true);
        EXPECT_EQ(&app, &ZTApplication::sharedApplication());
    }
    EXPECT_FALSE(ZTApplication::hasSharedApplication());
}

TEST(ApplicationDeathTest, aSecondApplicationIsAProgrammingError)
{
    ScriptedApplication first(true, true);
    EXPECT_DEATH(ScriptedApplication second(true, true), "! sm_pSharedApplication");
}

TEST(ApplicationDeathTest, noApplicationIsAProgrammingError)
{
    EXPECT_DEATH(ZTApplication::sharedApplication(), "sm_pSharedApplication");
}

TEST(ApplicationTimer, animationIntervalBecomesWholeSeconds)
{
    ScriptedApplication app(true, true);
    app.setAnimationInterval(1.0 / 60);
    EXPECT_EQ(0, ZTDirectorCaller::sharedDirectorCaller()->interval());
    app.setAnimationInterval(0.25);
    EXPECT_EQ(0, ZTDirectorCaller::sharedDirectorCaller()->interval());
    app.setAnimationInterval(2.9);
    EXPECT_EQ(2, ZTDirectorCaller::sharedDirectorCaller()->interval());
    ZTDirectorCaller::destroy();
}

TEST(ApplicationQueries, statusBarFrameIsEmpty)
{
    ScriptedApplication app(true, true);
    ZTRect rect(1, 2, 3, 4);
    app.statusBarFrame(&rect);
    EXPECT_TRUE(ZTRect::ZTRectEqualToRect(ZTRectZero, rect));
    app.statusBarFrame(nullptr);
}

namespace {

void exitWithLanguage(const char* language)
{
    setenv("LANGUAGE", language, 1);
    setenv("LC_ALL", "", 1);
    setenv("LANG", "C", 1);
    ScriptedApplication app(true, true);
    std::exit(app.getCurrentLanguage());
}

} // namespace

TEST(ApplicationLanguageDeathTest, chineseUserInterfaceLanguageIsOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitWithLanguage("zh_CN"), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(exitWithLanguage("zh-TW"), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(exitWithLanguage("de_DE"), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(exitWithLanguage("en"), ::testing::ExitedWithCode(0), "");
}
