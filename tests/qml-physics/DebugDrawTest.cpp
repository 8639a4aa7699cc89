#include "PhysicsScene.h"
#include "box2ddebugdraw.h"

#include <QImage>
#include <QPainter>

namespace {
// A dynamic box at (100, 100) and a static circle around (300, 100), with a 640 x 480 debug view.
const QByteArray kScene = R"(
Item {
    width: 640; height: 480
    World { id: world; gravity: Qt.point(0, 0) }
    Body { x: 100; y: 100; fixtures: Box { width: 64; height: 64; density: 1 } }
    Body { x: 300; y: 100; bodyType: Body.Static; fixtures: Circle { radius: 32 } }
    DebugDraw { objectName: "view"; world: world; width: 640; height: 480 }
}
)";

QImage paintView(Box2DDebugDraw* view)
{
    QImage image(640, 480, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    view->paint(&painter);
    return image;
}
} // namespace

TEST(DebugDrawTest, shapesShowInTheirBox2DColoursWhereTheBodiesAre)
{
    PhysicsScene scene;
    scene.load(kScene);
    const QImage image = paintView(scene.find<Box2DDebugDraw>("view"));
    // Awake dynamic bodies are pink (0.9, 0.7, 0.7), static ones green (0.5, 0.9, 0.5).
    EXPECT_EQ(image.pixelColor(132, 132), QColor(229, 178, 178));
    EXPECT_EQ(image.pixelColor(300, 100), QColor(127, 229, 127));
    const QColor backdrop = image.pixelColor(500, 400);
    EXPECT_LT(backdrop.red(), 255);
    EXPECT_EQ(backdrop.red(), backdrop.blue());
}

TEST(DebugDrawTest, viewWithoutWorldPaintsNothing)
{
    PhysicsScene scene;
    scene.load(kScene);
    auto* view = scene.find<Box2DDebugDraw>("view");
    view->setWorld(nullptr);
    const QImage image = paintView(view);
    EXPECT_EQ(image.pixelColor(132, 132), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(500, 400), QColor(Qt::white));
}

int main(int argc, char** argv)
{
    return runPhysicsTests(argc, argv);
}
