#include "videoviewitem.h"

#include "qmltyperegistry.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar videoRow(23, [] { qmlRegisterType<VideoViewItem>("Zanth", 1, 0, "Video"); });
}

VideoViewItem::VideoViewItem(QQuickItem* parent) : QQuickItem(parent)
{
    setFlag(ItemHasContents);
    connect(this, &QQuickItem::opacityChanged, this, &VideoViewItem::platform_opacityChanged);
    platform_init();
}

VideoViewItem::~VideoViewItem()
{
    platform_destroy();
}

void VideoViewItem::setSource(const QUrl& source)
{
    if (m_source == source)
        return;
    m_source = source;
    platform_setSource(source);
    emit sourceChanged();
}

void VideoViewItem::setAutoPlay(bool autoPlay)
{
    if (m_autoPlay == autoPlay)
        return;
    m_autoPlay = autoPlay;
    platform_setAutoPlay(autoPlay);
    emit autoPlayChanged();
}

void VideoViewItem::setLooping(bool looping)
{
    if (m_looping == looping)
        return;
    m_looping = looping;
    platform_setLooping(looping);
    emit loopingChanged();
}

void VideoViewItem::setFullscreen(bool fullscreen)
{
    if (m_fullscreen == fullscreen)
        return;
    m_fullscreen = fullscreen;
    platform_setFullscreen(fullscreen);
    emit fullscreenChanged();
}

void VideoViewItem::setControlsEnabled(bool enabled)
{
    if (m_controlsEnabled == enabled)
        return;
    m_controlsEnabled = enabled;
    platform_setControlsEnabled(enabled);
    emit controlsEnabledChanged();
}

void VideoViewItem::setFillMode(FillMode mode)
{
    if (m_fillMode == mode)
        return;
    m_fillMode = mode;
    platform_setFillMode(mode);
    emit fillModeChanged();
}

void VideoViewItem::componentComplete()
{
    QQuickItem::componentComplete();
    platform_componentComplete();
}

void VideoViewItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    platform_frameChanged();
    QQuickItem::geometryChange(newGeometry, oldGeometry);
}

void VideoViewItem::itemChange(ItemChange change, const ItemChangeData& value)
{
    if (change == ItemRotationHasChanged)
        platform_rotationChanged();
    else if (change == ItemVisibleHasChanged)
        platform_visibleChanged(value.boolValue);
    QQuickItem::itemChange(change, value);
}
