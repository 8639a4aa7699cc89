#include "box2dbody.h"

#include "box2dfixture.h"
#include "box2dworld.h"
#include "inputcheck.h"
#include "physicsunits.h"

#include <box2d/b2_body.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_world.h>

#include <QDebug>
#include <QQmlContext>
#include <QQmlEngine>

#include <cmath>

using PhysicsUnits::toMeters;
using PhysicsUnits::toPixels;

namespace {
const char* const kClass = "Box2DBody";

bool nearlyEqual(const QPointF& a, const QPointF& b)
{
    return std::fabs(a.x() - b.x()) <= 1e-12 && std::fabs(a.y() - b.y()) <= 1e-12;
}

bool isFinitePoint(const QPointF& point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

b2BodyType toBodyType(Box2DBody::BodyType type)
{
    switch (type) {
    case Box2DBody::Static:
        return b2_staticBody;
    case Box2DBody::Kinematic:
        return b2_kinematicBody;
    default:
        return b2_dynamicBody;
    }
}
} // namespace

Box2DBody::Box2DBody(QQuickItem* parent) : QQuickItem(parent)
{
    setTransformOrigin(QQuickItem::TopLeft);
    connect(this, &QQuickItem::rotationChanged, this, &Box2DBody::onRotationChanged);
}

Box2DBody::~Box2DBody()
{
    for (Box2DFixture* fixture : std::as_const(m_fixtures))
        fixture->setBody(nullptr);
    if (!m_worldItem)
        return;
    m_worldItem->unregisterBody(this);
    if (!m_body)
        return;
    if (m_worldItem->isLocked()) {
        qWarning("Box2DBody: WARNING: destroyed inside preSolve; its Box2D body goes when the step returns");
        // Box2D still reports these fixtures until then: nothing may reach the items being destroyed.
        for (b2Fixture* fixture = m_body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
            if (Box2DFixture* qmlFixture = Box2DFixture::fromFixture(fixture)) {
                qmlFixture->nullifyFixture();
                m_worldItem->fixtureDestroyed(qmlFixture);
            }
            fixture->GetUserData().pointer = 0;
        }
    }
    m_worldItem->destroyBody(m_body);
}

void Box2DBody::setLinearDamping(qreal damping)
{
    if (damping == m_linearDamping || !InputCheck::isFiniteNonNegative(kClass, "linearDamping", damping))
        return;
    m_linearDamping = damping;
    if (m_body)
        m_body->SetLinearDamping(float(damping));
    emit linearDampingChanged();
}

void Box2DBody::setAngularDamping(qreal damping)
{
    if (damping == m_angularDamping || !InputCheck::isFiniteNonNegative(kClass, "angularDamping", damping))
        return;
    m_angularDamping = damping;
    if (m_body)
        m_body->SetAngularDamping(float(damping));
    emit angularDampingChanged();
}

void Box2DBody::setBodyType(BodyType type)
{
    if (type == m_bodyType)
        return;
    m_bodyType = type;
    if (m_body && changeNowOrAfterStep("bodyType", TypeChange))
        m_body->SetType(toBodyType(type));
    emit bodyTypeChanged();
}

void Box2DBody::setBullet(bool bullet)
{
    if (bullet == m_bullet)
        return;
    m_bullet = bullet;
    if (m_body)
        m_body->SetBullet(bullet);
    emit bulletChanged();
}

void Box2DBody::setSleepingAllowed(bool allowed)
{
    if (allowed == m_sleepingAllowed)
        return;
    m_sleepingAllowed = allowed;
    if (m_body)
        m_body->SetSleepingAllowed(allowed);
    emit sleepingAllowedChanged();
}

void Box2DBody::setFixedRotation(bool fixedRotation)
{
    if (fixedRotation == m_fixedRotation)
        return;
    m_fixedRotation = fixedRotation;
    if (m_body)
        m_body->SetFixedRotation(fixedRotation);
    emit fixedRotationChanged();
}

void Box2DBody::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (m_body && changeNowOrAfterStep("active", ActiveChange)) {
        m_body->SetEnabled(active);
        if (active)
            synchronize();
    }
    emit activeChanged();
}

void Box2DBody::setLinearVelocity(const QPointF& velocity)
{
    if (nearlyEqual(velocity, m_linearVelocity) ||
        !InputCheck::isFinite(kClass, "linearVelocity.x", velocity.x()) ||
        !InputCheck::isFinite(kClass, "linearVelocity.y", velocity.y()))
        return;
    m_linearVelocity = velocity;
    // During synchronize the value comes from Box2D: handing it back would wake the body, which in Box2D 2.4
    // restarts its way to sleep on every step.
    if (m_body && m_bodyType != Static && !m_synchronizing)
        m_body->SetLinearVelocity(toMeters(velocity));
    emit linearVelocityChanged();
}

