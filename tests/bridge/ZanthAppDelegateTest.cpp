// The delegate launched on a real GL view with the real wrapper over an unshown view, the director's
// frames driven by hand.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>

#include <dlfcn.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AudioCapture.h"
#include "FixtureDir.h"
#include "SimpleAudioEngine.h"
#include "ToneFile.h"
#include "ZTDirector.h"
#include "cocoa/ZTSet.h"
#include "enginescene.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "platform/linux/ZTEGLView.h"
#include "scenegraphwrapper.h"
#include "touch_dispatcher/ZTTouch.h"
#include "zanthappdelegate.h"

using namespace zanth2d;

namespace {

std::vector<std::string> g_log;

// Records each frame pass before it runs, with what has become of the watched object.
class RecordingWrapper : public SceneGraphWrapper
{
public:
    using SceneGraphWrapper::SceneGraphWrapper;

    void updateModifiedItemsForSceneGraph(float dt) override
    {
        if (watching)
            g_log.push_back("pump " + state());
        SceneGraphWrapper::updateModifiedItemsForSceneGraph(dt);
    }
    // "gone", or the watched object's name.
    std::string state() const { return victim ? victim->objectName().toStdString() : "gone"; }
    EngineScene* target() const { return static_cast<EngineScene*>(getRootSceneGraphNode()); }

    QPointer<QObject> victim;
    bool watching = false;
};

// Records, each time the frame is drawn, what has become of the watched object.
class ProbeNode : public ZTNode
{
public:
    explicit ProbeNode(RecordingWrapper* wrapper) : m_wrapper(wrapper) {}
    void draw() override
    {
        if (m_wrapper->watching)
            g_log.push_back("draw " + m_wrapper->state());
    }

private:
    RecordingWrapper* m_wrapper;
};

QQuickView* g_view = nullptr;
RecordingWrapper* g_wrapperObject = nullptr;
RecordingWrapper& g_wrapper()
{
    return *g_wrapperObject;
}
ZanthAppDelegate* g_delegate = nullptr;
int g_launchedCalls = 0;
std::vector<std::string> g_configKeysRead;
bool g_wrapperHadSceneAtLaunch = false;

void runFrames(int count)
{
    for (int i = 0; i < count; ++i)
        ZTDirector::sharedDirector()->mainLoop();
}

} // namespace

