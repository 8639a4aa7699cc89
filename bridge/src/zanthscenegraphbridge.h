#pragma once

#include "scenegraphbridge.h"
#include "zanthappdelegate.h"

// The application's scene-graph side: the application delegate, its window and the director.
class ZanthSceneGraphBridge : public SceneGraphBridge
{
public:
    explicit ZanthSceneGraphBridge(ZanthAppDelegate::ConfigValueReader readConfigValue)
        : m_delegate(std::move(readConfigValue))
    {
    }

    QObject* wrapper() override;
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

private:
    ZanthAppDelegate m_delegate;
};