void Box2DBody::setAngularVelocity(float velocity)
{
    if (velocity == m_angularVelocity || !InputCheck::isFinite(kClass, "angularVelocity", velocity))
        return;
    m_angularVelocity = velocity;
    if (m_body && m_bodyType != Static)
        m_body->SetAngularVelocity(velocity);
    emit angularVelocityChanged();
}

QQmlListProperty<Box2DFixture> Box2DBody::fixtures()
{
    return QQmlListProperty<Box2DFixture>(this, nullptr, &Box2DBody::appendFixture, &Box2DBody::fixtureCount,
                                          &Box2DBody::fixtureAt, nullptr);
}

void Box2DBody::appendFixture(QQmlListProperty<Box2DFixture>* list, Box2DFixture* fixture)
{
    auto* body = static_cast<Box2DBody*>(list->object);
    if (!fixture || body->m_fixtures.contains(fixture))
        return;
    fixture->setParentItem(body);
    fixture->setBody(body);
    body->m_fixtures.append(fixture);
}

qsizetype Box2DBody::fixtureCount(QQmlListProperty<Box2DFixture>* list)
{
    return static_cast<Box2DBody*>(list->object)->m_fixtures.size();
}

Box2DFixture* Box2DBody::fixtureAt(QQmlListProperty<Box2DFixture>* list, qsizetype index)
{
    return static_cast<Box2DBody*>(list->object)->m_fixtures.value(index);
}

void Box2DBody::setTarget(QQuickItem* target)
{
    if (target == m_target)
        return;
    if (m_target && !disconnect(m_target, &QObject::destroyed, this, &Box2DBody::onTargetDestroyed))
        qWarning() << "Box2DBody: WARNING: disconnecting the old target" << m_target.data()
                   << "from its destroyed signal failed";
    m_target = target;
    if (target)
        connect(target, &QObject::destroyed, this, &Box2DBody::onTargetDestroyed, Qt::UniqueConnection);
    emit targetChanged();
}

void Box2DBody::onTargetDestroyed()
{
    // The guard has already let go of the dying target.
    m_target = nullptr;
    emit targetChanged();
}

void Box2DBody::setCollisionTestingOnlyMode(bool on)
{
    if (on == m_collisionTestingOnlyMode)
        return;
    m_collisionTestingOnlyMode = on;
    if (!on && m_body && changeNowOrAfterStep("collisionTestingOnlyMode", PoseChange)) {
        moveBodyTo(getPositionWithTarget());
        turnBodyTo(getRotationWithTarget());
    }
    emit collisionTestingOnlyModeChanged();
}

void Box2DBody::setForce(const QPointF& force)
{
    if (nearlyEqual(force, m_force) || !InputCheck::isFinite(kClass, "force.x", force.x()) ||
        !InputCheck::isFinite(kClass, "force.y", force.y()))
        return;
    m_force = force;
    emit forceChanged();
}

void Box2DBody::setTorque(float torque)
{
    if (double(torque) == m_torque || !InputCheck::isFinite(kClass, "torque", torque))
        return;
    m_torque = torque;
    emit torqueChanged();
}

void Box2DBody::setGravityScale(float scale)
{
    if (scale == m_gravityScale || !InputCheck::isFinite(kClass, "gravityScale", scale))
        return;
    m_gravityScale = scale;
    if (m_body)
        m_body->SetGravityScale(scale);
    emit gravityScaleChanged();
}

void Box2DBody::applyForce(const QPointF& force, const QPointF& point)
{
    if (!m_body || m_bodyType != Dynamic || !isFinitePoint(force) || !isFinitePoint(point))
        return;
    m_body->ApplyForce(toMeters(force), toMeters(point), true);
}

void Box2DBody::applyLinearImpulse(const QPointF& impulse, const QPointF& point)
{
    if (!m_body || m_bodyType != Dynamic || !isFinitePoint(impulse) || !isFinitePoint(point))
        return;
    m_body->ApplyLinearImpulse(toMeters(impulse), toMeters(point), true);
}

void Box2DBody::applyTorque(qreal torque)
{
    if (!m_body || m_bodyType != Dynamic || !std::isfinite(torque))
        return;
    m_body->ApplyTorque(float(-torque), true);
}

QPointF Box2DBody::getWorldCenter() const
{
    return m_body ? toPixels(m_body->GetWorldCenter()) : QPointF();
}

