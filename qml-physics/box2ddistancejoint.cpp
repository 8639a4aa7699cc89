#include "box2ddistancejoint.h"

#include "box2dbody.h"
#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_body.h>

namespace {
const char* const kClass = "Box2DDistanceJoint";
} // namespace

Box2DDistanceJoint::Box2DDistanceJoint(QObject* parent) : Box2DJoint(parent) {}

b2DistanceJoint* Box2DDistanceJoint::distanceJoint() const
{
    return static_cast<b2DistanceJoint*>(m_joint);
}

float Box2DDistanceJoint::length() const
{
    return m_lengthSet ? m_length : m_def.length;
}

void Box2DDistanceJoint::setLength(float length)
{
    if (!InputCheck::isFiniteNonNegative(kClass, "length", length))
        return;
    const float meters = length / PhysicsUnits::kPixelsPerMeter;
    if (m_lengthSet && meters == m_length)
        return;
    m_length = meters;
    m_lengthSet = true;
    if (m_joint) {
        distanceJoint()->SetLength(meters);
        applySpring();
    }
    emit lengthChanged();
}

void Box2DDistanceJoint::setFrequencyHz(float frequencyHz)
{
    if (!acceptSetting(m_frequencyHz, frequencyHz, "frequencyHz"))
        return;
    applySpring();
    emit frequencyHzChanged();
}

void Box2DDistanceJoint::setDampingRatio(float dampingRatio)
{
    if (!acceptSetting(m_dampingRatio, dampingRatio, "dampingRatio"))
        return;
    applySpring();
    emit dampingRatioChanged();
}

QPointF Box2DDistanceJoint::localAnchorA() const
{
    return m_anchorA.read(m_def.localAnchorA);
}

void Box2DDistanceJoint::setLocalAnchorA(const QPointF& anchor)
{
    if (m_anchorA.write(anchor))
        emit localAnchorAChanged();
}

QPointF Box2DDistanceJoint::localAnchorB() const
{
    return m_anchorB.read(m_def.localAnchorB);
}

void Box2DDistanceJoint::setLocalAnchorB(const QPointF& anchor)
{
    if (m_anchorB.write(anchor))
        emit localAnchorBChanged();
}

void Box2DDistanceJoint::createJoint()
{
    if (refuseSameBody(kClass))
        return;
    b2Body* a = bodyA()->body();
    b2Body* b = bodyB()->body();
    m_def.Initialize(a, b, worldAnchor(bodyA(), m_anchorA), worldAnchor(bodyB(), m_anchorB));
    if (m_lengthSet)
        m_def.length = m_length;
    // A spring stretches and compresses freely around its rest length; a rigid joint holds it.
    const bool spring = m_frequencyHz > 0.0f;
    m_def.minLength = spring ? 0.0f : m_def.length;
    m_def.maxLength = spring ? b2_maxFloat : m_def.length;
    b2LinearStiffness(m_def.stiffness, m_def.damping, m_frequencyHz, m_dampingRatio, a, b);
    createInWorld(m_def);
}

void Box2DDistanceJoint::applySpring()
{
    b2DistanceJoint* joint = distanceJoint();
    if (!joint)
        return;
    const bool spring = m_frequencyHz > 0.0f;
    const float rest = joint->GetLength();
    // Limits clamp against each other: open the maximum first.
    joint->SetMaxLength(b2_maxFloat);
    joint->SetMinLength(spring ? 0.0f : rest);
    joint->SetMaxLength(spring ? b2_maxFloat : rest);
    float stiffness = 0.0f;
    float damping = 0.0f;
    b2LinearStiffness(stiffness, damping, m_frequencyHz, m_dampingRatio, joint->GetBodyA(),
                      joint->GetBodyB());
    joint->SetStiffness(stiffness);
    joint->SetDamping(damping);
    wakeBodies();
}
