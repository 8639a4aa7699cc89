#include <gtest/gtest.h>

#include "QtPrinters.h"
#include "TestProgramPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {
// A box dropped onto a floor; CHANGE runs once, in the box's first preSolve.
const QByteArray kPreSolveScene = R"(
import QtQuick 2.15
import Box2D 1.0
World {
    id: world
    property bool done: false
    Body { id: floor; y: 300; bodyType: Body.Static; fixtures: Box { width: 640; height: 32 } }
    Body {
        id: box; x: 100; y: 100
        fixtures: Box {
            width: 32; height: 32; density: 1
            onPreSolve: if (!world.done) { world.done = true; CHANGE }
        }
    }
}
)";

// A world with a floor and a box, and SHAPE as a second fixture of the box.
const QByteArray kShapeScene = R"(
import QtQuick 2.15
import Box2D 1.0
World {
    id: world
    property bool done: false
    onStepped: if (!done) { done = true; LIVE }
    Body { id: floor; y: 300; bodyType: Body.Static; fixtures: Box { width: 640; height: 32 } }
    Body { id: box; x: 100; y: 100; fixtures: [Box { width: 32; height: 32; density: 1 }, SHAPE] }
    JOINT
}
)";

struct SceneRun
{
    int exitCode = -1;
    QStringList warnings;
    QString output;
};

// Runs the scene program on the QML for two seconds of frames.
SceneRun runScene(const QByteArray& qml)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("scene.qml"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(qml);
    file.close();
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QString::fromStdString(testProgramPath("PhysicsSceneProgram")), {file.fileName(), "120"});
    EXPECT_TRUE(program.waitForFinished(120000));
    SceneRun run;
    run.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.output = QString::fromLocal8Bit(program.readAll());
    for (const QString& line : run.output.split('\n')) {
        if (line.contains("WARNING") || line.contains("Invalid number"))
            run.warnings.append(line);
    }
    return run;
}

QByteArray shapeScene(const QByteArray& shape, const QByteArray& live = "", const QByteArray& joint = "")
{
    return QByteArray(kShapeScene).replace("SHAPE", shape).replace("LIVE", live).replace("JOINT", joint);
}

void expectOneWarningAndCleanExit(const QByteArray& qml, const char* what)
{
    const SceneRun run = runScene(qml);
    EXPECT_EQ(run.exitCode, 0) << what << "\n" << run.output.toStdString();
    EXPECT_EQ(run.warnings.size(), 1) << what << "\n" << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("Sanitizer") || run.output.contains("runtime error"))
        << run.output.toStdString();
}
} // namespace

TEST(MalformedSceneTest, sceneWithoutFaultsRunsSilently)
{
    const SceneRun run = runScene(shapeScene("Circle { radius: 8 }"));
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.warnings.isEmpty()) << run.output.toStdString();
}

TEST(MalformedSceneTest, eachMalformedShapeGivesOneWarningAndAQuietExit)
{
    const char* const shapes[] = {
        "Polygon { vertices: [Qt.point(0, 0), Qt.point(8, 0)] }",
        "Polygon { vertices: [Qt.point(0, 0), Qt.point(8, 0), Qt.point(8, 8), Qt.point(6, 10), Qt.point(4, "
        "11),"
        " Qt.point(2, 10), Qt.point(0, 8), Qt.point(-1, 6), Qt.point(-1, 3)] }",
        "Polygon { vertices: [Qt.point(0, 0), Qt.point(8, 8), Qt.point(16, 16)] }",
        "Polygon { vertices: [Qt.point(0, 0), Qt.point(0.01, 0), Qt.point(0, 0.01), Qt.point(0.01, 0.01)] }",
        "Polygon { vertices: [Qt.point(0, 0), Qt.point(NaN, 0), Qt.point(0, 8)] }",
        "Box { width: 0.1; height: 32 }",
        "Box { width: 32; height: 32; density: -1 }",
        "Box { width: 32; height: 32; density: NaN }",
        "Box { width: 32; height: 32; friction: NaN }",
        "Box { width: 32; height: 32; restitution: Infinity }",
        "Circle { radius: Infinity }",
    };
    for (const char* shape : shapes)
        expectOneWarningAndCleanExit(shapeScene(shape), shape);
}

TEST(MalformedSceneTest, negativeDensityOnALiveFixtureGivesOneWarning)
{
    expectOneWarningAndCleanExit(shapeScene("Circle { id: live; radius: 8 }", "live.density = -1"),
                                 "live density");
}

TEST(MalformedSceneTest, eachMalformedJointGivesOneWarningAndAQuietExit)
{
    const char* const joints[] = {
        "DistanceJoint { world: world; bodyA: box; bodyB: box }",
        "WeldJoint { world: world; bodyA: floor; bodyB: floor }",
        "RevoluteJoint { world: world; bodyA: floor; bodyB: box; enableLimit: true; lowerAngle: 0.5 }",
        "PrismaticJoint { world: world; bodyA: floor; bodyB: box; lowerTranslation: 10 }",
    };
    for (const char* joint : joints)
        expectOneWarningAndCleanExit(shapeScene("Circle { radius: 8 }", "", joint), joint);
}

TEST(MalformedSceneTest, eachWorldChangeFromPreSolveGivesOneWarningAndAQuietExit)
{
    const char* const changes[] = {
        "box.x = 150",
        "box.active = false",
        "box.bodyType = Body.Static",
        "Qt.createQmlObject('import Box2D 1.0; Body { x: 300; fixtures: Box { width: 8; height: 8 } }', "
        "world)",
        "var joint = Qt.createQmlObject('import Box2D 1.0; DistanceJoint {}', world);"
        " joint.bodyA = floor; joint.bodyB = box; joint.world = world",
    };
    for (const char* change : changes)
        expectOneWarningAndCleanExit(QByteArray(kPreSolveScene).replace("CHANGE", change), change);
}
