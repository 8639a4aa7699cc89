#include "layers_scenes_transitions_nodes/ZTTransitionFade.h"

#include "actions/ZTActionInstant.h"
#include "actions/ZTActionInterval.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"

namespace zanth2d {

ZTTransitionFade* ZTTransitionFade::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionFade>([&](ZTTransitionFade* p) { return p->initWithDuration(t, scene); });
}

ZTTransitionFade* ZTTransitionFade::transitionWithDuration(float t, ZTScene* scene, const ztColor3B& color)
{
    return ztMakeAutoreleased<ZTTransitionFade>(
        [&](ZTTransitionFade* p) { return p->initWithDuration(t, scene, color); });
}

bool ZTTransitionFade::initWithDuration(float t, ZTScene* scene)
{
    return initWithDuration(t, scene, ztColor3B{0, 0, 0});
}

bool ZTTransitionFade::initWithDuration(float t, ZTScene* scene, const ztColor3B& color)
{
    if (!ZTTransitionScene::initWithDuration(t, scene)) {
        return false;
    }
    m_tColor = ztColor4B{color.r, color.g, color.b, 0};
    return true;
}

void ZTTransitionFade::onEnter()
{
    ZTTransitionScene::onEnter();
    ZTLayerColor* layer = ZTLayerColor::layerWithColor(m_tColor);
    m_pInScene->setIsVisible(false);
    addChild(layer, 2, kSceneFade);
    const float half = m_fDuration / 2;
    layer->runAction(ZTSequence::actions(ZTFadeIn::actionWithDuration(half), hideOutShowInAction(),
                                         ZTFadeOut::actionWithDuration(half), finishAction(), nullptr));
}

void ZTTransitionFade::onExit()
{
    ZTTransitionScene::onExit();
    removeChildByTag(kSceneFade, false);
}

} // namespace zanth2d
