#pragma once

#include "layers_scenes_transitions_nodes/ZTScene.h"

namespace zanth2d {

class ZTActionInterval;
class ZTFiniteTimeAction;

// Which side comes over: left/right for the horizontal kinds, up/down for the vertical ones.
typedef enum
{
    kZTOrientationLeftOver = 0,
    kZTOrientationRightOver = 1,
    kZTOrientationUpOver = 0,
    kZTOrientationDownOver = 1,
} tOrientation;

// A scene that shows an outgoing and an incoming scene for a while and then replaces itself by the
// incoming one. The director recognises it by type: the transition, not the director, then sends the
// outgoing scene's exit and cleanup and the incoming scene's enter calls.
//
// The outgoing scene is the director's running scene when the transition is made. Touch input is off from
// then until the director has been asked to run the incoming scene, or until the transition is destroyed
// without having run. The kinds start their actions in onEnter and end them with finish(). A transition
// that was never initialised shows and sends nothing.
class ZTTransitionScene : public ZTScene
{
public:
    ~ZTTransitionScene() override;

    // Autoreleased; null (one warning) without a scene, without a running scene, or when the scene is
    // already running. The base kind has no actions of its own.
    static ZTTransitionScene* transitionWithDuration(float t, ZTScene* scene);
    // t in seconds; false (one warning) in the cases above.
    virtual bool initWithDuration(float t, ZTScene* scene);
    // Whether the incoming scene is drawn on top (true here).
    virtual void sceneOrder();

    void draw() override;
    void onEnter() override;
    void onExit() override;
    void cleanup() override;

    // Resets both scenes (the outgoing one hidden) and replaces the transition by the incoming scene at
    // the next frame.
    void finish();
    void hideOutShowIn();

    ZTScene* getInScene() const { return m_pInScene; }
    ZTScene* getOutScene() const { return m_pOutScene; }
    float getDuration() const { return m_fDuration; }
    bool isInSceneOnTop() const { return m_bIsInSceneOnTop; }

protected:
    void setNewScene(float dt);
    // Autoreleased call-backs of finish() and hideOutShowIn() on this transition, for the kinds' sequences.
    ZTFiniteTimeAction* finishAction();
    ZTFiniteTimeAction* hideOutShowInAction();
    // Gives touch input back once no transition holds it any more.
    void releaseTouch();

    ZTScene* m_pInScene = nullptr;
    ZTScene* m_pOutScene = nullptr;
    float m_fDuration = 0;
    bool m_bIsInSceneOnTop = true;
    bool m_bIsSendCleanupToScene = false;
    bool m_bHoldsTouch = false;
};

// A transition whose direction is chosen by an orientation.
class ZTTransitionSceneOriented : public ZTTransitionScene
{
public:
    static ZTTransitionSceneOriented* transitionWithDuration(float t, ZTScene* scene, tOrientation orientation);
    using ZTTransitionScene::initWithDuration;
    virtual bool initWithDuration(float t, ZTScene* scene, tOrientation orientation);

protected:
    tOrientation m_eOrientation = kZTOrientationLeftOver;
};

// The kinds that run their main action through an easing.
class ZTTransitionEaseScene
{
public:
    virtual ~ZTTransitionEaseScene() = default;
    // The action wrapped in the kind's easing (autoreleased), or the action itself.
    virtual ZTActionInterval* easeActionWithAction(ZTActionInterval* action) = 0;
};

} // namespace zanth2d
