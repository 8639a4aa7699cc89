#pragma once

#include <QJSValue>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

class QAbstractAnimation;
class QTimer;
class ZanthApplication;

// The engine's one service for questions about the running program: platform and build, screen
// orientation, the configuration file qml/config.json, log output and the game's pause state; with
// JSON and type helpers for QML. Published to QML as the context property "system".
class System : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Platform platform READ platform CONSTANT)
    Q_PROPERTY(bool debugBuild READ debugBuild CONSTANT)
    Q_PROPERTY(bool publishBuild READ publishBuild CONSTANT)
    Q_PROPERTY(bool desktopPlatform READ desktopPlatform CONSTANT)
    Q_PROPERTY(QString macAddress READ macAddress CONSTANT)
    Q_PROPERTY(QString UDID READ udid CONSTANT)
    Q_PROPERTY(
        bool logOutputEnabled READ logOutputEnabled WRITE setLogOutputEnabled NOTIFY logOutputEnabledChanged)
    Q_PROPERTY(bool sceneGraphRenderer READ sceneGraphRenderer)
    Q_PROPERTY(ScreenOrientation screenOrientation READ screenOrientation)
    Q_PROPERTY(bool gamePaused READ gamePaused)
    Q_PROPERTY(int maxTextureSize READ maxTextureSize)

public:
    enum Platform
    {
        Unknown,
        IOS,
        Android,
        Mac,
        Windows,
        Symbian,
        Meego,
        Linux,
        BlackBerry
    };
    Q_ENUM(Platform)

    enum ScreenOrientation
    {
        ScreenOrientationPortrait,
        ScreenOrientationLandscape,
        ScreenOrientationAuto,
        ScreenOrientationSensorPortrait,
        ScreenOrientationSensorLandscape
    };
    Q_ENUM(ScreenOrientation)

    // Makes the first configuration read of the process and decides whether Qt messages are shown.
    System(ZanthApplication* application, QObject* parent);

    Platform platform() const { return m_platform; }
    bool debugBuild() const { return m_debugBuild; }
    bool publishBuild() const { return m_publishBuild; }
    bool desktopPlatform() const { return m_desktopPlatform; }
    QString macAddress() const { return m_macAddress; }
    QString udid() const { return m_udid; }
    bool logOutputEnabled() const { return m_logOutputEnabled; }
    // Installs or removes the message handler that drops every Qt message; a publish build stays silent.
    void setLogOutputEnabled(bool enabled);
    bool sceneGraphRenderer() const { return m_sceneGraphRenderer; }
    void setSceneGraphRendererEnabled(bool enabled) { m_sceneGraphRenderer = enabled; }
    ScreenOrientation screenOrientation() const { return m_screenOrientation; }
    bool gamePaused() const { return m_gamePaused; }
    // The scene graph's largest texture side in pixels; needs the GL window to exist.
    int maxTextureSize() const;

    // Hardware address of the first non-loopback interface that has one; empty when there is none.
    static QString getMacAddress();
    // Decimal text of Qt 4's string hash of the MAC address, so ids stay those of earlier releases.
    static QString getUdid(const QString& macAddress);

    // Whole text of the JSON value with URLs made relative to basePath; a failure is logged and the
    // text built so far returned.
    static QString stringifyWithBasePath(const QVariant& data, const QStringList& includes = {},
                                         const QString& basePath = {});
    // The type name QML code branches on ("map", "list", "double", "point", "null", ...).
    static QString typeOfVariant(const QVariant& variant);

public slots:
    // The value of a top-level key of qml/config.json; invalid for an unknown key. The file is read once.
    static QVariant getConfigValue(const QString& configPath);
    // The JSON object in the text; an empty map (and a warning) when it does not parse.
    static QVariantMap parse(const QString& stringData);
    // includes: the names to write, as a list; anything else (QML code passes 0) writes the whole value.
    QString stringify(const QJSValue& data, const QJSValue& includes = {}, QObject* sourceObject = nullptr);
    QString stringifyWithBasePath(const QJSValue& data, const QJSValue& includes = {},
                                  const QString& basePath = {});
    QString stringifyObject(QObject* data, const QStringList& includedProperties = {});
    // Kept for the QML that calls them: both always give an empty map.
    QVariantMap jsonMapWithPropertiesResolved(const QJSValue& data, const QJSValue& includes,
                                              QObject* sourceObject = nullptr);
    QVariantMap jsonMapForObjectWithPropertiesResolved(const QJSValue& data, const QJSValue& includes,
                                                       QObject* sourceObject = nullptr);
    QString typeOf(const QJSValue& variant);
    // Whether a pooled entity's snapshot may hold the property: it exists, is writable, is no list and
    // has no binding now, so that writing the snapshot back never replaces a binding.
    bool isPropertySerializableAtPooling(QObject* object, const QString& propertyName);
    // The property's value for that snapshot, as a copy: a colour, point or other value type read in
    // script stays tied to its property and would change with it.
    QVariant propertyValueAtPooling(QObject* object, const QString& propertyName);
    // Kept for the QML that calls it: this build prints nothing.
    void outputDeclarativePropertyInformation(QObject* object, const QString& propertyName);

public:
    Q_INVOKABLE bool isPlatform(System::Platform platform) const { return platform == m_platform; }
    // Stops the running timers and pauses the running animations below the object.
    Q_INVOKABLE void pauseGameForObject(QObject* object);
    // Restarts what the pauses stopped and still exists.
    Q_INVOKABLE void resumeGameForObject(QObject* object);
    // "x, y" as written for points; (0, 0) unless there is exactly one comma between two numbers.
    Q_INVOKABLE static QPointF pointFFromString(const QString& source);
    // Renders the running scene and writes the window rectangle (points, origin top left) as PNG below
    // the documents folder; the part of the rectangle outside the window is cut off. Needs the
    // scene graph's GL context to be current.
    Q_INVOKABLE void captureScreenshot(const QString& fileName, float x, float y, float with, float height);

signals:
    void logOutputEnabledChanged();

private slots:
    QVariant qobject2qvariant(const QObject* object, const QStringList& includedProperties);

private:
    void storeLogOutputEnabled(bool enabled);

    QString m_macAddress;
    QString m_udid;
    Platform m_platform = Linux;
    ScreenOrientation m_screenOrientation = ScreenOrientationAuto;
    bool m_debugBuild = false;
    bool m_publishBuild = false;
    bool m_sceneGraphRenderer = false;
    bool m_desktopPlatform = true;
    bool m_logOutputEnabled = true;
    ZanthApplication* m_application;
    bool m_gamePaused = false;
    QList<QPointer<QTimer>> m_pausedTimers;
    QList<QPointer<QAbstractAnimation>> m_pausedAnimations;
    QList<QPointer<QObject>> m_pausedQmlTimers;
    QList<QPointer<QObject>> m_pausedQmlAnimations;

    static QVariantMap s_config;
};
