#include "parallaxitem.h"

#include "qmltyperegistry.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"
#include "tileMap_parallax_nodes/ZTParallaxNode.h"

#include <QTimer>
#include <QtQml>

#include <cmath>

using namespace zanth2d;

namespace {
const QmlTypeRegistrar parallaxRow(19, [] { qmlRegisterType<ParallaxItem>("Zanth", 1, 0, "ParallaxItem"); });
}

ParallaxItem::ParallaxItem(QQuickItem* parent) : ZTNodeItem(parent), m_setupTimer(new QTimer(this))
{
    // Runs once the creation pass, and the bridge's nodes for the children, are done.
    connect(m_setupTimer, &QTimer::timeout, this, &ParallaxItem::setup);
    m_setupTimer->start(0);
}

void ParallaxItem::setRatio(const QPointF& ratio)
{
    if (std::abs(ratio.x() - m_ratio.x()) <= 1e-12 && std::abs(ratio.y() - m_ratio.y()) <= 1e-12)
        return;
    m_ratio = ratio;
    emit ratioChanged();
}

void ParallaxItem::setup()
{
    m_setupTimer->stop();
    createBaseNodeAndAddToParent(nullptr);
    ZTNode* node = getZTNode();
    SceneGraphWrapper* wrapper = sceneGraphWrapper();
    if (!node || !wrapper) {
        qWarning("ParallaxItem: The node of this item was not available. The function "
                 "createBaseNodeAndAddToParent() may not be called before.");
        return;
    }
    ZTParallaxNode* parallax = ZTParallaxNode::node();
    node->addChild(parallax);
    if (node->getParent())
        parallax->setRotationInversionNode(node->getParent());
    const ZTPoint ratio(float(m_ratio.x()), float(m_ratio.y()));
    for (QObject* child : children()) {
        auto* childItem = qobject_cast<QQuickItem*>(child);
        ZTNode* childNode = childItem ? wrapper->getNodeFromObject(childItem) : nullptr;
        if (!childNode)
            continue;
        // A node is in one child list only: it leaves its former parent before it joins the parallax node.
        childNode->retain();
        if (childNode->getParent())
            childNode->getParent()->removeChild(childNode, false);
        childNode->setParent(nullptr);
        parallax->addChild(childNode, unsigned(std::max(0, childNode->getZOrder())), ratio,
                           childNode->getPosition());
        childNode->release();
    }
}
