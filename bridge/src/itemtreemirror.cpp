#include "itemtreemirror.h"

#include "abstractztnodemanager.h"
#include "nodemanagerlist.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtDebug>

#include <algorithm>

using namespace zanth2d;

namespace {

// Items of these kinds place their children only when polished (Column, ListView, layouts, ...).
const char* const kItemsLaidOutInPolish[] = {"QQuickBasePositioner", "QQuickItemView", "QQuickPathView",
                                             "QQuickTableView", "QQuickLayout"};

} // namespace

ItemTreeMirror::ItemTreeMirror(const NodeManagerList& managers, const QQuickWindow& window)
    : m_managers(managers), m_window(window)
{
}

ItemTreeMirror::~ItemTreeMirror()
{
    for (ZTNode* node : std::as_const(m_detached))
        node->release();
}

void ItemTreeMirror::mirror(QObject* object)
{
    if (!m_initialized || !object)
        return;
    auto* item = qobject_cast<QQuickItem*>(object);
    if (!item)
        return;
    watch(item);
    AbstractZTNodeManager* manager = m_managers.managerFor(object);
    if (!manager) {
        watchSubtree(object);
        return;
    }

    if (!m_itemNodes.value(item) && !isTopLevel(object) && !m_itemNodes.value(parentForNode(object)))
        mirrorParentFirst(item);
    if (!m_itemNodes.value(item)) {
        ZTNode* parentNode = nullptr;
        if (!isTopLevel(object)) {
            QObject* parent = parentForNode(object);
            parentNode = m_itemNodes.value(parent);
            if (!parentNode)
                qDebug()
                    << "WARNING: no parentNode was found for this object, although the QML parent exists:"
                    << static_cast<const void*>(object) << ", parentItem:" << static_cast<const void*>(parent)
                    << " - this is probably an issue that the paren item is not supported by the scene graph "
                       "yet! The result is the node is added directly to the layer, and not to the parent "
                       "node "
                       "(which does not exist).";
        }
        if (ZTNode* node = manager->createNodeFromItem(object, parentNode))
            m_itemNodes.insert(item, node);
    }

    if (manager->shouldProcessChildren()) {
        const QObjectList children = childItemsOf(object);
        for (QObject* child : children)
            mirror(child);
        restackChildren(item);
    }
}

void ItemTreeMirror::mirrorParentFirst(QQuickItem* item)
{
    // A parent declared after the item (parent: sibling), or one that had nothing to show when it was
    // mirrored (an entity container, for one): its ancestors without a node are mirrored from the top,
    // which mirrors the item below them. Once per item, so a parent that cannot get a node ends the climb.
    auto* parent = qobject_cast<QQuickItem*>(parentForNode(item));
    if (!parent || m_mirroringParentOf.contains(item))
        return;
    m_mirroringParentOf.insert(item);
    mirrorWithAncestors(parent);
    m_mirroringParentOf.remove(item);
}

void ItemTreeMirror::watch(QQuickItem* item)
{
    for (const char* className : kItemsLaidOutInPolish) {
        if (item->inherits(className))
            m_itemsToPolish.insert(item, item);
    }
    // Qt ignores the connection when it exists already.
    if (item->inherits("QQuickRepeater"))
        connect(item, SIGNAL(itemAdded(int, QQuickItem*)), this, SLOT(repeaterItemAdded(int, QQuickItem*)),
                Qt::UniqueConnection);
}

void ItemTreeMirror::watchSubtree(QObject* object)
{
    // Nothing below shows a picture, but a positioner here still sizes itself for its parent's layout,
    // and a Repeater may add something that does.
    if (auto* item = qobject_cast<QQuickItem*>(object))
        watch(item);
    const QObjectList children = childItemsOf(object);
    for (QObject* child : children)
        watchSubtree(child);
}

void ItemTreeMirror::repeaterItemAdded(int, QQuickItem* item)
{
    mirrorWithAncestors(item);
    if (item)
        restackChildren(item->parentItem());
}

void ItemTreeMirror::mirrorWithAncestors(QQuickItem* item)
{
    if (!m_initialized || !item)
        return;
    QObject* top = item;
    while (!isTopLevel(top) && !nodeOf(parentForNode(top)))
        top = parentForNode(top);
    mirror(top);
}

