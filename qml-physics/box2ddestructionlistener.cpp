#include "box2ddestructionlistener.h"

#include "box2dfixture.h"
#include "box2djoint.h"

Box2DDestructionListener::Box2DDestructionListener(QObject* parent) : QObject(parent) {}

void Box2DDestructionListener::SayGoodbye(b2Joint* joint)
{
    if (Box2DJoint* qmlJoint = Box2DJoint::fromJoint(joint)) {
        qmlJoint->nullifyJoint();
        delete qmlJoint;
    }
}

void Box2DDestructionListener::SayGoodbye(b2Fixture* fixture)
{
    if (Box2DFixture* qmlFixture = Box2DFixture::fromFixture(fixture)) {
        qmlFixture->nullifyFixture();
        emit fixtureDestroyed(qmlFixture);
    }
}
