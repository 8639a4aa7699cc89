#pragma once

#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"

namespace zanth2d {

// The incoming scene moves in from the left over the outgoing one.
class ZTTransitionMoveInL : public ZTTransitionScene, public ZTTransitionEaseScene
{
public:
    static ZTTransitionMoveInL* transitionWithDuration(float t, ZTScene* scene);

    // Puts the incoming scene where it starts.
    virtual void initScenes();
    // The incoming scene's move (autoreleased).
    virtual ZTActionInterval* action();
    // ZTEaseOut with rate 2.
    ZTActionInterval* easeActionWithAction(ZTActionInterval* action) override;
    void onEnter() override;
};

// The incoming scene moves in from the right.
class ZTTransitionMoveInR : public ZTTransitionMoveInL
{
public:
    static ZTTransitionMoveInR* transitionWithDuration(float t, ZTScene* scene);

    void initScenes() override;
};

// The incoming scene moves in from the top.
class ZTTransitionMoveInT : public ZTTransitionMoveInL
{
public:
    static ZTTransitionMoveInT* transitionWithDuration(float t, ZTScene* scene);

    void initScenes() override;
};

// The incoming scene moves in from the bottom.
class ZTTransitionMoveInB : public ZTTransitionMoveInL
{
public:
    static ZTTransitionMoveInB* transitionWithDuration(float t, ZTScene* scene);

    void initScenes() override;
};

} // namespace zanth2d
