#include "box2dworld.h"

#include "box2dbody.h"
#include "box2ddestructionlistener.h"
#include "box2dfixture.h"
#include "contactlistener.h"
#include "physicsunits.h"
#include "zanthscheduler.h"

#include <box2d/b2_contact.h>
#include <box2d/b2_fixture.h>
#include <box2d/b2_joint.h>
#include <box2d/b2_world.h>

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickWindow>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {
const char* const kPhysicsWorld = "physicsWorld";
} // namespace

Box2DWorld::Box2DWorld(QQuickItem* parent)
    : QQuickItem(parent), m_contactListener(std::make_unique<ContactListener>()),
      m_destructionListener(std::make_unique<Box2DDestructionListener>())
{
    connect(m_destructionListener.get(), &Box2DDestructionListener::fixtureDestroyed, this,
            &Box2DWorld::fixtureDestroyed);
}

Box2DWorld::~Box2DWorld()
{
    if (m_scheduler && m_scheduler->isScheduled(this))
        m_scheduler->unschedule(this);
    // Bodies completing later must not find a world that is gone.
    if (m_publishedIn && m_publishedIn->contextProperty(kPhysicsWorld).value<QObject*>() == this)
        m_publishedIn->setContextProperty(kPhysicsWorld, QVariant::fromValue<QObject*>(nullptr));
    // A body may own another body item: guarded, so that none is deleted twice.
    QList<QPointer<Box2DBody>> bodies;
    for (Box2DBody* body : std::as_const(m_bodies))
        bodies.append(body);
    m_bodies.clear();
    for (const QPointer<Box2DBody>& body : std::as_const(bodies))
        delete body.data();
    m_deferred.clear();
    m_world.reset();
    m_contactListener.reset();
    m_destructionListener.reset();
}

void Box2DWorld::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    emit runningChanged();
    if (!isComponentComplete() || !m_scheduler)
        return;
    if (running) {
        if (m_scheduler->isScheduled(this))
            m_scheduler->setPauseState(this, false);
        else
            m_scheduler->schedule(this, m_timeStep);
    } else if (m_scheduler->isScheduled(this)) {
        m_scheduler->setPauseState(this, true);
    }
}

void Box2DWorld::setTimeStep(float timeStep)
{
    if (timeStep == m_timeStep)
        return;
    m_timeStep = timeStep;
    if (m_scheduler && m_scheduler->isScheduled(this))
        m_scheduler->setUpdateRate(this, m_timeStep);
}

void Box2DWorld::setGravity(const QPointF& gravity)
{
    if (std::fabs(gravity.x() - m_gravity.x()) <= 1e-12 && std::fabs(gravity.y() - m_gravity.y()) <= 1e-12)
        return;
    m_gravity = gravity;
    if (m_world)
        m_world->SetGravity(b2Vec2(float(gravity.x()), float(gravity.y())));
    emit gravityChanged();
}

void Box2DWorld::componentComplete()
{
    QQuickItem::componentComplete();
    QQmlEngine* engine = qmlEngine(this);
    QQmlContext* root = engine ? engine->rootContext() : nullptr;
    if (root) {
        root->setContextProperty(kPhysicsWorld, this);
        m_publishedIn = root;
    }

    m_world = std::make_unique<b2World>(b2Vec2(float(m_gravity.x()), float(m_gravity.y())));
    m_world->SetAllowSleeping(true);
    m_world->SetContactListener(m_contactListener.get());
    m_world->SetDestructionListener(m_destructionListener.get());

    const auto bodies = topLevelItem()->findChildren<Box2DBody*>();
    for (Box2DBody* body : bodies)
        registerBody(body);

    if (root)
        m_scheduler =
            qobject_cast<ZanthScheduler*>(root->contextProperty("zanthScheduler").value<QObject*>());
    if (!m_scheduler) {
        qWarning("Box2DWorld: WARNING: Zanth Scheduler was not found in Context Property!");
        return;
    }
    if (m_running)
        m_scheduler->schedule(this, m_timeStep);
}

