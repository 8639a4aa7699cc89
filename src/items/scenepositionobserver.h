#pragma once

#include <QList>
#include <QMetaObject>
#include <QQuickItem>

// Tells QML when its position in the scene changes, however that came about: its own move, a move of
// any ancestor, a change of an ancestor's rotation, scale, size or transforms. QML type
// ScenePositionObserver.
class ScenePositionObserver : public QQuickItem
{
    Q_OBJECT

public:
    explicit ScenePositionObserver(QQuickItem* parent = nullptr);

signals:
    void scenePositionChanged();

protected:
    void itemChange(ItemChange change, const ItemChangeData& value) override;

private:
    // Listens to this item and every ancestor again, after the chain of parents changed.
    void watchAncestors();
    void watch(QObject* sender, const char* signal);

    QList<QMetaObject::Connection> m_connections;
};
