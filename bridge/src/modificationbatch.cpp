#include "modificationbatch.h"

#include "abstractztnodemanager.h"
#include "itemtreemirror.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "support/ZTGLStack.h"

#include <QQuickItem>

using namespace zanth2d;

ModificationBatch::ModificationBatch(const ItemTreeMirror& mirror) : m_mirror(mirror) {}

void ModificationBatch::markPosition(QQuickItem* item)
{
    ZTNode* node = m_mirror.nodeOf(item);
    if (!node)
        return;
    auto record = m_modifiedItems.find(item);
    if (record != m_modifiedItems.end())
        record->flags |= ModificationData::ModificationPosition;
    else
        m_modifiedItems.insert(item,
                               ModificationData{item, ModificationData::ModificationPosition, 0, 0, 0, node});
}

void ModificationBatch::watchPosition(QQuickItem* item, AbstractZTNodeManager* manager)
{
    WatchedPosition& watched = m_watchedPositions[item];
    watched.item = item;
    watched.position = item->position();
    if (!watched.managers.contains(manager))
        watched.managers.append(manager);
}

void ModificationBatch::markMovedItems()
{
    for (WatchedPosition& watched : m_watchedPositions) {
        const QPointF position = watched.item->position();
        // Exact: QPointF's own comparison is fuzzy.
        if (position.x() != watched.position.x() || position.y() != watched.position.y()) {
            watched.position = position;
            for (AbstractZTNodeManager* manager : std::as_const(watched.managers))
                manager->itemPositionChanged(watched.item);
        }
    }
}

void ModificationBatch::markRotation(QQuickItem* item, double rotation)
{
    ZTNode* node = m_mirror.nodeOf(item);
    if (!node)
        return;
    auto record = m_modifiedItems.find(item);
    if (record != m_modifiedItems.end()) {
        record->rotation = rotation;
        record->flags |= ModificationData::ModificationRotation;
    } else {
        m_modifiedItems.insert(
            item, ModificationData{item, ModificationData::ModificationRotation, rotation, 0, 0, node});
    }
}

void ModificationBatch::markScaleX(QQuickItem* item, double scaleX)
{
    ZTNode* node = m_mirror.nodeOf(item);
    if (!node)
        return;
    auto record = m_modifiedItems.find(item);
    if (record == m_modifiedItems.end())
        record = m_modifiedItems.insert(item, ModificationData{item, 0, 0, 0, 0, node});
    record->scaleX = scaleX;
    if (!(record->flags & ModificationData::ModificationScale)) {
        record->scaleY = node->getScaleY();
        record->flags |= ModificationData::ModificationScale;
    }
}

void ModificationBatch::forget(QObject* item)
{
    m_modifiedItems.remove(item);
    m_watchedPositions.remove(item);
}

const ModificationData* ModificationBatch::pending(QObject* item) const
{
    const auto record = m_modifiedItems.constFind(item);
    return record == m_modifiedItems.constEnd() ? nullptr : &record.value();
}

void ModificationBatch::apply()
{
    markMovedItems();
    for (auto record = m_modifiedItems.begin(); record != m_modifiedItems.end();) {
        ModificationData& data = record.value();
        if (data.flags & ModificationData::ModificationScale) {
            data.node->setScaleX(float(data.scaleX));
            data.node->setScaleY(float(data.scaleY));
        }
        if (!(data.flags &
              (ModificationData::ModificationPosition | ModificationData::ModificationRotation))) {
            record = m_modifiedItems.erase(record);
            continue;
        }
        const QPointF position = AbstractZTNodeManager::originInParent(data.item);
        data.node->setPosition(ZTPoint(float(position.x()), -float(position.y())));
        if (data.flags & ModificationData::ModificationRotation)
            data.node->setRotation(float(data.rotation));
        data.flags = ModificationData::ModificationPresent;
        ++record;
    }
}

bool ModificationBatch::applyPositionAndRotationNow(QQuickItem* item) const
{
    ZTNode* node = m_mirror.nodeOf(item);
    if (!node)
        return false;
    const QPointF position = AbstractZTNodeManager::originInParent(item);
    node->setRotation(float(item->rotation()));
    node->setPosition(ZTPoint(float(position.x()), -float(position.y())));
    ZTGLStack::pushMatrix();
    node->transform();
    ZTGLStack::popMatrix();
    callTransformForAllChildrenRecursively(node);
    return true;
}

void ModificationBatch::callTransformForAllChildrenRecursively(ZTNode* node)
{
    ZTArray* children = node->getChildren();
    if (!children)
        return;
    for (unsigned int i = 0; i < children->count(); ++i) {
        auto* child = static_cast<ZTNode*>(children->objectAtIndex(i));
        if (!child)
            break;
        ZTGLStack::pushMatrix();
        child->transform();
        ZTGLStack::popMatrix();
        callTransformForAllChildrenRecursively(child);
    }
}