QPointF Box2DBody::getWorldVector(const QPointF& localVector) const
{
    return m_body ? toPixels(m_body->GetWorldVector(toMeters(localVector))) : QPointF();
}

void Box2DBody::componentComplete()
{
    QQuickItem::componentComplete();
    if (m_initializePending) {
        initialize(m_worldItem);
        return;
    }
    QQmlEngine* engine = qmlEngine(this);
    if (!engine)
        return;
    auto* world =
        qobject_cast<Box2DWorld*>(engine->rootContext()->contextProperty("physicsWorld").value<QObject*>());
    if (world)
        world->registerBody(this);
}

void Box2DBody::initialize(Box2DWorld* world)
{
    if (!world)
        return;
    m_worldItem = world;
    m_world = world->world();
    if (!isComponentComplete()) {
        m_initializePending = true;
        return;
    }
    m_initializePending = false;
    if (m_body || !m_world)
        return;
    if (world->isLocked()) {
        qWarning("Box2DBody: WARNING: created inside preSolve; its Box2D body is made when the step returns");
        world->runUnlocked(this, [this] { initialize(m_worldItem); });
        return;
    }

    QPointF position = getPositionWithTarget();
    qreal rotation = getRotationWithTarget();
    if (!isFinitePoint(position) || !std::isfinite(rotation)) {
        qWarning(
            "Box2DBody: WARNING: position or rotation is not a finite number; the body starts at the origin");
        position = QPointF();
        rotation = 0.0;
    }
    b2BodyDef def;
    def.type = toBodyType(m_bodyType);
    def.position = toMeters(position);
    def.angle = PhysicsUnits::toRadians(rotation);
    def.linearVelocity = toMeters(m_linearVelocity);
    def.angularVelocity = m_angularVelocity;
    def.linearDamping = float(m_linearDamping);
    def.angularDamping = float(m_angularDamping);
    def.allowSleep = m_sleepingAllowed;
    def.awake = true;
    def.fixedRotation = m_fixedRotation;
    def.bullet = m_bullet;
    def.enabled = m_active;
    def.gravityScale = m_gravityScale;
    m_body = m_world->CreateBody(&def);

    for (Box2DFixture* fixture : std::as_const(m_fixtures))
        fixture->createFixture(m_body);
    emit bodyCreated();
}

void Box2DBody::synchronize()
{
    if (!m_body)
        return;
    m_synchronizing = true;

    if (m_body->IsAwake() != m_isAwake) {
        m_isAwake = m_body->IsAwake();
        emit isAwakeChanged();
    }

    if (m_active) {
        const b2Vec2 bodyPosition = m_body->GetPosition();
        const float angle = m_body->GetAngle();
        const double bodyRotation = PhysicsUnits::toDegrees(angle);
        const QPointF pixels = toPixels(bodyPosition);

        const QPointF itemPosition = getPositionWithTarget();
        qreal itemRotation = rotation();
        if (m_target)
            itemRotation = m_fixedRotation ? bodyRotation : rotation() + m_target->rotation();
        const double dx = std::fabs(itemPosition.x() - pixels.x());
        const double dy = std::fabs(itemPosition.y() - pixels.y());
        const double dr = std::fabs(itemRotation - bodyRotation);

        if (!m_collisionTestingOnlyMode) {
            if (dx > 0.001 || dy > 0.001) {
                if (!m_target) {
                    setPosition(pixels);
                } else if (nearlyEqual(m_target->position(), m_lastTargetPosition)) {
                    m_lastTargetPosition = pixels - position();
                    m_target->setPosition(m_lastTargetPosition);
                } else {
                    // Something else moved the target: the body follows it.
                    m_lastTargetPosition = m_target->position();
                    moveBodyTo(itemPosition);
                }
            }
            if (dr > 0.001) {
                if (!m_target) {
                    setRotation(bodyRotation);
                } else if (m_lastTargetRotationValid && m_lastTargetRotation == m_target->rotation()) {
                    m_lastTargetRotation = bodyRotation - rotation();
                    m_target->setRotation(m_lastTargetRotation);
                } else {
                    m_lastTargetRotation = m_target->rotation();
                    m_lastTargetRotationValid = true;
                    turnBodyTo(itemRotation);
                }
            }
        } else if (dx > 0.001 || dy > 0.001 || dr > 0.001) {
            moveBodyTo(itemPosition);
            turnBodyTo(itemRotation);
        }

        if (!m_force.isNull() && m_bodyType == Dynamic) {
            const double fx = m_force.x();
            const double fy = m_force.y();
            const b2Vec2 turned(float(fx * std::cos(angle) + fy * std::sin(angle)),
                                float(fx * std::sin(angle) - fy * std::cos(angle)));
            m_body->ApplyForceToCenter(turned, true);
        }
        if (m_torque != 0.0 && m_bodyType == Dynamic)
            m_body->ApplyTorque(float(-m_torque), true);
    }

    setLinearVelocity(toPixels(m_body->GetLinearVelocity()));
    if (m_body->GetAngularVelocity() != m_angularVelocity) {
        m_angularVelocity = m_body->GetAngularVelocity();
        emit angularVelocityChanged();
    }

    m_synchronizing = false;
}

