// Embervale's main window on the engine started in the test process: the record of its first start.

#include <gtest/gtest.h>

#include "InProcessEmbervale.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include <QQmlEngine>

namespace {

InProcessEngine* engine = nullptr;

// An analytics module of the test's own, found before the program's: it logs every event it is told.
void useRecordingAnalytics()
{
    const QString folder = engine->folder() + "/analytics";
    writeTestFile(folder + "/Zanth/plugins/flurry/qmldir",
                  "module Zanth.plugins.flurry\nFlurry 1.0 Flurry.qml\n");
    writeTestFile(folder + "/Zanth/plugins/flurry/Flurry.qml",
                  "import QtQuick 2.15\n"
                  "Item {\n"
                  "    property string applicationKey\n"
                  "    function logEvent(name, key, value) { console.log(\"analytics event: \" + name) }\n"
                  "}\n");
    engine->view().engine()->addImportPath(folder);
}

} // namespace

TEST(EmbervaleMain, theFirstStartIsRecordedInTheSettingsAndLoggedOnceAndLaterStartsLogNothing)
{
    useRecordingAnalytics();
    {
        MessageLog log;
        QQuickItem* window = loadEmbervale(*engine);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(log.lines().filter("analytics event: FirstStart").size(), 1)
            << log.lines().join("\n").toStdString();
        EXPECT_EQ(js(window, "settings.getValue('firstStart')").toString(), "true");
    }
    MessageLog log;
    QQuickItem* window = loadEmbervale(*engine);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(log.contains("analytics event: Add")) << "the test's analytics module is the one used";
    EXPECT_FALSE(log.contains("analytics event: FirstStart"));
    EXPECT_EQ(js(window, "settings.getValue('firstStart')").toString(), "true");
}

// The record is a write to the settings database: it waits until the first frame is on the screen.
TEST(EmbervaleMain, theFirstStartIsRecordedOnceTheFirstFrameIsShown)
{
    useRecordingAnalytics();
    QQuickItem* window = loadEmbervale(*engine);
    ASSERT_NE(window, nullptr);
    js(window, "settings.clearValue('firstStart')");
    MessageLog log;
    engine->view().resize(1, 1);
    engine->application().loadQmlFile();
    window = engine->view().rootObject();
    ASSERT_NE(window, nullptr);
    engine->stepFrames(1);
    EXPECT_FALSE(js(window, "settings.hasValue('firstStart')").toBool())
        << "not while the first frame is drawn";
    EXPECT_FALSE(log.contains("analytics event: FirstStart"));
    ASSERT_TRUE(engine->stepFramesUntil([&] { return engine->application().firstFrameShown(); }));
    EXPECT_EQ(js(window, "settings.getValue('firstStart')").toString(), "true");
    EXPECT_EQ(log.lines().filter("analytics event: FirstStart").size(), 1)
        << log.lines().join("\n").toStdString();
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
