#include "box2drevolutejoint.h"

#include "box2dbody.h"
#include "inputcheck.h"
#include "physicsunits.h"

namespace {
const char* const kClass = "Box2DRevoluteJoint";
} // namespace

Box2DRevoluteJoint::Box2DRevoluteJoint(QObject* parent) : Box2DJoint(parent) {}

b2RevoluteJoint* Box2DRevoluteJoint::revoluteJoint() const
{
    return static_cast<b2RevoluteJoint*>(m_joint);
}

void Box2DRevoluteJoint::setLowerAngle(float lowerAngle)
{
    const float radians = lowerAngle * b2_pi;
    if (radians == m_lowerAngle || !InputCheck::isFinite(kClass, "lowerAngle", lowerAngle))
        return;
    m_lowerAngle = radians;
    if (m_joint)
        applyLimits();
    emit lowerAngleChanged();
}

void Box2DRevoluteJoint::setUpperAngle(float upperAngle)
{
    const float radians = upperAngle * b2_pi;
    if (radians == m_upperAngle || !InputCheck::isFinite(kClass, "upperAngle", upperAngle))
        return;
    m_upperAngle = radians;
    if (m_joint)
        applyLimits();
    emit upperAngleChanged();
}

void Box2DRevoluteJoint::setMaxMotorTorque(float torque)
{
    if (torque == m_def.maxMotorTorque || !InputCheck::isFinite(kClass, "maxMotorTorque", torque))
        return;
    m_def.maxMotorTorque = torque;
    if (m_joint)
        revoluteJoint()->SetMaxMotorTorque(torque);
    emit maxMotorTorqueChanged();
}

void Box2DRevoluteJoint::setMotorSpeed(float speed)
{
    if (speed == m_def.motorSpeed || !InputCheck::isFinite(kClass, "motorSpeed", speed))
        return;
    m_def.motorSpeed = speed;
    if (m_joint)
        revoluteJoint()->SetMotorSpeed(speed);
    emit motorSpeedChanged();
}

void Box2DRevoluteJoint::setEnableLimit(bool enable)
{
    if (enable == m_def.enableLimit)
        return;
    m_def.enableLimit = enable;
    if (m_joint)
        revoluteJoint()->EnableLimit(enable);
    emit enableLimitChanged();
}

void Box2DRevoluteJoint::setEnableMotor(bool enable)
{
    if (enable == m_def.enableMotor)
        return;
    m_def.enableMotor = enable;
    if (m_joint)
        revoluteJoint()->EnableMotor(enable);
    emit enableMotorChanged();
}

QPointF Box2DRevoluteJoint::localAnchorA() const
{
    return m_anchorA.read(m_def.localAnchorA);
}

void Box2DRevoluteJoint::setLocalAnchorA(const QPointF& anchor)
{
    if (m_anchorA.write(anchor))
        emit localAnchorAChanged();
}

void Box2DRevoluteJoint::applyLimits()
{
    if (m_lowerAngle > m_upperAngle) {
        qWarning("Box2DRevoluteJoint: WARNING: lowerAngle %g is above upperAngle %g (radians); the limits "
                 "wait until "
                 "they are consistent",
                 m_lowerAngle, m_upperAngle);
        return;
    }
    m_def.lowerAngle = m_lowerAngle;
    m_def.upperAngle = m_upperAngle;
    if (m_joint)
        revoluteJoint()->SetLimits(m_lowerAngle, m_upperAngle);
}

void Box2DRevoluteJoint::createJoint()
{
    if (refuseSameBody(kClass))
        return;
    m_def.Initialize(bodyA()->body(), bodyB()->body(), worldAnchor(bodyA(), m_anchorA));
    applyLimits();
    createInWorld(m_def);
}