void Box2DBody::cleanup(b2World* world)
{
    if (!m_body || world != m_world || !m_worldItem)
        return;
    if (m_worldItem->isLocked()) {
        qWarning("Box2DBody: WARNING: cleanup inside preSolve is refused; the body stays");
        return;
    }
    Box2DWorld* worldItem = m_worldItem;
    b2Body* body = m_body;
    m_body = nullptr;
    m_world = nullptr;
    m_worldItem = nullptr;
    worldItem->unregisterBody(this);
    worldItem->destroyBody(body);
}

void Box2DBody::resetVelocities()
{
    if (!m_body || m_bodyType == Static)
        return;
    m_body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
    m_body->SetAngularVelocity(0.0f);
}

QPointF Box2DBody::getPositionWithTarget() const
{
    return m_target ? position() + m_target->position() : position();
}

qreal Box2DBody::getRotationWithTarget() const
{
    return m_target ? rotation() + m_target->rotation() : rotation();
}

void Box2DBody::removeFixture(Box2DFixture* fixture)
{
    m_fixtures.removeOne(fixture);
    b2Fixture* boxFixture = fixture->fixture();
    if (!boxFixture || !m_body || !m_worldItem)
        return;
    boxFixture->GetUserData().pointer = 0;
    fixture->nullifyFixture();
    m_worldItem->fixtureDestroyed(fixture);
    if (m_worldItem->isLocked())
        qWarning(
            "Box2DFixture: WARNING: destroyed inside preSolve; its Box2D fixture goes when the step returns");
    m_worldItem->destroyFixture(m_body, boxFixture);
}

void Box2DBody::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (m_synchronizing || !m_body)
        return;
    if (std::fabs(newGeometry.x() - oldGeometry.x()) > 1e-12 ||
        std::fabs(newGeometry.y() - oldGeometry.y()) > 1e-12) {
        if (changeNowOrAfterStep("position", PositionChange))
            moveBodyTo(getPositionWithTarget());
    }
}

void Box2DBody::onRotationChanged()
{
    if (m_synchronizing || !m_body)
        return;
    if (changeNowOrAfterStep("rotation", RotationChange))
        turnBodyTo(rotation());
}

bool Box2DBody::changeNowOrAfterStep(const char* what, PendingChange change)
{
    if (!m_worldItem || !m_worldItem->isLocked())
        return true;
    qWarning(
        "Box2DBody: WARNING: %s changed inside preSolve; it reaches the Box2D body when the step returns",
        what);
    if (m_pendingChanges == 0)
        m_worldItem->runUnlocked(this, [this] { applyDeferredChanges(); });
    m_pendingChanges |= change;
    return false;
}

void Box2DBody::applyDeferredChanges()
{
    const int changes = m_pendingChanges;
    m_pendingChanges = 0;
    if (!m_body)
        return;
    if (changes & TypeChange)
        m_body->SetType(toBodyType(m_bodyType));
    if (changes & PositionChange)
        moveBodyTo(getPositionWithTarget());
    if (changes & RotationChange)
        turnBodyTo(rotation());
    if (changes & PoseChange) {
        moveBodyTo(getPositionWithTarget());
        turnBodyTo(getRotationWithTarget());
    }
    if ((changes & ActiveChange) && m_body->IsEnabled() != m_active) {
        m_body->SetEnabled(m_active);
        if (m_active)
            synchronize();
    }
}

void Box2DBody::moveBodyTo(const QPointF& position)
{
    if (!isFinitePoint(position)) {
        qWarning("Box2DBody: WARNING: position is not a finite number; the body stays");
        return;
    }
    m_body->SetTransform(toMeters(position), m_body->GetAngle());
}

void Box2DBody::turnBodyTo(qreal degrees)
{
    if (!std::isfinite(degrees)) {
        qWarning("Box2DBody: WARNING: rotation is not a finite number; the body stays");
        return;
    }
    m_body->SetTransform(m_body->GetPosition(), PhysicsUnits::toRadians(degrees));
}