void ItemTreeMirror::reattach(QQuickItem* item, ZTNode* attachment, ZTNode* layer)
{
    QQuickItem* parent = item->parentItem();
    if (!m_initialized || !attachment)
        return;
    if (!parent) {
        // Also the first step of the item's destruction, or of its parent's: a surviving item's node is
        // out before its old parent's node is cleaned up, so its actions live on.
        if (ZTNode* old = attachment->getParent()) {
            if (!m_detached.contains(item)) {
                attachment->retain();
                m_detached.insert(item, attachment);
            }
            old->removeChild(attachment, false);
            attachment->setIsAnyAncestorInvisible(true);
        }
        return;
    }
    ZTNode* target = layer;
    if (!isTopLevel(item)) {
        mirrorWithAncestors(parent);
        if (ZTNode* parentNode = nodeOf(parent))
            target = parentNode;
    }
    if (!target)
        return;
    if (attachment->getParent() != target) {
        attachment->retain();
        if (ZTNode* old = attachment->getParent())
            old->removeChild(attachment, false);
        target->addChild(attachment, int(item->z()));
        attachment->release();
    }
    if (ZTNode* kept = m_detached.take(item))
        kept->release();
    restackChildren(parent);
}

void ItemTreeMirror::restackChildren(QQuickItem* parent)
{
    ZTNode* parentNode = parent ? nodeOf(parent) : nullptr;
    ZTArray* nodes = parentNode ? parentNode->getChildren() : nullptr;
    if (!nodes)
        return;
    struct Placed
    {
        qreal z;
        ZTNode* node;
    };
    QList<Placed> wanted;
    const QList<QQuickItem*> children = parent->childItems();
    for (QQuickItem* child : children) {
        ZTNode* node = nodeOf(child);
        // The node, or the one between it and the parent's node.
        if (node && node->getParent() != parentNode)
            node = node->getParent();
        if (node && node->getParent() == parentNode &&
            std::none_of(wanted.cbegin(), wanted.cend(),
                         [node](const Placed& placed) { return placed.node == node; }))
            wanted.append({child->z(), node});
    }
    std::stable_sort(wanted.begin(), wanted.end(),
                     [](const Placed& a, const Placed& b) { return a.z < b.z; });
    // The usual case costs one pass: the nodes are in order already.
    int next = 0;
    for (unsigned int i = 0; i < nodes->count() && next < wanted.size(); ++i) {
        if (nodes->objectAtIndex(i) == wanted.at(next).node)
            ++next;
    }
    if (next == wanted.size())
        return;
    for (const Placed& placed : std::as_const(wanted))
        parentNode->reorderChild(placed.node, int(placed.z));
}

void ItemTreeMirror::forget(QObject* object)
{
    if (ZTNode* kept = m_detached.take(object))
        kept->release();
    m_itemNodes.remove(object);
    m_itemsToPolish.remove(object);
}

void ItemTreeMirror::setNodeOf(QObject* item, ZTNode* node)
{
    if (!m_itemNodes.value(item))
        m_itemNodes.insert(item, node);
}

void ItemTreeMirror::polishItems()
{
    // Deepest first, as a positioner's size comes from its children and places it in its parent.
    QList<std::pair<int, QPointer<QQuickItem>>> byDepth;
    for (auto entry = m_itemsToPolish.begin(); entry != m_itemsToPolish.end();) {
        QQuickItem* item = entry.value();
        if (!item) {
            entry = m_itemsToPolish.erase(entry);
            continue;
        }
        int depth = 0;
        for (const QQuickItem* level = item->parentItem(); level; level = level->parentItem())
            ++depth;
        byDepth.append({depth, item});
        ++entry;
    }
    std::stable_sort(byDepth.begin(), byDepth.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    // A view's polish may delete items further down the list.
    for (const auto& [depth, item] : std::as_const(byDepth)) {
        if (item)
            item->ensurePolished();
    }
}

bool ItemTreeMirror::isTopLevel(QObject* object) const
{
    QObject* parent = parentForNode(object);
    return !parent || parent == m_window.contentItem() || parent == &m_window;
}

QObject* ItemTreeMirror::parentForNode(QObject* object)
{
    const auto* item = qobject_cast<QQuickItem*>(object);
    if (item && item->parentItem())
        return item->parentItem();
    return object->parent();
}

QObjectList ItemTreeMirror::childItemsOf(QObject* object)
{
    QObjectList items;
    const QObjectList& children = object->children();
    for (QObject* child : children) {
        if (child->inherits("QQuickItem"))
            items.append(child);
    }
    if (const auto* item = qobject_cast<QQuickItem*>(object)) {
        const QList<QQuickItem*> shown = item->childItems();
        for (QQuickItem* child : shown) {
            if (child->parent() != object)
                items.append(child);
        }
    }
    return items;
}

bool ItemTreeMirror::existsChildInheritingClassnameList(const QByteArrayList& classNames, QObject* object)
{
    for (const QByteArray& className : classNames) {
        if (object && object->inherits(className.constData()))
            return true;
    }
    const QObjectList children = childItemsOf(object);
    for (QObject* child : children) {
        if (existsChildInheritingClassnameList(classNames, child))
            return true;
    }
    return false;
}
