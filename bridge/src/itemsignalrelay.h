#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

// Calls a function whenever one signal of an item arrives, for signals of Qt Quick classes whose headers
// are private. Lives as a QObject child of the item, so it goes with it. The node managers use it (and
// functor connections) instead of slots that ask QObject::sender(): sender() walks every connection its
// receiver has, and a manager has thousands.
class ItemSignalRelay : public QObject
{
    Q_OBJECT

public:
    // signal as SIGNAL() gives it; the function is not called any more once context is gone. False, with
    // Qt's warning, when the item has no such signal.
    static bool connectSignal(QObject* item, const char* signal, QObject* context,
                              std::function<void()> function);

public slots:
    void fire();

private:
    ItemSignalRelay(QObject* item, QObject* context, std::function<void()> function);

    QPointer<QObject> m_context;
    std::function<void()> m_function;
};
