#include "layers_scenes_transitions_nodes/ZTTransitionTiles.h"

#include <algorithm>

#include "ZTDirector.h"
#include "actions/ZTActionEase.h"
#include "actions/ZTActionTiledGrid.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

namespace {

// Twelve tiles up and as many square-ish tiles across as the window's aspect gives (one at least, for a
// window less than a twelfth as wide as it is high).
ztGridSize tileGridForWindow()
{
    const ZTSize s = ZTDirector::sharedDirector()->getWinSize();
    return ztg(std::max(1, static_cast<int>(12 * (s.width / s.height))), 12);
}

} // namespace

//
// ZTTransitionTurnOffTiles
//

ZTTransitionTurnOffTiles* ZTTransitionTurnOffTiles::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionTurnOffTiles>(
        [&](ZTTransitionTurnOffTiles* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionTurnOffTiles::sceneOrder()
{
    m_bIsInSceneOnTop = false;
}

ZTActionInterval* ZTTransitionTurnOffTiles::easeActionWithAction(ZTActionInterval* action)
{
    return action;
}

void ZTTransitionTurnOffTiles::onEnter()
{
    ZTTransitionScene::onEnter();
    ZTTurnOffTiles* turnOff = ZTTurnOffTiles::actionWithSize(tileGridForWindow(), m_fDuration);
    m_pOutScene->runAction(
        ZTSequence::actions(easeActionWithAction(turnOff), finishAction(), ZTStopGrid::action(), nullptr));
}

//
// ZTTransitionSplitCols, ZTTransitionSplitRows
//

ZTTransitionSplitCols* ZTTransitionSplitCols::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionSplitCols>(
        [&](ZTTransitionSplitCols* p) { return p->initWithDuration(t, scene); });
}

ZTActionInterval* ZTTransitionSplitCols::action()
{
    return ZTSplitCols::actionWithCols(3, m_fDuration / 2.0f);
}

ZTActionInterval* ZTTransitionSplitCols::easeActionWithAction(ZTActionInterval* action)
{
    return ZTEaseInOut::actionWithAction(action, 3.0f);
}

void ZTTransitionSplitCols::onEnter()
{
    ZTTransitionScene::onEnter();
    m_pInScene->setIsVisible(false);
    ZTActionInterval* split = action();
    auto* there = static_cast<ZTActionInterval*>(
        ZTSequence::actions(split, hideOutShowInAction(), split->reverse(), nullptr));
    runAction(ZTSequence::actions(easeActionWithAction(there), finishAction(), ZTStopGrid::action(), nullptr));
}

ZTTransitionSplitRows* ZTTransitionSplitRows::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionSplitRows>(
        [&](ZTTransitionSplitRows* p) { return p->initWithDuration(t, scene); });
}

ZTActionInterval* ZTTransitionSplitRows::action()
{
    return ZTSplitRows::actionWithRows(3, m_fDuration / 2.0f);
}

//
// ZTTransitionFadeTR and its directions
//

ZTTransitionFadeTR* ZTTransitionFadeTR::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionFadeTR>([&](ZTTransitionFadeTR* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionFadeTR::sceneOrder()
{
    m_bIsInSceneOnTop = false;
}

ZTActionInterval* ZTTransitionFadeTR::actionWithSize(const ztGridSize& size)
{
    return ZTFadeOutTRTiles::actionWithSize(size, m_fDuration);
}

ZTActionInterval* ZTTransitionFadeTR::easeActionWithAction(ZTActionInterval* action)
{
    return action;
}

void ZTTransitionFadeTR::onEnter()
{
    ZTTransitionScene::onEnter();
    ZTActionInterval* fade = actionWithSize(tileGridForWindow());
    m_pOutScene->runAction(
        ZTSequence::actions(easeActionWithAction(fade), finishAction(), ZTStopGrid::action(), nullptr));
}

ZTTransitionFadeBL* ZTTransitionFadeBL::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionFadeBL>([&](ZTTransitionFadeBL* p) { return p->initWithDuration(t, scene); });
}

ZTActionInterval* ZTTransitionFadeBL::actionWithSize(const ztGridSize& size)
{
    return ZTFadeOutBLTiles::actionWithSize(size, m_fDuration);
}

ZTTransitionFadeUp* ZTTransitionFadeUp::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionFadeUp>([&](ZTTransitionFadeUp* p) { return p->initWithDuration(t, scene); });
}

ZTActionInterval* ZTTransitionFadeUp::actionWithSize(const ztGridSize& size)
{
    return ZTFadeOutUpTiles::actionWithSize(size, m_fDuration);
}

ZTTransitionFadeDown* ZTTransitionFadeDown::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionFadeDown>(
        [&](ZTTransitionFadeDown* p) { return p->initWithDuration(t, scene); });
}

ZTActionInterval* ZTTransitionFadeDown::actionWithSize(const ztGridSize& size)
{
    return ZTFadeOutDownTiles::actionWithSize(size, m_fDuration);
}

} // namespace zanth2d
