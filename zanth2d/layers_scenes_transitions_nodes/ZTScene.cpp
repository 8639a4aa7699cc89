#include "layers_scenes_transitions_nodes/ZTScene.h"

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasedFactory.h"

namespace zanth2d {

ZTScene::ZTScene()
{
    m_bIsRelativeAnchorPoint = false;
    setAnchorPoint(ZTPoint(0.5f, 0.5f));
}

bool ZTScene::init()
{
    setContentSize(ZTDirector::sharedDirector()->getWinSize());
    return true;
}

ZTScene* ZTScene::node()
{
    return ztMakeAutoreleased<ZTScene>([&](ZTScene* pRet) { return pRet->init(); });
}

} // namespace zanth2d
