#pragma once

#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"

namespace zanth2d {

// The outgoing scene spins twice while it shrinks to nothing; the incoming scene does the reverse.
class ZTTransitionRotoZoom : public ZTTransitionScene
{
public:
    static ZTTransitionRotoZoom* transitionWithDuration(float t, ZTScene* scene);

    void onEnter() override;
};

// The outgoing scene shrinks to half and jumps out to the left; the incoming one jumps in from the right
// and grows to full size.
class ZTTransitionJumpZoom : public ZTTransitionScene
{
public:
    static ZTTransitionJumpZoom* transitionWithDuration(float t, ZTScene* scene);

    void onEnter() override;
};

// The outgoing scene shrinks towards its left third while the incoming one grows from its right third.
class ZTTransitionShrinkGrow : public ZTTransitionScene, public ZTTransitionEaseScene
{
public:
    static ZTTransitionShrinkGrow* transitionWithDuration(float t, ZTScene* scene);

    void onEnter() override;
    // ZTEaseOut with rate 2.
    ZTActionInterval* easeActionWithAction(ZTActionInterval* action) override;
};

} // namespace zanth2d
