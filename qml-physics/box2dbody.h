#pragma once

#include "box2dfixture.h"
#include "box2dworld.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QQmlListProperty>
#include <QQuickItem>

class b2Body;
class b2World;

// The QML Body: one Box2D body that keeps an item (itself, or its target) in step with the simulation.
// Positions and velocities are in pixels (y down), rotation in clockwise degrees; angularVelocity and torque
// are in Box2D units. Inside a step (preSolve handlers) changes to pose, active and bodyType, and the body's
// creation, wait until the step returns.
class Box2DBody : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(qreal linearDamping READ linearDamping WRITE setLinearDamping NOTIFY linearDampingChanged)
    Q_PROPERTY(qreal angularDamping READ angularDamping WRITE setAngularDamping NOTIFY angularDampingChanged)
    Q_PROPERTY(BodyType bodyType READ bodyType WRITE setBodyType NOTIFY bodyTypeChanged)
    Q_PROPERTY(bool bullet READ isBullet WRITE setBullet NOTIFY bulletChanged)
    Q_PROPERTY(
        bool sleepingAllowed READ sleepingAllowed WRITE setSleepingAllowed NOTIFY sleepingAllowedChanged)
    Q_PROPERTY(bool fixedRotation READ fixedRotation WRITE setFixedRotation NOTIFY fixedRotationChanged)
    Q_PROPERTY(bool active READ isActive WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(
        QPointF linearVelocity READ linearVelocity WRITE setLinearVelocity NOTIFY linearVelocityChanged)
    Q_PROPERTY(
        float angularVelocity READ angularVelocity WRITE setAngularVelocity NOTIFY angularVelocityChanged)
    Q_PROPERTY(QQmlListProperty<Box2DFixture> fixtures READ fixtures)
    Q_PROPERTY(QQuickItem* target READ target WRITE setTarget NOTIFY targetChanged)
    Q_PROPERTY(bool collisionTestingOnlyMode READ collisionTestingOnlyMode WRITE setCollisionTestingOnlyMode
                   NOTIFY collisionTestingOnlyModeChanged)
    Q_PROPERTY(bool isAwake READ isAwake NOTIFY isAwakeChanged)
    Q_PROPERTY(QPointF force READ force WRITE setForce NOTIFY forceChanged)
    Q_PROPERTY(float torque READ torque WRITE setTorque NOTIFY torqueChanged)
    Q_PROPERTY(float gravityScale READ gravityScale WRITE setGravityScale NOTIFY gravityScaleChanged)

public:
    enum BodyType
    {
        Static = 0,
        Kinematic = 1,
        Dynamic = 2
    };
    Q_ENUM(BodyType)

    explicit Box2DBody(QQuickItem* parent = nullptr);
    // Destroys the Box2D body (and with it its fixtures and joints) in its world.
    ~Box2DBody() override;

    qreal linearDamping() const { return m_linearDamping; }
    // Finite and at least 0, else refused with a warning.
    void setLinearDamping(qreal damping);
    qreal angularDamping() const { return m_angularDamping; }
    // Finite and at least 0, else refused with a warning.
    void setAngularDamping(qreal damping);
    BodyType bodyType() const { return m_bodyType; }
    void setBodyType(BodyType type);
    bool isBullet() const { return m_bullet; }
    void setBullet(bool bullet);
    bool sleepingAllowed() const { return m_sleepingAllowed; }
    // Forbidding sleep also wakes the body.
    void setSleepingAllowed(bool allowed);
    bool fixedRotation() const { return m_fixedRotation; }
    void setFixedRotation(bool fixedRotation);
    bool isActive() const { return m_active; }
    // Activating moves the item to the body at once.
    void setActive(bool active);
    QPointF linearVelocity() const { return m_linearVelocity; }
    // Pixels per second; a static body keeps its own (zero) velocity.
    void setLinearVelocity(const QPointF& velocity);
    float angularVelocity() const { return m_angularVelocity; }
    // Radians per second, counter-clockwise on screen; a static body keeps its own.
    void setAngularVelocity(float velocity);
    QQmlListProperty<Box2DFixture> fixtures();
    QQuickItem* target() const { return m_target; }
    // The item the body moves instead of itself; forgotten when it is destroyed.
    void setTarget(QQuickItem* target);
    bool collisionTestingOnlyMode() const { return m_collisionTestingOnlyMode; }
    // While on, the item drives the body; turning it off moves the body to the item.
    void setCollisionTestingOnlyMode(bool on);
    bool isAwake() const { return m_isAwake; }
    QPointF force() const { return m_force; }
    // Applied at the centre of mass on every step, turned with the body.
    void setForce(const QPointF& force);
    float torque() const { return float(m_torque); }
    // Applied on every step.
    void setTorque(float torque);
    float gravityScale() const { return m_gravityScale; }
    void setGravityScale(float scale);

    // Force and point in pixels; dynamic bodies only.
    Q_INVOKABLE void applyForce(const QPointF& force, const QPointF& point);
    // Impulse and point in pixels; dynamic bodies only.
    Q_INVOKABLE void applyLinearImpulse(const QPointF& impulse, const QPointF& point);
    // Dynamic bodies only; a positive torque turns clockwise on screen.
    Q_INVOKABLE void applyTorque(qreal torque);
    // Centre of mass in pixels; (0, 0) without a Box2D body.
    Q_INVOKABLE QPointF getWorldCenter() const;
    // A body-relative vector (pixels) in world orientation; (0, 0) without a Box2D body.
    Q_INVOKABLE QPointF getWorldVector(const QPointF& localVector) const;

    // Creates the Box2D body and its fixtures in the world's Box2D world, or waits for completion, or for the
    // end of the step.
    void initialize(Box2DWorld* world);
    // Writes the simulated pose into the item (or the item's into the body) after a step.
    void synchronize();
    // The Box2D body, or null.
    b2Body* body() const { return m_body; }
    // The world item the body belongs to, or null.
    Box2DWorld* worldItem() const { return m_worldItem; }
    // Destroys the Box2D body in world and forgets both; refused with a warning inside a step.
    void cleanup(b2World* world);
    // Stops a non-static body; the velocity properties follow at the next synchronize.
    void resetVelocities();
    // The item's position plus the target's, in pixels.
    QPointF getPositionWithTarget() const;
    // The item's rotation plus the target's, in degrees.
    qreal getRotationWithTarget() const;
    // A fixture item going on its own: it leaves the list, its Box2D fixture is destroyed and its queued
    // events are dropped.
    void removeFixture(Box2DFixture* fixture);

signals:
    void linearDampingChanged();
    void angularDampingChanged();
    void bodyTypeChanged();
    void bulletChanged();
    void sleepingAllowedChanged();
    void fixedRotationChanged();
    void linearVelocityChanged();
    void angularVelocityChanged();
    void activeChanged();
    void collisionTestingOnlyModeChanged();
    void targetChanged();
    void forceChanged();
    void torqueChanged();
    void gravityScaleChanged();
    void isAwakeChanged();
    // Once the Box2D body exists.
    void bodyCreated();

protected:
    void componentComplete() override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private slots:
    void onRotationChanged();
    void onTargetDestroyed();

private:
    static void appendFixture(QQmlListProperty<Box2DFixture>* list, Box2DFixture* fixture);
    static qsizetype fixtureCount(QQmlListProperty<Box2DFixture>* list);
    static Box2DFixture* fixtureAt(QQmlListProperty<Box2DFixture>* list, qsizetype index);

    // Position and rotation alone follow the item's own; a pose goes to the item's with its target's.
    enum PendingChange
    {
        TypeChange = 1,
        ActiveChange = 2,
        PositionChange = 4,
        RotationChange = 8,
        PoseChange = 16
    };

    // Applies what waited for the step to end, with the values as they are now.
    void applyDeferredChanges();
    // True when the change can go to Box2D now; otherwise warns and has it applied when the step returns.
    bool changeNowOrAfterStep(const char* what, PendingChange change);
    void moveBodyTo(const QPointF& position);
    void turnBodyTo(qreal degrees);

    b2Body* m_body = nullptr;
    b2World* m_world = nullptr;
    QPointer<Box2DWorld> m_worldItem;
    qreal m_linearDamping = 0.0;
    qreal m_angularDamping = 0.0;
    BodyType m_bodyType = Dynamic;
    bool m_bullet = false;
    bool m_sleepingAllowed = true;
    bool m_fixedRotation = false;
    bool m_active = true;
    QPointF m_linearVelocity;
    float m_angularVelocity = 0.0f;
    QList<Box2DFixture*> m_fixtures;
    QPointer<QQuickItem> m_target;
    bool m_collisionTestingOnlyMode = false;
    bool m_isAwake = false;
    QPointF m_force;
    double m_torque = 0.0;
    float m_gravityScale = 1.0f;
    QPointF m_lastTargetPosition;
    double m_lastTargetRotation = 0.0;
    bool m_lastTargetRotationValid = false;
    bool m_synchronizing = false;
    bool m_initializePending = false;
    int m_pendingChanges = 0;
};
