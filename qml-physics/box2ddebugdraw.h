#pragma once

#include "box2dworld.h"

#include <QPointer>
#include <QQuickItem>

class QPainter;

// The QML DebugDraw: shows a world's shapes, joints and bounding boxes over a faint dark backdrop, redrawn
// after each step while it is visible.
class Box2DDebugDraw : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(Box2DWorld* world READ world WRITE setWorld)

public:
    explicit Box2DDebugDraw(QQuickItem* parent = nullptr);

    Box2DWorld* world() const { return m_world; }
    void setWorld(Box2DWorld* world);

    // Paints the view in item coordinates; nothing without a world.
    void paint(QPainter* painter);

private slots:
    void onWorldStepped();

private:
    QPointer<Box2DWorld> m_world;
};
