// Particle effect files (JSON): whatever the file holds, loading it into a Particle assigns what it can,
// logs at most one line and never crashes; values declared before the load keep winning.
#include <QDir>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlParserStatus>
#include <QTemporaryDir>
#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "items/particleitem.h"

namespace {

// Torn down by an exit handler registered after Qt made its own globals, so it runs before they go.
QGuiApplication* g_application = nullptr;
QQmlEngine* g_engine = nullptr;
QString g_folder;
QString g_effect;

void tearDown()
{
    QDir(g_folder).removeRecursively();
    delete g_engine;
    delete g_application;
}

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_application = new QGuiApplication(*argc, *argv);
    qInstallMessageHandler(quiet);
    g_engine = new QQmlEngine(g_application);
    // The loader needs only to find a "system" object; it reads nothing from it.
    g_engine->rootContext()->setContextProperty("system", new QObject(g_engine));
    QTemporaryDir folder;
    folder.setAutoRemove(false);
    g_folder = folder.path();
    g_effect = folder.filePath("effect.json");
    std::atexit(tearDown);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(g_effect.toLocal8Bit().constData(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    ParticleItem item;
    QQmlEngine::setContextForObject(&item, g_engine->rootContext());
    auto* status = static_cast<QQmlParserStatus*>(&item);
    status->classBegin();
    item.setSpeed(5);
    item.setFileName(QUrl::fromLocalFile(g_effect));
    status->componentComplete();
    if (item.speed() != 5)
        std::abort();
    return 0;
}
