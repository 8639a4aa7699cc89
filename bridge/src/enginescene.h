#pragma once

#include "layers_scenes_transitions_nodes/ZTLayer.h"

class QQuickView;
class SceneGraphWrapper;

namespace zanth2d {
class ZTScene;
}

// The one layer the engine runs: its update, once per frame, pumps the Qt events and applies the item
// changes before the director draws; touches and the back and menu keys go on to the wrapper.
class EngineScene : public zanth2d::ZTLayer
{
public:
    // A new scene holding a new layer with z 0 and tag 0.
    static zanth2d::ZTScene* scene();
    // Autoreleased; null, with a log line, when the base layer cannot be set up.
    static EngineScene* node();

    // Called by the wrapper when it takes this scene.
    void setDeclarativeView(QQuickView* view) { m_declarativeView = view; }
    void setSceneGraphWrapper(SceneGraphWrapper* wrapper) { m_sceneGraphWrapper = wrapper; }
    QQuickView* declarativeView() const { return m_declarativeView; }
    SceneGraphWrapper* sceneGraphWrapper() const { return m_sceneGraphWrapper; }

    // The frame pump: QML animations by dt, Qt events, then the wrapper's item changes, then the
    // deferred deletions, so that whatever changed during this frame is drawn in it.
    void update(float dt) override;
    void ztTouchesBegan(zanth2d::ZTSet* touches, zanth2d::ZTEvent* event) override;
    void ztTouchesMoved(zanth2d::ZTSet* touches, zanth2d::ZTEvent* event) override;
    void ztTouchesEnded(zanth2d::ZTSet* touches, zanth2d::ZTEvent* event) override;
    // Handled exactly like an ended touch.
    void ztTouchesCancelled(zanth2d::ZTSet* touches, zanth2d::ZTEvent* event) override;

    virtual bool init();
    void keyBackClicked() override;
    void keyMenuClicked() override;

private:
    EngineScene() = default;

    QQuickView* m_declarativeView = nullptr;
    SceneGraphWrapper* m_sceneGraphWrapper = nullptr;
};
