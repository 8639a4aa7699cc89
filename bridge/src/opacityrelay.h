#pragma once

#include <QList>
#include <QObject>

class QQuickItem;

// Makes an item's opacityChanged() also report the opacity changes of every ancestor, so that whoever
// draws the item can follow its effective opacity. When the item or an ancestor gets a new parent, the
// relays follow the new ancestors and the item reports a change. Lives as a QObject child of the item.
class OpacityRelay : public QObject
{
    Q_OBJECT

public:
    // Once per item; later calls do nothing.
    static void attach(QQuickItem* item);

private:
    explicit OpacityRelay(QQuickItem* item);
    void relayAncestors();
    void ancestorsChanged();

    QQuickItem* m_item;
    QList<QMetaObject::Connection> m_connections;
};
