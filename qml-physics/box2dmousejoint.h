#pragma once

#include "box2djoint.h"

#include <box2d/b2_mouse_joint.h>

// The QML MouseJoint: pulls the point of the moving body that lay at targetPoint when the joint was made
// towards targetPoint (pixels). Without a collision body set before the moving body, the joint makes its own
// static ground body, which goes with the joint however the joint goes.
class Box2DMouseJoint : public Box2DJoint
{
    Q_OBJECT
    Q_PROPERTY(float maxForce READ maxForce WRITE setMaxForce NOTIFY maxForceChanged)
    Q_PROPERTY(float frequencyHz READ frequencyHz WRITE setFrequencyHz NOTIFY frequencyHzChanged)
    Q_PROPERTY(float dampingRatio READ dampingRatio WRITE setDampingRatio NOTIFY dampingRatioChanged)
    Q_PROPERTY(QPointF targetPoint READ targetPoint WRITE setTargetPoint NOTIFY targetPointChanged)
    Q_PROPERTY(Box2DBody* movingBody READ bodyB WRITE setMovingBody NOTIFY movingBodyChanged)
    Q_PROPERTY(Box2DBody* targetBody READ bodyB WRITE setMovingBody NOTIFY movingBodyChanged)
    Q_PROPERTY(Box2DBody* collisionBody READ bodyA WRITE setCollisionBody NOTIFY collisionBodyChanged)

public:
    explicit Box2DMouseJoint(QObject* parent = nullptr);
    // Destroys the joint, then its ground body.
    ~Box2DMouseJoint() override;

    float maxForce() const { return m_def.maxForce; }
    // Newtons; finite and at least 0.
    void setMaxForce(float force);
    float frequencyHz() const { return m_frequencyHz; }
    // Finite and at least 0.
    void setFrequencyHz(float frequencyHz);
    float dampingRatio() const { return m_dampingRatio; }
    // Finite and at least 0.
    void setDampingRatio(float dampingRatio);
    QPointF targetPoint() const;
    void setTargetPoint(const QPointF& point);
    // Body B; also body A unless a collision body came first.
    void setMovingBody(Box2DBody* body);
    // Body A, when set before the moving body.
    void setCollisionBody(Box2DBody* body);
    // The ground body the joint made, or null.
    b2Body* groundBody() const { return m_groundBody; }

    // Destroys the joint and its ground body; refused with a warning inside a step.
    void cleanup(b2World* world) override;

signals:
    void maxForceChanged();
    void frequencyHzChanged();
    void dampingRatioChanged();
    void targetPointChanged();
    void movingBodyChanged();
    void collisionBodyChanged();

protected:
    void createJoint() override;

private:
    b2MouseJoint* mouseJoint() const;
    void applyStiffness();
    void releaseGroundBody();

    b2MouseJointDef m_def;
    float m_frequencyHz = 5.0f;
    float m_dampingRatio = 0.7f;
    b2Body* m_groundBody = nullptr;
};
