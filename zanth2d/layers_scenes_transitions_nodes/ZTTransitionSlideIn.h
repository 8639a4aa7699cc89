#pragma once

#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"

namespace zanth2d {

// The incoming scene slides in from the left and pushes the outgoing one out to the right.
class ZTTransitionSlideInL : public ZTTransitionScene, public ZTTransitionEaseScene
{
public:
    static ZTTransitionSlideInL* transitionWithDuration(float t, ZTScene* scene);

    // The incoming scene is drawn below the outgoing one.
    void sceneOrder() override;
    // Puts the incoming scene where it starts.
    virtual void initScenes();
    // The move both scenes make (a new autoreleased action on every call).
    virtual ZTActionInterval* action();
    // ZTEaseOut with rate 2.
    ZTActionInterval* easeActionWithAction(ZTActionInterval* action) override;
    void onEnter() override;
};

// The incoming scene slides in from the right.
class ZTTransitionSlideInR : public ZTTransitionSlideInL
{
public:
    static ZTTransitionSlideInR* transitionWithDuration(float t, ZTScene* scene);

    void initScenes() override;
    ZTActionInterval* action() override;
};

// The incoming scene slides in from the top.
class ZTTransitionSlideInT : public ZTTransitionSlideInL
{
public:
    static ZTTransitionSlideInT* transitionWithDuration(float t, ZTScene* scene);

    void initScenes() override;
    ZTActionInterval* action() override;
};

// The incoming scene slides in from the bottom.
class ZTTransitionSlideInB : public ZTTransitionSlideInL
{
public:
    static ZTTransitionSlideInB* transitionWithDuration(float t, ZTScene* scene);

    void initScenes() override;
    ZTActionInterval* action() override;
};

} // namespace zanth2d
