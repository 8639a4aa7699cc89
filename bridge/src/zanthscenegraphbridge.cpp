#include "zanthscenegraphbridge.h"

#include "ZTDirector.h"

QObject* ZanthSceneGraphBridge::wrapper()
{
    return nullptr;
}

int ZanthSceneGraphBridge::run(const std::function<void()>& launched)
{
    m_delegate.setLaunchedCallback(launched);
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

void ZanthSceneGraphBridge::setDisplayFps(bool enabled)
{
    m_delegate.setDisplayFps(enabled);
}

void ZanthSceneGraphBridge::endDirector()
{
    zanth2d::ZTDirector::sharedDirector()->end();
}

// These four belong to the wrapper that mirrors items into nodes; there is none yet, so there are no
// nodes to resize, mirror or notify.
void ZanthSceneGraphBridge::windowSizeChanged() {}
void ZanthSceneGraphBridge::setInitialized(bool) {}
void ZanthSceneGraphBridge::createSceneGraphTreeFromQmlTree(QObject*) {}
void ZanthSceneGraphBridge::setAppStarted(bool) {}
