#include "opacityrelay.h"

#include <QQuickItem>

void OpacityRelay::attach(QQuickItem* item)
{
    if (!item->findChild<OpacityRelay*>(QString(), Qt::FindDirectChildrenOnly))
        new OpacityRelay(item);
}

OpacityRelay::OpacityRelay(QQuickItem* item) : QObject(item), m_item(item)
{
    connect(item, &QQuickItem::parentChanged, this, &OpacityRelay::ancestorsChanged);
    relayAncestors();
}

void OpacityRelay::relayAncestors()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    for (QQuickItem* ancestor = m_item->parentItem(); ancestor; ancestor = ancestor->parentItem()) {
        m_connections << connect(ancestor, &QQuickItem::opacityChanged, m_item, &QQuickItem::opacityChanged)
                      << connect(ancestor, &QQuickItem::parentChanged, this, &OpacityRelay::ancestorsChanged);
    }
}

void OpacityRelay::ancestorsChanged()
{
    relayAncestors();
    // Without a parent item the item is not shown, or is being destroyed: nothing to report.
    if (m_item->parentItem())
        emit m_item->opacityChanged();
}
