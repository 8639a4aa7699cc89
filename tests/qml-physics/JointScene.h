#pragma once

#include "PhysicsScene.h"
#include "box2dbody.h"

#include <QLineF>

// A static anchor body at (100, 100) and a dynamic ball whose centre starts 96 pixels to its right, both of
// 16 pixels radius; the joint under test goes between them as "joint".
inline QByteArray jointScene(const QByteArray& joint, const char* gravity = "Qt.point(0, -10)")
{
    return "World {\n"
           "    id: world\n"
           "    gravity: " +
           QByteArray(gravity) +
           "\n"
           "    Body { id: anchor; objectName: \"anchor\"; x: 100; y: 100; bodyType: Body.Static\n"
           "           fixtures: Circle { radius: 16 } }\n"
           "    Body { id: ball; objectName: \"ball\"; x: 196; y: 100; fixtures: Circle { radius: 16; "
           "density: 1 } }\n" +
           joint + "\n}\n";
}

// Pixels between the centres of mass of the anchor and the ball.
inline double centreDistance(const PhysicsScene& scene)
{
    return QLineF(scene.find<Box2DBody>("anchor")->getWorldCenter(),
                  scene.find<Box2DBody>("ball")->getWorldCenter())
        .length();
}