QQuickItem* Box2DWorld::topLevelItem()
{
    // The root item of a view hangs below the window's own content item, which belongs to no scene.
    const QQuickItem* windowRoot = window() ? window()->contentItem() : nullptr;
    QQuickItem* item = this;
    while (item->parentItem() && item->parentItem() != windowRoot)
        item = item->parentItem();
    return item;
}

void Box2DWorld::registerBody(Box2DBody* body)
{
    if (!m_world || !body || m_bodies.contains(body))
        return;
    if (body->worldItem() && body->worldItem() != this)
        return;
    m_bodies.append(body);
    body->initialize(this);
}

void Box2DWorld::unregisterBody(Box2DBody* body)
{
    m_bodies.removeOne(body);
}

Box2DBody* Box2DWorld::bodyAt(const QPointF& point)
{
    const b2Vec2 position = PhysicsUnits::toMeters(point);
    const QList<Box2DBody*> bodies = m_bodies;
    for (Box2DBody* body : bodies) {
        if (!body->isActive() || !body->body())
            continue;
        for (b2Fixture* fixture = body->body()->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
            if (fixture->TestPoint(position))
                return body;
        }
    }
    return nullptr;
}

bool Box2DWorld::isLocked() const
{
    return m_world && m_world->IsLocked();
}

void Box2DWorld::runUnlocked(QObject* owner, std::function<void()> work)
{
    if (!isLocked()) {
        work();
        return;
    }
    m_deferred.push_back([guard = QPointer<QObject>(owner), work = std::move(work)] {
        if (guard)
            work();
    });
}

void Box2DWorld::destroyBody(b2Body* body)
{
    if (!m_world || !body)
        return;
    destroyWhenAllowed([this, body] { return hasBody(body); }, [this, body] { m_world->DestroyBody(body); });
}

void Box2DWorld::destroyFixture(b2Body* body, b2Fixture* fixture)
{
    if (!m_world || !body || !fixture)
        return;
    const auto exists = [this, body, fixture] {
        if (!hasBody(body))
            return false;
        for (b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
            if (f == fixture)
                return true;
        }
        return false;
    };
    destroyWhenAllowed(exists, [body, fixture] { body->DestroyFixture(fixture); });
}

void Box2DWorld::destroyJoint(b2Joint* joint)
{
    if (!m_world || !joint)
        return;
    const auto exists = [this, joint] {
        for (b2Joint* j = m_world->GetJointList(); j; j = j->GetNext()) {
            if (j == joint)
                return true;
        }
        return false;
    };
    destroyWhenAllowed(exists, [this, joint] { m_world->DestroyJoint(joint); });
}

void Box2DWorld::destroyWhenAllowed(const std::function<bool()>& exists, const std::function<void()>& destroy)
{
    // Box2D refuses inside the step; and inside a destruction it still walks what a nested one would free.
    if (isLocked() || m_destroying > 0) {
        m_deferred.push_back([this, exists, destroy] {
            if (exists())
                destroyWhenAllowed(exists, destroy);
        });
        return;
    }
    ++m_destroying;
    destroy();
    --m_destroying;
    runDeferred();
}

bool Box2DWorld::hasBody(b2Body* body) const
{
    for (b2Body* b = m_world->GetBodyList(); b; b = b->GetNext()) {
        if (b == body)
            return true;
    }
    return false;
}

void Box2DWorld::runDeferred()
{
    while (!m_deferred.empty() && !isLocked() && m_destroying == 0) {
        const std::function<void()> work = std::move(m_deferred.front());
        m_deferred.pop_front();
        work();
    }
}

