#include "spriteitem.h"

#include "qmltyperegistry.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar spriteItemRow(15, [] { qmlRegisterType<SpriteItem>("Zanth", 1, 0, "SpriteItem"); });
} // namespace

SpriteItem::SpriteItem(QQuickItem* parent) : QQuickItem(parent) {}
