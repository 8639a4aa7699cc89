#pragma once

#include <QPointF>

class Box2DFixture;

// One contact change queued during a physics step, emitted on both fixtures after it.
struct ContactEvent
{
    enum Type
    {
        BeginContact = 0,
        EndContact = 1,
        PreSolve = 2,
        PostSolve = 3
    };

    int type = BeginContact;
    // Null once the fixture is destroyed: the event is then not emitted.
    Box2DFixture* fixtureA = nullptr;
    Box2DFixture* fixtureB = nullptr;
    // Unit normal from A to B in Box2D orientation (y up) for a touching BeginContact, else (0, 0).
    QPointF normal;
};
