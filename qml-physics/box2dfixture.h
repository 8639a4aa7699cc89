#pragma once

#include <box2d/b2_fixture.h>

#include <QPointF>
#include <QPointer>
#include <QQuickItem>

#include <memory>

class b2Body;
class b2Shape;
class Box2DBody;

// Base of the QML shapes Box, Circle and Polygon: one Box2D fixture of a body, with its material, collision
// filter and contact signals. The fixture item's position is its offset within the body item, in pixels.
class Box2DFixture : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(float density READ density WRITE setDensity NOTIFY densityChanged)
    Q_PROPERTY(float friction READ friction WRITE setFriction NOTIFY frictionChanged)
    Q_PROPERTY(float restitution READ restitution WRITE setRestitution NOTIFY restitutionChanged)
    Q_PROPERTY(bool sensor READ isSensor WRITE setSensor NOTIFY sensorChanged)
    Q_PROPERTY(CategoryFlags categories READ categories WRITE setCategories NOTIFY categoriesChanged)
    Q_PROPERTY(CategoryFlags collidesWith READ collidesWith WRITE setCollidesWith NOTIFY collidesWithChanged)
    Q_PROPERTY(int groupIndex READ groupIndex WRITE setGroupIndex NOTIFY groupIndexChanged)

public:
    enum CategoryFlag
    {
        Category1 = 0x0001,
        Category2 = 0x0002,
        Category3 = 0x0004,
        Category4 = 0x0008,
        Category5 = 0x0010,
        Category6 = 0x0020,
        Category7 = 0x0040,
        Category8 = 0x0080,
        Category9 = 0x0100,
        Category10 = 0x0200,
        Category11 = 0x0400,
        Category12 = 0x0800,
        Category13 = 0x1000,
        Category14 = 0x2000,
        Category15 = 0x4000,
        Category16 = 0x8000,
        All = 0xFFFF,
        None = 0x0000
    };
    Q_DECLARE_FLAGS(CategoryFlags, CategoryFlag)
    Q_FLAG(CategoryFlags)

    explicit Box2DFixture(QQuickItem* parent = nullptr);
    // A fixture going on its own takes its Box2D fixture and its queued contact events with it.
    ~Box2DFixture() override;

    float density() const { return m_def.density; }
    // Finite and at least 0, else refused with a warning; a live fixture's body recomputes its mass.
    void setDensity(float density);
    float friction() const { return m_def.friction; }
    // Finite, else refused with a warning.
    void setFriction(float friction);
    float restitution() const { return m_def.restitution; }
    // Finite, else refused with a warning.
    void setRestitution(float restitution);
    bool isSensor() const { return m_def.isSensor; }
    void setSensor(bool sensor);
    CategoryFlags categories() const { return CategoryFlags(m_def.filter.categoryBits); }
    void setCategories(CategoryFlags categories);
    CategoryFlags collidesWith() const { return CategoryFlags(m_def.filter.maskBits); }
    void setCollidesWith(CategoryFlags collidesWith);
    int groupIndex() const { return m_def.filter.groupIndex; }
    // Kept as a 16-bit signed number.
    void setGroupIndex(int groupIndex);

    // Creates the Box2D fixture on body from the shape; nothing when the shape is refused.
    void createFixture(b2Body* body);
    // The Box2D fixture, or null.
    b2Fixture* fixture() const { return m_fixture; }
    // Forgets the Box2D fixture without destroying it (Box2D destroyed it, or will).
    void nullifyFixture() { m_fixture = nullptr; }
    // The body item whose fixture list holds this one.
    void setBody(Box2DBody* body);
    // The QML fixture a Box2D fixture carries, or null.
    static Box2DFixture* fromFixture(b2Fixture* fixture);

    void emitBeginContact(Box2DFixture* other, const QPointF& normal) { emit beginContact(other, normal); }
    void emitContactChanged(Box2DFixture* other) { emit contactChanged(other); }
    void emitEndContact(Box2DFixture* other) { emit endContact(other); }
    void emitPreSolve(Box2DFixture* other) { emit preSolve(other); }
    void emitPostSolve(Box2DFixture* other) { emit postSolve(other); }

signals:
    void densityChanged();
    void frictionChanged();
    void restitutionChanged();
    void sensorChanged();
    void categoriesChanged();
    void collidesWithChanged();
    void groupIndexChanged();
    // The normal points from this fixture to the other, in Box2D orientation (y up); (0, 0) for sensors.
    void beginContact(Box2DFixture* other, QPointF contactNormal);
    void contactChanged(Box2DFixture* other);
    void endContact(Box2DFixture* other);
    // Emitted inside the step: Box2D's world is locked there.
    void preSolve(Box2DFixture* other);
    void postSolve(Box2DFixture* other);

protected:
    // A new shape in the body's frame (metres), or null after a warning when the input cannot make one.
    virtual std::unique_ptr<b2Shape> createShape() = 0;

    b2Fixture* m_fixture = nullptr;

private:
    b2FixtureDef m_def;
    QPointer<Box2DBody> m_body;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Box2DFixture::CategoryFlags)
