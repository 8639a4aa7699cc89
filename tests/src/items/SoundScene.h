#pragma once

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "qmlapplicationviewer.h"
#include "zanthapplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>

#include <memory>

// QML objects of the sound types made in the engine's QML engine, each in a context of its own whose
// rootGameWindow (when asked for) is a stand-in game window with the two application signals and a
// settings object.
class SoundScene
{
public:
    // The application all scenes of the test program use; made by runSoundTests.
    static ZanthApplication*& application()
    {
        static ZanthApplication* app = nullptr;
        return app;
    }

    explicit SoundScene(bool withGameWindow = false)
        : m_context(std::make_unique<QQmlContext>(engine()->rootContext()))
    {
        if (!withGameWindow)
            return;
        m_gameWindow = create("Item {\n"
                              "    signal applicationPaused\n"
                              "    signal applicationResumed\n"
                              "    property QtObject settings: QtObject {\n"
                              "        property bool soundEnabled: true\n"
                              "        property bool musicEnabled: true\n"
                              "        property bool fullyCompleted: true\n"
                              "    }\n"
                              "}\n");
        m_context->setContextProperty(QStringLiteral("rootGameWindow"), m_gameWindow.get());
    }

    ~SoundScene()
    {
        m_objects.clear();
        m_gameWindow.reset();
    }

    // Made from QML text importing QtQuick and Zanth; owned by the scene unless taken.
    QObject* add(const QByteArray& body)
    {
        m_objects.push_back(create(body));
        return m_objects.back().get();
    }

    std::unique_ptr<QObject> take(QObject* object)
    {
        for (auto& owned : m_objects) {
            if (owned.get() == object)
                return std::move(owned);
        }
        return nullptr;
    }

    QObject* gameWindow() const { return m_gameWindow.get(); }
    QObject* settings() const { return m_gameWindow->property("settings").value<QObject*>(); }
    // The folder the QML text is taken to come from (relative URLs resolve against it).
    static QString folder() { return QDir::currentPath(); }
    // The URL of a file in that folder.
    static QUrl file(const char* name) { return QUrl::fromLocalFile(folder() + "/" + name); }

private:
    static QQmlEngine* engine() { return application()->declarativeView()->engine(); }

    std::unique_ptr<QObject> create(const QByteArray& body)
    {
        QQmlComponent component(engine());
        component.setData("import QtQuick 2.15\nimport Zanth 1.0\n" + body,
                          QUrl::fromLocalFile(folder() + "/scene.qml"));
        std::unique_ptr<QObject> object(component.create(m_context.get()));
        if (!object)
            ADD_FAILURE() << component.errorString().toStdString();
        return object;
    }

    std::unique_ptr<QQmlContext> m_context;
    std::unique_ptr<QObject> m_gameWindow;
    std::vector<std::unique_ptr<QObject>> m_objects;
};

inline void processEventsFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Runs the tests in a folder of their own (which the scenes' QML files seem to live in) with the
// engine's QML types registered.
inline int runSoundTests(int argc, char** argv)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("qml/config.json"), "{ \"title\": \"Sound Test\", \"stage\": \"test\" }");
    QDir::setCurrent(dir.path());
    ::testing::InitGoogleTest(&argc, argv);
    ZanthApplication application(argc, argv);
    SoundScene::application() = &application;
    application.registerDeclarativeItems();
    return RUN_ALL_TESTS();
}
