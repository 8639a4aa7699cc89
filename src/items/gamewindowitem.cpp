#include "gamewindowitem.h"

#include "qmltyperegistry.h"

#include "ZTDirector.h"

#include <QQmlContext>
#include <QQmlEngine>

namespace {
const QmlTypeRegistrar gameWindowItemRow(20, [] {
    qmlRegisterType<GameWindowItem>("Zanth", 1, 0, "GameWindowItem");
});
} // namespace

GameWindowItem::GameWindowItem(QQuickItem* parent) : QQuickItem(parent) {}

void GameWindowItem::setFullscreen(bool fullscreen)
{
    if (fullscreen == m_fullscreen)
        return;
    m_fullscreen = fullscreen;
    emit fullscreenChanged();
}

void GameWindowItem::setMinimizeable(bool minimizeable)
{
    if (minimizeable == m_minimizeable)
        return;
    m_minimizeable = minimizeable;
    emit minimizeableChanged();
}

void GameWindowItem::setMaximizeable(bool maximizeable)
{
    if (maximizeable == m_maximizeable)
        return;
    m_maximizeable = maximizeable;
    m_minimizeable = maximizeable;
    m_resizeable = maximizeable;
    emit maximizeableChanged();
}

void GameWindowItem::setResizeable(bool resizeable)
{
    if (resizeable == m_resizeable)
        return;
    m_resizeable = resizeable;
    m_minimizeable = resizeable;
    m_maximizeable = resizeable;
    emit resizeableChanged();
}

void GameWindowItem::setDisplayFPS(bool displayFps)
{
    zanth2d::ZTDirector::sharedDirector()->setDisplayFPS(displayFps);
}

void GameWindowItem::componentComplete()
{
    QQuickItem::componentComplete();
    if (QQmlEngine* engine = qmlEngine(this))
        engine->rootContext()->setContextProperty(QStringLiteral("rootGameWindow"), this);
}
