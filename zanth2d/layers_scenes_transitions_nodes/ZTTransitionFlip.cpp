#include "layers_scenes_transitions_nodes/ZTTransitionFlip.h"

#include "actions/ZTActionCamera.h"
#include "actions/ZTActionInstant.h"
#include "actions/ZTActionInterval.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

namespace {

// Where the incoming scene's camera starts and how far each camera turns, in degrees about z.
struct FlipAngles
{
    float inAngleZ;
    float inDeltaZ;
    float outDeltaZ;
};

FlipAngles flipAngles(bool fromFirstSide)
{
    return fromFirstSide ? FlipAngles{270, 90, 90} : FlipAngles{90, -90, -90};
}

// The outgoing scene turns away and hides in the first half; the incoming one shows and turns in.
void runFlip(ZTScene* in, ZTScene* out, float duration, const FlipAngles& angles, float inAngleX, float outAngleX,
             ZTFiniteTimeAction* finish)
{
    const float half = duration / 2;
    in->setIsVisible(false);
    in->runAction(ZTSequence::actions(
        ZTDelayTime::actionWithDuration(half), ZTShow::action(),
        ZTOrbitCamera::actionWithDuration(half, 1, 0, angles.inAngleZ, angles.inDeltaZ, inAngleX, 0), finish,
        nullptr));
    out->runAction(ZTSequence::actions(ZTOrbitCamera::actionWithDuration(half, 1, 0, 0, angles.outDeltaZ, outAngleX, 0),
                                       ZTHide::action(), ZTDelayTime::actionWithDuration(half), nullptr));
}

// As runFlip, with the outgoing scene shrinking to half and the incoming one growing from half; the angular
// kind shows the incoming scene once more after its turn.
void runZoomFlip(ZTScene* in, ZTScene* out, float duration, const FlipAngles& angles, float inAngleX,
                 float outAngleX, bool showAgain, ZTFiniteTimeAction* finish)
{
    const float half = duration / 2;
    in->setIsVisible(false);
    in->setScale(0.5f);
    ZTFiniteTimeAction* turnIn =
        ZTSpawn::actions(ZTOrbitCamera::actionWithDuration(half, 1, 0, angles.inAngleZ, angles.inDeltaZ, inAngleX, 0),
                         ZTScaleTo::actionWithDuration(half, 1), ZTShow::action(), nullptr);
    in->runAction(showAgain ? ZTSequence::actions(ZTDelayTime::actionWithDuration(half), turnIn, ZTShow::action(),
                                                  finish, nullptr)
                            : ZTSequence::actions(ZTDelayTime::actionWithDuration(half), turnIn, finish, nullptr));
    ZTFiniteTimeAction* turnOut =
        ZTSpawn::actions(ZTOrbitCamera::actionWithDuration(half, 1, 0, 0, angles.outDeltaZ, outAngleX, 0),
                         ZTScaleTo::actionWithDuration(half, 0.5f), nullptr);
    out->runAction(
        ZTSequence::actions(turnOut, ZTHide::action(), ZTDelayTime::actionWithDuration(half), nullptr));
}

} // namespace

ZTTransitionFlipX* ZTTransitionFlipX::transitionWithDuration(float t, ZTScene* scene, tOrientation o)
{
    return ztMakeAutoreleased<ZTTransitionFlipX>([&](ZTTransitionFlipX* p) { return p->initWithDuration(t, scene, o); });
}

void ZTTransitionFlipX::onEnter()
{
    ZTTransitionSceneOriented::onEnter();
    runFlip(m_pInScene, m_pOutScene, m_fDuration, flipAngles(m_eOrientation == kZTOrientationRightOver), 0, 0,
            finishAction());
}

ZTTransitionFlipY* ZTTransitionFlipY::transitionWithDuration(float t, ZTScene* scene, tOrientation o)
{
    return ztMakeAutoreleased<ZTTransitionFlipY>([&](ZTTransitionFlipY* p) { return p->initWithDuration(t, scene, o); });
}

void ZTTransitionFlipY::onEnter()
{
    ZTTransitionSceneOriented::onEnter();
    runFlip(m_pInScene, m_pOutScene, m_fDuration, flipAngles(m_eOrientation == kZTOrientationUpOver), 90, 90,
            finishAction());
}

ZTTransitionFlipAngular* ZTTransitionFlipAngular::transitionWithDuration(float t, ZTScene* scene, tOrientation o)
{
    return ztMakeAutoreleased<ZTTransitionFlipAngular>(
        [&](ZTTransitionFlipAngular* p) { return p->initWithDuration(t, scene, o); });
}

void ZTTransitionFlipAngular::onEnter()
{
    ZTTransitionSceneOriented::onEnter();
    runFlip(m_pInScene, m_pOutScene, m_fDuration, flipAngles(m_eOrientation == kZTOrientationRightOver), -45, 45,
            finishAction());
}

ZTTransitionZoomFlipX* ZTTransitionZoomFlipX::transitionWithDuration(float t, ZTScene* scene, tOrientation o)
{
    return ztMakeAutoreleased<ZTTransitionZoomFlipX>(
        [&](ZTTransitionZoomFlipX* p) { return p->initWithDuration(t, scene, o); });
}

void ZTTransitionZoomFlipX::onEnter()
{
    ZTTransitionSceneOriented::onEnter();
    runZoomFlip(m_pInScene, m_pOutScene, m_fDuration, flipAngles(m_eOrientation == kZTOrientationRightOver), 0, 0,
                false, finishAction());
}

ZTTransitionZoomFlipY* ZTTransitionZoomFlipY::transitionWithDuration(float t, ZTScene* scene, tOrientation o)
{
    return ztMakeAutoreleased<ZTTransitionZoomFlipY>(
        [&](ZTTransitionZoomFlipY* p) { return p->initWithDuration(t, scene, o); });
}

void ZTTransitionZoomFlipY::onEnter()
{
    ZTTransitionSceneOriented::onEnter();
    runZoomFlip(m_pInScene, m_pOutScene, m_fDuration, flipAngles(m_eOrientation == kZTOrientationUpOver), 90, 90,
                false, finishAction());
}

ZTTransitionZoomFlipAngular* ZTTransitionZoomFlipAngular::transitionWithDuration(float t, ZTScene* scene,
                                                                                 tOrientation o)
{
    return ztMakeAutoreleased<ZTTransitionZoomFlipAngular>(
        [&](ZTTransitionZoomFlipAngular* p) { return p->initWithDuration(t, scene, o); });
}

void ZTTransitionZoomFlipAngular::onEnter()
{
    ZTTransitionSceneOriented::onEnter();
    runZoomFlip(m_pInScene, m_pOutScene, m_fDuration, flipAngles(m_eOrientation == kZTOrientationRightOver), -45,
                45, true, finishAction());
}

} // namespace zanth2d