void Box2DWorld::scheduledUpdate(double dt)
{
    if (!m_running || !m_world)
        return;
    const QPointer<Box2DWorld> alive(this);
    m_world->Step(float(m_timeScale * dt), m_velocityIterations, m_positionIterations);
    runDeferred();

    emitQueuedEvents();
    if (!alive)
        return;

    // Taken after the begin and end handlers ran: a pair they parted (a body turned inactive) has no
    // contact left. The contactChanged handlers may part pairs too, so the pairs are taken first and
    // one that ended meanwhile is passed over.
    std::vector<std::pair<QPointer<Box2DFixture>, QPointer<Box2DFixture>>> touching;
    for (b2Contact* contact = m_world->GetContactList(); contact; contact = contact->GetNext()) {
        if (!contact->IsTouching())
            continue;
        Box2DFixture* a = Box2DFixture::fromFixture(contact->GetFixtureA());
        Box2DFixture* b = Box2DFixture::fromFixture(contact->GetFixtureB());
        if (a && b)
            touching.emplace_back(a, b);
    }
    const std::vector<ContactEvent>& ended = m_contactListener->events();
    const auto stillTouching = [&ended](const QPointer<Box2DFixture>& a, const QPointer<Box2DFixture>& b) {
        if (!a || !b || !a->fixture() || !b->fixture())
            return false;
        return std::none_of(ended.begin(), ended.end(), [&a, &b](const ContactEvent& event) {
            return event.type == ContactEvent::EndContact && ((event.fixtureA == a && event.fixtureB == b) ||
                                                              (event.fixtureA == b && event.fixtureB == a));
        });
    };
    for (const auto& [a, b] : touching) {
        if (stillTouching(a, b))
            a->emitContactChanged(b);
        if (!alive)
            return;
        if (stillTouching(a, b))
            b->emitContactChanged(a);
        if (!alive)
            return;
    }

    QList<QPointer<Box2DBody>> bodies;
    for (Box2DBody* body : std::as_const(m_bodies))
        bodies.append(body);
    for (const QPointer<Box2DBody>& body : std::as_const(bodies)) {
        if (body)
            body->synchronize();
        if (!alive)
            return;
    }
    emit stepped();
}

void Box2DWorld::emitQueuedEvents()
{
    const QPointer<Box2DWorld> alive(this);
    std::vector<ContactEvent>& events = m_contactListener->events();
    // Handlers may queue more events (a destroyed or deactivated body ends its contacts) or destroy fixtures
    // (their events are blanked): the walk goes by index up to the current end.
    m_walkingEvents = true;
    for (size_t i = 0; i < events.size(); ++i) {
        for (int half = 0; half < 2; ++half) {
            const ContactEvent event = events[i];
            if (!event.fixtureA || !event.fixtureB)
                break;
            Box2DFixture* self = half == 0 ? event.fixtureA : event.fixtureB;
            Box2DFixture* other = half == 0 ? event.fixtureB : event.fixtureA;
            switch (event.type) {
            case ContactEvent::BeginContact:
                self->emitBeginContact(other, half == 0 ? event.normal : -event.normal);
                break;
            case ContactEvent::EndContact:
                self->emitEndContact(other);
                break;
            case ContactEvent::PostSolve:
                self->emitPostSolve(other);
                break;
            default:
                break;
            }
            if (!alive)
                return;
        }
    }
    m_walkingEvents = false;
    events.clear();
}

void Box2DWorld::fixtureDestroyed(Box2DFixture* fixture)
{
    std::vector<ContactEvent>& events = m_contactListener->events();
    if (m_walkingEvents) {
        for (ContactEvent& event : events) {
            if (event.fixtureA == fixture || event.fixtureB == fixture) {
                event.fixtureA = nullptr;
                event.fixtureB = nullptr;
            }
        }
        return;
    }
    events.erase(std::remove_if(events.begin(), events.end(),
                                [fixture](const ContactEvent& event) {
                                    return event.fixtureA == fixture || event.fixtureB == fixture;
                                }),
                 events.end());
}
