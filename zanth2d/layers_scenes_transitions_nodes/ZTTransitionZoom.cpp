#include "layers_scenes_transitions_nodes/ZTTransitionZoom.h"

#include "ZTDirector.h"
#include "actions/ZTActionEase.h"
#include "actions/ZTActionInterval.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

//
// ZTTransitionRotoZoom
//

ZTTransitionRotoZoom* ZTTransitionRotoZoom::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionRotoZoom>(
        [&](ZTTransitionRotoZoom* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionRotoZoom::onEnter()
{
    ZTTransitionScene::onEnter();
    m_pInScene->setScale(0.001f);
    m_pOutScene->setScale(1.0f);
    m_pInScene->setAnchorPoint(ZTPoint(0.5f, 0.5f));
    m_pOutScene->setAnchorPoint(ZTPoint(0.5f, 0.5f));

    const float half = m_fDuration / 2;
    ZTFiniteTimeAction* rotozoom = ZTSequence::actions(
        ZTSpawn::actions(ZTScaleBy::actionWithDuration(half, 0.001f), ZTRotateBy::actionWithDuration(half, 720),
                         nullptr),
        ZTDelayTime::actionWithDuration(half), nullptr);
    m_pOutScene->runAction(rotozoom);
    m_pInScene->runAction(ZTSequence::actions(rotozoom->reverse(), finishAction(), nullptr));
}

//
// ZTTransitionJumpZoom
//

ZTTransitionJumpZoom* ZTTransitionJumpZoom::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionJumpZoom>(
        [&](ZTTransitionJumpZoom* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionJumpZoom::onEnter()
{
    ZTTransitionScene::onEnter();
    const ZTSize s = ZTDirector::sharedDirector()->getWinSize();
    m_pInScene->setScale(0.5f);
    m_pInScene->setPosition(ZTPoint(s.width, 0));
    m_pInScene->setAnchorPoint(ZTPoint(0.5f, 0.5f));
    m_pOutScene->setAnchorPoint(ZTPoint(0.5f, 0.5f));

    const float quarter = m_fDuration / 4;
    // Each scene gets a jump of its own: one action object cannot run on two nodes.
    auto jump = [&] { return ZTJumpBy::actionWithDuration(quarter, ZTPoint(-s.width, 0), s.width / 4, 2); };
    m_pOutScene->runAction(ZTSequence::actions(ZTScaleTo::actionWithDuration(quarter, 0.5f), jump(), nullptr));
    m_pInScene->runAction(ZTSequence::actions(ZTDelayTime::actionWithDuration(m_fDuration / 2), jump(),
                                              ZTScaleTo::actionWithDuration(quarter, 1.0f), finishAction(),
                                              nullptr));
}

//
// ZTTransitionShrinkGrow
//

ZTTransitionShrinkGrow* ZTTransitionShrinkGrow::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionShrinkGrow>(
        [&](ZTTransitionShrinkGrow* p) { return p->initWithDuration(t, scene); });
}

ZTActionInterval* ZTTransitionShrinkGrow::easeActionWithAction(ZTActionInterval* action)
{
    return ZTEaseOut::actionWithAction(action, 2.0f);
}

void ZTTransitionShrinkGrow::onEnter()
{
    ZTTransitionScene::onEnter();
    m_pInScene->setScale(0.001f);
    m_pOutScene->setScale(1.0f);
    m_pInScene->setAnchorPoint(ZTPoint(2 / 3.0f, 0.5f));
    m_pOutScene->setAnchorPoint(ZTPoint(1 / 3.0f, 0.5f));

    m_pInScene->runAction(easeActionWithAction(ZTScaleTo::actionWithDuration(m_fDuration, 1.0f)));
    m_pOutScene->runAction(ZTSequence::actions(
        easeActionWithAction(ZTScaleTo::actionWithDuration(m_fDuration, 0.01f)), finishAction(), nullptr));
}

} // namespace zanth2d
