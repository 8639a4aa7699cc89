#pragma once

#include "box2dbody.h"
#include "box2dworld.h"

#include <box2d/b2_math.h>

#include <QObject>
#include <QPointF>
#include <QPointer>

class b2Body;
class b2Joint;
struct b2JointDef;
class b2World;

// Base of the six QML joints: waits until its world and both bodies (with their Box2D bodies) are known, then
// has the subclass create its Box2D joint. Bodies are kept once stored. Anchors and lengths are in pixels.
class Box2DJoint : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Box2DWorld* world READ worldItem WRITE setWorld NOTIFY worldChanged)
    Q_PROPERTY(
        bool collideConnected READ collideConnected WRITE setCollideConnected NOTIFY collideConnectedChanged)
    Q_PROPERTY(Box2DBody* bodyA READ bodyA WRITE setBodyA NOTIFY bodyAChanged)
    Q_PROPERTY(Box2DBody* bodyB READ bodyB WRITE setBodyB NOTIFY bodyBChanged)

public:
    explicit Box2DJoint(QObject* parent = nullptr);
    // Destroys the Box2D joint in its world (after the step, when inside one).
    ~Box2DJoint() override;

    Box2DWorld* worldItem() const { return m_worldItem; }
    void setWorld(Box2DWorld* world);
    bool collideConnected() const { return m_collideConnected; }
    // Read when the joint is created only.
    void setCollideConnected(bool collideConnected);
    Box2DBody* bodyA() const { return m_bodyA; }
    // Only the first body counts; one without a Box2D body yet is stored once it has one.
    void setBodyA(Box2DBody* body);
    Box2DBody* bodyB() const { return m_bodyB; }
    // Only the first body counts; one without a Box2D body yet is stored once it has one.
    void setBodyB(Box2DBody* body);

    // The Box2D world of the world item, or null.
    b2World* world() const;
    // The Box2D joint, or null.
    b2Joint* joint() const { return m_joint; }
    // Forgets the Box2D joint without destroying it (Box2D destroys it with a body).
    virtual void nullifyJoint();
    // Destroys the Box2D joint in world; refused with a warning inside a step.
    virtual void cleanup(b2World* world);
    // The QML joint a Box2D joint carries, or null.
    static Box2DJoint* fromJoint(b2Joint* joint);

signals:
    void worldChanged();
    void collideConnectedChanged();
    void bodyAChanged();
    void bodyBChanged();

protected:
    // An anchor's offset from its body's centre of mass, in pixels, as written from QML.
    struct LocalAnchor
    {
        QPointF offset;
        bool set = false;

        // The offset once written, else the definition's local anchor (metres) in pixels.
        QPointF read(const b2Vec2& definitionAnchor) const;
        // False when the value equals the stored offset within 1e-12 per component.
        bool write(const QPointF& value);
    };

    // Builds the definition and hands it to createInWorld; called once world and both bodies are there.
    virtual void createJoint() = 0;
    // Completes the definition with the bodies and collideConnected and creates the joint.
    void createInWorld(b2JointDef& def);
    // Warns and returns true when both bodies are the same body, which Box2D cannot join.
    bool refuseSameBody(const char* className) const;
    // The body's centre of mass plus the anchor's offset when one was written, in metres.
    static b2Vec2 worldAnchor(Box2DBody* body, const LocalAnchor& anchor);
    // Stores a finite value of at least 0 that differs from field; warns about a value Box2D cannot take.
    bool acceptSetting(float& field, float value, const char* property) const;
    // Wakes both bodies, so that a changed setting acts on bodies at rest.
    void wakeBodies();
    // Destroys the Box2D joint now or after the step; the user data goes first.
    void releaseJoint();

    b2Joint* m_joint = nullptr;

private:
    void setBody(QPointer<Box2DBody>& stored, bool& waiting, Box2DBody* body, void (Box2DJoint::*changed)());
    void tryCreate();

    QPointer<Box2DWorld> m_worldItem;
    bool m_collideConnected = false;
    QPointer<Box2DBody> m_bodyA;
    QPointer<Box2DBody> m_bodyB;
    bool m_waitingForA = false;
    bool m_waitingForB = false;
};
