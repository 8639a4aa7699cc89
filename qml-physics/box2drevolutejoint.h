#pragma once

#include "box2djoint.h"

#include <box2d/b2_revolute_joint.h>

// The QML RevoluteJoint: body B turns about an anchor on body A. The angle limits are written as multiples of
// pi and read back in radians; a pair with the lower limit above the upper one waits until it is consistent.
class Box2DRevoluteJoint : public Box2DJoint
{
    Q_OBJECT
    Q_PROPERTY(float lowerAngle READ lowerAngle WRITE setLowerAngle NOTIFY lowerAngleChanged)
    Q_PROPERTY(float upperAngle READ upperAngle WRITE setUpperAngle NOTIFY upperAngleChanged)
    Q_PROPERTY(float maxMotorTorque READ maxMotorTorque WRITE setMaxMotorTorque NOTIFY maxMotorTorqueChanged)
    Q_PROPERTY(float motorSpeed READ motorSpeed WRITE setMotorSpeed NOTIFY motorSpeedChanged)
    Q_PROPERTY(bool enableLimit READ enableLimit WRITE setEnableLimit NOTIFY enableLimitChanged)
    Q_PROPERTY(bool enableMotor READ enableMotor WRITE setEnableMotor NOTIFY enableMotorChanged)
    Q_PROPERTY(QPointF localAnchorA READ localAnchorA WRITE setLocalAnchorA NOTIFY localAnchorAChanged)

public:
    explicit Box2DRevoluteJoint(QObject* parent = nullptr);

    // Radians.
    float lowerAngle() const { return m_lowerAngle; }
    // In multiples of pi.
    void setLowerAngle(float lowerAngle);
    // Radians.
    float upperAngle() const { return m_upperAngle; }
    // In multiples of pi.
    void setUpperAngle(float upperAngle);
    float maxMotorTorque() const { return m_def.maxMotorTorque; }
    void setMaxMotorTorque(float torque);
    float motorSpeed() const { return m_def.motorSpeed; }
    // Radians per second.
    void setMotorSpeed(float speed);
    bool enableLimit() const { return m_def.enableLimit; }
    void setEnableLimit(bool enable);
    bool enableMotor() const { return m_def.enableMotor; }
    void setEnableMotor(bool enable);
    // Offset (pixels) of the anchor from body A's centre of mass; unset, the joint's local anchor in pixels.
    QPointF localAnchorA() const;
    void setLocalAnchorA(const QPointF& anchor);

signals:
    void lowerAngleChanged();
    void upperAngleChanged();
    void maxMotorTorqueChanged();
    void motorSpeedChanged();
    void enableLimitChanged();
    void enableMotorChanged();
    void localAnchorAChanged();

protected:
    void createJoint() override;

private:
    b2RevoluteJoint* revoluteJoint() const;
    // Hands a consistent pair of limits to the definition and the live joint; warns about another pair.
    void applyLimits();

    b2RevoluteJointDef m_def;
    float m_lowerAngle = 0.0f;
    float m_upperAngle = 0.0f;
    LocalAnchor m_anchorA;
};
