#include "abstractztnodemanager.h"

#include "opacityrelay.h"
#include "scenegraphwrapper.h"
#include "visualitempropertyobserver.h"

#include "base_nodes/ZTNode.h"

#include <QQuickItem>
#include <QVector3D>

#include <QtDebug>
#include <private/qquickitem_p.h>

using namespace zanth2d;

AbstractZTNodeManager::AbstractZTNodeManager(SceneGraphWrapper& wrapper, QObject* parent)
    : QObject(parent), m_sceneGraphWrapper(wrapper)
{
}

QPointF AbstractZTNodeManager::originInParent(const QQuickItem* item)
{
    // Most items are neither turned nor scaled: their origin is their position. Read from the item's
    // private part, which the frame's pass asks of every item that moved.
    const QQuickItemPrivate* d = QQuickItemPrivate::get(item);
    if (d->rotation() == 0 && d->scale() == 1 && d->transforms.isEmpty())
        return item->position();
    return item->mapToItem(item->parentItem(), QPointF(0, 0));
}

ZTNode* AbstractZTNodeManager::createBaseNodeAndAddToParent(QObject* item, ZTNode* parentNode)
{
    ZTNode* target = parentNode ? parentNode : m_sceneGraphScene;
    if (!target) {
        qWarning(
            "ERROR: AbstractZTNodeManager: m_sceneGraphScene was not initialized before, programmer error!");
        return nullptr;
    }
    auto* node = new ZTNode();
    const QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    target->addChild(node, quickItem ? int(quickItem->z()) : 0);

    applyVertexZ(item, node, "AbstractZTNodeManager");
    if (auto* observer = qobject_cast<VisualItemPropertyObserver*>(item))
        observer->nodeIsInitializedUdateIgnoreParentRotation(node);
    return node;
}

void AbstractZTNodeManager::applyVertexZ(QObject* item, ZTNode* node, const char* className)
{
    bool isNumber = false;
    const double vertexZ = item->property("vertexZ").toDouble(&isNumber);
    if (!isNumber || vertexZ == 0)
        return;
    node->setVertexZ(float(vertexZ));
    if (vertexZ > 50.0)
        qDebug().nospace()
            << "WARNING: " << className
            << ": setting the vertexZ property to a too high value can lead to undesired effects, "
               "like position changes!!! thus choose vertexZ between -20 to +20! used vertexZ: "
            << vertexZ << " for item: " << static_cast<const void*>(item);
}

void AbstractZTNodeManager::updateVisibilityFromOpacity(const QQuickItem* item, ZTNode* node, double opacity)
{
    if (opacity <= 0.01 && node->getIsVisible())
        node->setIsVisible(false);
    else if (opacity > 0.01 && item->isVisible() && !node->getIsVisible())
        node->setIsVisible(true);
}

void AbstractZTNodeManager::applyItemPropertiesToNode(QObject* item, ZTNode* node)
{
    const QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    const QPointF position = quickItem ? originInParent(quickItem) : QPointF();
    node->setPosition(ZTPoint(float(position.x()), -float(position.y())));
    const double rotation = quickItem ? calculateRotation(item) : 0.0;
    const QPointF scale = quickItem ? calculateScaleData(item) : QPointF(1, 1);
    node->setRotation(float(rotation));
    node->setScaleX(float(scale.x()));
    node->setScaleY(float(scale.y()));
    node->setIsVisible(!quickItem || quickItem->isVisible());
}

void AbstractZTNodeManager::applyTransformOriginToNode(QObject*, ZTNode* node)
{
    node->setAnchorPoint(ZTPoint(0, 1));
}

QPointF AbstractZTNodeManager::calculateScaleData(QObject* item)
{
    auto* quickItem = SceneGraphWrapper::castItem(item);
    if (!quickItem)
        return QPointF(1, 1);
    double scaleX = quickItem->scale();
    double scaleY = scaleX;
    QQmlListProperty<QQuickTransform> transforms = quickItem->transform();
    const qsizetype count = transforms.count(&transforms);
    for (qsizetype i = 0; i < count; ++i) {
        QQuickTransform* transform = transforms.at(&transforms, i);
        if (transform->inherits("QQuickScale")) {
            scaleX *= transform->property("xScale").toDouble();
            scaleY *= transform->property("yScale").toDouble();
        }
    }
    return QPointF(scaleX, scaleY);
}

