#pragma once

#include "qmlapplicationviewer.h"

#include <QElapsedTimer>

// The view the application creates: counts rendered frames in windows of 25 and publishes the
// average frame rate as the root-context property "avgFps".
class FpsQMLViewer : public QmlApplicationViewer
{
    Q_OBJECT
public:
    explicit FpsQMLViewer(QWindow* parent = nullptr);

    // A new viewer without parent; the caller owns it.
    static FpsQMLViewer* create();
    // Sets the QML engine's base URL to the working directory (".").
    void setLocalPathForResourceFileAccess();
    int averageFps() const { return m_averageFps; }

public slots:
    void setFpsCountingEnabled(bool _isEnabled);
    void setSize(int w, int h);

signals:
    void paintingFinished();

private slots:
    void frameFinished();

private:
    bool m_fpsCountingEnabled = true;
    int m_frameCount = 0;
    int m_averageFps = 0;
    QElapsedTimer m_fpsTimer;
};
