#pragma once

#include "modificationdata.h"

#include <QPointF>
#include <QVarLengthArray>

#include <private/qquickitemchangelistener_p.h>

class AbstractZTNodeManager;
class ModificationBatch;
class QQuickItem;

// One item as the per-frame batch knows it: its changes waiting for the pass and, once watched, what Qt
// Quick tells of the item through its own change notification (no signal connection, no polling). Resizes,
// turns, visibility, new parents and the item's end reach the watching managers' reactions at once, as the
// item's change signals would; a move only notes the item for the pass, which tells the managers once a
// frame when the position differs from the one it saw last. Made and owned by the batch; an entry that
// still listens when it goes stops listening.
class BatchedItem : public QQuickItemChangeListener
{
public:
    BatchedItem(QQuickItem* item, ModificationBatch& batch);
    ~BatchedItem() override;
    BatchedItem(const BatchedItem&) = delete;
    BatchedItem& operator=(const BatchedItem&) = delete;

    QQuickItem* item() const { return m_item; }

    // Starts telling the manager of the changes (a mask of ModificationBatch::Change), or adds them to what
    // it is told. The
    // position seen last is the item's position when it is first watched for moves.
    void watch(AbstractZTNodeManager* manager, int changes);
    // Until the item ends or the entry goes.
    bool isListening() const { return m_listening; }
    // No manager is told of moves any more; the other changes still reach them.
    void stopWatchingMoves();

    // The changes waiting for the pass; valid while queued.
    ModificationData& record() { return m_record; }
    const ModificationData& record() const { return m_record; }
    // The entry's place in the batch's queue of records, -1 when it has no record.
    int queueSlot() const { return m_queueSlot; }
    void setQueueSlot(int slot) { m_queueSlot = slot; }
    // Its place in the batch's list of moved items, -1 when it did not move since the last pass.
    int movedSlot() const { return m_movedSlot; }
    void setMovedSlot(int slot) { m_movedSlot = slot; }

    // In the pass: when the position differs from the one seen last, keeps it and tells the managers that
    // watch for moves.
    void reportMove();

private:
    struct Watcher
    {
        AbstractZTNodeManager* manager;
        int changes;
    };

    void itemGeometryChanged(QQuickItem* item, QQuickGeometryChange change,
                             const QRectF& oldGeometry) override;
    void itemRotationChanged(QQuickItem* item) override;
    void itemVisibilityChanged(QQuickItem* item) override;
    void itemParentChanged(QQuickItem* item, QQuickItem* parent) override;
    void itemDestroyed(QQuickItem* item) override;

    // What Qt must tell for the watchers' changes.
    int listenedTypes() const;

    QQuickItem* m_item;
    ModificationBatch& m_batch;
    ModificationData m_record;
    int m_queueSlot = -1;
    int m_movedSlot = -1;
    bool m_listening = false;
    int m_changes = 0;
    // As Qt was given them.
    int m_types = 0;
    QPointF m_seenPosition;
    QVarLengthArray<Watcher, 1> m_watchers;
};
