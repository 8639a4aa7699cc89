// Loads the QML file given as its first argument with the physics types and steps its world for the number of
// frames given second, at 1/60 s each; exits 0 unless the file does not load.
#include "qmltyperegistry.h"
#include "zanthscheduler.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: PhysicsSceneProgram file.qml frames\n");
        return 2;
    }
    QmlTypeRegistry::registerRows(QmlTypeRows::Physics, QmlTypeRows::Physics);
    QQmlEngine engine;
    ZanthScheduler scheduler;
    engine.rootContext()->setContextProperty("zanthScheduler", &scheduler);
    QQmlComponent component(&engine, QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    std::unique_ptr<QObject> root(component.create());
    if (!root) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    const int frames = QByteArray(argv[2]).toInt();
    for (int i = 0; i < frames; ++i)
        scheduler.scheduleUpdates(1.0 / 60.0);
    return 0;
}
