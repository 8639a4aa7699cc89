#include "scenepositionobserver.h"

#include "qmltyperegistry.h"

#include <QMetaProperty>
#include <QtQml>

namespace {
const QmlTypeRegistrar scenePositionObserverRow(13, [] {
    qmlRegisterType<ScenePositionObserver>("Zanth", 1, 0, "ScenePositionObserver");
});

// The signals of an item whose change moves everything inside it in the scene.
const char* const kPlacementSignals[] = {SIGNAL(xChanged()),
                                         SIGNAL(yChanged()),
                                         SIGNAL(widthChanged()),
                                         SIGNAL(heightChanged()),
                                         SIGNAL(scaleChanged()),
                                         SIGNAL(rotationChanged()),
                                         SIGNAL(transformOriginChanged(TransformOrigin))};
} // namespace

ScenePositionObserver::ScenePositionObserver(QQuickItem* parent) : QQuickItem(parent)
{
    watchAncestors();
}

void ScenePositionObserver::itemChange(ItemChange change, const ItemChangeData& value)
{
    QQuickItem::itemChange(change, value);
    if (change == ItemParentHasChanged)
        watchAncestors();
}

void ScenePositionObserver::watch(QObject* sender, const char* signal)
{
    m_connections.append(connect(sender, signal, this, SIGNAL(scenePositionChanged())));
}

void ScenePositionObserver::watchAncestors()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    static const int scenePositionChangedIndex = staticMetaObject.indexOfSignal("scenePositionChanged()");
    for (QQuickItem* level = this; level; level = level->parentItem()) {
        for (const char* signal : kPlacementSignals)
            watch(level, signal);
        if (level != this)
            m_connections.append(
                connect(level, &QQuickItem::parentChanged, this, &ScenePositionObserver::watchAncestors));
        QQmlListProperty<QQuickTransform> transforms = level->transform();
        const qsizetype count = transforms.count(&transforms);
        for (qsizetype i = 0; i < count; ++i) {
            QQuickTransform* transform = transforms.at(&transforms, i);
            const QMetaObject* metaObject = transform->metaObject();
            for (int p = QQuickTransform::staticMetaObject.propertyCount(); p < metaObject->propertyCount();
                 ++p) {
                const QMetaProperty property = metaObject->property(p);
                if (property.hasNotifySignal())
                    m_connections.append(QMetaObject::connect(transform, property.notifySignalIndex(), this,
                                                              scenePositionChangedIndex));
            }
        }
    }
}
