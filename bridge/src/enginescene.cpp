#include "enginescene.h"

#include "scenegraphwrapper.h"

#include "layers_scenes_transitions_nodes/ZTScene.h"

#include <QCoreApplication>
#include <QEvent>
#include <QtDebug>

using namespace zanth2d;

namespace {
const char* const kBaseLayerFailed = "the base class layer of EngineScene could not be loaded";
}

ZTScene* EngineScene::scene()
{
    ZTScene* scene = ZTScene::node();
    if (EngineScene* layer = node())
        scene->addChild(layer, 0, 0);
    return scene;
}

EngineScene* EngineScene::node()
{
    auto* layer = new EngineScene();
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    layer->release();
    return nullptr;
}

bool EngineScene::init()
{
    if (!ZTLayer::init()) {
        qWarning("%s", kBaseLayerFailed);
        return false;
    }
    m_declarativeView = nullptr;
    m_sceneGraphWrapper = nullptr;
    setIsTouchEnabled(true);
    setIsKeypadEnabled(true);
    scheduleUpdate();
    return true;
}

void EngineScene::update(float dt)
{
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->advanceAnimations(dt);
    QCoreApplication::processEvents();
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->updateModifiedItemsForSceneGraph(dt);
    // Objects released during this frame take their nodes with them before the frame is drawn.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void EngineScene::ztTouchesBegan(ZTSet* touches, ZTEvent*)
{
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->touchesBegan(touches);
}

void EngineScene::ztTouchesMoved(ZTSet* touches, ZTEvent*)
{
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->touchesMoved(touches);
}

void EngineScene::ztTouchesEnded(ZTSet* touches, ZTEvent*)
{
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->touchesEnded(touches);
}

void EngineScene::ztTouchesCancelled(ZTSet* touches, ZTEvent*)
{
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->touchesEnded(touches);
}

void EngineScene::keyBackClicked()
{
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->keyBackClicked();
}

void EngineScene::keyMenuClicked()
{
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->keyMenuClicked();
}
