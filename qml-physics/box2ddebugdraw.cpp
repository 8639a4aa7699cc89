#include "box2ddebugdraw.h"

#include "box2dworld.h"
#include "debugdraw.h"

#include <QPainter>

Box2DDebugDraw::Box2DDebugDraw(QQuickItem* parent) : QQuickItem(parent)
{
    setFlag(QQuickItem::ItemHasContents, true);
}

void Box2DDebugDraw::setWorld(Box2DWorld* world)
{
    if (world == m_world)
        return;
    if (m_world)
        disconnect(m_world, nullptr, this, nullptr);
    m_world = world;
    if (world)
        connect(world, &Box2DWorld::stepped, this, &Box2DDebugDraw::onWorldStepped);
}

void Box2DDebugDraw::onWorldStepped()
{
    if (isVisible() && opacity() > 0.0)
        update();
}

void Box2DDebugDraw::paint(QPainter* painter)
{
    if (!m_world || !m_world->world())
        return;
    painter->fillRect(QRect(0, 0, int(width()), int(height())), QColor(0, 0, 0, 16));
    DebugDraw(painter, m_world->world()).draw();
}
