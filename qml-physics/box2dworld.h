#pragma once

#include "ischedulable.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QQuickItem>

#include <deque>
#include <functional>
#include <memory>

class b2Body;
class b2Fixture;
class b2Joint;
class b2World;
class Box2DBody;
class Box2DDestructionListener;
class Box2DFixture;
class ContactListener;
class QQmlContext;
class ZanthScheduler;

// The QML World: owns the one Box2D world of a scene, is stepped by the engine scheduler every timeStep
// seconds, emits the contacts of each step on the fixtures after it, then lets every body move its item.
// Publishes itself as the root context property physicsWorld. Gravity is in Box2D units (m/s², y up).
class Box2DWorld : public QQuickItem, public ISchedulable
{
    Q_OBJECT
    Q_PROPERTY(bool running READ isRunning WRITE setRunning NOTIFY runningChanged)
    Q_PROPERTY(float timeStep READ timeStep WRITE setTimeStep)
    Q_PROPERTY(float timeScale READ timeScale WRITE setTimeScale)
    Q_PROPERTY(int velocityIterations READ velocityIterations WRITE setVelocityIterations)
    Q_PROPERTY(int positionIterations READ positionIterations WRITE setPositionIterations)
    Q_PROPERTY(int frameTime READ frameTime WRITE setFrameTime)
    Q_PROPERTY(QPointF gravity READ gravity WRITE setGravity NOTIFY gravityChanged)

public:
    explicit Box2DWorld(QQuickItem* parent = nullptr);
    // Deletes every registered body item before the Box2D world.
    ~Box2DWorld() override;

    bool isRunning() const { return m_running; }
    // Pauses or resumes the scheduler's task; a world completed while not running is scheduled now.
    void setRunning(bool running);
    float timeStep() const { return m_timeStep; }
    // Seconds between steps; also the scheduler's rate.
    void setTimeStep(float timeStep);
    float timeScale() const { return m_timeScale; }
    void setTimeScale(float timeScale) { m_timeScale = timeScale; }
    int velocityIterations() const { return m_velocityIterations; }
    void setVelocityIterations(int iterations) { m_velocityIterations = iterations; }
    int positionIterations() const { return m_positionIterations; }
    void setPositionIterations(int iterations) { m_positionIterations = iterations; }
    int frameTime() const { return m_frameTime; }
    void setFrameTime(int frameTime) { m_frameTime = frameTime; }
    QPointF gravity() const { return m_gravity; }
    void setGravity(const QPointF& gravity);

    // The first active body whose shapes contain the point (pixels, y down), in registration order; null if
    // none.
    Q_INVOKABLE Box2DBody* bodyAt(const QPointF& point);

    // The Box2D world; null until the item is complete.
    b2World* world() const { return m_world.get(); }
    // Adds the body and has it create its Box2D body; ignored before completion, twice, or for a body that
    // already belongs to another world.
    void registerBody(Box2DBody* body);
    // Drops the body from the list; the body calls it as it goes.
    void unregisterBody(Box2DBody* body);
    // True inside the step, where Box2D refuses changes to bodies, fixtures and joints (preSolve handlers).
    bool isLocked() const;
    // Runs work now, or right after the current step returns while the world is locked. Dropped if owner
    // is destroyed first.
    void runUnlocked(QObject* owner, std::function<void()> work);
    // These destroy the Box2D object now or, inside the step or inside another destruction, as soon as Box2D
    // allows; one that Box2D destroyed meanwhile is skipped. Callers clear the user data first.
    void destroyBody(b2Body* body);
    void destroyFixture(b2Body* body, b2Fixture* fixture);
    void destroyJoint(b2Joint* joint);

    void scheduledUpdate(double dt) override;

public slots:
    // The fixture's queued events are not emitted.
    void fixtureDestroyed(Box2DFixture* fixture);

signals:
    void runningChanged();
    void gravityChanged();
    // After every simulated step.
    void stepped();

protected:
    void componentComplete() override;

private:
    QQuickItem* topLevelItem();
    void emitQueuedEvents();
    void runDeferred();
    bool hasBody(b2Body* body) const;
    // Runs destroy now, or later while exists() holds once Box2D allows it.
    void destroyWhenAllowed(const std::function<bool()>& exists, const std::function<void()>& destroy);

    std::unique_ptr<b2World> m_world;
    std::unique_ptr<ContactListener> m_contactListener;
    std::unique_ptr<Box2DDestructionListener> m_destructionListener;
    float m_timeStep = 1.0f / 60.0f;
    float m_timeScale = 1.0f;
    int m_velocityIterations = 5;
    int m_positionIterations = 5;
    int m_frameTime = 16;
    QPointF m_gravity{0.0, -10.0};
    bool m_running = true;
    QList<Box2DBody*> m_bodies;
    QPointer<ZanthScheduler> m_scheduler;
    QPointer<QQmlContext> m_publishedIn;
    std::deque<std::function<void()>> m_deferred;
    int m_destroying = 0;
    bool m_walkingEvents = false;
};
