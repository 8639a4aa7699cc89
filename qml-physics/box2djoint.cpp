#include "box2djoint.h"

#include "box2dbody.h"
#include "box2dworld.h"
#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_body.h>
#include <box2d/b2_joint.h>
#include <box2d/b2_world.h>

#include <cmath>

Box2DJoint::Box2DJoint(QObject* parent) : QObject(parent) {}

Box2DJoint::~Box2DJoint()
{
    releaseJoint();
}

void Box2DJoint::setWorld(Box2DWorld* world)
{
    if (world == m_worldItem)
        return;
    m_worldItem = world;
    emit worldChanged();
    tryCreate();
}

void Box2DJoint::setCollideConnected(bool collideConnected)
{
    if (collideConnected == m_collideConnected)
        return;
    m_collideConnected = collideConnected;
    emit collideConnectedChanged();
}

void Box2DJoint::setBodyA(Box2DBody* body)
{
    setBody(m_bodyA, m_waitingForA, body, &Box2DJoint::bodyAChanged);
}

void Box2DJoint::setBodyB(Box2DBody* body)
{
    setBody(m_bodyB, m_waitingForB, body, &Box2DJoint::bodyBChanged);
}

void Box2DJoint::setBody(QPointer<Box2DBody>& stored, bool& waiting, Box2DBody* body,
                         void (Box2DJoint::*changed)())
{
    if (stored || waiting || !body)
        return;
    if (!body->body()) {
        waiting = true;
        connect(body, &Box2DBody::bodyCreated, this, [this, &stored, &waiting, body, changed] {
            if (stored)
                return;
            waiting = false;
            stored = body;
            emit(this->*changed)();
            tryCreate();
        });
        return;
    }
    stored = body;
    emit(this->*changed)();
    tryCreate();
}

b2World* Box2DJoint::world() const
{
    return m_worldItem ? m_worldItem->world() : nullptr;
}

void Box2DJoint::tryCreate()
{
    if (m_joint || !m_bodyA || !m_bodyB || !m_bodyA->body() || !m_bodyB->body() || !world())
        return;
    if (m_bodyA->worldItem() != m_worldItem || m_bodyB->worldItem() != m_worldItem) {
        qWarning("%s: WARNING: bodyA and bodyB must belong to the joint's world; no joint made",
                 metaObject()->className());
        return;
    }
    if (m_worldItem->isLocked()) {
        qWarning("%s: WARNING: created inside preSolve; its Box2D joint is made when the step returns",
                 metaObject()->className());
        m_worldItem->runUnlocked(this, [this] { tryCreate(); });
        return;
    }
    createJoint();
}

void Box2DJoint::createInWorld(b2JointDef& def)
{
    if (!def.bodyA)
        def.bodyA = m_bodyA->body();
    if (!def.bodyB)
        def.bodyB = m_bodyB->body();
    def.collideConnected = m_collideConnected;
    m_joint = world()->CreateJoint(&def);
    m_joint->GetUserData().pointer = reinterpret_cast<uintptr_t>(this);
}

bool Box2DJoint::refuseSameBody(const char* className) const
{
    if (m_bodyA != m_bodyB)
        return false;
    qWarning("%s: WARNING: bodyA and bodyB are the same body; no joint made", className);
    return true;
}

b2Vec2 Box2DJoint::worldAnchor(Box2DBody* body, const LocalAnchor& anchor)
{
    b2Vec2 point = body->body()->GetWorldCenter();
    if (anchor.set)
        point += PhysicsUnits::toMeters(anchor.offset);
    return point;
}

bool Box2DJoint::acceptSetting(float& field, float value, const char* property) const
{
    if (value == field || !InputCheck::isFiniteNonNegative(metaObject()->className(), property, value))
        return false;
    field = value;
    return true;
}

void Box2DJoint::wakeBodies()
{
    if (!m_joint)
        return;
    m_joint->GetBodyA()->SetAwake(true);
    m_joint->GetBodyB()->SetAwake(true);
}

void Box2DJoint::releaseJoint()
{
    if (!m_joint)
        return;
    b2Joint* joint = m_joint;
    m_joint = nullptr;
    joint->GetUserData().pointer = 0;
    if (!m_worldItem)
        return;
    if (m_worldItem->isLocked())
        qWarning("%s: WARNING: destroyed inside preSolve; its Box2D joint goes when the step returns",
                 metaObject()->className());
    m_worldItem->destroyJoint(joint);
}

QPointF Box2DJoint::LocalAnchor::read(const b2Vec2& definitionAnchor) const
{
    return set ? offset : PhysicsUnits::toPixels(definitionAnchor);
}

bool Box2DJoint::LocalAnchor::write(const QPointF& value)
{
    if (set && std::fabs(offset.x() - value.x()) <= 1e-12 && std::fabs(offset.y() - value.y()) <= 1e-12)
        return false;
    offset = value;
    set = true;
    return true;
}

void Box2DJoint::nullifyJoint()
{
    m_joint = nullptr;
}

void Box2DJoint::cleanup(b2World* world)
{
    if (!m_joint || !world || world != this->world())
        return;
    if (m_worldItem->isLocked()) {
        qWarning("%s: WARNING: cleanup inside preSolve is refused; the joint stays",
                 metaObject()->className());
        return;
    }
    releaseJoint();
}

Box2DJoint* Box2DJoint::fromJoint(b2Joint* joint)
{
    return reinterpret_cast<Box2DJoint*>(joint->GetUserData().pointer);
}
