#include "zanthappdelegate.h"

#include "enginescene.h"
#include "scenegraphwrapper.h"

#include "ZTDirector.h"
#include "label_nodes/ZTLabelTTF.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "platform/linux/ZTEGLView.h"

#include "SimpleAudioEngine.h"

#include <QtDebug>

using namespace zanth2d;

ZanthAppDelegate::ZanthAppDelegate(ConfigValueReader readConfigValue)
    : m_readConfigValue(std::move(readConfigValue))
{
}

ZanthAppDelegate::~ZanthAppDelegate()
{
    ZanthAudio::SimpleAudioEngine::sharedEngine();
    ZanthAudio::SimpleAudioEngine::end();
}

bool ZanthAppDelegate::initInstance()
{
    QString title;
    if (m_readConfigValue)
        title = m_readConfigValue(QStringLiteral("title")).toString();
    if (title.isEmpty())
        title = QStringLiteral("Zanth");
    m_glView = new ZTEGLView();
    if (m_glView->Create(title.toLocal8Bit().constData(), 960, 640, m_sceneGraphWrapper))
        return true;
    // No director will ever own a view without a window: let it go rather than leave it shared.
    m_glView->release();
    m_glView = nullptr;
    return false;
}

bool ZanthAppDelegate::applicationDidFinishLaunching()
{
    // The director draws its frame-rate label with a TTF label once it knows how to make one.
    ZTLabelTTF::installFPSLabelHooks();

    ZTDirector* director = ZTDirector::sharedDirector();
    director->setOpenGLView(ZTEGLView::sharedOpenGLView());
    director->setProjection(kZTDirectorProjection2D);
    director->setAnimationInterval(1.0 / 60);

    ZTScene* scene = EngineScene::scene();
    auto* layer = static_cast<EngineScene*>(scene->getChildByTag(0));
    if (m_sceneGraphWrapper && layer)
        m_sceneGraphWrapper->setTargetScene(layer);
    director->runWithScene(scene);

    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->applicationDidFinishLaunching();
    m_running = true;
    return true;
}

void ZanthAppDelegate::applicationDidEnterBackground()
{
    if (!m_running)
        return;
    ZTDirector* director = ZTDirector::sharedDirector();
    director->stopAnimation();
    director->pause();
    ZanthAudio::SimpleAudioEngine::sharedEngine()->pauseAllEffects();
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->applicationDidEnterBackground();
    m_running = false;
}

void ZanthAppDelegate::applicationWillEnterForeground()
{
    if (m_running)
        return;
    ZTDirector* director = ZTDirector::sharedDirector();
    director->resume();
    director->startAnimation();
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->applicationWillEnterForeground();
    ZanthAudio::SimpleAudioEngine::sharedEngine()->resumeAllEffects();
    m_running = true;
}

void ZanthAppDelegate::resize(int width, int height)
{
    // A root item without a size would ask for an empty window, which the window system refuses outright.
    if (width <= 0 || height <= 0) {
        qWarning("ZanthAppDelegate: WARNING: ignoring the window size %dx%d, the window keeps its size",
                 width, height);
        return;
    }
    if (ZTEGLView::hasSharedOpenGLView())
        ZTEGLView::sharedOpenGLView()->resize(width, height);
    ZTDirector::sharedDirector()->reshapeProjection(ZTSize(width, height));
}

QSize ZanthAppDelegate::getSize() const
{
    const ZTSize size = ZTDirector::sharedDirector()->getWinSize();
    return QSize(static_cast<int>(size.width), static_cast<int>(size.height));
}

void ZanthAppDelegate::setDisplayFps(bool enabled)
{
    ZTDirector::sharedDirector()->setDisplayFPS(enabled);
}
