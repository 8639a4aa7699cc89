#pragma once

#include <QSize>

#include <functional>

class QObject;

// What the application object asks of the scene-graph side: the application delegate that owns the
// GL window and the director, and the wrapper that mirrors QML items into nodes. The bridge declares it
// and provides the implementation (ZanthSceneGraphBridge); the application owns one for the life of the
// process, and its tests put a recording one in its place.
class SceneGraphBridge
{
public:
    virtual ~SceneGraphBridge() = default;

    // The wrapper object published to QML as "sceneGraphWrapper".
    virtual QObject* wrapper() = 0;
    // Runs the scene-graph main loop; launched() is called once the GL window, director and scene
    // exist. Returns the exit code when the loop ends.
    virtual int run(const std::function<void()>& launched) = 0;
    // The director's window size in points, truncated to integers.
    virtual QSize size() const = 0;
    // Resizes the GL view and sets the director's projection to that size.
    virtual void resize(int width, int height) = 0;
    virtual void windowSizeChanged() = 0;
    // Switches the mirroring of item trees on; calls made while it is off are ignored.
    virtual void setInitialized(bool initialized) = 0;
    virtual void setDisplayFps(bool enabled) = 0;
    virtual void createSceneGraphTreeFromQmlTree(QObject* root) = 0;
    // While not started the wrapper passes no window reshape on to QML.
    virtual void setAppStarted(bool started) = 0;
    // Ends the director, and with it the main loop, at the end of the current frame.
    virtual void endDirector() = 0;
};
