#pragma once

#include "modificationdata.h"

#include <QHash>
#include <QPointF>
#include <QVarLengthArray>

class AbstractZTNodeManager;
class ItemTreeMirror;
class QObject;

namespace zanth2d {
class ZTNode;
}

// Item changes waiting for the frame's pass: moves and turns are only marked while QML runs, and the pass
// applies each marked item's last state to its node once, before the director draws. Items without a
// node are not marked.
class ModificationBatch
{
public:
    // The mirror (not owned) knows the items' nodes.
    explicit ModificationBatch(const ItemTreeMirror& mirror);

    void markPosition(QQuickItem* item);
    // The pass looks for the item's moves itself and tells the manager of each, as its x and y change
    // signals would; thousands of moving items would each emit two a frame, which cost more than reading
    // every watched position once a frame.
    void watchPosition(QQuickItem* item, AbstractZTNodeManager* manager);
    // Degrees.
    void markRotation(QQuickItem* item, double rotation);
    // The y scale stays what the node shows.
    void markScaleX(QQuickItem* item, double scaleX);
    // Drops the item's pending changes and stops watching it.
    void forget(QObject* item);

    // Marks the watched items that moved, then applies the marks to the nodes. A record that moved or turned
    // stays for one more pass, with only ModificationPresent, so that a mark in between adds to it.
    void apply();
    // Position and rotation now, for callers that read world positions in the same frame; a pending
    // record stays for the pass. False when the item has no node.
    bool applyPositionAndRotationNow(QQuickItem* item) const;
    // Brings the cached transforms of the node's whole subtree up to date.
    static void callTransformForAllChildrenRecursively(zanth2d::ZTNode* node);

    // The pending record of the item, or null.
    const ModificationData* pending(QObject* item) const;

private:
    struct WatchedPosition
    {
        QQuickItem* item = nullptr;
        // As the last pass saw it.
        QPointF position;
        QVarLengthArray<AbstractZTNodeManager*, 1> managers;
    };

    void markMovedItems();

    const ItemTreeMirror& m_mirror;
    QHash<QObject*, ModificationData> m_modifiedItems;
    QHash<QObject*, WatchedPosition> m_watchedPositions;
};
