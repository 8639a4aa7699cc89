#include "box2ddebugdraw.h"

#include "abstractztnodemanager.h"
#include "box2dworld.h"
#include "debugdraw.h"
#include "debugdrawnode.h"

#include <QPainter>

Box2DDebugDraw::Box2DDebugDraw(QQuickItem* parent) : ZTNodeItem(parent)
{
    setFlag(QQuickItem::ItemHasContents, true);
    // The node is made once the QML creation pass is over, when the parent item has its node.
    m_setupTimer.setSingleShot(true);
    m_setupTimer.setInterval(0);
    connect(&m_setupTimer, &QTimer::timeout, this, &Box2DDebugDraw::setup);
}

Box2DDebugDraw::~Box2DDebugDraw()
{
    if (m_content) {
        m_content->removeFromParentAndCleanup(true);
        m_content->release();
    }
}

void Box2DDebugDraw::componentComplete()
{
    ZTNodeItem::componentComplete();
    // Outside the engine (no scene graph) the view only paints through paint().
    if (sceneGraphWrapper())
        m_setupTimer.start();
}

void Box2DDebugDraw::setup()
{
    if (m_content || !getZTNode())
        return;
    createBaseNodeAndAddToParent();
    m_content = DebugDrawNode::debugDrawNode();
    m_content->retain();
    getZTNode()->addChild(m_content);
    connectOpacityChangedSignals();
    connect(this, &QQuickItem::visibleChanged, this, &Box2DDebugDraw::onVisibleChanged);
    m_content->setViewSize(float(width()), float(height()));
    itemOpacityChanged();
    takePicture();
}

void Box2DDebugDraw::setWorld(Box2DWorld* world)
{
    if (world == m_world)
        return;
    if (m_world)
        disconnect(m_world, nullptr, this, nullptr);
    m_world = world;
    if (world) {
        connect(world, &Box2DWorld::stepped, this, &Box2DDebugDraw::onWorldStepped);
        // The picture of a world that goes must not outlive it.
        connect(world, &QObject::destroyed, this, &Box2DDebugDraw::takePicture, Qt::QueuedConnection);
    }
    takePicture();
}

bool Box2DDebugDraw::isShown() const
{
    return isVisible() && opacity() > 0.0;
}

void Box2DDebugDraw::onWorldStepped()
{
    if (isShown())
        takePicture();
}

void Box2DDebugDraw::itemOpacityChanged()
{
    if (!m_content)
        return;
    m_content->setDrawOpacity(float(AbstractZTNodeManager::effectiveOpacity(this)));
    // Steps taken while the view was transparent were not pictured.
    if (isShown())
        takePicture();
}

void Box2DDebugDraw::onVisibleChanged()
{
    if (isShown())
        takePicture();
}

void Box2DDebugDraw::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    ZTNodeItem::geometryChange(newGeometry, oldGeometry);
    if (m_content)
        m_content->setViewSize(float(newGeometry.width()), float(newGeometry.height()));
}

void Box2DDebugDraw::takePicture()
{
    if (!m_content)
        return;
    b2World* world = m_world ? m_world->world() : nullptr;
    m_content->setHasWorld(world != nullptr);
    m_content->setShapes(DebugDrawRecorder::record(world));
}

void Box2DDebugDraw::paint(QPainter* painter)
{
    if (!m_world || !m_world->world())
        return;
    painter->fillRect(QRect(0, 0, int(width()), int(height())), QColor(0, 0, 0, 16));
    DebugDraw(painter, m_world->world()).draw();
}
