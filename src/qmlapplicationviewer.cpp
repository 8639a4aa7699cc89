#include "qmlapplicationviewer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QQmlEngine>

struct QmlApplicationViewer::Private
{
    QString mainQmlFile;
};

namespace {
// Relative paths live in the Resources folder next to the executable's folder, as in an application bundle.
QString adjustPath(const QString& path)
{
    if (QDir::isAbsolutePath(path))
        return path;
    return QStringLiteral("%1/../Resources/%2").arg(QCoreApplication::applicationDirPath(), path);
}
} // namespace

QmlApplicationViewer::QmlApplicationViewer(QWindow* parent)
    : QQuickView(parent), d(std::make_unique<Private>())
{
    connect(engine(), &QQmlEngine::quit, this, &QWindow::close);
    setResizeMode(QQuickView::SizeRootObjectToView);
}

QmlApplicationViewer::~QmlApplicationViewer() = default;

QmlApplicationViewer* QmlApplicationViewer::create()
{
    return new QmlApplicationViewer();
}

void QmlApplicationViewer::setMainQmlFile(const QString& file)
{
    d->mainQmlFile = adjustPath(file);
    setSource(QUrl::fromLocalFile(d->mainQmlFile));
}

QString QmlApplicationViewer::mainQmlFile() const
{
    return d->mainQmlFile;
}

void QmlApplicationViewer::addImportPath(const QString& path)
{
    engine()->addImportPath(adjustPath(path));
}

void QmlApplicationViewer::setOrientation(int orientation)
{
    switch (orientation) {
    case ScreenOrientationLockPortrait:
        m_orientation = ScreenOrientationLockPortrait;
        break;
    case ScreenOrientationLockLandscape:
        m_orientation = ScreenOrientationLockLandscape;
        break;
    default:
        m_orientation = ScreenOrientationAuto;
        break;
    }
}

void QmlApplicationViewer::showExpanded()
{
    setVisible(true);
}

QApplication* createApplication(int& argc, char** argv)
{
    return new QApplication(argc, argv);
}
