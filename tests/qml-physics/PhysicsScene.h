#pragma once

#include "MessageLog.h"
#include "box2dworld.h"
#include "qmltyperegistry.h"
#include "zanthscheduler.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>

#include <memory>

// A QML scene with the physics types and the engine scheduler, stepped by hand at the world's time step.
class PhysicsScene
{
public:
    PhysicsScene()
    {
        QmlTypeRegistry::registerRows(QmlTypeRows::Physics, QmlTypeRows::Physics);
        engine.rootContext()->setContextProperty("zanthScheduler", &scheduler);
    }

    // Creates the QML below "import QtQuick 2.15; import Box2D 1.0"; null (and a test failure) on errors.
    QQuickItem* load(const QByteArray& qml)
    {
        QQmlComponent component(&engine);
        component.setData("import QtQuick 2.15\nimport Box2D 1.0\n" + qml,
                          QUrl::fromLocalFile(QDir::currentPath() + "/scene.qml"));
        root.reset(component.create());
        if (!root)
            ADD_FAILURE() << component.errorString().toStdString();
        return qobject_cast<QQuickItem*>(root.get());
    }

    template <typename T> T* find(const char* name) const
    {
        if (root && root->objectName() == name)
            return qobject_cast<T*>(root.get());
        return root ? root->findChild<T*>(name) : nullptr;
    }

    Box2DWorld* world() const
    {
        auto* world = qobject_cast<Box2DWorld*>(root.get());
        return world ? world : root->findChild<Box2DWorld*>();
    }

    // Scheduler passes of one time step each.
    void frames(int count)
    {
        const double dt = world()->timeStep();
        for (int i = 0; i < count; ++i)
            scheduler.scheduleUpdates(dt);
    }

    // Frames until the world has made count more steps.
    void step(int count)
    {
        int stepped = 0;
        const auto connection = QObject::connect(world(), &Box2DWorld::stepped, [&stepped] { ++stepped; });
        for (int guard = 0; stepped < count && guard < 2 * count + 4; ++guard)
            frames(1);
        QObject::disconnect(connection);
        EXPECT_EQ(stepped, count);
    }

    QQmlEngine engine;
    ZanthScheduler scheduler;
    std::unique_ptr<QObject> root;
};

// The warnings among the collected log lines.
inline QStringList warnings(const MessageLog& log)
{
    QStringList result;
    for (const QString& line : log.lines()) {
        if (line.contains("WARNING") || line.contains("Invalid number"))
            result.append(line);
    }
    return result;
}

// The body of each physics test program's main(): Qt Quick items need a GUI application.
inline int runPhysicsTests(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