TEST(ZanthAppDelegateLaunch, opensTheWindowAndRunsTheEngineSceneBeforeTheApplicationLoads)
{
    ASSERT_TRUE(g_delegate->initInstance());
    EXPECT_EQ(g_configKeysRead, std::vector<std::string>{"title"});
    // Keeps the GL driver loaded to the end, where the leak checker can still name (and suppress) it.
    for (const char* library :
         {"swrast_dri.so", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libGLX_mesa.so.0"})
        dlopen(library, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    EXPECT_FALSE(g_delegate->isRunning());
    EXPECT_TRUE(g_delegate->applicationDidFinishLaunching());
    EXPECT_TRUE(g_delegate->isRunning());
    EXPECT_EQ(g_launchedCalls, 1);
    EXPECT_TRUE(g_wrapperHadSceneAtLaunch);
    ASSERT_NE(g_wrapper().target(), nullptr);
    EXPECT_EQ(g_delegate->getSize(), QSize(960, 640));

    runFrames(2);
    ZTScene* running = ZTDirector::sharedDirector()->getRunningScene();
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(running->getChildByTag(0), g_wrapper().target());
    EXPECT_TRUE(g_wrapper().target()->getIsTouchEnabled());
    EXPECT_TRUE(g_wrapper().target()->getIsKeypadEnabled());
}

TEST(ZanthAppDelegateLaunch, resizeChangesTheDirectorSizeAndIgnoresAnEmptySize)
{
    g_delegate->resize(800, 600);
    EXPECT_EQ(g_delegate->getSize(), QSize(800, 600));
    g_delegate->resize(0, 600);
    g_delegate->resize(800, -1);
    EXPECT_EQ(g_delegate->getSize(), QSize(800, 600));
    g_delegate->setDisplayFps(true);
    EXPECT_TRUE(ZTDirector::sharedDirector()->isDisplayFPS());
    g_delegate->setDisplayFps(false);
    EXPECT_FALSE(ZTDirector::sharedDirector()->isDisplayFPS());
}

TEST(EngineSceneFramePump, objectDeletedInAQmlHandlerIsGoneBeforeTheFrameIsDrawn)
{
    auto* probe = new ProbeNode(&g_wrapper());
    probe->autorelease();
    g_wrapper().target()->addChild(probe);

    QQmlEngine engine;
    QQmlComponent component(&engine);
    // QML destroys only what it created itself, and destroy() goes through deleteLater.
    component.setData(
        "import QtQuick 2.15\n"
        "Timer { interval: 0; running: true\n"
        "        property QtObject victim: Qt.createQmlObject('import QtQml 2.15; QtObject {}', this)\n"
        "        onTriggered: { victim.objectName = 'handled'; victim.destroy() } }\n",
        QUrl());
    std::unique_ptr<QObject> timer(component.create());
    ASSERT_NE(timer, nullptr) << component.errorString().toStdString();
    g_wrapper().victim = timer->property("victim").value<QObject*>();
    ASSERT_FALSE(g_wrapper().victim.isNull());
    g_wrapper().watching = true;
    g_log.clear();
    runFrames(3);
    g_wrapper().watching = false;
    probe->removeFromParentAndCleanup(true);

    // The wrapper's step runs after the handler and before the deletion; the next draw finds it gone.
    const auto pumped = std::find(g_log.begin(), g_log.end(), "pump handled");
    ASSERT_NE(pumped, g_log.end()) << ::testing::PrintToString(g_log);
    ASSERT_NE(pumped + 1, g_log.end());
    EXPECT_EQ(*(pumped + 1), "draw gone") << ::testing::PrintToString(g_log);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "draw handled"), 0);
    EXPECT_TRUE(g_wrapper().victim.isNull());
}

TEST(EngineSceneInput, touchesAndKeypadKeysReachQmlWithCancelledAsEnded)
{
    g_view->setSource(QUrl("data:text/plain,"));
    QQmlComponent component(g_view->engine());
    component.setData("import QtQuick 2.15\n"
                      "Item { width: 100; height: 100; focus: true\n"
                      "  property var log: []\n"
                      "  Keys.onPressed: (event) => { log.push('key ' + event.key); log = log }\n"
                      "  MouseArea { anchors.fill: parent\n"
                      "    onPressed: { parent.log.push('pressed'); parent.log = parent.log }\n"
                      "    onPositionChanged: { parent.log.push('moved'); parent.log = parent.log }\n"
                      "    onReleased: { parent.log.push('released'); parent.log = parent.log } } }\n",
                      QUrl());
    std::unique_ptr<QQuickItem> root(qobject_cast<QQuickItem*>(component.create()));
    ASSERT_NE(root, nullptr) << component.errorString().toStdString();
    root->setParentItem(g_view->contentItem());
    root->forceActiveFocus();

    auto* touch = new ZTTouch();
    ZTSet set;
    set.addObject(touch);
    touch->release();
    EngineScene* scene = g_wrapper().target();
    touch->setTouchInfo(10, 10);
    scene->ztTouchesBegan(&set, nullptr);
    touch->setTouchInfo(20, 20);
    scene->ztTouchesMoved(&set, nullptr);
    scene->ztTouchesEnded(&set, nullptr);
    touch->setTouchInfo(30, 30);
    scene->ztTouchesBegan(&set, nullptr);
    scene->ztTouchesCancelled(&set, nullptr);
    scene->keyBackClicked();
    scene->keyMenuClicked();
    EXPECT_EQ(root->property("log").toStringList(),
              QStringList({"pressed", "moved", "released", "pressed", "released",
                           QString("key %1").arg(Qt::Key_Back), QString("key %1").arg(Qt::Key_Menu)}));
}

TEST(ZanthAppDelegateLifecycle, backgroundAndForegroundEachActOnceUntilTheOtherComes)
{
    ZTDirector* director = ZTDirector::sharedDirector();
    g_log.clear();
    g_delegate->applicationDidEnterBackground();
    EXPECT_TRUE(director->isPaused());
    EXPECT_FALSE(g_delegate->isRunning());
    director->resume();
    g_delegate->applicationDidEnterBackground();
    EXPECT_FALSE(director->isPaused());
    EXPECT_EQ(g_log, std::vector<std::string>{"background"});

    director->pause();
    g_delegate->applicationWillEnterForeground();
    EXPECT_FALSE(director->isPaused());
    EXPECT_TRUE(g_delegate->isRunning());
    director->pause();
    g_delegate->applicationWillEnterForeground();
    EXPECT_TRUE(director->isPaused());
    director->resume();
    EXPECT_EQ(g_log, (std::vector<std::string>{"background", "foreground"}));
}

TEST(ZanthAppDelegateLifecycle, backgroundPausesTheEffectsAndForegroundResumesOnlyThePausedOnes)
{
    FixtureDir dir;
    Tone tone;
    writeToneWav(dir.path("loop.wav"), tone);
    tone.seconds = 0.05;
    writeToneWav(dir.path("short.wav"), tone);
    auto* audio = ZanthAudio::SimpleAudioEngine::sharedEngine();
    const unsigned int looping = audio->playEffect(dir.path("loop.wav").c_str(), true);
    const unsigned int ended = audio->playEffect(dir.path("short.wav").c_str());
    for (int i = 0; i < 200 && AudioCapture::sourceState(ended) == AL_PLAYING; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(AudioCapture::sourceState(ended), AL_STOPPED);
    ASSERT_EQ(AudioCapture::sourceState(looping), AL_PLAYING);
    g_delegate->applicationDidEnterBackground();
    EXPECT_EQ(AudioCapture::sourceState(looping), AL_PAUSED);
    g_delegate->applicationWillEnterForeground();
    EXPECT_EQ(AudioCapture::sourceState(looping), AL_PLAYING);
    EXPECT_EQ(AudioCapture::sourceState(ended), AL_STOPPED);
    audio->stopAllEffects();
}

TEST(EngineSceneCreation, aSceneHoldsItsLayerWithTagZeroAndNoWrapper)
{
    ZTScene* scene = EngineScene::scene();
    auto* layer = dynamic_cast<EngineScene*>(scene->getChildByTag(0));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->getZOrder(), 0);
    EXPECT_EQ(layer->sceneGraphWrapper(), nullptr);
    EXPECT_EQ(layer->declarativeView(), nullptr);
    // Without a wrapper a frame still pumps the Qt events and the deferred deletions.
    QPointer<QObject> doomed = new QObject();
    doomed->deleteLater();
    layer->update(1.0f / 60);
    EXPECT_TRUE(doomed.isNull());
}

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QQuickView view;
    g_view = &view;
    RecordingWrapper wrapper(view, nullptr);
    g_wrapperObject = &wrapper;
    QObject::connect(&wrapper, &SceneGraphWrapper::applicationDidFinishLaunchingSignal, [] {
        ++g_launchedCalls;
        g_wrapperHadSceneAtLaunch = g_wrapper().target() != nullptr;
    });
    QObject::connect(&wrapper, &SceneGraphWrapper::applicationPaused, [] { g_log.push_back("background"); });
    QObject::connect(&wrapper, &SceneGraphWrapper::applicationResumed, [] { g_log.push_back("foreground"); });
    ZanthAppDelegate delegate([](const QString& key) {
        g_configKeysRead.push_back(key.toStdString());
        return QVariant();
    });
    delegate.setSceneGraphWrapper(&wrapper);
    g_delegate = &delegate;
    const int status = RUN_ALL_TESTS();
    if (ZTEGLView::hasSharedOpenGLView()) {
        ZTDirector::sharedDirector()->end();
        ZTDirector::sharedDirector()->mainLoop();
    }
    return status;
}
