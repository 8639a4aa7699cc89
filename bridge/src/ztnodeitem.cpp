#include "ztnodeitem.h"

#include "abstractztnodemanager.h"
#include "opacityrelay.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtDebug>

using namespace zanth2d;

ZTNodeItem::ZTNodeItem(QQuickItem* parent) : VisualItemPropertyObserver(parent) {}

ZTNodeItem::~ZTNodeItem()
{
    // Qt's item destructor, which runs after this one, takes the item from its parent.
    disconnect(this, &QQuickItem::parentChanged, this, &ZTNodeItem::itemParentChanged);
    if (m_node) {
        // A parent item dies before its children, and its node may have taken this node's parent with it:
        // the node is released all the same.
        if (ZTNode* parentNode = m_node->getParent()) {
            parentNode->removeChild(m_node, true);
            if (parentNode == m_betweenNode && m_betweenNode->getParent())
                m_betweenNode->getParent()->removeChild(m_betweenNode, true);
        } else {
            // Out of the tree while the item had no parent item.
            m_node->cleanup();
        }
        m_node->release();
        m_node = nullptr;
    }
    if (SceneGraphWrapper* wrapper = sceneGraphWrapper())
        wrapper->itemDestroyed(this);
}

void ZTNodeItem::componentComplete()
{
    VisualItemPropertyObserver::componentComplete();
    SceneGraphWrapper* wrapper = sceneGraphWrapper();
    m_rootNode = wrapper ? wrapper->getRootSceneGraphNode() : nullptr;
    connect(this, &QQuickItem::visibleChanged, this, &ZTNodeItem::itemVisibleChanged);
    connect(this, &QQuickItem::parentChanged, this, &ZTNodeItem::itemParentChanged);
    connect(this, &QQuickItem::zChanged, this, &ZTNodeItem::itemZChanged);
    if (!m_node) {
        m_node = new ZTNode();
        if (wrapper)
            wrapper->setNodeFromObject(this, m_node);
    }
    QQmlEngine* engine = qmlEngine(this);
    QQmlContext* context = engine ? engine->rootContext() : nullptr;
    m_system = context ? context->contextProperty("system").value<QObject*>() : nullptr;
    if (!m_system)
        qWarning("[ZTNodeItem] WARNING: System Context Property was not found!");
    m_gameWindowItem = context ? context->contextProperty("rootGameWindow").value<QObject*>() : nullptr;
    if (!m_gameWindowItem)
        qWarning("[ZTNodeItem] WARNING: GameWindowItem Context Property was not found!");
}

void ZTNodeItem::createBaseNodeAndAddToParent(ZTNode* betweenNode)
{
    if (!m_node)
        return;
    SceneGraphWrapper* wrapper = sceneGraphWrapper();
    const int z = int(this->z());
    ZTNode* parentNode = nullptr;
    if (wrapper && !wrapper->isTopLevel(this)) {
        parentNode =
            wrapper->getNodeFromObject(SceneGraphWrapper::castItem(SceneGraphWrapper::parentForNode(this)));
        if (!parentNode)
            qDebug()
                << "WARNING: no parentNode was found for this object, although the QML parent exists:"
                << static_cast<const void*>(this)
                << " - this is probably an issue that the paren item is not supported by the scene graph "
                   "yet! "
                   "The result is the node is added directly to the layer, and not to the parent node (which "
                   "does not exist).";
    }
    m_attached = true;
    if (parentNode) {
        if (betweenNode) {
            parentNode->addChild(betweenNode, z);
            betweenNode->addChild(m_node, z);
            m_betweenNode = betweenNode;
        } else {
            parentNode->addChild(m_node, z);
        }
    } else if (!m_rootNode) {
        qWarning(
            "ERROR: AbstractZTNodeManager: m_sceneGraphScene was not initialized before, programmer error!");
        return;
    } else {
        m_rootNode->addChild(m_node, z);
    }

    // Attached after its siblings were mirrored (from a timer, for most subclasses): put in its place
    // among them.
    if (parentNode && wrapper)
        wrapper->restackChildren(parentItem());
    AbstractZTNodeManager::applyVertexZ(this, m_node, "ZTNodeItem");
    if (ignoreParentRotation())
        nodeIsInitializedUdateIgnoreParentRotation(m_node);
    applyItemPropertiesToNode();
}

void ZTNodeItem::applyItemPropertiesToNode()
{
    if (m_node)
        AbstractZTNodeManager::applyItemPropertiesToNode(this, m_node);
}

void ZTNodeItem::connectOpacityChangedSignals()
{
    connect(this, SIGNAL(opacityChanged()), this, SLOT(itemOpacityChanged()));
    OpacityRelay::attach(this);
}

void ZTNodeItem::itemParentChanged()
{
    SceneGraphWrapper* wrapper = sceneGraphWrapper();
    // Before the subclass has attached the node there is nothing to move; without a parent item the
    // item is not shown and its node leaves the tree until it has one again.
    if (!wrapper || !m_node || !m_attached)
        return;
    wrapper->reattachNode(this, attachment());
    if (parentItem())
        applyItemPropertiesToNode();
}

void ZTNodeItem::itemZChanged()
{
    SceneGraphWrapper* wrapper = sceneGraphWrapper();
    ZTNode* node = m_node ? attachment() : nullptr;
    if (!node || !node->getParent())
        return;
    node->getParent()->reorderChild(node, int(z()));
    if (wrapper)
        wrapper->restackChildren(parentItem());
}

ZTNode* ZTNodeItem::attachment() const
{
    return m_betweenNode && m_node->getParent() == m_betweenNode ? m_betweenNode : m_node;
}

void ZTNodeItem::itemVisibleChanged()
{
    if (m_node)
        m_node->setIsVisible(isVisible());
}
