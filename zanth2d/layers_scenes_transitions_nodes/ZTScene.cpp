#include "layers_scenes_transitions_nodes/ZTScene.h"

#include "ZTDirector.h"

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
    ZTScene* pRet = new ZTScene();
    if (pRet->init()) {
        pRet->autorelease();
        return pRet;
    }
    pRet->release();
    return nullptr;
}

} // namespace zanth2d
