#pragma once

#include "abstractztnodemanager.h"

#include <QByteArrayList>

// The last manager: gives an invisible grouping node to any item that is, or holds below it, an item of
// a kind that draws, so that the node tree keeps the shape of the item tree. Containers with nothing
// drawable below them get no node, and neither do their children.
class ZTNodeManager : public AbstractZTNodeManager
{
    Q_OBJECT

public:
    ZTNodeManager(SceneGraphWrapper& wrapper, QObject* parent);

    bool canCreateNodeFromItem(QObject* item) override;
    zanth2d::ZTNode* createNodeFromItem(QObject* item, zanth2d::ZTNode* parentNode) override;

    // A container shown again is put in place first, in case it moved while hidden.
    void itemVisibleChanged(QQuickItem* item) override;

private:
    QByteArrayList m_drawableClassNames;
};
