#pragma once

#include <QQuickItem>

// The native base of the root QML component GameWindow: it carries the window settings the bridge
// applies to the GL window every frame, and publishes itself as the context property rootGameWindow,
// through which every engine component reaches the game window. QML type GameWindowItem.
class GameWindowItem : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(bool fullscreen READ fullscreen WRITE setFullscreen NOTIFY fullscreenChanged)
    Q_PROPERTY(bool minimizeable READ minimizeable WRITE setMinimizeable NOTIFY minimizeableChanged)
    Q_PROPERTY(bool maximizeable READ maximizeable WRITE setMaximizeable NOTIFY maximizeableChanged)
    Q_PROPERTY(bool resizeable READ resizeable WRITE setResizeable NOTIFY resizeableChanged)

public:
    explicit GameWindowItem(QQuickItem* parent = nullptr);

public slots:
    bool fullscreen() const { return m_fullscreen; }
    void setFullscreen(bool fullscreen);
    bool minimizeable() const { return m_minimizeable; }
    void setMinimizeable(bool minimizeable);
    bool maximizeable() const { return m_maximizeable; }
    // The window manager offers maximising and resizing only together with minimising: all three follow.
    void setMaximizeable(bool maximizeable);
    bool resizeable() const { return m_resizeable; }
    // As setMaximizeable: all three follow, and only resizeableChanged() is emitted.
    void setResizeable(bool resizeable);
    // Switches the director's frame-rate label.
    void setDisplayFPS(bool displayFps);

signals:
    void fullscreenChanged();
    void minimizeableChanged();
    void maximizeableChanged();
    void resizeableChanged();

protected:
    void componentComplete() override;

private:
    bool m_fullscreen = false;
    bool m_minimizeable = true;
    bool m_maximizeable = false;
    bool m_resizeable = false;
};
