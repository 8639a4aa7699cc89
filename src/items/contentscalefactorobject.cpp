#include "contentscalefactorobject.h"

#include "qmltyperegistry.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar contentScaleFactorObjectRow(19, [] {
    qmlRegisterType<ContentScaleFactorObject>("Zanth", 1, 0, "ContentScaleFactorObject");
});
} // namespace

ContentScaleFactorObject::ContentScaleFactorObject(QObject* parent) : QObject(parent) {}

void ContentScaleFactorObject::emitContentScaleFactorValidSignal()
{
    emit contentScaleFactorBecameValid();
}
