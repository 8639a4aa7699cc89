#pragma once

#include <QObject>
#include <QPointer>

class QQmlContext;

namespace zanth2d {
class ZTSize;
}

// The application's life as QML sees it: launched, sent to the background and back, started (after which
// window resizes go to the game window's QML reshape), and the root game window, whose window settings
// are applied to the GL window every frame. Reads the "system" and "rootGameWindow" context properties.
class ApplicationLifeCycle : public QObject
{
    Q_OBJECT

public:
    // The context (not owned) must already hold "system"; "rootGameWindow" may come later.
    explicit ApplicationLifeCycle(QQmlContext& context, QObject* parent = nullptr);

    void applicationDidFinishLaunching();
    void applicationWillEnterForeground();
    void applicationDidEnterBackground();

    void setAppStarted(bool started) { m_appStarted = started; }
    bool appStarted() const { return m_appStarted; }
    // Asks the root game window's QML reshape(width, height); false before the application has started
    // or without a game window.
    bool reshape(const zanth2d::ZTSize& size);

    // The "system" context object; null when the context had none.
    QObject* system() const { return m_system; }
    // False without a "system" object.
    bool gamePaused() const;
    // The root game window, looked up until it exists; null meanwhile.
    QObject* gameWindowItem();
    // The frame rate into the game window, its window flags and full-screen mode onto the GL window. In
    // the frame the game window is first found nothing more happens; without one a warning every frame.
    void applyGameWindowSettings();

signals:
    void applicationDidFinishLaunchingSignal();
    void applicationPaused();
    void applicationResumed();

private:
    QQmlContext& m_context;
    QPointer<QObject> m_system;
    QPointer<QObject> m_gameWindowItem;
    bool m_appStarted = false;
};
