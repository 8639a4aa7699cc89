#include "box2dprismaticjoint.h"

#include "box2dbody.h"
#include "inputcheck.h"

namespace {
const char* const kClass = "Box2DPrismaticJoint";
} // namespace

Box2DPrismaticJoint::Box2DPrismaticJoint(QObject* parent) : Box2DJoint(parent) {}

b2PrismaticJoint* Box2DPrismaticJoint::prismaticJoint() const
{
    return static_cast<b2PrismaticJoint*>(m_joint);
}

void Box2DPrismaticJoint::setLowerTranslation(float translation)
{
    const float meters = translation / PhysicsUnits::kPixelsPerMeter;
    if (meters == m_lowerTranslation || !InputCheck::isFinite(kClass, "lowerTranslation", translation))
        return;
    m_lowerTranslation = meters;
    if (m_joint)
        applyLimits();
    emit lowerTranslationChanged();
}

void Box2DPrismaticJoint::setUpperTranslation(float translation)
{
    const float meters = translation / PhysicsUnits::kPixelsPerMeter;
    if (meters == m_upperTranslation || !InputCheck::isFinite(kClass, "upperTranslation", translation))
        return;
    m_upperTranslation = meters;
    if (m_joint)
        applyLimits();
    emit upperTranslationChanged();
}

void Box2DPrismaticJoint::setMaxMotorForce(float force)
{
    if (force == m_def.maxMotorForce || !InputCheck::isFinite(kClass, "maxMotorForce", force))
        return;
    m_def.maxMotorForce = force;
    if (m_joint)
        prismaticJoint()->SetMaxMotorForce(force);
    emit maxMotorForceChanged();
}

void Box2DPrismaticJoint::setMotorSpeed(float speed)
{
    if (speed == m_def.motorSpeed || !InputCheck::isFinite(kClass, "motorSpeed", speed))
        return;
    m_def.motorSpeed = speed;
    if (m_joint)
        prismaticJoint()->SetMotorSpeed(speed);
    emit motorSpeedChanged();
}

void Box2DPrismaticJoint::setEnableLimit(bool enable)
{
    if (enable == m_def.enableLimit)
        return;
    m_def.enableLimit = enable;
    if (m_joint)
        prismaticJoint()->EnableLimit(enable);
    emit enableLimitChanged();
}

void Box2DPrismaticJoint::setEnableMotor(bool enable)
{
    if (enable == m_def.enableMotor)
        return;
    m_def.enableMotor = enable;
    if (m_joint)
        prismaticJoint()->EnableMotor(enable);
    emit enableMotorChanged();
}

void Box2DPrismaticJoint::setAxis(const QPointF& axis)
{
    const b2Vec2 boxAxis(float(axis.x()), float(-axis.y()));
    if (boxAxis == m_axis || !InputCheck::isFinite(kClass, "axis.x", axis.x()) ||
        !InputCheck::isFinite(kClass, "axis.y", axis.y()))
        return;
    m_axis = boxAxis;
    emit axisChanged();
}

QPointF Box2DPrismaticJoint::localAnchorA() const
{
    return m_anchorA.read(m_def.localAnchorA);
}

void Box2DPrismaticJoint::setLocalAnchorA(const QPointF& anchor)
{
    if (m_anchorA.write(anchor))
        emit localAnchorAChanged();
}

void Box2DPrismaticJoint::applyLimits()
{
    if (m_lowerTranslation > m_upperTranslation) {
        qWarning("Box2DPrismaticJoint: WARNING: lowerTranslation %g is above upperTranslation %g (pixels); "
                 "the limits "
                 "wait until they are consistent",
                 m_lowerTranslation * PhysicsUnits::kPixelsPerMeter,
                 m_upperTranslation * PhysicsUnits::kPixelsPerMeter);
        return;
    }
    m_def.lowerTranslation = m_lowerTranslation;
    m_def.upperTranslation = m_upperTranslation;
    if (m_joint)
        prismaticJoint()->SetLimits(m_lowerTranslation, m_upperTranslation);
}

void Box2DPrismaticJoint::createJoint()
{
    if (refuseSameBody(kClass))
        return;
    m_def.Initialize(bodyA()->body(), bodyB()->body(), worldAnchor(bodyA(), m_anchorA), m_axis);
    applyLimits();
    createInWorld(m_def);
}
