#include <gtest/gtest.h>

#include "fpsqmlviewer.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <fstream>

namespace {
void frame(FpsQMLViewer& view)
{
    QMetaObject::invokeMethod(&view, "frameSwapped");
}

void writeFile(const QString& path, const char* text)
{
    std::ofstream(path.toStdString()) << text;
}
} // namespace

TEST(FpsQMLViewerTest, publishesViewAndZeroRateAtConstruction)
{
    FpsQMLViewer view;
    EXPECT_EQ(view.rootContext()->contextProperty("avgFps").toInt(), 0);
    EXPECT_EQ(view.rootContext()->contextProperty("declarativeView").value<QObject*>(), &view);
    EXPECT_TRUE(view.rootContext()->contextProperty("paintFps").isValid());
}

TEST(FpsQMLViewerTest, averageOfTwentyFiveFramesIsPublishedAtTheTwentySixth)
{
    FpsQMLViewer view;
    QSignalSpy finished(&view, &FpsQMLViewer::paintingFinished);
    // The viewer's own clock runs from the first frame to the twenty-sixth: between what is timed from
    // before the first and after the last and what is timed from after the first and before the last.
    QElapsedTimer outer, inner;
    outer.start();
    frame(view);
    inner.start();
    for (int i = 0; i < 24; ++i) {
        QThread::msleep(10);
        frame(view);
    }
    EXPECT_EQ(view.rootContext()->contextProperty("avgFps").toInt(), 0);
    QThread::msleep(10);
    const qint64 shortest = inner.elapsed();
    frame(view);
    const qint64 longest = outer.elapsed();
    const int fps = view.rootContext()->contextProperty("avgFps").toInt();
    // 25 frame intervals of at least 10 ms each.
    EXPECT_GE(fps, int(25000.0 / double(longest + 1)));
    EXPECT_LE(fps, 25000.0 / double(shortest));
    EXPECT_LE(fps, 100);
    EXPECT_EQ(finished.count(), 26);
}

TEST(FpsQMLViewerTest, countingOffStillSignalsButPublishesNothing)
{
    FpsQMLViewer view;
    view.setFpsCountingEnabled(false);
    QSignalSpy finished(&view, &FpsQMLViewer::paintingFinished);
    for (int i = 0; i < 30; ++i)
        frame(view);
    EXPECT_EQ(finished.count(), 30);
    EXPECT_EQ(view.averageFps(), 0);
}

TEST(QmlApplicationViewerTest, orientationsBeyondTheLocksFollowTheDevice)
{
    QmlApplicationViewer view;
    view.setOrientation(0);
    EXPECT_EQ(view.orientation(), QmlApplicationViewer::ScreenOrientationLockPortrait);
    view.setOrientation(1);
    EXPECT_EQ(view.orientation(), QmlApplicationViewer::ScreenOrientationLockLandscape);
    view.setOrientation(4);
    EXPECT_EQ(view.orientation(), QmlApplicationViewer::ScreenOrientationAuto);
}

TEST(QmlApplicationViewerTest, relativeMainFileIsTakenFromResourcesBesideTheExecutable)
{
    QmlApplicationViewer view;
    view.setMainQmlFile("qml/main.qml");
    EXPECT_EQ(view.mainQmlFile(), QCoreApplication::applicationDirPath() + "/../Resources/qml/main.qml");
}

TEST(QmlApplicationViewerTest, absoluteMainFileLoadsAndQuitClosesTheView)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("main.qml");
    writeFile(file, "import QtQuick 2.15\nItem { objectName: \"root\"; function leave() { Qt.quit() } }\n");
    QmlApplicationViewer view;
    view.setMainQmlFile(file);
    EXPECT_EQ(view.mainQmlFile(), file);
    ASSERT_NE(view.rootObject(), nullptr);
    EXPECT_EQ(view.rootObject()->objectName(), "root");

    view.showExpanded();
    EXPECT_TRUE(view.isVisible());
    QMetaObject::invokeMethod(view.rootObject(), "leave");
    QCoreApplication::processEvents();
    EXPECT_FALSE(view.isVisible());
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
