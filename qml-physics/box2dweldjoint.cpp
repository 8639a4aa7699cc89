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
    if (frequencyHz == m_frequencyHz || !InputCheck::isFiniteNonNegative(kClass, "frequencyHz", frequencyHz))
        return;
    m_frequencyHz = frequencyHz;
    applyStiffness();
    emit frequencyHzChanged();
}

void Box2DWeldJoint::setDampingRatio(float dampingRatio)
{
    if (dampingRatio == m_dampingRatio || !InputCheck::isFiniteNonNegative(kClass, "dampingRatio", dampingRatio))
        return;
    m_dampingRatio = dampingRatio;
    applyStiffness();
    emit dampingRatioChanged();
}

QPointF Box2DWeldJoint::localAnchorA() const
{
    return m_anchorASet ? m_anchorA : PhysicsUnits::toPixels(m_def.localAnchorA);
}

void Box2DWeldJoint::setLocalAnchorA(const QPointF& anchor)
{
    if (setAnchor(m_anchorA, m_anchorASet, anchor))
        emit localAnchorAChanged();
}

QPointF Box2DWeldJoint::localAnchorB() const
{
    return m_anchorBSet ? m_anchorB : PhysicsUnits::toPixels(m_def.localAnchorB);
}

void Box2DWeldJoint::setLocalAnchorB(const QPointF& anchor)
{
    if (setAnchor(m_anchorB, m_anchorBSet, anchor))
        emit localAnchorBChanged();
}

void Box2DWeldJoint::createJoint()
{
    if (refuseSameBody(kClass))
        return;
    b2Body* a = bodyA()->body();
    b2Body* b = bodyB()->body();
    // Both local anchors come from one world point, so the weld holds the bodies where they are.
    const b2Vec2 anchor = m_anchorASet || !m_anchorBSet ? worldAnchor(bodyA(), m_anchorA, m_anchorASet)
                                                        : worldAnchor(bodyB(), m_anchorB, true);
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
    b2AngularStiffness(stiffness, damping, m_frequencyHz, m_dampingRatio, m_joint->GetBodyA(), m_joint->GetBodyB());
    auto* joint = static_cast<b2WeldJoint*>(m_joint);
    joint->SetStiffness(stiffness);
    joint->SetDamping(damping);
    wakeBodies();
}
