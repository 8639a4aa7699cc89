#pragma once

#include <QQuickItem>
#include <QSize>
#include <QUrl>

// The engine's QML Image: it loads and paints nothing itself. It holds the source and the fill mode,
// and learns the image's size from the sprite the scene graph loaded for it, so that layouts (implicit
// size, paintedWidth, sourceSize, status) behave as for a real image. QML types SimpleImage and Image.
class SimpleImage : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(FillMode fillMode READ fillMode WRITE setFillMode NOTIFY fillModeChanged)
    Q_PROPERTY(qreal paintedWidth READ paintedWidth NOTIFY paintedGeometryChanged)
    Q_PROPERTY(qreal paintedHeight READ paintedHeight NOTIFY paintedGeometryChanged)
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(qreal progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(bool asynchronous READ asynchronous WRITE setAsynchronous NOTIFY asynchronousChanged)
    Q_PROPERTY(bool cache READ cache WRITE setCache NOTIFY cacheChanged)
    Q_PROPERTY(
        QSize sourceSize READ sourceSize WRITE setSourceSize RESET resetSourceSize NOTIFY sourceSizeChanged)
    Q_PROPERTY(bool mirror READ mirror WRITE setMirror NOTIFY mirrorChanged)

public:
    enum FillMode
    {
        Stretch,
        PreserveAspectFit,
        PreserveAspectCrop,
        Tile,
        TileVertically,
        TileHorizontally
    };
    Q_ENUM(FillMode)
    // Only Null (before the first sprite) and Ready (for good after it) are ever entered.
    enum Status
    {
        Null,
        Ready,
        Loading,
        Error
    };
    Q_ENUM(Status)

    explicit SimpleImage(QQuickItem* parent = nullptr);

    FillMode fillMode() const { return m_fillMode; }
    void setFillMode(FillMode mode);
    qreal paintedWidth() const { return m_paintedWidth; }
    qreal paintedHeight() const { return m_paintedHeight; }
    Status status() const { return m_status; }
    QUrl source() const { return m_source; }
    // Only stores the URL; the scene graph loads the file when it sees the change.
    virtual void setSource(const QUrl& url);
    qreal progress() const { return 0; }
    bool asynchronous() const { return m_asynchronous; }
    // Loading is the scene graph's: the value stays.
    void setAsynchronous(bool asynchronous);
    bool cache() const { return m_cache; }
    // Caching is the scene graph's: the value stays.
    void setCache(bool cache);
    QSize sourceSize() const { return m_sourceSize; }
    virtual void setSourceSize(const QSize& size);
    // Keeps the size: it is the loaded image's.
    void resetSourceSize();
    bool mirror() const { return m_mirror; }
    virtual void setMirror(bool mirror);

    // The size in points of the sprite the scene graph loaded; the item becomes Ready.
    Q_INVOKABLE void setSizeFromSceneGraph(const QSize& size);

    QRectF boundingRect() const override;

signals:
    void fillModeChanged();
    void paintedGeometryChanged();
    void sourceChanged(const QUrl& url);
    void sourceSizeChanged();
    void statusChanged(SimpleImage::Status status);
    void progressChanged(qreal progress);
    void asynchronousChanged();
    void cacheChanged();
    void mirrorChanged();

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    void updatePaintedGeometry();

    FillMode m_fillMode = Stretch;
    qreal m_paintedWidth = 0;
    qreal m_paintedHeight = 0;
    Status m_status = Null;
    QUrl m_source;
    QSize m_sourceSize = QSize(-1, -1);
    bool m_asynchronous = false;
    bool m_cache = true;
    bool m_mirror = false;
    QSize m_sceneGraphSize = QSize(-1, -1);
};