double AbstractZTNodeManager::calculateRotation(QObject* item)
{
    auto* quickItem = SceneGraphWrapper::castItem(item);
    if (!quickItem)
        return 0;
    double rotation = quickItem->rotation();
    QQmlListProperty<QQuickTransform> transforms = quickItem->transform();
    const qsizetype count = transforms.count(&transforms);
    for (qsizetype i = 0; i < count; ++i) {
        QQuickTransform* transform = transforms.at(&transforms, i);
        if (transform->inherits("QQuickRotation") &&
            transform->property("axis").value<QVector3D>() == QVector3D(0, 0, 1))
            rotation += transform->property("angle").toDouble();
    }
    return rotation;
}

double AbstractZTNodeManager::effectiveOpacity(const QQuickItem* item)
{
    double opacity = 1.0;
    for (const QQuickItem* level = item; level; level = level->parentItem())
        opacity *= level->opacity();
    return opacity;
}

void AbstractZTNodeManager::connectOpacityChangedSignals(QQuickItem* item)
{
    connect(item, &QQuickItem::opacityChanged, this, [this, item] { itemOpacityChanged(item); });
    OpacityRelay::attach(item);
}

void AbstractZTNodeManager::itemPositionChanged(QQuickItem* item)
{
    m_sceneGraphWrapper.updateItemPosition(item);
}

void AbstractZTNodeManager::itemZChanged(QQuickItem* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node) {
        qDebug() << "WARNING: AbstractZTNodeManager: changing the z value not possible - no node exists for "
                    "this item "
                    "with z yet:"
                 << static_cast<const void*>(item);
        return;
    }
    // The node that hangs in the parent's node is the one to restack (a flickable's clip node).
    ZTNode* attachment = attachmentNode(item);
    if (!attachment || !attachment->getParent()) {
        qDebug() << "AbstractZTNodeManager: z cannot be changed, because it has no parent! for this item"
                 << static_cast<const void*>(item);
        return;
    }
    attachment->getParent()->reorderChild(attachment, int(item->z()));
    // Siblings of equal z are stacked in child order, as QML stacks them, not by when their z was set.
    m_sceneGraphWrapper.restackChildren(item->parentItem());
}

void AbstractZTNodeManager::itemRotationChanged(QQuickItem* item)
{
    if (!existsNode(item)) {
        qDebug() << "the item sending the signal does not exist in the nodes list:"
                 << static_cast<const void*>(item);
        return;
    }
    m_sceneGraphWrapper.updateItemRotation(item, calculateRotation(item));
}

void AbstractZTNodeManager::itemScaleChanged(QQuickItem* item)
{
    itemSizeChanged(item);
}

void AbstractZTNodeManager::itemSizeChanged(QQuickItem* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node)
        return;
    const QPointF scale = calculateScaleData(item);
    node->setScaleX(float(scale.x()));
    node->setScaleY(float(scale.y()));
    m_sceneGraphWrapper.updateItemPosition(item);
}

void AbstractZTNodeManager::itemVisibleChanged(QQuickItem* item)
{
    if (ZTNode* node = getNodeFromObject(item))
        node->setIsVisible(item->isVisible());
}

void AbstractZTNodeManager::itemOpacityChanged(QQuickItem*) {}

ZTNode* AbstractZTNodeManager::attachmentNode(QQuickItem* item)
{
    return getNodeFromObject(item);
}

void AbstractZTNodeManager::itemParentChanged(QQuickItem* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node)
        return;
    // Without a parent item the item is not shown (or is being destroyed): its node leaves the tree.
    m_sceneGraphWrapper.reattachNode(item, attachmentNode(item));
    // Its place is now relative to the new parent; the opacity follows through the item's own signal.
    if (item->parentItem())
        applyItemPropertiesToNode(item, node);
}

void AbstractZTNodeManager::itemDestroyed(QObject* item)
{
    // Qt destroys a parent item before its children, so a child's node may already have lost its
    // parent node with it: it is released all the same, or it would never be.
    if (ZTNode* node = m_nodes.take(item)) {
        if (ZTNode* parentNode = node->getParent())
            parentNode->removeChild(node, true);
        else
            node->cleanup();
        node->release();
    }
    m_sceneGraphWrapper.itemDestroyed(item);
}
