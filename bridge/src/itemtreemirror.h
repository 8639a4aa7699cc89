#pragma once

#include <QByteArrayList>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

class NodeManagerList;
class QQuickItem;
class QQuickWindow;

namespace zanth2d {
class ZTNode;
}

// Mirrors QML item trees into scene-graph nodes: each item that shows something gets a node from the
// first node manager that accepts it, under its parent item's node, and is remembered here until it is
// destroyed. Sibling nodes are stacked as QML stacks their items; the delegates a Repeater adds later and
// items given a new parent are placed as QML shows them. The nodes belong to the scene graph and their
// managers (or node-backed items), not to the map.
class ItemTreeMirror : public QObject
{
    Q_OBJECT

public:
    // The window's own root item counts as no parent. Neither argument is owned.
    ItemTreeMirror(const NodeManagerList& managers, const QQuickWindow& window);
    ~ItemTreeMirror() override;

    // Until this is set, mirror() ignores every call.
    void setInitialized(bool initialized) { m_initialized = initialized; }
    bool isInitialized() const { return m_initialized; }

    // Mirrors the object and the items below it, parents before children; items that already have a
    // node keep it, and their children are visited again. An item whose parent item has no node yet (a
    // sibling declared later, a container that held nothing to show) has its parent mirrored first.
    void mirror(QObject* object);
    // Mirrors the item together with those of its ancestors that have no node yet.
    void mirrorWithAncestors(QQuickItem* item);
    // Forgets the object (and lets go of its attachment if it was out of the tree); its node is its
    // manager's or its own business.
    void forget(QObject* object);
    // Hangs the item's node (or attachment, the node above it that its manager hangs into the parent's
    // node) under the node of the item's new parent item, or under layer at the top. An item without a
    // parent item is not shown: its attachment leaves the tree (kept here, its subtree counted as hidden
    // for batched sprites) until the item gets a parent again or is forgotten.
    void reattach(QQuickItem* item, zanth2d::ZTNode* attachment, zanth2d::ZTNode* layer);
    // Puts the nodes of the parent's children in its node in QML's stacking order (z, then child order);
    // a child whose node hangs below a node of its own in the parent's node (a flickable's or a
    // Clipping's clip node) is moved by that node.
    void restackChildren(QQuickItem* parent);

    zanth2d::ZTNode* nodeOf(QObject* item) const { return m_itemNodes.value(item); }
    // Records the node unless the item already has one.
    void setNodeOf(QObject* item, zanth2d::ZTNode* node);
    // Positioners, views and layouts place their children only when polished, which the unshown view
    // never does by itself: this polishes those the mirror has met, with or without a node.
    void polishItems();

    // True for an object without a parent to hang from, or with only the window's own root item as one.
    bool isTopLevel(QObject* object) const;
    // The object whose node a node of this object hangs from: its parent item (positions are relative to
    // it), or its QObject parent when it has no parent item.
    static QObject* parentForNode(QObject* object);
    // The items below the object: its QObject children that are items, in child order, then the items
    // shown inside it that belong elsewhere (a Repeater's delegates, for one).
    static QObjectList childItemsOf(QObject* object);
    // Whether the object, or a QML item below it, inherits one of the class names.
    static bool existsChildInheritingClassnameList(const QByteArrayList& classNames, QObject* object);

private slots:
    void repeaterItemAdded(int index, QQuickItem* item);

private:
    // Mirrors the item's parent, and those of its ancestors that have no node yet, before the item.
    void mirrorParentFirst(QQuickItem* item);
    // Watches Repeaters and notes positioners in a subtree that gets no node.
    void watchSubtree(QObject* object);
    void watch(QQuickItem* item);

    const NodeManagerList& m_managers;
    const QQuickWindow& m_window;
    bool m_initialized = false;
    // Keyed by object: a dying item is no longer a QQuickItem when its destroyed() arrives.
    QHash<QObject*, zanth2d::ZTNode*> m_itemNodes;
    // The attachments of items without a parent item, out of the tree; one reference each.
    QHash<QObject*, zanth2d::ZTNode*> m_detached;
    // Items whose parents are being mirrored ahead of them.
    QSet<const QObject*> m_mirroringParentOf;
    // Guarded: positioners without a node are never forgotten explicitly.
    QHash<QObject*, QPointer<QQuickItem>> m_itemsToPolish;
};
