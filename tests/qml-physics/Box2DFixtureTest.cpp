#include "box2dfixture.h"
#include "PhysicsScene.h"
#include "box2dbody.h"

#include <box2d/b2_body.h>
#include <box2d/b2_circle_shape.h>
#include <box2d/b2_polygon_shape.h>

namespace {
// One body at the origin with the given fixture, named "shape".
b2Fixture* fixtureOf(PhysicsScene& scene, const QByteArray& fixture)
{
    scene.load("World { Body { objectName: \"body\"; bodyType: Body.Static; fixtures: " + fixture + " } }");
    auto* shape = scene.find<Box2DFixture>("shape");
    return shape ? shape->fixture() : nullptr;
}

// The warnings of a scene with a fixture that must make no Box2D fixture.
QStringList refusedFixture(const QByteArray& fixture)
{
    MessageLog log;
    PhysicsScene scene;
    EXPECT_EQ(fixtureOf(scene, fixture), nullptr) << fixture.constData();
    scene.step(2);
    return warnings(log);
}

QList<QPointF> cornersInPixels(b2Fixture* fixture)
{
    const auto* polygon = static_cast<const b2PolygonShape*>(fixture->GetShape());
    QList<QPointF> corners;
    for (int i = 0; i < polygon->m_count; ++i)
        corners.append(QPointF(polygon->m_vertices[i].x * 32, polygon->m_vertices[i].y * -32));
    return corners;
}
} // namespace

TEST(Box2DFixtureTest, boxWithoutSizeIsAOneMetreSquareFromTheBodyOrigin)
{
    PhysicsScene scene;
    b2Fixture* fixture = fixtureOf(scene, "Box { objectName: \"shape\" }");
    ASSERT_NE(fixture, nullptr);
    const QList<QPointF> corners = cornersInPixels(fixture);
    ASSERT_EQ(corners.size(), 4);
    for (const QPointF& corner : {QPointF(0, 0), QPointF(32, 0), QPointF(32, 32), QPointF(0, 32)})
        EXPECT_TRUE(corners.contains(corner)) << corner.x() << "," << corner.y();
}

TEST(Box2DFixtureTest, liveBoxTakesANewGeometryInPlace)
{
    PhysicsScene scene;
    b2Fixture* fixture = fixtureOf(scene, "Box { objectName: \"shape\"; x: 8; y: 8; width: 16; height: 16 }");
    ASSERT_NE(fixture, nullptr);
    scene.find<Box2DFixture>("shape")->setWidth(64);
    EXPECT_TRUE(cornersInPixels(fixture).contains(QPointF(72, 24)));
}

TEST(Box2DFixtureTest, circleCentreLiesAtTwiceTheItemPosition)
{
    PhysicsScene scene;
    b2Fixture* fixture = fixtureOf(scene, "Circle { objectName: \"shape\"; x: 10; y: 20; radius: 16 }");
    ASSERT_NE(fixture, nullptr);
    const auto* circle = static_cast<const b2CircleShape*>(fixture->GetShape());
    EXPECT_FLOAT_EQ(circle->m_p.x * 32, 20.0f);
    EXPECT_FLOAT_EQ(circle->m_p.y * -32, 40.0f);
    EXPECT_FLOAT_EQ(circle->m_radius, 0.5f);
    scene.find<QObject>("shape")->setProperty("radius", 32);
    EXPECT_FLOAT_EQ(circle->m_radius, 1.0f);
}

TEST(Box2DFixtureTest, polygonPointsAreOffsetByTheItemPosition)
{
    PhysicsScene scene;
    b2Fixture* fixture = fixtureOf(scene, "Polygon { objectName: \"shape\"; x: 32; vertices: [Qt.point(0, "
                                          "0), Qt.point(64, 0), Qt.point(0, 64)] }");
    ASSERT_NE(fixture, nullptr);
    const QList<QPointF> corners = cornersInPixels(fixture);
    EXPECT_EQ(corners.size(), 3);
    EXPECT_TRUE(corners.contains(QPointF(96, 0)));
    EXPECT_TRUE(corners.contains(QPointF(32, 64)));
}

TEST(Box2DFixtureTest, polygonWithTooFewOrTooManyVerticesNamesTheCount)
{
    EXPECT_EQ(refusedFixture("Polygon { objectName: \"shape\"; vertices: [Qt.point(0, 0), Qt.point(9, 0)] }"),
              QStringList{"Polygon: Invalid number of vertices: 2"});
    QByteArray nine = "Polygon { objectName: \"shape\"; vertices: [";
    for (int i = 0; i < 9; ++i)
        nine += QByteArray(i ? ", " : "") + "Qt.point(" + QByteArray::number(qCos(i * 0.7) * 50) + ", " +
                QByteArray::number(qSin(i * 0.7) * 50) + ")";
    EXPECT_EQ(refusedFixture(nine + "] }"), QStringList{"Polygon: Invalid number of vertices: 9"});
}

