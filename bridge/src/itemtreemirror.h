#pragma once

#include <QByteArrayList>
#include <QHash>
#include <QObject>
#include <QSet>

class NodeManagerList;
class QQuickWindow;

namespace zanth2d {
class ZTNode;
}

// Mirrors QML item trees into scene-graph nodes: each item that shows something gets a node from the
// first node manager that accepts it, under its parent item's node, and is remembered here until it is
// destroyed. The nodes belong to the scene graph and their managers (or node-backed items), not to the map.
class ItemTreeMirror
{
public:
    // The window's own root item counts as no parent. Neither argument is owned.
    ItemTreeMirror(const NodeManagerList& managers, const QQuickWindow& window);

    // Until this is set, mirror() ignores every call.
    void setInitialized(bool initialized) { m_initialized = initialized; }
    bool isInitialized() const { return m_initialized; }

    // Mirrors the object and the items below it, parents before children; items that already have a
    // node keep it, and their children are visited again.
    void mirror(QObject* object);
    // Forgets the object; its node is its manager's or its own business.
    void forget(QObject* object);

    zanth2d::ZTNode* nodeOf(QObject* item) const { return m_itemNodes.value(item); }
    // Records the node unless the item already has one.
    void setNodeOf(QObject* item, zanth2d::ZTNode* node);
    // Positioners, views and layouts place their children only when polished, which the unshown view
    // never does by itself: this polishes the mirrored ones.
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

private:
    const NodeManagerList& m_managers;
    const QQuickWindow& m_window;
    bool m_initialized = false;
    // Keyed by object: a dying item is no longer a QQuickItem when its destroyed() arrives.
    QHash<QObject*, zanth2d::ZTNode*> m_itemNodes;
    QSet<QObject*> m_itemsToPolish;
};
