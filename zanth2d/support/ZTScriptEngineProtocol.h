#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTSet;
class ZTTouch;

// What the scene graph asks of an installed script engine. Handlers are the engine's own ids;
// callers pass them only when they are not 0.
class ZTScriptEngineProtocol : public ZTObject
{
public:
    // The object with this script id is being destroyed.
    virtual void removeScriptObjectByID(int nScriptID) = 0;
    // The handler is no longer referenced by the scene graph.
    virtual void removeScriptHandler(int nHandler) = 0;
    // A scheduled handler fires; dt is the timer's elapsed time in seconds.
    virtual void executeSchedule(int nHandler, float dt) = 0;
    // A node event: 0 entered, 1 exited.
    virtual void executeNodeEvent(int nHandler, int nEvent) = 0;
    // Touch phases: 0 began, 1 moved, 2 ended, 3 cancelled.
    virtual void executeTouchEvent(int nHandler, int nPhase, ZTTouch* pTouch) = 0;
    virtual void executeTouchesEvent(int nHandler, int nPhase, ZTSet* pTouches) = 0;
};

} // namespace zanth2d
