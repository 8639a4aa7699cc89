#pragma once

#include "modificationdata.h"

#include <memory>
#include <unordered_map>
#include <vector>

class AbstractZTNodeManager;
class BatchedItem;
class ItemTreeMirror;
class QObject;
class QQuickItem;

namespace zanth2d {
class ZTNode;
}

// Item changes waiting for the frame's pass: moves and turns are only marked while QML runs, and the pass
// applies each marked item's last state to its node once, before the director draws. Items without a
// node are not marked. The pass visits only the items marked, or moved, since the previous one.
class ModificationBatch
{
public:
    // What a watching manager is told of.
    enum Change
    {
        Position = 1,
        Size = 2,
        Rotation = 4,
        Visibility = 8,
        Parent = 16,
        End = 32,
    };

    // The mirror (not owned) knows the items' nodes.
    explicit ModificationBatch(const ItemTreeMirror& mirror);
    // Stops listening to the items still watched.
    ~ModificationBatch();
    ModificationBatch(const ModificationBatch&) = delete;
    ModificationBatch& operator=(const ModificationBatch&) = delete;

    void markPosition(QQuickItem* item);
    // Tells the manager's reactions (AbstractZTNodeManager) of the item's changes, a mask of Change, from Qt
    // Quick's own change notification instead of the item's signals: resizes, turns, visibility, new parents
    // and the item's end at once; moves in the pass, once a frame, when the position differs from the one the
    // previous pass saw.
    void watch(QQuickItem* item, AbstractZTNodeManager* manager, int changes);
    // Degrees.
    void markRotation(QQuickItem* item, double rotation);
    // The y scale stays what the node shows.
    void markScaleX(QQuickItem* item, double scaleX);
    // Drops the item's pending changes and stops looking for its moves; a watched item still reports its
    // other changes and its end.
    void forget(QObject* item);

    // Tells the managers of the watched items that moved, then applies the marks to the nodes. A record
    // that moved or turned stays for one more pass, with only ModificationPresent, so that a mark in
    // between adds to it.
    void apply();
    // Position and rotation now, for callers that read world positions in the same frame; a pending
    // record stays for the pass. False when the item has no node.
    bool applyPositionAndRotationNow(QQuickItem* item) const;
    // Brings the cached transforms of the node's whole subtree up to date.
    static void callTransformForAllChildrenRecursively(zanth2d::ZTNode* node);

    // The pending record of the item, or null.
    const ModificationData* pending(QObject* item) const;

    // From the items' entries: a watched item moved; an entry is about to mark its item (the next look-up
    // finds it at once); a watched item ended.
    void noteMoved(BatchedItem& entry);
    void noteActive(BatchedItem& entry) { m_last = &entry; }
    void ended(BatchedItem& entry);

private:
    BatchedItem* find(QObject* item) const;
    // The item's entry with a record ready for marks, made when needed; null when the item has no node.
    BatchedItem* recordFor(QQuickItem* item);
    // Takes the entry out of the batch's lists and, unless it still listens, out of the batch.
    void drop(BatchedItem& entry, bool keepListening);
    void markMovedItems();

    const ItemTreeMirror& m_mirror;
    std::unordered_map<QObject*, std::unique_ptr<BatchedItem>> m_items;
    // Entries with a record, in marking order; a dropped one leaves a hole until the pass.
    std::vector<BatchedItem*> m_queue;
    std::vector<BatchedItem*> m_moved;
    // Dropped entries whose calls may still be running; deleted in the pass.
    std::vector<std::unique_ptr<BatchedItem>> m_dropped;
    // The entry looked up last: marks of one item come in runs.
    mutable BatchedItem* m_last = nullptr;
};
