#include "spritebatchcontaineritem.h"

#include "qmltyperegistry.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar spriteBatchContainerItemRow(16, [] {
    qmlRegisterType<SpriteBatchContainerItem>("Zanth", 1, 0, "SpriteBatchContainerItem");
});
} // namespace

SpriteBatchContainerItem::SpriteBatchContainerItem(QQuickItem* parent) : QQuickItem(parent) {}
