#pragma once

#include "scenegraphbridge.h"
#include "scenegraphwrapper.h"
#include "zanthappdelegate.h"

class QQuickView;

// The application's scene-graph side: the application delegate with its window and director, and the
// wrapper that mirrors the view's items into nodes. The wrapper goes before the delegate.
class ZanthSceneGraphBridge : public SceneGraphBridge
{
public:
    // The view (not owned) must outlive this and already hold the "system" context property.
    ZanthSceneGraphBridge(QQuickView& view, ZanthAppDelegate::ConfigValueReader readConfigValue);

    QObject* wrapper() override { return &m_wrapper; }
    int run(const std::function<void()>& launched) override;
    QSize size() const override;
    void resize(int width, int height) override;
    void windowSizeChanged() override;
    void setInitialized(bool initialized) override;
    void setDisplayFps(bool enabled) override;
    void createSceneGraphTreeFromQmlTree(QObject* root) override;
    void setAppStarted(bool started) override;
    void endDirector() override;

    ZanthAppDelegate& delegate() { return m_delegate; }
    SceneGraphWrapper& sceneGraphWrapper() { return m_wrapper; }

private:
    ZanthAppDelegate m_delegate;
    SceneGraphWrapper m_wrapper;
};
