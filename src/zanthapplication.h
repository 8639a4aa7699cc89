#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

#include <memory>

class FpsQMLViewer;
class NativeUtils;
class QApplication;
class QQmlComponent;
class QUrl;
class QmlApplicationViewer;
class SceneGraphBridge;
class System;
class ZanthFileUtils;
class ZanthTranslation;

// The engine's application object: owns the Qt application, the view that hosts the QML engine, the
// engine's services and the choice of renderer; registers the engine's QML types, starts the
// scene-graph loop and loads the main QML file once the GL window is ready.
// Calling order: construct, setMainQmlFileName, setQmlRendererEnabled(false), startApplication.
class ZanthApplication : public QObject
{
    Q_OBJECT
    // Whether the first frame of the main QML file is on the screen; QML makes what that frame does not
    // show once this turns true. False again while a new main file loads.
    Q_PROPERTY(bool firstFrameShown READ firstFrameShown NOTIFY firstFrameShownChanged)
public:
    // Creates the Qt application, then System (the first configuration read), then the view.
    ZanthApplication(int& argc, char** argv, QObject* parent = nullptr);
    explicit ZanthApplication(QObject* parent = nullptr);
    // Uses the given viewer, which stays the caller's.
    ZanthApplication(QmlApplicationViewer& viewer, QObject* parent = nullptr);
    ~ZanthApplication() override;

    // Keeps the current name, with a warning, when the file is found neither on disk nor in the resources.
    void setMainQmlFileName(const QString& name);
    QString mainQmlFileName() const { return m_mainQmlFileName; }
    // Refused with a warning when it would leave no renderer switched on.
    void setQmlRendererEnabled(bool enabled);
    void setSceneGraphRendererEnabled(bool enabled);
    bool qmlRendererEnabled() const { return m_qmlRendererEnabled; }
    bool sceneGraphRendererEnabled() const { return m_sceneGraphRendererEnabled; }
    void setLogMessagesEnabled(bool enabled);
    QmlApplicationViewer* declarativeView() const { return m_view; }
    System* system() const { return m_system; }
    bool loaded() const { return m_loaded; }
    bool firstFrameShown() const { return m_firstFrameShown; }
    // The scene-graph side that startApplication runs with the scene-graph renderer (the application
    // delegate's unless one is set); owned from here on.
    void setSceneGraphBridge(std::unique_ptr<SceneGraphBridge> bridge);

    void registerDeclarativeItems();
    void addCustomImportPaths();

    // Has the scene graph's window and GL context made on a thread of their own while the Qt
    // application, the services, the view and the types get ready; the scene graph takes them when it
    // starts. For main(), before the application object is made.
    static void prepareSceneGraphWindow();

public slots:
    void updateWindowSize(QSize size);
    bool reshape(QSize size);
    // Returns the exit code: what the scene-graph loop or the Qt event loop returns.
    int startApplication();
    void loadQmlFile();
    void sceneResized(QSize size);
    void quitApp();

signals:
    void firstFrameShownChanged();

private:
    void createServicesAndView(QmlApplicationViewer* viewer);
    void init();
    QObject* rootGameWindow() const;
    // The main file's URL; a compiled-in file makes the working folder the engine's base URL.
    QUrl mainQmlSource();
    void prepareWhileTheWindowIsMade();
    void setFirstFrameShown(bool shown);
    void watchForFirstFrame();

    // Declared first so that it is destroyed last.
    std::unique_ptr<QApplication> m_qtApplication;
    QString m_mainQmlFileName;
    QmlApplicationViewer* m_view = nullptr;
    std::unique_ptr<SceneGraphBridge> m_sceneGraph;
    NativeUtils* m_nativeUtils = nullptr;
    ZanthTranslation* m_translation = nullptr;
    System* m_system = nullptr;
    ZanthFileUtils* m_fileUtils = nullptr;
    bool m_sceneGraphRendererEnabled = true;
    bool m_qmlRendererEnabled = true;
    bool m_ownsView = false;
    bool m_loaded = false;
    bool m_firstFrameShown = false;
    // Frames the director had drawn when the main file was loaded, and the check, once a frame, whether
    // it has drawn one more.
    unsigned int m_framesBeforeLoad = 0;
    QTimer m_firstFrameCheck;
    // The main file's types, loaded ahead of its creation; kept until the view has loaded the file.
    std::unique_ptr<QQmlComponent> m_preloadedMainComponent;
};
