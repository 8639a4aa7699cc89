#include "PhysicsScene.h"
#include "box2dbody.h"

namespace {
const char* const kTypes[] = {"World",         "Body",       "Box",           "Circle",
                              "Polygon",       "DebugDraw",  "DistanceJoint", "PrismaticJoint",
                              "RevoluteJoint", "MouseJoint", "RopeJoint",     "WeldJoint"};

// Whether every physics type can be created from the given import.
void expectAllTypes(const QByteArray& import)
{
    PhysicsScene scene;
    for (const char* type : kTypes) {
        QQmlComponent component(&scene.engine);
        component.setData("import QtQuick 2.15\n" + import + "\n" + type + " {}", QUrl());
        std::unique_ptr<QObject> object(component.create());
        EXPECT_NE(object, nullptr) << import.constData() << " " << type << ": "
                                   << component.errorString().toStdString();
    }
}
} // namespace

TEST(Box2DPluginTest, physicsTypesImportAsBox2DAndAsZanth)
{
    expectAllTypes("import Box2D 1.0");
    expectAllTypes("import Zanth 1.0");
}

TEST(Box2DPluginTest, enumsAndFlagsReadFromQml)
{
    PhysicsScene scene;
    scene.load("World { Body { objectName: \"body\"; bodyType: Body.Kinematic;"
               " fixtures: Box { objectName: \"shape\"; collidesWith: Box.All & ~Box.Category16 } } }");
    EXPECT_EQ(scene.find<Box2DBody>("body")->bodyType(), Box2DBody::Kinematic);
    EXPECT_EQ(scene.find<Box2DFixture>("shape")->collidesWith().toInt(), 0x7FFF);
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
