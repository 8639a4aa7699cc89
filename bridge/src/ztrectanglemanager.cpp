#include "ztrectanglemanager.h"

#include "itemsignalrelay.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"

#include <QColor>
#include <QQuickItem>
#include <QtDebug>

using namespace zanth2d;

namespace {

// The rectangle's colour layer, or null with a warning.
ZTLayerColor* layerOf(ZTNode* node, QObject* item)
{
    auto* layer = dynamic_cast<ZTLayerColor*>(node->getChildByTag(0));
    if (!layer)
        qWarning() << "WARNING: layer not known for node" << static_cast<const void*>(node)
                   << "and QDeclarativeRectangle item" << static_cast<const void*>(item);
    return layer;
}

QColor itemColor(const QObject* item)
{
    return item->property("color").value<QColor>();
}

} // namespace

ZTRectangleManager::ZTRectangleManager(SceneGraphWrapper& wrapper, QObject* parent)
    : AbstractZTNodeManager(wrapper, parent)
{
}

bool ZTRectangleManager::canCreateNodeFromItem(QObject* item)
{
    return SceneGraphWrapper::inherits("QQuickRectangle", item);
}

ZTNode* ZTRectangleManager::createNodeFromItem(QObject* item, ZTNode* parentNode)
{
    ZTNode* node = createBaseNodeAndAddToParent(item, parentNode);
    QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    if (!node || !quickItem)
        return node;
    applyItemPropertiesToNode(item, node);
    applyTransformOriginToNode(item, node);

    const QColor color = itemColor(item);
    const ztColor4B layerColor{GLubyte(color.red()), GLubyte(color.green()), GLubyte(color.blue()), 255};
    ZTLayerColor* layer = ZTLayerColor::layerWithColorWidthHeight(layerColor, float(quickItem->width()),
                                                                  float(quickItem->height()));
    layer->setIsRelativeAnchorPoint(true);
    layer->setAnchorPoint(ZTPoint(0, 1));
    node->addChild(layer, 0, 0);

    // The signal of the highest index first: the item's table of connections is made once, at its size.
    ItemSignalRelay::connectSignal(item, SIGNAL(colorChanged()), this,
                                   [this, quickItem] { itemColorChanged(quickItem); });
    sceneGraphWrapper().connectItemSignals(item, this);
    insertNodeWithObjectAsKey(item, node);
    connectOpacityChangedSignals(quickItem);
    updateOpacityFromItem(item);
    return node;
}

void ZTRectangleManager::updateOpacityFromItem(QObject* item)
{
    ZTNode* node = getNodeFromObject(item);
    QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    if (!node || !quickItem)
        return;
    ZTLayerColor* layer = layerOf(node, item);
    if (!layer)
        return;
    const double opacity = effectiveOpacity(quickItem);
    layer->setOpacity(GLubyte(int(opacity * 255.0) & 0xFF));
    updateVisibilityFromOpacity(quickItem, node, opacity);
}

void ZTRectangleManager::itemOpacityChanged(QQuickItem* item)
{
    updateOpacityFromItem(item);
}

void ZTRectangleManager::itemColorChanged(QQuickItem* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node)
        return;
    if (ZTLayerColor* layer = layerOf(node, item)) {
        const QColor color = itemColor(item);
        layer->setColor(ztColor3B{GLubyte(color.red()), GLubyte(color.green()), GLubyte(color.blue())});
    }
}

void ZTRectangleManager::itemSizeChanged(QQuickItem* item)
{
    if (ZTNode* node = getNodeFromObject(item)) {
        if (ZTLayerColor* layer = layerOf(node, item))
            layer->setContentSize(ZTSize(float(item->width()), float(item->height())));
    }
    AbstractZTNodeManager::itemSizeChanged(item);
}
