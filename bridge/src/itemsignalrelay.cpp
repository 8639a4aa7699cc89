#include "itemsignalrelay.h"

#include <QMetaObject>
#include <QObject>
#include <QtDebug>

#include <private/qobject_p.h>

bool ItemSignalRelay::connectSignal(QObject* item, const char* signal, QObject* context,
                                    std::function<void()> function)
{
    // SIGNAL() puts a code before the signature.
    const QByteArray signature = QMetaObject::normalizedSignature(signal + 1);
    const int index = item->metaObject()->indexOfSignal(signature.constData());
    if (index < 0) {
        qWarning("QObject::connect: No such signal %s::%s", item->metaObject()->className(),
                 signature.constData());
        return false;
    }
    using Call = QtPrivate::QFunctorSlotObject<std::function<void()>, 0, QtPrivate::List<>, void>;
    return bool(
        QObjectPrivate::connect(item, index, context, new Call(std::move(function)), Qt::AutoConnection));
}
