#pragma once

#include "contactevent.h"

#include <box2d/b2_world_callbacks.h>

#include <vector>

// Box2D's contact callbacks: preSolve goes out to the fixtures at once, inside the step; the other kinds are
// queued for the world to emit after the step. Contacts of fixtures without a QML fixture (being destroyed)
// are ignored.
class ContactListener : public b2ContactListener
{
public:
    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;
    void PreSolve(b2Contact* contact, const b2Manifold* oldManifold) override;
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;

    // The queue in arrival order; the world walks and empties it.
    std::vector<ContactEvent>& events() { return m_events; }

private:
    void queue(int type, b2Contact* contact, const QPointF& normal);

    std::vector<ContactEvent> m_events;
};
