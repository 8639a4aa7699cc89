#include "contactlistener.h"

#include "box2dfixture.h"

#include <box2d/b2_contact.h>
#include <box2d/b2_fixture.h>

void ContactListener::BeginContact(b2Contact* contact)
{
    QPointF normal;
    // Sensors have no manifold: their contacts carry no normal.
    if (!contact->GetFixtureA()->IsSensor() && !contact->GetFixtureB()->IsSensor() &&
        contact->GetManifold()->pointCount > 0) {
        b2WorldManifold manifold;
        contact->GetWorldManifold(&manifold);
        normal = QPointF(manifold.normal.x, manifold.normal.y);
    }
    queue(ContactEvent::BeginContact, contact, normal);
}

void ContactListener::EndContact(b2Contact* contact)
{
    queue(ContactEvent::EndContact, contact, QPointF());
}

void ContactListener::PreSolve(b2Contact* contact, const b2Manifold*)
{
    Box2DFixture* a = Box2DFixture::fromFixture(contact->GetFixtureA());
    Box2DFixture* b = Box2DFixture::fromFixture(contact->GetFixtureB());
    if (!a || !b)
        return;
    a->emitPreSolve(b);
    // The first handler may have destroyed either fixture.
    a = Box2DFixture::fromFixture(contact->GetFixtureA());
    b = Box2DFixture::fromFixture(contact->GetFixtureB());
    if (a && b)
        b->emitPreSolve(a);
}

void ContactListener::PostSolve(b2Contact* contact, const b2ContactImpulse*)
{
    queue(ContactEvent::PostSolve, contact, QPointF());
}

void ContactListener::queue(int type, b2Contact* contact, const QPointF& normal)
{
    Box2DFixture* a = Box2DFixture::fromFixture(contact->GetFixtureA());
    Box2DFixture* b = Box2DFixture::fromFixture(contact->GetFixtureB());
    if (!a || !b)
        return;
    ContactEvent event;
    event.type = type;
    event.fixtureA = a;
    event.fixtureB = b;
    event.normal = normal;
    m_events.push_back(event);
}
