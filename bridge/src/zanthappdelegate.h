#pragma once

#include "platform/linux/ZTApplication.h"

#include <QSize>
#include <QVariant>

#include <functional>

class SceneGraphWrapper;

namespace zanth2d {
class ZTEGLView;
}

// The engine's application: opens the GL window, sets up the director and runs the engine scene.
// The application object keeps it for the life of the process.
class ZanthAppDelegate : public zanth2d::ZTApplication
{
public:
    // Reads one key of the application's configuration (the engine's System does).
    using ConfigValueReader = std::function<QVariant(const QString& key)>;

    explicit ZanthAppDelegate(ConfigValueReader readConfigValue);
    // Ends the sound engine, closing the audio device.
    ~ZanthAppDelegate() override;

    // Not owned; null until the wrapper exists.
    void setSceneGraphWrapper(SceneGraphWrapper* wrapper) { m_sceneGraphWrapper = wrapper; }
    SceneGraphWrapper* sceneGraphWrapper() const { return m_sceneGraphWrapper; }
    bool isRunning() const { return m_running; }

    // Opens the 960x640 window titled from the configuration ("Zanth" when it has no title).
    bool initInstance() override;
    // Runs the engine scene, then tells the wrapper, whose signal makes the application load its QML.
    bool applicationDidFinishLaunching() override;
    // Pauses the director and every sound effect; music follows the game window's applicationPaused.
    void applicationDidEnterBackground() override;
    // Resumes the director and the effects that were paused.
    void applicationWillEnterForeground() override;

    // Resizes the GL view and sets the director's projection to that size.
    void resize(int width, int height);
    // The director's window size, truncated to whole points.
    QSize getSize() const;
    void setDisplayFps(bool enabled);

private:
    SceneGraphWrapper* m_sceneGraphWrapper = nullptr;
    // The director owns the view once it has it, and releases it when it ends.
    zanth2d::ZTEGLView* m_glView = nullptr;
    bool m_running = false;
    ConfigValueReader m_readConfigValue;
};
