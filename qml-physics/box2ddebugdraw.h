#pragma once

#include "box2dworld.h"
#include "scenegraphwrapper.h"
#include "ztnodeitem.h"

#include <QPointer>
#include <QTimer>

class DebugDrawNode;
class QPainter;

// The QML DebugDraw: shows a world's shapes, joints and bounding boxes over a faint dark backdrop. The
// picture is taken after each step while the view is visible and drawn by the view's own scene-graph node;
// paint() draws the same picture with a QPainter.
class Box2DDebugDraw : public ZTNodeItem
{
    Q_OBJECT
    Q_PROPERTY(Box2DWorld* world READ world WRITE setWorld)

public:
    explicit Box2DDebugDraw(QQuickItem* parent = nullptr);
    ~Box2DDebugDraw() override;

    Box2DWorld* world() const { return m_world; }
    void setWorld(Box2DWorld* world);

    // Paints the view in item coordinates; nothing without a world.
    void paint(QPainter* painter);
    // The node drawing the picture; null until the view is in the scene graph.
    DebugDrawNode* debugDrawNode() const { return m_content; }

protected:
    void componentComplete() override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private slots:
    void setup();
    void onWorldStepped();
    void itemOpacityChanged();
    void onVisibleChanged();

private:
    bool isShown() const;
    // Takes the world's picture into the node.
    void takePicture();

    QPointer<Box2DWorld> m_world;
    QTimer m_setupTimer;
    // Retained; a child of the item's node.
    DebugDrawNode* m_content = nullptr;
};
