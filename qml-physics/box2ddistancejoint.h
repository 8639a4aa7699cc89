#pragma once

#include "box2djoint.h"

#include <box2d/b2_distance_joint.h>

// The QML DistanceJoint: keeps two anchors length pixels apart, rigidly or, with frequencyHz above 0, as a
// spring that rests at that length. Without a length the anchors' distance at creation counts.
class Box2DDistanceJoint : public Box2DJoint
{
    Q_OBJECT
    Q_PROPERTY(float length READ length WRITE setLength NOTIFY lengthChanged)
    Q_PROPERTY(float frequencyHz READ frequencyHz WRITE setFrequencyHz NOTIFY frequencyHzChanged)
    Q_PROPERTY(float dampingRatio READ dampingRatio WRITE setDampingRatio NOTIFY dampingRatioChanged)
    Q_PROPERTY(QPointF localAnchorA READ localAnchorA WRITE setLocalAnchorA NOTIFY localAnchorAChanged)
    Q_PROPERTY(QPointF localAnchorB READ localAnchorB WRITE setLocalAnchorB NOTIFY localAnchorBChanged)

public:
    explicit Box2DDistanceJoint(QObject* parent = nullptr);

    // In metres: the set length, else the definition's (1 before creation).
    float length() const;
    // Pixels; rest, minimum and maximum length of a rigid joint, rest length of a spring.
    void setLength(float length);
    float frequencyHz() const { return m_frequencyHz; }
    // Above 0 the joint is a spring of that frequency; finite and at least 0.
    void setFrequencyHz(float frequencyHz);
    float dampingRatio() const { return m_dampingRatio; }
    // Finite and at least 0.
    void setDampingRatio(float dampingRatio);
    // Offset (pixels) of the anchor from body A's centre of mass; unset, the joint's local anchor in pixels.
    QPointF localAnchorA() const;
    void setLocalAnchorA(const QPointF& anchor);
    // Offset (pixels) of the anchor from body B's centre of mass; unset, the joint's local anchor in pixels.
    QPointF localAnchorB() const;
    void setLocalAnchorB(const QPointF& anchor);

signals:
    void lengthChanged();
    void frequencyHzChanged();
    void dampingRatioChanged();
    void localAnchorAChanged();
    void localAnchorBChanged();

protected:
    void createJoint() override;

private:
    b2DistanceJoint* distanceJoint() const;
    // Spring or rigid limits and the stiffness from frequency and damping ratio, on the live joint.
    void applySpring();

    b2DistanceJointDef m_def;
    float m_length = 0.0f;
    bool m_lengthSet = false;
    float m_frequencyHz = 0.0f;
    float m_dampingRatio = 0.0f;
    LocalAnchor m_anchorA;
    LocalAnchor m_anchorB;
};
