// What the application tells QML of the first frame of its main file, on the engine started in the test
// process with frames drawn by hand: not while the file loads nor while that frame is drawn, but in the
// frame after it, and again for each file loaded later.

#include <gtest/gtest.h>

#include "InProcessEngine.h"

namespace {

InProcessEngine* engine = nullptr;

const QByteArray kWatcher =
    "import QtQuick 2.15\n"
    "Item {\n"
    "    width: 64; height: 64\n"
    "    property bool shownWhenCompleted: true\n"
    "    readonly property bool shown: ZanthApplication.firstFrameShown\n"
    "    property int turnedTrue: 0\n"
    "    onShownChanged: if (shown) ++turnedTrue\n"
    "    Component.onCompleted: shownWhenCompleted = ZanthApplication.firstFrameShown\n"
    "}\n";

} // namespace

TEST(ZanthApplicationFirstFrame, turnsTrueInTheFrameAfterTheMainFilesFirstOneAndAnewForEachFile)
{
    for (int file = 0; file < 2; ++file) {
        SCOPED_TRACE(file);
        // Loads the file and draws its first frame.
        QQuickItem* root = engine->load(kWatcher);
        ASSERT_NE(root, nullptr);
        EXPECT_FALSE(root->property("shownWhenCompleted").toBool());
        EXPECT_FALSE(root->property("shown").toBool());
        EXPECT_FALSE(engine->application().firstFrameShown());
        engine->stepFrames(1);
        EXPECT_TRUE(engine->application().firstFrameShown());
        EXPECT_TRUE(root->property("shown").toBool());
        engine->stepFrames(3);
        EXPECT_EQ(root->property("turnedTrue").toInt(), 1);
    }
}

int main(int argc, char** argv)
{
    return runTestsOnInProcessEngine(argc, argv, engine);
}
