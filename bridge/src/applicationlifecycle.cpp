#include "applicationlifecycle.h"

#include "ZTDirector.h"
#include "cocoa/ZTGeometry.h"
#include "platform/linux/ZTEGLView.h"

#include <QQmlContext>
#include <QVariant>

using namespace zanth2d;

ApplicationLifeCycle::ApplicationLifeCycle(QQmlContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
    m_system = context.contextProperty(QStringLiteral("system")).value<QObject*>();
    if (!m_system)
        qWarning("SceneGraphWrapper: WARNING: System Context Property was not found!");
}

void ApplicationLifeCycle::applicationDidFinishLaunching()
{
    emit applicationDidFinishLaunchingSignal();
}

void ApplicationLifeCycle::applicationWillEnterForeground()
{
    emit applicationResumed();
}

void ApplicationLifeCycle::applicationDidEnterBackground()
{
    emit applicationPaused();
}

bool ApplicationLifeCycle::gamePaused() const
{
    return m_system && m_system->property("gamePaused").toBool();
}

QObject* ApplicationLifeCycle::gameWindowItem()
{
    if (!m_gameWindowItem)
        m_gameWindowItem = m_context.contextProperty(QStringLiteral("rootGameWindow")).value<QObject*>();
    return m_gameWindowItem;
}

bool ApplicationLifeCycle::reshape(const ZTSize& size)
{
    if (!m_appStarted)
        return false;
    QObject* gameWindow = gameWindowItem();
    if (!gameWindow)
        return false;
    QVariant result;
    QMetaObject::invokeMethod(gameWindow, "reshape", Q_RETURN_ARG(QVariant, result),
                              Q_ARG(QVariant, QVariant(float(size.width))),
                              Q_ARG(QVariant, QVariant(float(size.height))));
    return result.toBool();
}

void ApplicationLifeCycle::applyGameWindowSettings()
{
    if (!m_gameWindowItem) {
        if (!gameWindowItem())
            qWarning("SceneGraphWrapper: WARNING: GameWindowItem Context Property was not found!");
        return;
    }
    m_gameWindowItem->setProperty("framesPerSecond", double(ZTDirector::sharedDirector()->getFrameRate()));
    if (!ZTEGLView::hasSharedOpenGLView())
        return;
    ZTEGLView* view = ZTEGLView::sharedOpenGLView();
    view->setWindowFlags(m_gameWindowItem->property("minimizeable").toBool(),
                         m_gameWindowItem->property("maximizeable").toBool(),
                         m_gameWindowItem->property("resizeable").toBool());
    view->setFullScreen(m_gameWindowItem->property("fullscreen").toBool());
}
