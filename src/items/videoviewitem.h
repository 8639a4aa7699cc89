#pragma once

#include <QQuickItem>
#include <QUrl>

// A video player declared in QML whose playback belongs to platform hooks. This desktop platform has
// none: every hook is empty and the playback signals never come, so device QML loads and runs.
// QML type Video.
class VideoViewItem : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(bool autoPlay READ autoPlay WRITE setAutoPlay NOTIFY autoPlayChanged)
    Q_PROPERTY(bool looping READ looping WRITE setLooping NOTIFY loopingChanged)
    Q_PROPERTY(bool fullscreen READ fullscreen WRITE setFullscreen NOTIFY fullscreenChanged)
    Q_PROPERTY(
        bool controlsEnabled READ controlsEnabled WRITE setControlsEnabled NOTIFY controlsEnabledChanged)
    Q_PROPERTY(FillMode fillMode READ fillMode WRITE setFillMode NOTIFY fillModeChanged)

public:
    enum FillMode
    {
        PreserveAspectFit = 0,
        PreserveAspectCrop = 1,
        Stretch = 2,
        None = 3
    };
    Q_ENUM(FillMode)

    explicit VideoViewItem(QQuickItem* parent = nullptr);
    ~VideoViewItem() override;

    QUrl source() const { return m_source; }
    void setSource(const QUrl& source);
    bool autoPlay() const { return m_autoPlay; }
    void setAutoPlay(bool autoPlay);
    bool looping() const { return m_looping; }
    void setLooping(bool looping);
    bool fullscreen() const { return m_fullscreen; }
    void setFullscreen(bool fullscreen);
    bool controlsEnabled() const { return m_controlsEnabled; }
    void setControlsEnabled(bool enabled);
    FillMode fillMode() const { return m_fillMode; }
    void setFillMode(FillMode mode);

public slots:
    void play() {}
    void pause() {}
    void stop() {}

signals:
    void sourceChanged();
    void autoPlayChanged();
    void loopingChanged();
    void fullscreenChanged();
    void controlsEnabledChanged();
    void fillModeChanged();
    void started();
    void paused();
    void stopped();
    void ended();

protected:
    void componentComplete() override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;

private slots:
    void platform_opacityChanged() {}

private:
    // The platform's side; empty here.
    void platform_init() {}
    void platform_destroy() {}
    void platform_componentComplete() {}
    void platform_frameChanged() {}
    void platform_rotationChanged() {}
    void platform_visibleChanged(bool) {}
    void platform_setSource(const QUrl&) {}
    void platform_setAutoPlay(bool) {}
    void platform_setLooping(bool) {}
    void platform_setFullscreen(bool) {}
    void platform_setControlsEnabled(bool) {}
    void platform_setFillMode(FillMode) {}

    QUrl m_source;
    bool m_autoPlay = false;
    bool m_looping = false;
    bool m_fullscreen = false;
    bool m_controlsEnabled = false;
    FillMode m_fillMode = PreserveAspectFit;
};
