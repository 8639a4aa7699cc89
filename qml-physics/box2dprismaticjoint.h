#pragma once

#include "box2djoint.h"
#include "physicsunits.h"

#include <box2d/b2_prismatic_joint.h>

// The QML PrismaticJoint: body B slides along an axis fixed in body A. Translations are in pixels; a pair of
// limits with the lower above the upper waits until it is consistent.
class Box2DPrismaticJoint : public Box2DJoint
{
    Q_OBJECT
    Q_PROPERTY(
        float lowerTranslation READ lowerTranslation WRITE setLowerTranslation NOTIFY lowerTranslationChanged)
    Q_PROPERTY(
        float upperTranslation READ upperTranslation WRITE setUpperTranslation NOTIFY upperTranslationChanged)
    Q_PROPERTY(float maxMotorForce READ maxMotorForce WRITE setMaxMotorForce NOTIFY maxMotorForceChanged)
    Q_PROPERTY(float motorSpeed READ motorSpeed WRITE setMotorSpeed NOTIFY motorSpeedChanged)
    Q_PROPERTY(bool enableLimit READ enableLimit WRITE setEnableLimit NOTIFY enableLimitChanged)
    Q_PROPERTY(bool enableMotor READ enableMotor WRITE setEnableMotor NOTIFY enableMotorChanged)
    Q_PROPERTY(QPointF axis READ axis WRITE setAxis NOTIFY axisChanged)
    Q_PROPERTY(QPointF localAnchorA READ localAnchorA WRITE setLocalAnchorA NOTIFY localAnchorAChanged)

public:
    explicit Box2DPrismaticJoint(QObject* parent = nullptr);

    float lowerTranslation() const { return m_lowerTranslation * PhysicsUnits::kPixelsPerMeter; }
    void setLowerTranslation(float translation);
    float upperTranslation() const { return m_upperTranslation * PhysicsUnits::kPixelsPerMeter; }
    void setUpperTranslation(float translation);
    float maxMotorForce() const { return m_def.maxMotorForce; }
    void setMaxMotorForce(float force);
    float motorSpeed() const { return m_def.motorSpeed; }
    void setMotorSpeed(float speed);
    bool enableLimit() const { return m_def.enableLimit; }
    void setEnableLimit(bool enable);
    bool enableMotor() const { return m_def.enableMotor; }
    void setEnableMotor(bool enable);
    // Screen orientation (y down); used when the joint is created.
    QPointF axis() const { return QPointF(m_axis.x, -m_axis.y); }
    void setAxis(const QPointF& axis);
    // Offset (pixels) of the anchor from body A's centre of mass; unset, the joint's local anchor in pixels.
    QPointF localAnchorA() const;
    void setLocalAnchorA(const QPointF& anchor);

signals:
    void lowerTranslationChanged();
    void upperTranslationChanged();
    void maxMotorForceChanged();
    void motorSpeedChanged();
    void enableLimitChanged();
    void enableMotorChanged();
    void axisChanged();
    void localAnchorAChanged();

protected:
    void createJoint() override;

private:
    b2PrismaticJoint* prismaticJoint() const;
    // Hands a consistent pair of limits to the definition and the live joint; warns about another pair.
    void applyLimits();

    b2PrismaticJointDef m_def;
    float m_lowerTranslation = 0.0f;
    float m_upperTranslation = 0.0f;
    b2Vec2 m_axis{1.0f, 0.0f};
    LocalAnchor m_anchorA;
};
