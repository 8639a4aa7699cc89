#pragma once

#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"

namespace zanth2d {

// The outgoing scene turns away about the vertical axis for half the time; then the incoming one turns
// in. kZTOrientationRightOver turns from the right.
class ZTTransitionFlipX : public ZTTransitionSceneOriented
{
public:
    static ZTTransitionFlipX* transitionWithDuration(float t, ZTScene* scene, tOrientation o);

    void onEnter() override;
};

// As ZTTransitionFlipX about the horizontal axis. kZTOrientationUpOver turns from the top.
class ZTTransitionFlipY : public ZTTransitionSceneOriented
{
public:
    static ZTTransitionFlipY* transitionWithDuration(float t, ZTScene* scene, tOrientation o);

    void onEnter() override;
};

// As ZTTransitionFlipX about a diagonal axis.
class ZTTransitionFlipAngular : public ZTTransitionSceneOriented
{
public:
    static ZTTransitionFlipAngular* transitionWithDuration(float t, ZTScene* scene, tOrientation o);

    void onEnter() override;
};

// As ZTTransitionFlipX, shrinking the outgoing scene to half and growing the incoming one from half.
class ZTTransitionZoomFlipX : public ZTTransitionSceneOriented
{
public:
    static ZTTransitionZoomFlipX* transitionWithDuration(float t, ZTScene* scene, tOrientation o);

    void onEnter() override;
};

// As ZTTransitionFlipY, with the zoom of ZTTransitionZoomFlipX.
class ZTTransitionZoomFlipY : public ZTTransitionSceneOriented
{
public:
    static ZTTransitionZoomFlipY* transitionWithDuration(float t, ZTScene* scene, tOrientation o);

    void onEnter() override;
};

// As ZTTransitionFlipAngular, with the zoom of ZTTransitionZoomFlipX.
class ZTTransitionZoomFlipAngular : public ZTTransitionSceneOriented
{
public:
    static ZTTransitionZoomFlipAngular* transitionWithDuration(float t, ZTScene* scene, tOrientation o);

    void onEnter() override;
};

} // namespace zanth2d