TEST(Box2DFixtureTest, degeneratePolygonsAndThinBoxesAreRefusedWithOneWarning)
{
    const QByteArray cases[] = {
        "Polygon { objectName: \"shape\"; vertices: [Qt.point(0, 0), Qt.point(10, 10), Qt.point(20, 20)] }",
        "Polygon { objectName: \"shape\"; vertices: [Qt.point(0, 0), Qt.point(0.01, 0), Qt.point(0, 0.01)] }",
        "Polygon { objectName: \"shape\"; vertices: [Qt.point(5, 5), Qt.point(5, 5), Qt.point(5, 5), "
        "Qt.point(5, 5)] }",
        "Polygon { objectName: \"shape\"; vertices: [Qt.point(0, 0), Qt.point(NaN, 0), Qt.point(0, 10)] }",
        "Polygon { objectName: \"shape\"; vertices: [Qt.point(0, 0), Qt.point(64, 0), \"corner\"] }",
        "Box { objectName: \"shape\"; width: 0.1; height: 32 }",
        "Box { objectName: \"shape\"; width: 32; height: -0.15 }",
    };
    for (const QByteArray& fixture : cases) {
        const QStringList lines = refusedFixture(fixture);
        EXPECT_EQ(lines.size(), 1) << fixture.constData() << "\n" << lines.join("\n").toStdString();
    }
}

TEST(Box2DFixtureTest, narrowButValidShapesAreKept)
{
    PhysicsScene scene;
    EXPECT_NE(fixtureOf(scene, "Box { objectName: \"shape\"; width: 0.25; height: 32 }"), nullptr);
    PhysicsScene second;
    EXPECT_NE(fixtureOf(second,
                        "Polygon { objectName: \"shape\"; vertices: [Qt.point(0, 0), Qt.point(0.05, 0), "
                        "Qt.point(32, 32), Qt.point(0, 32)] }"),
              nullptr);
}

TEST(Box2DFixtureTest, materialSettersRefuseWhatBox2DCannotTake)
{
    PhysicsScene scene;
    b2Fixture* fixture = fixtureOf(scene, "Circle { objectName: \"shape\"; radius: 16; density: 2 }");
    ASSERT_NE(fixture, nullptr);
    auto* shape = scene.find<Box2DFixture>("shape");
    MessageLog log;
    shape->setDensity(-1);
    shape->setDensity(qInf());
    shape->setFriction(qQNaN());
    shape->setRestitution(qInf());
    shape->setProperty("radius", qQNaN());
    EXPECT_EQ(warnings(log).size(), 5) << warnings(log).join("\n").toStdString();
    EXPECT_EQ(shape->density(), 2.0f);
    EXPECT_FLOAT_EQ(fixture->GetDensity(), 2.0f);
    EXPECT_FLOAT_EQ(fixture->GetFriction(), 0.2f);
    EXPECT_FLOAT_EQ(fixture->GetShape()->m_radius, 0.5f);
}

TEST(Box2DFixtureTest, liveDensityChangesTheBodyMass)
{
    PhysicsScene scene;
    scene.load(
        R"(World { Body { objectName: "body"; fixtures: Box { objectName: "shape"; width: 32; height: 32; density: 1 } } })");
    b2Body* body = scene.find<Box2DBody>("body")->body();
    EXPECT_FLOAT_EQ(body->GetMass(), 1.0f);
    scene.find<Box2DFixture>("shape")->setDensity(3);
    EXPECT_FLOAT_EQ(body->GetMass(), 3.0f);
}

TEST(Box2DFixtureTest, filterChangesReachTheLiveFixture)
{
    PhysicsScene scene;
    b2Fixture* fixture =
        fixtureOf(scene, "Box { objectName: \"shape\"; categories: Box.Category2 | Box.Category3 }");
    ASSERT_NE(fixture, nullptr);
    EXPECT_EQ(fixture->GetFilterData().categoryBits, 6);
    EXPECT_EQ(fixture->GetFilterData().maskBits, 0xFFFF);
    auto* shape = scene.find<Box2DFixture>("shape");
    shape->setCollidesWith(Box2DFixture::Category1);
    shape->setGroupIndex(-3);
    shape->setSensor(true);
    EXPECT_EQ(fixture->GetFilterData().maskBits, 1);
    EXPECT_EQ(fixture->GetFilterData().groupIndex, -3);
    EXPECT_TRUE(fixture->IsSensor());
}

TEST(Box2DFixtureTest, fixturesCollideOnlyWhereTheirFiltersAgree)
{
    PhysicsScene scene;
    scene.load(R"(
World {
    Body { y: 300; bodyType: Body.Static; fixtures: Box { width: 640; height: 32; categories: Box.Category2 } }
    Body { objectName: "ghost"; x: 100; y: 200; fixtures: Box { width: 32; height: 32; density: 1; collidesWith: Box.Category1 } }
    Body { objectName: "solid"; x: 300; y: 200; fixtures: Box { width: 32; height: 32; density: 1 } }
}
)");
    scene.step(90);
    EXPECT_GT(scene.find<Box2DBody>("ghost")->y(), 300.0);
    EXPECT_NEAR(scene.find<Box2DBody>("solid")->y(), 267.52, 0.1);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
