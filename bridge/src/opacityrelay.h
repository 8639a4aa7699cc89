#pragma once

#include <QVarLengthArray>

#include <private/qquickitemchangelistener_p.h>

#include <vector>

class QQuickItem;

// Makes an item's opacityChanged() also report the opacity changes of every ancestor, so that whoever
// draws the item can follow its effective opacity. When the item or an ancestor gets a new parent, the
// item follows the new ancestors and reports a change. One relay per item that follows its ancestors or is
// followed, told of opacity and parent changes by Qt Quick's change listeners (no signal connection);
// the relays live in a registry of their own and end with their item. Main thread only.
class OpacityRelay : public QQuickItemChangeListener
{
public:
    // Once per item; later calls do nothing.
    static void attach(QQuickItem* item);

    ~OpacityRelay() override;
    OpacityRelay(const OpacityRelay&) = delete;
    OpacityRelay& operator=(const OpacityRelay&) = delete;

private:
    explicit OpacityRelay(QQuickItem* item);
    // The item's relay, made when make is set; null otherwise.
    static OpacityRelay* of(QQuickItem* item, bool make);
    // Ends the relay when nothing needs it any more.
    static void dropIfIdle(OpacityRelay* relay);

    // Registers with the relays of the item's ancestors as they are now.
    void follow();
    void unfollow();
    // Follows the ancestors as they are now and, unless the item has no parent (it is not shown or is
    // being destroyed), reports a change.
    void ancestorsChanged();

    void itemOpacityChanged(QQuickItem* item) override;
    void itemParentChanged(QQuickItem* item, QQuickItem* parent) override;
    void itemDestroyed(QQuickItem* item) override;

    QQuickItem* m_item;
    // Attached: the item's opacityChanged() reports its ancestors' too.
    bool m_following = false;
    QVarLengthArray<OpacityRelay*, 4> m_ancestors;
    std::vector<OpacityRelay*> m_followers;
};
