#include "modificationbatch.h"

#include "abstractztnodemanager.h"
#include "batcheditem.h"
#include "itemtreemirror.h"

#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "support/ZTGLStack.h"

#include <QQuickItem>

#include <cstddef>

using namespace zanth2d;

ModificationBatch::ModificationBatch(const ItemTreeMirror& mirror) : m_mirror(mirror) {}

ModificationBatch::~ModificationBatch() = default;

BatchedItem* ModificationBatch::find(QObject* item) const
{
    if (m_last && m_last->item() == item)
        return m_last;
    const auto found = m_items.find(item);
    if (found == m_items.end())
        return nullptr;
    m_last = found->second.get();
    return m_last;
}

BatchedItem* ModificationBatch::recordFor(QQuickItem* item)
{
    BatchedItem* entry = find(item);
    if (entry && entry->queueSlot() >= 0)
        return entry;
    ZTNode* node = m_mirror.nodeOf(item);
    if (!node)
        return nullptr;
    if (!entry) {
        auto made = std::make_unique<BatchedItem>(item, *this);
        entry = made.get();
        m_items.emplace(item, std::move(made));
        m_last = entry;
    }
    entry->record() = ModificationData{item, 0, 0, 0, 0, node};
    entry->setQueueSlot(int(m_queue.size()));
    m_queue.push_back(entry);
    return entry;
}

void ModificationBatch::markPosition(QQuickItem* item)
{
    if (BatchedItem* entry = recordFor(item))
        entry->record().flags |= ModificationData::ModificationPosition;
}

void ModificationBatch::watch(QQuickItem* item, AbstractZTNodeManager* manager, int changes)
{
    BatchedItem* entry = find(item);
    if (!entry) {
        auto made = std::make_unique<BatchedItem>(item, *this);
        entry = made.get();
        m_items.emplace(item, std::move(made));
    }
    entry->watch(manager, changes);
}

void ModificationBatch::noteMoved(BatchedItem& entry)
{
    entry.setMovedSlot(int(m_moved.size()));
    m_moved.push_back(&entry);
}

void ModificationBatch::markMovedItems()
{
    const size_t count = m_moved.size();
    for (size_t i = 0; i < count; ++i) {
        BatchedItem* entry = m_moved[i];
        if (!entry)
            continue;
        entry->setMovedSlot(-1);
        m_moved[i] = nullptr;
        entry->reportMove();
    }
    // Moves made by the managers' reactions wait for the next pass.
    m_moved.erase(m_moved.begin(), m_moved.begin() + std::ptrdiff_t(count));
    for (size_t i = 0; i < m_moved.size(); ++i) {
        if (m_moved[i])
            m_moved[i]->setMovedSlot(int(i));
    }
}

void ModificationBatch::markRotation(QQuickItem* item, double rotation)
{
    if (BatchedItem* entry = recordFor(item)) {
        entry->record().rotation = rotation;
        entry->record().flags |= ModificationData::ModificationRotation;
    }
}

void ModificationBatch::markScaleX(QQuickItem* item, double scaleX)
{
    BatchedItem* entry = recordFor(item);
    if (!entry)
        return;
    ModificationData& record = entry->record();
    record.scaleX = scaleX;
    if (!(record.flags & ModificationData::ModificationScale)) {
        record.scaleY = record.node->getScaleY();
        record.flags |= ModificationData::ModificationScale;
    }
}

void ModificationBatch::drop(BatchedItem& entry, bool keepListening)
{
    if (entry.queueSlot() >= 0) {
        m_queue[size_t(entry.queueSlot())] = nullptr;
        entry.setQueueSlot(-1);
    }
    if (entry.movedSlot() >= 0) {
        m_moved[size_t(entry.movedSlot())] = nullptr;
        entry.setMovedSlot(-1);
    }
    if (keepListening && entry.isListening())
        return;
    if (m_last == &entry)
        m_last = nullptr;
    const auto found = m_items.find(entry.item());
    if (found != m_items.end() && found->second.get() == &entry) {
        m_dropped.push_back(std::move(found->second));
        m_items.erase(found);
    }
}

void ModificationBatch::forget(QObject* item)
{
    if (BatchedItem* entry = find(item)) {
        entry->stopWatchingMoves();
        drop(*entry, true);
    }
}

void ModificationBatch::ended(BatchedItem& entry)
{
    drop(entry, false);
}

const ModificationData* ModificationBatch::pending(QObject* item) const
{
    const BatchedItem* entry = find(item);
    return entry && entry->queueSlot() >= 0 ? &entry->record() : nullptr;
}

void ModificationBatch::apply()
{
    markMovedItems();
    m_dropped.clear();
    size_t kept = 0;
    for (BatchedItem* entry : m_queue) {
        if (!entry)
            continue;
        ModificationData& data = entry->record();
        if (data.flags & ModificationData::ModificationScale) {
            data.node->setScaleX(float(data.scaleX));
            data.node->setScaleY(float(data.scaleY));
        }
        if (!(data.flags &
              (ModificationData::ModificationPosition | ModificationData::ModificationRotation))) {
            entry->setQueueSlot(-1);
            if (!entry->isListening())
                drop(*entry, false);
            continue;
        }
        const QPointF position = AbstractZTNodeManager::originInParent(data.item);
        data.node->setPosition(ZTPoint(float(position.x()), -float(position.y())));
        if (data.flags & ModificationData::ModificationRotation)
            data.node->setRotation(float(data.rotation));
        data.flags = ModificationData::ModificationPresent;
        entry->setQueueSlot(int(kept));
        m_queue[kept++] = entry;
    }
    m_queue.resize(kept);
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
