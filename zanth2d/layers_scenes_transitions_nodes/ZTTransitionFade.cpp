#include "layers_scenes_transitions_nodes/ZTTransitionFade.h"

#include "ZTDirector.h"
#include "actions/ZTActionInstant.h"
#include "actions/ZTActionInterval.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "misc_nodes/ZTRenderTexture.h"
#include "platform/ZTCommon.h"
#include "sprite_nodes/ZTSprite.h"

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

//
// ZTTransitionCrossFade
//

namespace {

// A window-sized render texture centred on the window holding one visit of the scene; null when it
// cannot be made.
ZTRenderTexture* pictureOf(ZTScene* scene, const ZTSize& size)
{
    ZTRenderTexture* picture =
        ZTRenderTexture::renderTextureWithWidthAndHeight(static_cast<int>(size.width), static_cast<int>(size.height));
    if (!picture) {
        return nullptr;
    }
    picture->getSprite()->setAnchorPoint(ZTPoint(0.5f, 0.5f));
    picture->setPosition(ZTPoint(size.width / 2, size.height / 2));
    picture->setAnchorPoint(ZTPoint(0.5f, 0.5f));
    picture->begin();
    scene->visit();
    picture->end();
    return picture;
}

} // namespace

ZTTransitionCrossFade* ZTTransitionCrossFade::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionCrossFade>(
        [&](ZTTransitionCrossFade* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionCrossFade::draw() {}

void ZTTransitionCrossFade::onEnter()
{
    ZTTransitionScene::onEnter();
    const ZTSize size = ZTDirector::sharedDirector()->getWinSize();
    ZTRenderTexture* inPicture = pictureOf(m_pInScene, size);
    ZTRenderTexture* outPicture = pictureOf(m_pOutScene, size);
    if (!inPicture || !outPicture) {
        // Without pictures there is nothing to fade: the incoming scene takes over at once.
        ZTLog("ZTTransitionCrossFade: WARNING: the scenes could not be drawn into textures; no cross fade\n");
        hideOutShowIn();
        finish();
        return;
    }
    inPicture->getSprite()->setBlendFunc(ztBlendFunc{GL_ONE, GL_ONE});
    outPicture->getSprite()->setBlendFunc(ztBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA});
    inPicture->getSprite()->setOpacity(255);
    outPicture->getSprite()->setOpacity(255);

    ZTLayerColor* layer = ZTLayerColor::layerWithColor(ztColor4B{0, 0, 0, 0});
    layer->addChild(inPicture);
    layer->addChild(outPicture);
    outPicture->getSprite()->runAction(ZTSequence::actions(
        ZTFadeTo::actionWithDuration(m_fDuration, 0), hideOutShowInAction(), finishAction(), nullptr));
    addChild(layer, 2, kSceneFade);
}

void ZTTransitionCrossFade::onExit()
{
    removeChildByTag(kSceneFade, false);
    ZTTransitionScene::onExit();
}

} // namespace zanth2d
