#include "itemtreemirror.h"

#include "abstractztnodemanager.h"
#include "nodemanagerlist.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtDebug>

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

void ItemTreeMirror::mirror(QObject* object)
{
    if (!m_initialized || !object)
        return;
    AbstractZTNodeManager* manager = m_managers.managerFor(object);
    auto* item = qobject_cast<QQuickItem*>(object);
    if (!manager || !item)
        return;

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
    if (m_itemNodes.value(item)) {
        for (const char* className : kItemsLaidOutInPolish) {
            if (item->inherits(className))
                m_itemsToPolish.insert(item);
        }
    }

    if (manager->shouldProcessChildren()) {
        const QObjectList children = childItemsOf(object);
        for (QObject* child : children)
            mirror(child);
    }
}

void ItemTreeMirror::forget(QObject* object)
{
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
    for (QObject* object : std::as_const(m_itemsToPolish))
        static_cast<QQuickItem*>(object)->ensurePolished();
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
