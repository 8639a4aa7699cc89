#include "layers_scenes_transitions_nodes/ZTTransitionSlideIn.h"

#include "ZTDirector.h"
#include "actions/ZTActionEase.h"
#include "actions/ZTActionInterval.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

namespace {

// The scenes overlap by half a point, so no seam shows between them while they move.
const float kAdjustFactor = 0.5f;

ZTSize winSize()
{
    return ZTDirector::sharedDirector()->getWinSize();
}

} // namespace

ZTTransitionSlideInL* ZTTransitionSlideInL::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionSlideInL>(
        [&](ZTTransitionSlideInL* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionSlideInL::sceneOrder()
{
    m_bIsInSceneOnTop = false;
}

void ZTTransitionSlideInL::initScenes()
{
    m_pInScene->setPosition(ZTPoint(-(winSize().width - kAdjustFactor), 0));
}

ZTActionInterval* ZTTransitionSlideInL::action()
{
    return ZTMoveBy::actionWithDuration(m_fDuration, ZTPoint(winSize().width - kAdjustFactor, 0));
}

ZTActionInterval* ZTTransitionSlideInL::easeActionWithAction(ZTActionInterval* action)
{
    return ZTEaseOut::actionWithAction(action, 2.0f);
}

void ZTTransitionSlideInL::onEnter()
{
    ZTTransitionScene::onEnter();
    initScenes();
    m_pInScene->runAction(easeActionWithAction(action()));
    m_pOutScene->runAction(ZTSequence::actions(easeActionWithAction(action()), finishAction(), nullptr));
}

ZTTransitionSlideInR* ZTTransitionSlideInR::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionSlideInR>(
        [&](ZTTransitionSlideInR* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionSlideInR::initScenes()
{
    m_pInScene->setPosition(ZTPoint(winSize().width - kAdjustFactor, 0));
}

ZTActionInterval* ZTTransitionSlideInR::action()
{
    return ZTMoveBy::actionWithDuration(m_fDuration, ZTPoint(-(winSize().width - kAdjustFactor), 0));
}

ZTTransitionSlideInT* ZTTransitionSlideInT::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionSlideInT>(
        [&](ZTTransitionSlideInT* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionSlideInT::initScenes()
{
    m_pInScene->setPosition(ZTPoint(0, winSize().height - kAdjustFactor));
}

ZTActionInterval* ZTTransitionSlideInT::action()
{
    return ZTMoveBy::actionWithDuration(m_fDuration, ZTPoint(0, -(winSize().height - kAdjustFactor)));
}

ZTTransitionSlideInB* ZTTransitionSlideInB::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionSlideInB>(
        [&](ZTTransitionSlideInB* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionSlideInB::initScenes()
{
    m_pInScene->setPosition(ZTPoint(0, -(winSize().height - kAdjustFactor)));
}

ZTActionInterval* ZTTransitionSlideInB::action()
{
    return ZTMoveBy::actionWithDuration(m_fDuration, ZTPoint(0, winSize().height - kAdjustFactor));
}

} // namespace zanth2d
