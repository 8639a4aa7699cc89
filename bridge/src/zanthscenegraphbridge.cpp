#include "zanthscenegraphbridge.h"

#include "ZTDirector.h"

ZanthSceneGraphBridge::ZanthSceneGraphBridge(QQuickView& view,
                                             ZanthAppDelegate::ConfigValueReader readConfigValue)
    : m_delegate(std::move(readConfigValue)), m_wrapper(view, nullptr)
{
    m_delegate.setSceneGraphWrapper(&m_wrapper);
}

int ZanthSceneGraphBridge::run(const std::function<void()>& launched)
{
    // Direct: the main QML file is loaded before the delegate's launch returns.
    QObject::connect(&m_wrapper, &SceneGraphWrapper::applicationDidFinishLaunchingSignal, &m_wrapper,
                     launched, Qt::DirectConnection);
    return m_delegate.run();
}

QSize ZanthSceneGraphBridge::size() const
{
    return m_delegate.getSize();
}

void ZanthSceneGraphBridge::resize(int width, int height)
{
    m_delegate.resize(width, height);
}

void ZanthSceneGraphBridge::windowSizeChanged()
{
    m_wrapper.windowSizeChanged();
}

void ZanthSceneGraphBridge::setInitialized(bool initialized)
{
    m_wrapper.setInitialized(initialized);
}

void ZanthSceneGraphBridge::setDisplayFps(bool enabled)
{
    m_delegate.setDisplayFps(enabled);
}

void ZanthSceneGraphBridge::createSceneGraphTreeFromQmlTree(QObject* root)
{
    m_wrapper.createSceneGraphTreeFromQmlTree(root);
    // The time the file took to load is no game time: as the next frame's delta it would play a burst
    // started on creation through its whole life in one step, and nothing of it would ever be drawn.
    zanth2d::ZTDirector::sharedDirector()->setNextDeltaTimeZero(true);
}

void ZanthSceneGraphBridge::setAppStarted(bool started)
{
    m_wrapper.setAppStarted(started);
}

void ZanthSceneGraphBridge::endDirector()
{
    zanth2d::ZTDirector::sharedDirector()->end();
}
