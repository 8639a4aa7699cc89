#include "simpleimage.h"

#include "qmltyperegistry.h"

#include <QtQml>

namespace {
// Registered twice: Image in Zanth wins over QtQuick's for files that import Zanth after QtQuick.
const QmlTypeRegistrar simpleImageRow(12, [] {
    qmlRegisterType<SimpleImage>("Zanth", 1, 0, "SimpleImage");
    qmlRegisterType<SimpleImage>("Zanth", 1, 0, "Image");
});
} // namespace

SimpleImage::SimpleImage(QQuickItem* parent) : QQuickItem(parent) {}

void SimpleImage::setFillMode(FillMode mode)
{
    if (mode == m_fillMode)
        return;
    m_fillMode = mode;
    updatePaintedGeometry();
    emit fillModeChanged();
}

void SimpleImage::setSource(const QUrl& url)
{
    if (url == m_source)
        return;
    m_source = url;
    emit sourceChanged(url);
}

void SimpleImage::setAsynchronous(bool) {}

void SimpleImage::setCache(bool) {}

void SimpleImage::setSourceSize(const QSize& size)
{
    if (size == m_sourceSize)
        return;
    m_sourceSize = size;
    emit sourceSizeChanged();
}

void SimpleImage::resetSourceSize() {}

void SimpleImage::setMirror(bool mirror)
{
    if (mirror == m_mirror)
        return;
    m_mirror = mirror;
    emit mirrorChanged();
}

void SimpleImage::setSizeFromSceneGraph(const QSize& size)
{
    m_sceneGraphSize = size;
    updatePaintedGeometry();
    if (m_status != Ready) {
        m_status = Ready;
        emit statusChanged(Ready);
    }
}

QRectF SimpleImage::boundingRect() const
{
    return QRectF(0, 0, qMax(width(), m_paintedWidth), qMax(height(), m_paintedHeight));
}

void SimpleImage::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    updatePaintedGeometry();
}

void SimpleImage::updatePaintedGeometry()
{
    const qreal w = m_sceneGraphSize.width();
    const qreal h = m_sceneGraphSize.height();
    if (m_fillMode == PreserveAspectCrop) {
        if (w == 0 || h == 0)
            return;
        const qreal scale = qMax(width() / w, height() / h);
        m_paintedWidth = w * scale;
        m_paintedHeight = h * scale;
    } else if (m_fillMode == PreserveAspectFit) {
        if (w == 0 || h == 0) {
            setImplicitWidth(0);
            setImplicitHeight(0);
            return;
        }
        const qreal boxWidth = widthValid() ? width() : w;
        const qreal boxHeight = heightValid() ? height() : h;
        const qreal widthScale = boxWidth / w;
        const qreal heightScale = boxHeight / h;
        if (widthScale <= heightScale) {
            m_paintedWidth = boxWidth;
            m_paintedHeight = widthScale * h;
        } else {
            m_paintedWidth = heightScale * w;
            m_paintedHeight = boxHeight;
        }
    } else {
        m_paintedWidth = widthValid() ? width() : w;
        m_paintedHeight = heightValid() ? height() : h;
    }
    setImplicitWidth(m_paintedWidth);
    setImplicitHeight(m_paintedHeight);
    setSourceSize(m_sceneGraphSize);
    emit paintedGeometryChanged();
}
