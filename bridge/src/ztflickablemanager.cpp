#include "ztflickablemanager.h"

#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"
#include "misc_nodes/ZTClipNode.h"

#include <QQuickItem>
#include <QtDebug>

using namespace zanth2d;

namespace {

ZTClipNode* clipNodeOf(ZTNode* node)
{
    return node ? dynamic_cast<ZTClipNode*>(node->getParent()) : nullptr;
}

} // namespace

ZTFlickableManager::ZTFlickableManager(SceneGraphWrapper& wrapper, QObject* parent)
    : AbstractZTNodeManager(wrapper, parent)
{
}

bool ZTFlickableManager::canCreateNodeFromItem(QObject* item)
{
    return SceneGraphWrapper::inherits("QQuickFlickable", item);
}

ZTNode* ZTFlickableManager::createNodeFromItem(QObject* item, ZTNode* parentNode)
{
    QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    ZTNode* target = parentNode ? parentNode : sceneGraphScene();
    if (!target || !quickItem)
        return nullptr;
    auto* clip = new ZTClipNode();
    target->addChild(clip, int(quickItem->z()));
    // The parent holds the clip node from now on.
    clip->release();

    ZTNode* node = createBaseNodeAndAddToParent(item, clip);
    applyItemPropertiesToNode(item, node);
    applyTransformOriginToNode(item, node);
    sceneGraphWrapper().connectItemSignals(item, this);
    insertNodeWithObjectAsKey(item, node);
    updateClipping(quickItem);

    connect(quickItem, &QQuickItem::clipChanged, this, [this, quickItem] { itemClipChanged(quickItem); });
    // Moving or resizing any ancestor moves the clip region in the window.
    for (QQuickItem* ancestor = quickItem->parentItem(); ancestor; ancestor = ancestor->parentItem()) {
        connect(ancestor, &QQuickItem::xChanged, quickItem, &QQuickItem::xChanged);
        connect(ancestor, &QQuickItem::yChanged, quickItem, &QQuickItem::yChanged);
        connect(ancestor, &QQuickItem::widthChanged, quickItem, &QQuickItem::widthChanged);
        connect(ancestor, &QQuickItem::heightChanged, quickItem, &QQuickItem::heightChanged);
    }
    clip->setClipsToBounds(quickItem->clip());
    return node;
}

void ZTFlickableManager::updateClipping(QQuickItem* item)
{
    ZTClipNode* clip = clipNodeOf(getNodeFromObject(item));
    if (!clip)
        return;
    const QPointF position = originInParent(item);
    clip->setClippingRegion(float(position.x()), float(position.y()), float(item->width()),
                            float(item->height()));
    clip->setRotation(float(item->rotation()));
}

void ZTFlickableManager::itemPositionChanged(QQuickItem* item)
{
    AbstractZTNodeManager::itemPositionChanged(item);
    updateClipping(item);
}

void ZTFlickableManager::itemSizeChanged(QQuickItem* item)
{
    AbstractZTNodeManager::itemSizeChanged(item);
    updateClipping(item);
}

void ZTFlickableManager::itemClipChanged(QQuickItem* item)
{
    if (ZTClipNode* clip = clipNodeOf(getNodeFromObject(item)))
        clip->setClipsToBounds(item->clip());
}

ZTNode* ZTFlickableManager::attachmentNode(QQuickItem* item)
{
    ZTNode* node = getNodeFromObject(item);
    ZTClipNode* clip = clipNodeOf(node);
    return clip ? clip : node;
}

void ZTFlickableManager::itemDestroyed(QObject* item)
{
    // The clip node goes with the flickable's node.
    ZTNode* node = getNodeFromObject(item);
    ZTClipNode* clip = clipNodeOf(node);
    // Out of the tree, only the bridge held it, and the base lets go of that.
    if (clip)
        clip->retain();
    AbstractZTNodeManager::itemDestroyed(item);
    if (clip) {
        clip->removeFromParentAndCleanup(true);
        clip->release();
    }
}
