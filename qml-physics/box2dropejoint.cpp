#include "box2dropejoint.h"

#include "box2dbody.h"
#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_body.h>

namespace {
const char* const kClass = "Box2DRopeJoint";
} // namespace

Box2DRopeJoint::Box2DRopeJoint(QObject* parent) : Box2DJoint(parent)
{
    m_def.localAnchorA.Set(-1.0f, 0.0f);
    m_def.localAnchorB.Set(1.0f, 0.0f);
}

void Box2DRopeJoint::setMaxLength(float length)
{
    if (!InputCheck::isFiniteNonNegative(kClass, "maxLength", length))
        return;
    const float meters = length / PhysicsUnits::kPixelsPerMeter;
    if (meters == m_maxLength)
        return;
    m_maxLength = meters;
    if (m_joint) {
        qWarning(
            "WARNING: Box2DRopeJoint: changing maxLength during the simulation is not supported, because "
            "otherwise the joint would react spongy");
        auto* joint = static_cast<b2DistanceJoint*>(m_joint);
        joint->SetMaxLength(meters);
        joint->SetLength(meters);
    }
    emit maxLengthChanged();
}

QPointF Box2DRopeJoint::localAnchorA() const
{
    return m_anchorA.read(m_def.localAnchorA);
}

void Box2DRopeJoint::setLocalAnchorA(const QPointF& anchor)
{
    if (m_anchorA.write(anchor))
        emit localAnchorAChanged();
}

QPointF Box2DRopeJoint::localAnchorB() const
{
    return m_anchorB.read(m_def.localAnchorB);
}

void Box2DRopeJoint::setLocalAnchorB(const QPointF& anchor)
{
    if (m_anchorB.write(anchor))
        emit localAnchorBChanged();
}

void Box2DRopeJoint::createJoint()
{
    if (refuseSameBody(kClass))
        return;
    if (m_anchorA.set)
        m_def.localAnchorA = bodyA()->body()->GetLocalCenter() + PhysicsUnits::toMeters(m_anchorA.offset);
    if (m_anchorB.set)
        m_def.localAnchorB = bodyB()->body()->GetLocalCenter() + PhysicsUnits::toMeters(m_anchorB.offset);
    // No stiffness and no minimum: slack below the maximum, rigid at it.
    m_def.length = m_maxLength;
    m_def.minLength = 0.0f;
    m_def.maxLength = m_maxLength;
    m_def.stiffness = 0.0f;
    m_def.damping = 0.0f;
    createInWorld(m_def);
}
