#pragma once

#include <box2d/b2_world_callbacks.h>

#include <QObject>

class Box2DFixture;

// Hears of the joints and fixtures Box2D destroys along with a body.
class Box2DDestructionListener : public QObject, public b2DestructionListener
{
    Q_OBJECT

public:
    explicit Box2DDestructionListener(QObject* parent = nullptr);

    // The QML joint forgets its Box2D joint and is deleted.
    void SayGoodbye(b2Joint* joint) override;
    // The QML fixture forgets its Box2D fixture; fixtureDestroyed follows.
    void SayGoodbye(b2Fixture* fixture) override;

signals:
    void fixtureDestroyed(Box2DFixture* fixture);
};
