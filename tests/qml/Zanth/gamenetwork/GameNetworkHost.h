#pragma once

#include "Deadline.h"
#include "TestFiles.h"
#include "qmlapplicationviewer.h"
#include "zanthapplication.h"

#include <QDir>
#include <QJSValue>
#include <QMetaMethod>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// A property of a QML object as a plain variant (JS objects and arrays unwrapped).
inline QVariant qmlProperty(QObject* object, const char* name)
{
    const QVariant value = object->property(name);
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

// The engine's QML for the game-network tests: an application object (offscreen) whose configuration
// names the local database, with message boxes recorded.
class GameNetworkHost
{
public:
    GameNetworkHost(int& argc, char** argv)
    {
        writeTestFile(m_dir.filePath("qml/config.json"),
                      "{ \"identifier\": \"com.example.gamenetwork\", \"title\": \"Game Network Test\", "
                      "\"stage\": \"test\" }");
        QDir::setCurrent(m_dir.path());
        m_application = std::make_unique<ZanthApplication>(argc, argv);
        m_application->registerDeclarativeItems();
        // Message boxes are recorded instead of shown: a modal box would wait for a click that never comes.
        messageBoxes = create("QtObject {\n    property var titles: []\n    property var texts: []\n"
                              "    function displayMessageBox(title, text) { titles = titles.concat([title]);"
                              " texts = texts.concat([text]) }\n}\n");
        engine()->rootContext()->setContextProperty(QStringLiteral("nativeUtils"), messageBoxes.get());
    }
    ~GameNetworkHost() { s_host = nullptr; }

    static GameNetworkHost& instance() { return *s_host; }
    static void setInstance(GameNetworkHost* host) { s_host = host; }

    QQmlEngine* engine() const { return m_application->declarativeView()->engine(); }

    // The object of a QML text that imports QtQuick and Zanth; null (and a test failure) when it does not
    // load. With a url inside a folder, the QML files of that folder are types of the text.
    std::unique_ptr<QObject> create(const QByteArray& body, const QUrl& url = QUrl())
    {
        QQmlComponent component(engine());
        component.setData("import QtQuick 2.15\nimport Zanth 1.0\n" + body,
                          url.isEmpty() ? QUrl::fromLocalFile(QDir::currentPath() + "/test.qml") : url);
        std::unique_ptr<QObject> object(component.create());
        if (!object)
            ADD_FAILURE() << component.errorString().toStdString();
        return object;
    }

    QStringList messageBoxTitles() const { return qmlProperty(messageBoxes.get(), "titles").toStringList(); }
    QStringList messageBoxTexts() const { return qmlProperty(messageBoxes.get(), "texts").toStringList(); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<ZanthApplication> m_application;
    std::unique_ptr<QObject> messageBoxes;
    static inline GameNetworkHost* s_host = nullptr;
};

// Calls a QML function; arguments left out are undefined, as in QML. A JS object or array result comes
// back as a variant map or list.
inline QVariant callQml(QObject* object, const char* function, const QVariantList& arguments = {})
{
    const QMetaObject* meta = object->metaObject();
    for (int index = meta->methodCount() - 1; index >= 0; --index) {
        const QMetaMethod method = meta->method(index);
        if (method.name() != function || method.parameterCount() < arguments.size() ||
            method.parameterCount() > 8)
            continue;
        QVariant values[8];
        for (qsizetype i = 0; i < arguments.size(); ++i)
            values[i] = arguments[i];
        QGenericArgument passed[8];
        for (int i = 0; i < method.parameterCount(); ++i)
            passed[i] = Q_ARG(QVariant, values[i]);
        QVariant result;
        method.invoke(object, Q_RETURN_ARG(QVariant, result), passed[0], passed[1], passed[2], passed[3],
                      passed[4], passed[5], passed[6], passed[7]);
        if (result.metaType() == QMetaType::fromType<QJSValue>())
            return result.value<QJSValue>().toVariant();
        return result;
    }
    ADD_FAILURE() << "no QML function " << function << " taking " << arguments.size() << " arguments";
    return QVariant();
}

// Runs the event loop until the condition holds or the time is up.
template <typename Condition> bool eventually(Condition condition, int milliseconds = 5000)
{
    return QTest::qWaitFor(condition, int(milliseconds * deadlineScale()));
}
