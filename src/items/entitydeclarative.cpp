#include "entitydeclarative.h"

#include "qmltyperegistry.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar entityDeclarativeRow(11, [] {
    qmlRegisterType<EntityDeclarative>("Zanth", 1, 0, "EntityDeclarative");
});
} // namespace

EntityDeclarative::EntityDeclarative(QQuickItem* parent) : VisualItemPropertyObserver(parent) {}
