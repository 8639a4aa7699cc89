#pragma once

#include <QList>

class AbstractZTNodeManager;
class QObject;
class SceneGraphWrapper;

namespace zanth2d {
class ZTNode;
}

// The bridge's node managers in the order they are asked: flickable, animated sprite, image, rectangle,
// text, particle system, then the catch-all that groups containers of drawable items. The managers are
// QObject children of their owner and die with it.
class NodeManagerList
{
public:
    // An empty list.
    NodeManagerList() = default;
    // The bridge's managers, made for the wrapper and owned by owner.
    NodeManagerList(SceneGraphWrapper& wrapper, QObject* owner);

    // Asked after the managers already in the list; ownership stays where it is.
    void append(AbstractZTNodeManager* manager) { m_managers.append(manager); }

    // The first manager that accepts the object, or null when none does.
    AbstractZTNodeManager* managerFor(QObject* object) const;
    const QList<AbstractZTNodeManager*>& managers() const { return m_managers; }

    // The layer that nodes without a parent node hang from.
    void setSceneGraphScene(zanth2d::ZTNode* scene);
    void windowSizeChanged();
    // Drops the sprite batch nodes that no animated sprite uses any more.
    void removeUnusedSpriteBatchNodes();

private:
    QList<AbstractZTNodeManager*> m_managers;
};
