#pragma once

#include "abstractztnodemanager.h"

class QQuickItem;

// Mirrors QML Flickables: a clipping node between the parent's node and the flickable's base node cuts
// the drawing to the flickable's box while its "clip" is set. The content scrolls by itself: Qt Quick
// moves the flickable's contentItem by the content offset, and that item has a node of its own below the
// base node. The clip node is found again as the base node's parent.
class ZTFlickableManager : public AbstractZTNodeManager
{
    Q_OBJECT

public:
    ZTFlickableManager(SceneGraphWrapper& wrapper, QObject* parent);

    bool canCreateNodeFromItem(QObject* item) override;
    zanth2d::ZTNode* createNodeFromItem(QObject* item, zanth2d::ZTNode* parentNode) override;
    void itemPositionChanged(QQuickItem* item) override;
    void itemSizeChanged(QQuickItem* item) override;
    void itemDestroyed(QObject* item) override;
    // The clip node: it moves with the flickable to a new parent.
    zanth2d::ZTNode* attachmentNode(QQuickItem* item) override;

    // The clip region from the item's box in its parent and its rotation; nothing without a clip node.
    void updateClipping(QQuickItem* item);
    void itemClipChanged(QQuickItem* item);
};
