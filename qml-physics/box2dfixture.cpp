#include "box2dfixture.h"

#include "box2dbody.h"
#include "inputcheck.h"

#include <box2d/b2_body.h>
#include <box2d/b2_shape.h>

namespace {
const char* const kClass = "Box2DFixture";
} // namespace

Box2DFixture::Box2DFixture(QQuickItem* parent) : QQuickItem(parent)
{
    m_def.density = 0.0f;
    m_def.friction = 0.2f;
    m_def.restitution = 0.0f;
    m_def.isSensor = false;
    m_def.filter.categoryBits = Category1;
    m_def.filter.maskBits = All;
    m_def.filter.groupIndex = 0;
}

Box2DFixture::~Box2DFixture()
{
    if (m_body)
        m_body->removeFixture(this);
}

void Box2DFixture::setDensity(float density)
{
    if (density == m_def.density || !InputCheck::isFiniteNonNegative(kClass, "density", density))
        return;
    m_def.density = density;
    if (m_fixture) {
        m_fixture->SetDensity(density);
        m_fixture->GetBody()->ResetMassData();
    }
    emit densityChanged();
}

void Box2DFixture::setFriction(float friction)
{
    if (friction == m_def.friction || !InputCheck::isFinite(kClass, "friction", friction))
        return;
    m_def.friction = friction;
    if (m_fixture)
        m_fixture->SetFriction(friction);
    emit frictionChanged();
}

void Box2DFixture::setRestitution(float restitution)
{
    if (restitution == m_def.restitution || !InputCheck::isFinite(kClass, "restitution", restitution))
        return;
    m_def.restitution = restitution;
    if (m_fixture)
        m_fixture->SetRestitution(restitution);
    emit restitutionChanged();
}

void Box2DFixture::setSensor(bool sensor)
{
    if (sensor == m_def.isSensor)
        return;
    m_def.isSensor = sensor;
    if (m_fixture)
        m_fixture->SetSensor(sensor);
    emit sensorChanged();
}

void Box2DFixture::setCategories(CategoryFlags categories)
{
    const auto bits = uint16(categories.toInt());
    if (bits == m_def.filter.categoryBits)
        return;
    m_def.filter.categoryBits = bits;
    if (m_fixture) {
        b2Filter filter = m_fixture->GetFilterData();
        filter.categoryBits = bits;
        m_fixture->SetFilterData(filter);
    }
    emit categoriesChanged();
}

void Box2DFixture::setCollidesWith(CategoryFlags collidesWith)
{
    const auto bits = uint16(collidesWith.toInt());
    if (bits == m_def.filter.maskBits)
        return;
    m_def.filter.maskBits = bits;
    if (m_fixture) {
        b2Filter filter = m_fixture->GetFilterData();
        filter.maskBits = bits;
        m_fixture->SetFilterData(filter);
    }
    emit collidesWithChanged();
}

void Box2DFixture::setGroupIndex(int groupIndex)
{
    const auto index = int16(groupIndex);
    if (index == m_def.filter.groupIndex)
        return;
    m_def.filter.groupIndex = index;
    if (m_fixture) {
        b2Filter filter = m_fixture->GetFilterData();
        filter.groupIndex = index;
        m_fixture->SetFilterData(filter);
    }
    emit groupIndexChanged();
}

void Box2DFixture::createFixture(b2Body* body)
{
    if (m_fixture)
        return;
    const std::unique_ptr<b2Shape> shape = createShape();
    if (!shape)
        return;
    m_def.shape = shape.get();
    m_fixture = body->CreateFixture(&m_def);
    m_def.shape = nullptr;
    m_fixture->GetUserData().pointer = reinterpret_cast<uintptr_t>(this);
}

void Box2DFixture::setBody(Box2DBody* body)
{
    m_body = body;
}

Box2DFixture* Box2DFixture::fromFixture(b2Fixture* fixture)
{
    return reinterpret_cast<Box2DFixture*>(fixture->GetUserData().pointer);
}
