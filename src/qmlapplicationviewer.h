#pragma once

#include <QQuickView>
#include <QString>

#include <memory>

// The view that hosts the QML engine, its root context and the item scene. With the QML renderer
// off it is never shown: it only owns the engine and receives the events the bridge sends it.
class QmlApplicationViewer : public QQuickView
{
    Q_OBJECT
public:
    enum ScreenOrientation { ScreenOrientationLockPortrait, ScreenOrientationLockLandscape, ScreenOrientationAuto };

    explicit QmlApplicationViewer(QWindow* parent = nullptr);
    ~QmlApplicationViewer() override;

    // A new viewer without parent; the caller owns it.
    static QmlApplicationViewer* create();

    // Loads the file; a relative path is taken from the Resources folder beside the executable's folder.
    void setMainQmlFile(const QString& file);
    QString mainQmlFile() const;
    // Adds an import path, adjusted as for setMainQmlFile.
    void addImportPath(const QString& path);
    // 0 locks portrait, 1 locks landscape, every other value follows the device.
    void setOrientation(int orientation);
    ScreenOrientation orientation() const { return m_orientation; }
    void showExpanded();

private:
    struct Private;
    std::unique_ptr<Private> d;
    ScreenOrientation m_orientation = ScreenOrientationAuto;
};

class QApplication;
// A new Qt application object; the caller owns it.
QApplication* createApplication(int& argc, char** argv);
