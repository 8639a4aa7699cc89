#pragma once

#include "ZTTypes.h"
#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"

namespace zanth2d {

// The tag of the layer the fading kinds add to the transition.
const int kSceneFade = static_cast<int>(0xFADEFADEu);

// A layer of one colour covers the outgoing scene in the first half and uncovers the incoming one in the
// second.
class ZTTransitionFade : public ZTTransitionScene
{
public:
    // Black.
    static ZTTransitionFade* transitionWithDuration(float t, ZTScene* scene);
    static ZTTransitionFade* transitionWithDuration(float t, ZTScene* scene, const ztColor3B& color);
    // Black.
    bool initWithDuration(float t, ZTScene* scene) override;
    virtual bool initWithDuration(float t, ZTScene* scene, const ztColor3B& color);

    void onEnter() override;
    // Also removes the colour layer.
    void onExit() override;

protected:
    ztColor4B m_tColor{0, 0, 0, 0};
};

// Both scenes are drawn once into textures at the start; the outgoing picture then fades out over the
// incoming one.
class ZTTransitionCrossFade : public ZTTransitionScene
{
public:
    static ZTTransitionCrossFade* transitionWithDuration(float t, ZTScene* scene);

    // Draws nothing itself: only the layer of the two pictures shows.
    void draw() override;
    void onEnter() override;
    // Also removes the layer of the two pictures.
    void onExit() override;
};

} // namespace zanth2d
