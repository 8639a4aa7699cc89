#pragma once

#include "TestFiles.h"
#include "VisibleWindowLock.h"

#include "ZTDirector.h"
#include "platform/linux/ZTEGLView.h"
#include "qmlapplicationviewer.h"
#include "system.h"
#include "zanthapplication.h"
#include "zanthscenegraphbridge.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QQmlContext>
#include <QQuickItem>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// The application's scene-graph side, launched as the application launches it but without the loop of
// frames, which the test runs by hand.
class SteppedSceneGraph : public ZanthSceneGraphBridge
{
public:
    using ZanthSceneGraphBridge::ZanthSceneGraphBridge;

    int run(const std::function<void()>& launched) override
    {
        QObject::connect(&sceneGraphWrapper(), &SceneGraphWrapper::applicationDidFinishLaunchingSignal,
                         &sceneGraphWrapper(), launched, Qt::DirectConnection);
        m_launched = delegate().initInstance() && delegate().applicationDidFinishLaunching();
        return m_launched ? 0 : 1;
    }
    bool launched() const { return m_launched; }

private:
    bool m_launched = false;
};

// The engine inside the test process, started by the application's own startApplication with frames
// stepped by hand: the application object with its services and unshown view, the delegate's real GL
// window, the wrapper, and QML loaded as the application loads its main file. Pixels are read back from
// the window. One per process (it makes the Qt application); the working folder becomes a temporary
// folder holding qml/config.json with a test stage, so that log lines are kept.
class InProcessEngine
{
public:
    InProcessEngine(int& argc, char** argv, const QByteArray& title = "Zanth in-process test")
    {
        QDir::setCurrent(m_folder.path());
        writeTestFile(m_folder.filePath("qml/config.json"),
                      "{ \"title\": \"" + title + "\", \"stage\": \"test\" }");
        writeTestFile(m_folder.filePath("qml/main.qml"),
                      "import QtQuick 2.15\nItem { width: 320; height: 240 }\n");
        m_application = std::make_unique<ZanthApplication>(argc, argv);
        m_application->setQmlRendererEnabled(false);
        // The wrapper takes "system" when it is made, which the application publishes just before.
        view().rootContext()->setContextProperty("system", m_application->system());
        auto sceneGraph =
            std::make_unique<SteppedSceneGraph>(*m_application->declarativeView(), &System::getConfigValue);
        m_sceneGraph = sceneGraph.get();
        m_application->setSceneGraphBridge(std::move(sceneGraph));
        m_application->startApplication();
        stepFrames(1);
    }

    ~InProcessEngine()
    {
        if (zanth2d::ZTEGLView::hasSharedOpenGLView()) {
            zanth2d::ZTDirector::sharedDirector()->end();
            zanth2d::ZTDirector::sharedDirector()->mainLoop();
        }
    }

    InProcessEngine(const InProcessEngine&) = delete;
    InProcessEngine& operator=(const InProcessEngine&) = delete;

    bool started() const { return m_sceneGraph->launched(); }
    ZanthApplication& application() { return *m_application; }
    QmlApplicationViewer& view() { return *m_application->declarativeView(); }
    SceneGraphWrapper& wrapper() { return m_sceneGraph->sceneGraphWrapper(); }
    ZanthAppDelegate& delegate() { return m_sceneGraph->delegate(); }
    QString folder() const { return m_folder.path(); }
    // The item's node in the bridge, or null.
    zanth2d::ZTNode* nodeOf(QQuickItem* item) { return wrapper().getNodeFromObject(item); }

    // Writes the QML text as a new file of the working folder's qml/ folder, loads it as the main QML file
    // (which sizes the window to its root item and mirrors its items), and draws one frame. Returns the
    // root item. Each load has a file of its own: the QML engine keeps what it read under the file's name.
    QQuickItem* load(const QByteArray& qml)
    {
        const QString fileName = QString("qml/main%1.qml").arg(++m_loads);
        writeTestFile(m_folder.filePath(fileName), qml);
        // As in a fresh application, the view takes the size of the new root item.
        view().resize(1, 1);
        m_application->setMainQmlFileName(fileName);
        m_application->loadQmlFile();
        stepFrames(1);
        return view().rootObject();
    }

    // Runs whole frames of the director: the frame pump, the batch, drawing and the buffer swap.
    void stepFrames(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            zanth2d::ZTDirector::sharedDirector()->mainLoop();
    }

    // Runs frames until the condition holds (it is checked before each); false when it still does not
    // after many frames. A window that grew with a new file, for one, shows its new size a frame later.
    bool stepFramesUntil(const std::function<bool()>& condition)
    {
        for (int frame = 0; frame < 600; ++frame) {
            if (condition())
                return true;
            stepFrames(1);
        }
        return condition();
    }

    // The window as last shown, origin top left.
    QImage grabWindow() const
    {
        const zanth2d::ZTSize size = zanth2d::ZTEGLView::sharedOpenGLView()->getSize();
        const int width = int(size.width);
        const int height = int(size.height);
        QImage image(width, height, QImage::Format_RGBA8888);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        // The software driver swaps by copying, so the back buffer still holds the frame just shown.
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
        return image.mirrored();
    }

    QColor pixel(int x, int y) const { return grabWindow().pixelColor(x, y); }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<ZanthApplication> m_application;
    SteppedSceneGraph* m_sceneGraph = nullptr;
    int m_loads = 0;
};

// The item below root with this objectName, or null.
inline QQuickItem* findItem(QQuickItem* root, const char* objectName)
{
    return root->findChild<QQuickItem*>(objectName);
}

// Runs the program's tests on one in-process engine, which engine points to while they run. The engine's
// window takes turns with the other window tests.
inline int runTestsOnInProcessEngine(int argc, char** argv, InProcessEngine*& engine)
{
    ::testing::InitGoogleTest(&argc, argv);
    const VisibleWindowLock windowLock;
    InProcessEngine inProcess(argc, argv);
    if (!inProcess.started())
        return 1;
    engine = &inProcess;
    const int status = RUN_ALL_TESTS();
    engine = nullptr;
    return status;
}
