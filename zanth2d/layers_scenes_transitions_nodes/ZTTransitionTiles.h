#pragma once

#include "effects/ZTGrid.h"
#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"

namespace zanth2d {

// The outgoing scene's tiles go off one by one in a shuffled order, showing the incoming scene below.
class ZTTransitionTurnOffTiles : public ZTTransitionScene, public ZTTransitionEaseScene
{
public:
    static ZTTransitionTurnOffTiles* transitionWithDuration(float t, ZTScene* scene);

    // The incoming scene is drawn below the outgoing one.
    void sceneOrder() override;
    void onEnter() override;
    // The action itself.
    ZTActionInterval* easeActionWithAction(ZTActionInterval* action) override;
};

// The outgoing scene splits into three columns that slide out up and down; the incoming scene slides in
// the same way.
class ZTTransitionSplitCols : public ZTTransitionScene, public ZTTransitionEaseScene
{
public:
    static ZTTransitionSplitCols* transitionWithDuration(float t, ZTScene* scene);

    // The split of one half of the transition (autoreleased).
    virtual ZTActionInterval* action();
    void onEnter() override;
    // ZTEaseInOut with rate 3.
    ZTActionInterval* easeActionWithAction(ZTActionInterval* action) override;
};

// As ZTTransitionSplitCols with three rows sliding left and right.
class ZTTransitionSplitRows : public ZTTransitionSplitCols
{
public:
    static ZTTransitionSplitRows* transitionWithDuration(float t, ZTScene* scene);

    ZTActionInterval* action() override;
};

// The outgoing scene's tiles shrink and vanish from the bottom-left corner towards the top right,
// uncovering the incoming scene below.
class ZTTransitionFadeTR : public ZTTransitionScene, public ZTTransitionEaseScene
{
public:
    static ZTTransitionFadeTR* transitionWithDuration(float t, ZTScene* scene);

    // The incoming scene is drawn below the outgoing one.
    void sceneOrder() override;
    // The tile effect over a grid of the given size for the whole duration (autoreleased).
    virtual ZTActionInterval* actionWithSize(const ztGridSize& size);
    void onEnter() override;
    // The action itself.
    ZTActionInterval* easeActionWithAction(ZTActionInterval* action) override;
};

// As ZTTransitionFadeTR, from the top-right corner towards the bottom left.
class ZTTransitionFadeBL : public ZTTransitionFadeTR
{
public:
    static ZTTransitionFadeBL* transitionWithDuration(float t, ZTScene* scene);

    ZTActionInterval* actionWithSize(const ztGridSize& size) override;
};

// As ZTTransitionFadeTR, row by row upwards.
class ZTTransitionFadeUp : public ZTTransitionFadeTR
{
public:
    static ZTTransitionFadeUp* transitionWithDuration(float t, ZTScene* scene);

    ZTActionInterval* actionWithSize(const ztGridSize& size) override;
};

// As ZTTransitionFadeTR, row by row downwards.
class ZTTransitionFadeDown : public ZTTransitionFadeTR
{
public:
    static ZTTransitionFadeDown* transitionWithDuration(float t, ZTScene* scene);

    ZTActionInterval* actionWithSize(const ztGridSize& size) override;
};

} // namespace zanth2d
