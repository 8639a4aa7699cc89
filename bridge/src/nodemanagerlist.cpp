#include "nodemanagerlist.h"

#include "abstractztnodemanager.h"
#include "ztanimatedspritemanager.h"
#include "ztflickablemanager.h"
#include "ztnodemanager.h"
#include "ztparticlemanager.h"
#include "ztrectanglemanager.h"
#include "ztspritemanager.h"
#include "zttextmanager.h"

NodeManagerList::NodeManagerList(SceneGraphWrapper& wrapper, QObject* owner)
{
    // The first manager that accepts an item mirrors it: drawing kinds come before the catch-all.
    m_managers << new ZTFlickableManager(wrapper, owner) << new ZTAnimatedSpriteManager(wrapper, owner)
               << new ZTSpriteManager(wrapper, owner) << new ZTRectangleManager(wrapper, owner)
               << new ZTTextManager(wrapper, owner) << new ZTParticleManager(wrapper, owner)
               << new ZTNodeManager(wrapper, owner);
}

AbstractZTNodeManager* NodeManagerList::managerFor(QObject* object) const
{
    for (AbstractZTNodeManager* manager : m_managers) {
        if (manager->canCreateNodeFromItem(object))
            return manager;
    }
    return nullptr;
}

void NodeManagerList::setSceneGraphScene(zanth2d::ZTNode* scene)
{
    for (AbstractZTNodeManager* manager : m_managers)
        manager->setSceneGraphScene(scene);
}

void NodeManagerList::windowSizeChanged()
{
    for (AbstractZTNodeManager* manager : m_managers)
        manager->windowSizeChanged();
}

void NodeManagerList::removeUnusedSpriteBatchNodes()
{
    for (AbstractZTNodeManager* manager : m_managers) {
        if (auto* sprites = qobject_cast<ZTAnimatedSpriteManager*>(manager))
            sprites->removeUnusedSpriteBatchNodes();
    }
}
