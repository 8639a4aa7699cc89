#include "ztnodemanager.h"

#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"

#include <QQuickItem>

using namespace zanth2d;

ZTNodeManager::ZTNodeManager(SceneGraphWrapper& wrapper, QObject* parent)
    : AbstractZTNodeManager(wrapper, parent),
      m_drawableClassNames({"QQuickImage", "VisualItemPropertyObserver", "SimpleImage", "SpriteImageItem",
                            "QQuickRectangle", "QQuickLoader", "QQuickText", "ParticleSystem",
                            "QQuickFlickable"})
{
}

bool ZTNodeManager::canCreateNodeFromItem(QObject* item)
{
    return sceneGraphWrapper().existsChildInheritingClassnameList(m_drawableClassNames, item);
}

ZTNode* ZTNodeManager::createNodeFromItem(QObject* item, ZTNode* parentNode)
{
    ZTNode* node = createBaseNodeAndAddToParent(item, parentNode);
    if (!node)
        return nullptr;
    node->setIsDrawableNode(false);
    applyItemPropertiesToNode(item, node);
    applyTransformOriginToNode(item, node);
    sceneGraphWrapper().connectItemSignals(item, this);
    insertNodeWithObjectAsKey(item, node);
    return node;
}

void ZTNodeManager::itemVisibleChanged(QQuickItem* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node)
        return;
    if (item->isVisible())
        sceneGraphWrapper().updateItemPositionAndRotationImmediately(item);
    node->setIsVisible(item->isVisible());
}
