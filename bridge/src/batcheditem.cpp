#include "batcheditem.h"

#include "abstractztnodemanager.h"
#include "modificationbatch.h"

#include <QQuickItem>

#include <private/qquickitem_p.h>

BatchedItem::BatchedItem(QQuickItem* item, ModificationBatch& batch) : m_item(item), m_batch(batch)
{
    m_record.item = item;
}

BatchedItem::~BatchedItem()
{
    if (m_listening)
        QQuickItemPrivate::get(m_item)->removeItemChangeListener(this,
                                                                 QQuickItemPrivate::ChangeTypes(m_types));
}

int BatchedItem::listenedTypes() const
{
    int types = 0;
    if (m_changes & (ModificationBatch::Position | ModificationBatch::Size))
        types |= QQuickItemPrivate::Geometry;
    if (m_changes & ModificationBatch::Rotation)
        types |= QQuickItemPrivate::Rotation;
    if (m_changes & ModificationBatch::Visibility)
        types |= QQuickItemPrivate::Visibility;
    if (m_changes & ModificationBatch::Parent)
        types |= QQuickItemPrivate::Parent;
    if (m_changes & ModificationBatch::End)
        types |= QQuickItemPrivate::Destroyed;
    return types;
}

void BatchedItem::watch(AbstractZTNodeManager* manager, int changes)
{
    if ((changes & ModificationBatch::Position) && !(m_changes & ModificationBatch::Position))
        m_seenPosition = m_item->position();
    bool known = false;
    for (Watcher& watcher : m_watchers) {
        if (watcher.manager == manager) {
            watcher.changes |= changes;
            known = true;
        }
    }
    if (!known)
        m_watchers.append(Watcher{manager, changes});
    m_changes |= changes;
    const int types = listenedTypes();
    if (types == m_types && m_listening)
        return;
    // Qt knows a listener by its types too.
    QQuickItemPrivate* item = QQuickItemPrivate::get(m_item);
    if (m_listening)
        item->removeItemChangeListener(this, QQuickItemPrivate::ChangeTypes(m_types));
    item->addItemChangeListener(this, QQuickItemPrivate::ChangeTypes(types));
    m_types = types;
    m_listening = true;
}

void BatchedItem::stopWatchingMoves()
{
    for (Watcher& watcher : m_watchers)
        watcher.changes &= ~ModificationBatch::Position;
    m_changes &= ~ModificationBatch::Position;
}

void BatchedItem::itemGeometryChanged(QQuickItem* item, QQuickGeometryChange change, const QRectF&)
{
    if (change.positionChange() && (m_changes & ModificationBatch::Position) && m_movedSlot < 0)
        m_batch.noteMoved(*this);
    if (!change.sizeChange() || !(m_changes & ModificationBatch::Size))
        return;
    m_batch.noteActive(*this);
    // A reaction may make a manager watch too: the list is read again on every round.
    for (qsizetype i = 0; i < m_watchers.size(); ++i) {
        if (m_watchers[i].changes & ModificationBatch::Size)
            m_watchers[i].manager->itemSizeChanged(item);
    }
}

void BatchedItem::reportMove()
{
    const QPointF position = m_item->position();
    // Exact: QPointF's own comparison is fuzzy.
    if (position.x() == m_seenPosition.x() && position.y() == m_seenPosition.y())
        return;
    m_seenPosition = position;
    m_batch.noteActive(*this);
    for (qsizetype i = 0; i < m_watchers.size(); ++i) {
        if (m_watchers[i].changes & ModificationBatch::Position)
            m_watchers[i].manager->itemPositionChanged(m_item);
    }
}

void BatchedItem::itemRotationChanged(QQuickItem* item)
{
    m_batch.noteActive(*this);
    for (qsizetype i = 0; i < m_watchers.size(); ++i) {
        if (m_watchers[i].changes & ModificationBatch::Rotation)
            m_watchers[i].manager->itemRotationChanged(item);
    }
}

void BatchedItem::itemVisibilityChanged(QQuickItem* item)
{
    for (qsizetype i = 0; i < m_watchers.size(); ++i) {
        if (m_watchers[i].changes & ModificationBatch::Visibility)
            m_watchers[i].manager->itemVisibleChanged(item);
    }
}

void BatchedItem::itemParentChanged(QQuickItem* item, QQuickItem*)
{
    for (qsizetype i = 0; i < m_watchers.size(); ++i) {
        if (m_watchers[i].changes & ModificationBatch::Parent)
            m_watchers[i].manager->itemParentChanged(item);
    }
}

void BatchedItem::itemDestroyed(QQuickItem* item)
{
    // Qt drops its listeners once they have been told.
    m_listening = false;
    for (qsizetype i = 0; i < m_watchers.size(); ++i) {
        if (m_watchers[i].changes & ModificationBatch::End)
            m_watchers[i].manager->itemDestroyed(item);
    }
    m_batch.ended(*this);
}
