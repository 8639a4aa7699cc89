#pragma once

#include <QObject>

// Tells QML when the content scale is known: the application calls emitContentScaleFactorValidSignal
// once the main QML file is loaded and the window sized. QML type ContentScaleFactorObject.
class ContentScaleFactorObject : public QObject
{
    Q_OBJECT

public:
    explicit ContentScaleFactorObject(QObject* parent = nullptr);

    Q_INVOKABLE void emitContentScaleFactorValidSignal();

signals:
    void contentScaleFactorBecameValid();
};
