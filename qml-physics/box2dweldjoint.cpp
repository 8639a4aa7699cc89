#include "box2dweldjoint.h"

#include "box2dbody.h"
#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_body.h>

namespace {
const char* const kClass = "Box2DWeldJoint";
} // namespace

Box2DWeldJoint::Box2DWeldJoint(QObject* parent) : Box2DJoint(parent) {}

void Box2DWeldJoint::setReferenceAngle(float angle)
{
    if (!InputCheck::isFinite(kClass, "referenceAngle", angle))
        return;
    if (m_joint)
        qWarning("WARNING: Box2DWeldJoint: setting the referenceAngle after initialization at runtime is not "
                 "suppported yet");
    m_referenceAngle = angle * b2_pi;
    m_referenceAngleSet = true;
}

void Box2DWeldJoint::setFrequencyHz(float frequencyHz)
{
    if (!acceptSetting(m_frequencyHz, frequencyHz, "frequencyHz"))
        return;
    applyStiffness();
    emit frequencyHzChanged();
}

void Box2DWeldJoint::setDampingRatio(float dampingRatio)
{
    if (!acceptSetting(m_dampingRatio, dampingRatio, "dampingRatio"))
        return;
    applyStiffness();
    emit dampingRatioChanged();
}

QPointF Box2DWeldJoint::localAnchorA() const
{
    return m_anchorA.read(m_def.localAnchorA);
}

void Box2DWeldJoint::setLocalAnchorA(const QPointF& anchor)
{
    if (m_anchorA.write(anchor))
        emit localAnchorAChanged();
}

QPointF Box2DWeldJoint::localAnchorB() const
{
    return m_anchorB.read(m_def.localAnchorB);
}

void Box2DWeldJoint::setLocalAnchorB(const QPointF& anchor)
{
    if (m_anchorB.write(anchor))
        emit localAnchorBChanged();
}

void Box2DWeldJoint::createJoint()
{
    if (refuseSameBody(kClass))
        return;
    b2Body* a = bodyA()->body();
    b2Body* b = bodyB()->body();
    // Both local anchors come from one world point, so the weld holds the bodies where they are.
    const b2Vec2 anchor =
        m_anchorA.set || !m_anchorB.set ? worldAnchor(bodyA(), m_anchorA) : worldAnchor(bodyB(), m_anchorB);
    m_def.Initialize(a, b, anchor);
    if (m_referenceAngleSet)
        m_def.referenceAngle = m_referenceAngle;
    b2AngularStiffness(m_def.stiffness, m_def.damping, m_frequencyHz, m_dampingRatio, a, b);
    createInWorld(m_def);
}

void Box2DWeldJoint::applyStiffness()
{
    if (!m_joint)
        return;
    float stiffness = 0.0f;
    float damping = 0.0f;
    b2AngularStiffness(stiffness, damping, m_frequencyHz, m_dampingRatio, m_joint->GetBodyA(),
                       m_joint->GetBodyB());
    auto* joint = static_cast<b2WeldJoint*>(m_joint);
    joint->SetStiffness(stiffness);
    joint->SetDamping(damping);
    wakeBodies();
}
