#include "fpsqmlviewer.h"

#include <QQmlContext>
#include <QQmlEngine>

namespace {
constexpr int kFramesPerWindow = 25;
}

FpsQMLViewer::FpsQMLViewer(QWindow* parent) : QmlApplicationViewer(parent)
{
    QQmlContext* context = rootContext();
    context->setContextProperty(QStringLiteral("avgFps"), 0);
    context->setContextProperty(QStringLiteral("paintFps"), static_cast<QObject*>(nullptr));
    context->setContextProperty(QStringLiteral("declarativeView"), this);
    // A Qt Quick window has no paint event: a swapped frame is its painted frame.
    connect(this, &QQuickWindow::frameSwapped, this, &FpsQMLViewer::frameFinished);
}

FpsQMLViewer* FpsQMLViewer::create()
{
    return new FpsQMLViewer();
}

void FpsQMLViewer::setLocalPathForResourceFileAccess()
{
    engine()->setBaseUrl(QUrl(QStringLiteral(".")));
}

void FpsQMLViewer::setFpsCountingEnabled(bool _isEnabled)
{
    m_fpsCountingEnabled = _isEnabled;
}

void FpsQMLViewer::setSize(int w, int h)
{
    resize(w, h);
}

void FpsQMLViewer::frameFinished()
{
    if (m_fpsCountingEnabled) {
        if (m_frameCount == 0) {
            m_fpsTimer.start();
            m_frameCount = 1;
        } else if (m_frameCount < kFramesPerWindow) {
            ++m_frameCount;
        } else {
            const qint64 elapsed = m_fpsTimer.elapsed();
            // A window of frames faster than 25 ms in total cannot be measured in whole milliseconds.
            m_averageFps = elapsed > 0 ? int(1000.0 / (double(elapsed) / kFramesPerWindow)) : 0;
            rootContext()->setContextProperty(QStringLiteral("avgFps"), m_averageFps);
            m_fpsTimer.restart();
            m_frameCount = 1;
        }
    }
    emit paintingFinished();
}
