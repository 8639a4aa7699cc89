#pragma once

#include "box2djoint.h"

#include <box2d/b2_weld_joint.h>

// The QML WeldJoint: glues two bodies together where they are, at one shared anchor (body A's centre of mass
// plus its offset, else body B's offset point, else body A's centre); soft with frequencyHz above 0.
class Box2DWeldJoint : public Box2DJoint
{
    Q_OBJECT
    Q_PROPERTY(float referenceAngle READ referenceAngle WRITE setReferenceAngle)
    Q_PROPERTY(float frequencyHz READ frequencyHz WRITE setFrequencyHz NOTIFY frequencyHzChanged)
    Q_PROPERTY(float dampingRatio READ dampingRatio WRITE setDampingRatio NOTIFY dampingRatioChanged)
    Q_PROPERTY(QPointF localAnchorA READ localAnchorA WRITE setLocalAnchorA NOTIFY localAnchorAChanged)
    Q_PROPERTY(QPointF localAnchorB READ localAnchorB WRITE setLocalAnchorB NOTIFY localAnchorBChanged)

public:
    explicit Box2DWeldJoint(QObject* parent = nullptr);

    // Radians: the set angle, else the bodies' angle difference at creation.
    float referenceAngle() const { return m_referenceAngleSet ? m_referenceAngle : m_def.referenceAngle; }
    // In multiples of pi; used at creation only (a live joint warns and keeps its own angle).
    void setReferenceAngle(float angle);
    float frequencyHz() const { return m_frequencyHz; }
    // Above 0 the weld is soft in rotation at that frequency; finite and at least 0.
    void setFrequencyHz(float frequencyHz);
    float dampingRatio() const { return m_dampingRatio; }
    // Finite and at least 0.
    void setDampingRatio(float dampingRatio);
    // Offset (pixels) from body A's centre of mass; unset, the joint's local anchor in pixels.
    QPointF localAnchorA() const;
    void setLocalAnchorA(const QPointF& anchor);
    // Offset (pixels) from body B's centre of mass; unset, the joint's local anchor in pixels.
    QPointF localAnchorB() const;
    void setLocalAnchorB(const QPointF& anchor);

signals:
    void frequencyHzChanged();
    void dampingRatioChanged();
    void localAnchorAChanged();
    void localAnchorBChanged();

protected:
    void createJoint() override;

private:
    void applyStiffness();

    b2WeldJointDef m_def;
    float m_referenceAngle = 0.0f;
    bool m_referenceAngleSet = false;
    float m_frequencyHz = 0.0f;
    float m_dampingRatio = 0.0f;
    LocalAnchor m_anchorA;
    LocalAnchor m_anchorB;
};
