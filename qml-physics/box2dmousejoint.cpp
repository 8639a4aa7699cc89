#include "box2dmousejoint.h"

#include "box2dbody.h"
#include "box2dworld.h"
#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_body.h>
#include <box2d/b2_world.h>

namespace {
const char* const kClass = "Box2DMouseJoint";
} // namespace

Box2DMouseJoint::Box2DMouseJoint(QObject* parent) : Box2DJoint(parent)
{
    m_def.maxForce = 0.0f;
    m_def.target.SetZero();
}

Box2DMouseJoint::~Box2DMouseJoint()
{
    releaseJoint();
    releaseGroundBody();
}

b2MouseJoint* Box2DMouseJoint::mouseJoint() const
{
    return static_cast<b2MouseJoint*>(m_joint);
}

void Box2DMouseJoint::setMaxForce(float force)
{
    if (!acceptSetting(m_def.maxForce, force, "maxForce"))
        return;
    if (m_joint)
        mouseJoint()->SetMaxForce(force);
    emit maxForceChanged();
}

void Box2DMouseJoint::setFrequencyHz(float frequencyHz)
{
    if (!acceptSetting(m_frequencyHz, frequencyHz, "frequencyHz"))
        return;
    applyStiffness();
    emit frequencyHzChanged();
}

void Box2DMouseJoint::setDampingRatio(float dampingRatio)
{
    if (!acceptSetting(m_dampingRatio, dampingRatio, "dampingRatio"))
        return;
    applyStiffness();
    emit dampingRatioChanged();
}

QPointF Box2DMouseJoint::targetPoint() const
{
    return PhysicsUnits::toPixels(m_def.target);
}

void Box2DMouseJoint::setTargetPoint(const QPointF& point)
{
    const b2Vec2 target = PhysicsUnits::toMeters(point);
    if (target == m_def.target || !InputCheck::isFinite(kClass, "targetPoint.x", point.x()) ||
        !InputCheck::isFinite(kClass, "targetPoint.y", point.y()))
        return;
    m_def.target = target;
    if (m_joint)
        mouseJoint()->SetTarget(target);
    emit targetPointChanged();
}

void Box2DMouseJoint::setMovingBody(Box2DBody* body)
{
    if (bodyB())
        return;
    connect(this, &Box2DJoint::bodyBChanged, this, &Box2DMouseJoint::movingBodyChanged, Qt::UniqueConnection);
    setBodyB(body);
    if (!bodyA())
        setBodyA(body);
}

void Box2DMouseJoint::setCollisionBody(Box2DBody* body)
{
    if (bodyA())
        return;
    connect(this, &Box2DJoint::bodyAChanged, this, &Box2DMouseJoint::collisionBodyChanged,
            Qt::UniqueConnection);
    setBodyA(body);
}

void Box2DMouseJoint::createJoint()
{
    b2Body* moving = bodyB()->body();
    b2Body* anchor = bodyA()->body();
    if (bodyA() == bodyB()) {
        const b2BodyDef groundDef;
        m_groundBody = world()->CreateBody(&groundDef);
        anchor = m_groundBody;
    }
    m_def.bodyA = anchor;
    m_def.bodyB = moving;
    b2LinearStiffness(m_def.stiffness, m_def.damping, m_frequencyHz, m_dampingRatio, anchor, moving);
    createInWorld(m_def);
}

void Box2DMouseJoint::applyStiffness()
{
    b2MouseJoint* joint = mouseJoint();
    if (!joint)
        return;
    float stiffness = 0.0f;
    float damping = 0.0f;
    b2LinearStiffness(stiffness, damping, m_frequencyHz, m_dampingRatio, joint->GetBodyA(),
                      joint->GetBodyB());
    joint->SetStiffness(stiffness);
    joint->SetDamping(damping);
    wakeBodies();
}

void Box2DMouseJoint::cleanup(b2World* world)
{
    const bool joined = m_joint != nullptr;
    Box2DJoint::cleanup(world);
    if (joined && !m_joint)
        releaseGroundBody();
}

void Box2DMouseJoint::releaseGroundBody()
{
    if (!m_groundBody)
        return;
    b2Body* ground = m_groundBody;
    m_groundBody = nullptr;
    if (worldItem())
        worldItem()->destroyBody(ground);
}
