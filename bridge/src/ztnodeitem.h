#pragma once

#include "visualitempropertyobserver.h"

#include <QPointer>

namespace zanth2d {
class ZTNode;
}

// A QML item that owns one scene-graph node, which its subclasses fill (particles, clipping, polygons,
// text input, the property editor's base). The node is made at completion and recorded in the bridge,
// so the bridge hangs the nodes of the item's children under it; a subclass attaches it under its
// parent item's node with createBaseNodeAndAddToParent once it builds its content. The item holds one
// reference to the node and takes the node out of the scene graph when it is destroyed. QML type ZTItem.
class ZTNodeItem : public VisualItemPropertyObserver
{
    Q_OBJECT

public:
    explicit ZTNodeItem(QQuickItem* parent = nullptr);
    ~ZTNodeItem() override;

    // Adds the node under the parent item's node, or under the scene layer when the parent has none;
    // a between node (may be null) goes between the parent's node and this item's node. Call once.
    void createBaseNodeAndAddToParent(zanth2d::ZTNode* betweenNode = nullptr);
    // Position, rotation, scale and visibility of the item onto the node.
    void applyItemPropertiesToNode();
    // Null before completion.
    zanth2d::ZTNode* getZTNode() const { return m_node; }
    // Connects opacityChanged of the item and of every ancestor (also those of a later parent) to the
    // subclass's itemOpacityChanged().
    void connectOpacityChangedSignals();

public slots:
    void itemVisibleChanged();
    // Once attached, the node (with its between node) follows the item to a new parent item.
    void itemParentChanged();
    // Once attached, the node (with its between node) is stacked among its siblings' nodes by the new z.
    void itemZChanged();

protected:
    void componentComplete() override;
    // The "system" and "rootGameWindow" context objects as they were at completion; null when missing.
    QObject* system() const { return m_system; }
    QObject* gameWindowItem() const { return m_gameWindowItem; }

private:
    // The node that hangs in the parent's node: the between node while the item's node hangs from it.
    zanth2d::ZTNode* attachment() const;

    zanth2d::ZTNode* m_rootNode = nullptr;
    QPointer<QObject> m_system;
    QPointer<QObject> m_gameWindowItem;
    zanth2d::ZTNode* m_node = nullptr;
    // Not retained: while the item's node hangs from it, its parent node (or the bridge, while the item
    // has no parent item) keeps it.
    zanth2d::ZTNode* m_betweenNode = nullptr;
    // Set by createBaseNodeAndAddToParent: from then on the node follows the item's parent item.
    bool m_attached = false;
};
