#include "clippingitem.h"

#include "qmltyperegistry.h"
#include "scenegraphwrapper.h"

#include "misc_nodes/ZTClipNode.h"

#include <QTimer>
#include <QtQml>

using namespace zanth2d;

namespace {
const QmlTypeRegistrar clippingRow(28, [] { qmlRegisterType<ClippingItem>("Zanth", 1, 0, "Clipping"); });
}

ClippingItem::ClippingItem(QQuickItem* parent) : ZTNodeItem(parent), m_setupTimer(new QTimer(this))
{
    connect(m_setupTimer, &QTimer::timeout, this, &ClippingItem::setup);
    m_setupTimer->start(0);
}

ClippingItem::~ClippingItem()
{
    if (m_clipNode)
        m_clipNode->release();
}

void ClippingItem::setup()
{
    m_setupTimer->stop();
    m_clipNode = new ZTClipNode();
    createBaseNodeAndAddToParent(m_clipNode);
    if (!getZTNode()) {
        qWarning("ClippingItem: The node of this item was not available. The function "
                 "createBaseNodeAndAddToParent() may not be called before.");
        return;
    }
    updateClipping();
    connect(this, &QQuickItem::widthChanged, this, &ClippingItem::itemSizeChanged);
    connect(this, &QQuickItem::heightChanged, this, &ClippingItem::itemSizeChanged);
    connect(this, &QQuickItem::xChanged, this, &ClippingItem::itemPosChanged);
    connect(this, &QQuickItem::yChanged, this, &ClippingItem::itemPosChanged);
    connect(this, &QQuickItem::rotationChanged, this, &ClippingItem::itemRotChanged);
    for (QQuickItem* ancestor = parentItem(); ancestor; ancestor = ancestor->parentItem()) {
        connect(ancestor, &QQuickItem::xChanged, this, &QQuickItem::xChanged);
        connect(ancestor, &QQuickItem::yChanged, this, &QQuickItem::yChanged);
        connect(ancestor, &QQuickItem::widthChanged, this, &QQuickItem::widthChanged);
        connect(ancestor, &QQuickItem::heightChanged, this, &QQuickItem::heightChanged);
    }
}

void ClippingItem::updateClipping()
{
    if (!m_clipNode)
        return;
    m_clipNode->setClipsToBounds(true);
    m_clipNode->setClippingRegion(float(x()), float(y()), float(width()), float(height()));
    m_clipNode->setRotation(float(rotation()));
}
