#pragma once

#include "box2djoint.h"

#include <box2d/b2_distance_joint.h>

// The QML RopeJoint: keeps two anchors at most maxLength pixels apart and lets them come closer freely (a
// distance joint with no minimum). Unset anchors lie 1 metre left of body A's origin and right of body B's.
class Box2DRopeJoint : public Box2DJoint
{
    Q_OBJECT
    Q_PROPERTY(float maxLength READ maxLength WRITE setMaxLength NOTIFY maxLengthChanged)
    Q_PROPERTY(QPointF localAnchorA READ localAnchorA WRITE setLocalAnchorA NOTIFY localAnchorAChanged)
    Q_PROPERTY(QPointF localAnchorB READ localAnchorB WRITE setLocalAnchorB NOTIFY localAnchorBChanged)

public:
    explicit Box2DRopeJoint(QObject* parent = nullptr);

    // Metres.
    float maxLength() const { return m_maxLength; }
    // Pixels; finite and at least 0. Changing it on a live joint warns, and takes effect.
    void setMaxLength(float length);
    // Offset (pixels) of the anchor from body A's centre of mass; unset, the local anchor in pixels.
    QPointF localAnchorA() const;
    void setLocalAnchorA(const QPointF& anchor);
    // Offset (pixels) of the anchor from body B's centre of mass; unset, the local anchor in pixels.
    QPointF localAnchorB() const;
    void setLocalAnchorB(const QPointF& anchor);

signals:
    void maxLengthChanged();
    void localAnchorAChanged();
    void localAnchorBChanged();

protected:
    void createJoint() override;

private:
    b2DistanceJointDef m_def;
    float m_maxLength = 0.0f;
    LocalAnchor m_anchorA;
    LocalAnchor m_anchorB;
};
