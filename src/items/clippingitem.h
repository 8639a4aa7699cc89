#pragma once

#include "ztnodeitem.h"

// The generated meta-object code needs the wrapper complete (the item base holds a guarded pointer).
Q_MOC_INCLUDE("scenegraphwrapper.h")

class QTimer;

namespace zanth2d {
class ZTClipNode;
}

// Confines the drawing of its children to its own rectangle through a stencil clip node that sits
// between the parent item's node and its own. Moving, resizing or turning it or any ancestor moves
// the clipping region with it. QML type Clipping.
class ClippingItem : public ZTNodeItem
{
    Q_OBJECT

public:
    explicit ClippingItem(QQuickItem* parent = nullptr);
    ~ClippingItem() override;

private slots:
    void setup();
    void itemSizeChanged() { updateClipping(); }
    void itemPosChanged() { updateClipping(); }
    void itemRotChanged() { updateClipping(); }

private:
    void updateClipping();

    // One reference of our own; the parent node holds another while it is in the tree.
    zanth2d::ZTClipNode* m_clipNode = nullptr;
    QTimer* m_setupTimer;
};
