#include "layers_scenes_transitions_nodes/ZTTransitionScene.h"

#include "ZTCamera.h"
#include "ZTDirector.h"
#include "ZTMacros.h"
#include "ZTTimer.h"
#include "actions/ZTActionInstant.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTCommon.h"
#include "touch_dispatcher/ZTTouchDispatcher.h"

namespace zanth2d {

namespace {

// How many transitions keep touch input switched off; the last one to let go switches it on again.
int s_touchHolds = 0;

// Undoes what the kinds' actions did to a scene.
void resetScene(ZTScene* scene, bool visible)
{
    scene->setIsVisible(visible);
    scene->setPosition(ZTPoint(0, 0));
    scene->setScale(1.0f);
    scene->setRotation(0.0f);
    scene->getCamera()->restore();
}

} // namespace

//
// ZTTransitionScene
//

ZTTransitionScene::~ZTTransitionScene()
{
    releaseTouch();
    ZT_SAFE_RELEASE(m_pInScene);
    ZT_SAFE_RELEASE(m_pOutScene);
}

ZTTransitionScene* ZTTransitionScene::transitionWithDuration(float t, ZTScene* scene)
{
    return ztMakeAutoreleased<ZTTransitionScene>([&](ZTTransitionScene* p) { return p->initWithDuration(t, scene); });
}

bool ZTTransitionScene::initWithDuration(float t, ZTScene* scene)
{
    ZTScene* running = ZTDirector::sharedDirector()->getRunningScene();
    if (!scene) {
        ZTLog("ZTTransitionScene: WARNING: a transition needs an incoming scene\n");
        return false;
    }
    if (!running) {
        ZTLog("ZTTransitionScene: WARNING: there is no running scene to leave\n");
        return false;
    }
    if (scene == running) {
        ZTLog("ZTTransitionScene: WARNING: the incoming scene is already the running scene\n");
        return false;
    }
    if (!ZTScene::init()) {
        return false;
    }
    m_fDuration = t;
    scene->retain();
    ZT_SAFE_RELEASE(m_pInScene);
    m_pInScene = scene;
    running->retain();
    ZT_SAFE_RELEASE(m_pOutScene);
    m_pOutScene = running;

    if (!m_bHoldsTouch) {
        m_bHoldsTouch = true;
        ++s_touchHolds;
        ZTTouchDispatcher::sharedDispatcher()->setDispatchEvents(false);
    }
    sceneOrder();
    return true;
}

void ZTTransitionScene::releaseTouch()
{
    if (!m_bHoldsTouch) {
        return;
    }
    m_bHoldsTouch = false;
    if (--s_touchHolds == 0) {
        ZTTouchDispatcher::sharedDispatcher()->setDispatchEvents(true);
    }
}

void ZTTransitionScene::sceneOrder()
{
    m_bIsInSceneOnTop = true;
}

void ZTTransitionScene::draw()
{
    if (!m_pInScene || !m_pOutScene) {
        return;
    }
    if (m_bIsInSceneOnTop) {
        m_pOutScene->visit();
        m_pInScene->visit();
    } else {
        m_pInScene->visit();
        m_pOutScene->visit();
    }
}

void ZTTransitionScene::onEnter()
{
    ZTScene::onEnter();
    if (m_pInScene) {
        m_pInScene->onEnter();
    }
}

void ZTTransitionScene::onExit()
{
    ZTScene::onExit();
    if (m_pOutScene) {
        m_pOutScene->onExit();
    }
    if (m_pInScene) {
        m_pInScene->onEnterTransitionDidFinish();
    }
}

void ZTTransitionScene::cleanup()
{
    ZTScene::cleanup();
    if (m_bIsSendCleanupToScene && m_pOutScene) {
        m_pOutScene->cleanup();
    }
}

void ZTTransitionScene::finish()
{
    if (!m_pInScene || !m_pOutScene) {
        return;
    }
    resetScene(m_pInScene, true);
    resetScene(m_pOutScene, false);
    schedule(schedule_selector(ZTTransitionScene::setNewScene), 0);
}

void ZTTransitionScene::setNewScene(float)
{
    unschedule(schedule_selector(ZTTransitionScene::setNewScene));
    ZTDirector* director = ZTDirector::sharedDirector();
    m_bIsSendCleanupToScene = director->isSendCleanupToScene();
    director->replaceScene(m_pInScene);
    releaseTouch();
    m_pOutScene->setIsVisible(true);
}

ZTFiniteTimeAction* ZTTransitionScene::finishAction()
{
    return ZTCallFunc::actionWithTarget(this, callfunc_selector(ZTTransitionScene::finish));
}

ZTFiniteTimeAction* ZTTransitionScene::hideOutShowInAction()
{
    return ZTCallFunc::actionWithTarget(this, callfunc_selector(ZTTransitionScene::hideOutShowIn));
}

void ZTTransitionScene::hideOutShowIn()
{
    if (!m_pInScene || !m_pOutScene) {
        return;
    }
    m_pInScene->setIsVisible(true);
    m_pOutScene->setIsVisible(false);
}

//
// ZTTransitionSceneOriented
//

ZTTransitionSceneOriented* ZTTransitionSceneOriented::transitionWithDuration(float t, ZTScene* scene,
                                                                             tOrientation orientation)
{
    return ztMakeAutoreleased<ZTTransitionSceneOriented>(
        [&](ZTTransitionSceneOriented* p) { return p->initWithDuration(t, scene, orientation); });
}

bool ZTTransitionSceneOriented::initWithDuration(float t, ZTScene* scene, tOrientation orientation)
{
    if (!ZTTransitionScene::initWithDuration(t, scene)) {
        return false;
    }
    m_eOrientation = orientation;
    return true;
}

} // namespace zanth2d
