#pragma once

#include "abstractztnodemanager.h"

class QObject;
class QQuickItem;

// Mirrors QML rectangles: the base node carries one colour layer (tag 0) that fills the item's box in
// the item's colour at the item's effective opacity. Border, radius, gradient and the colour's own alpha
// are not drawn.
class ZTRectangleManager : public AbstractZTNodeManager
{
    Q_OBJECT

public:
    ZTRectangleManager(SceneGraphWrapper& wrapper, QObject* parent);

    bool canCreateNodeFromItem(QObject* item) override;
    zanth2d::ZTNode* createNodeFromItem(QObject* item, zanth2d::ZTNode* parentNode) override;
    // The layer's opacity from the item's effective opacity; the node is hidden at 0.01 or less.
    void updateOpacityFromItem(QObject* item);

    // The layer takes the new size at once, not in the next frame's pass.
    void itemSizeChanged(QQuickItem* item) override;
    void itemOpacityChanged(QQuickItem* item) override;
    // The colour without its alpha.
    void itemColorChanged(QQuickItem* item);
};
