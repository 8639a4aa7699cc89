#pragma once

#include "platform/linux/ZTGLViewEventSink.h"

namespace zanth2d {
class ZTSet;
}

class EngineScene;

// What the delegate and the engine scene ask of the wrapper that mirrors QML items into nodes: besides
// the GL view's events, the scene it works on, the touches and keypad keys the scene receives and the
// application's background and foreground changes.
class SceneGraphWrapperHooks : public zanth2d::ZTGLViewEventSink
{
public:
    // The scene learns the view and the wrapper and is placed at (0, window height).
    virtual void setTargetScene(EngineScene* scene) = 0;
    virtual void touchesBegan(zanth2d::ZTSet* touches) = 0;
    virtual void touchesMoved(zanth2d::ZTSet* touches) = 0;
    virtual void touchesEnded(zanth2d::ZTSet* touches) = 0;
    virtual void keyBackClicked() = 0;
    virtual void keyMenuClicked() = 0;
    virtual void applicationDidEnterBackground() = 0;
    virtual void applicationWillEnterForeground() = 0;
};
