#include "layers_scenes_transitions_nodes/ZTTransitionMoveIn.h"

#include "ZTDirector.h"
#include "actions/ZTActionEase.h"
#include "actions/ZTActionInterval.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

ZTTransitionMoveInL* ZTTransitionMoveInL::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionMoveInL>([&](ZTTransitionMoveInL* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionMoveInL::initScenes()
{
    m_pInScene->setPosition(ZTPoint(-ZTDirector::sharedDirector()->getWinSize().width, 0));
}

ZTActionInterval* ZTTransitionMoveInL::action()
{
    return ZTMoveTo::actionWithDuration(m_fDuration, ZTPoint(0, 0));
}

ZTActionInterval* ZTTransitionMoveInL::easeActionWithAction(ZTActionInterval* action)
{
    return ZTEaseOut::actionWithAction(action, 2.0f);
}

void ZTTransitionMoveInL::onEnter()
{
    ZTTransitionScene::onEnter();
    initScenes();
    m_pInScene->runAction(ZTSequence::actions(easeActionWithAction(action()), finishAction(), nullptr));
}

ZTTransitionMoveInR* ZTTransitionMoveInR::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionMoveInR>([&](ZTTransitionMoveInR* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionMoveInR::initScenes()
{
    m_pInScene->setPosition(ZTPoint(ZTDirector::sharedDirector()->getWinSize().width, 0));
}

ZTTransitionMoveInT* ZTTransitionMoveInT::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionMoveInT>([&](ZTTransitionMoveInT* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionMoveInT::initScenes()
{
    m_pInScene->setPosition(ZTPoint(0, ZTDirector::sharedDirector()->getWinSize().height));
}

ZTTransitionMoveInB* ZTTransitionMoveInB::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionMoveInB>([&](ZTTransitionMoveInB* p) { return p->initWithDuration(t, scene); });
}

void ZTTransitionMoveInB::initScenes()
{
    m_pInScene->setPosition(ZTPoint(0, -ZTDirector::sharedDirector()->getWinSize().height));
}

} // namespace zanth2d
