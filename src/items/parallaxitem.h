#pragma once

#include "ztnodeitem.h"

// The generated meta-object code needs the wrapper complete (the item base holds a guarded pointer).
Q_MOC_INCLUDE("scenegraphwrapper.h")

#include <QPointF>

class QTimer;

// Scrolls the nodes of its children at the rate ratio of its own movement through a parallax node:
// (1, 1) moves a child with the item, (0, 0) keeps it fixed. The ratio is read once, at setup.
// QML type ParallaxItem.
class ParallaxItem : public ZTNodeItem
{
    Q_OBJECT
    Q_PROPERTY(QPointF ratio READ ratio WRITE setRatio NOTIFY ratioChanged)

public:
    explicit ParallaxItem(QQuickItem* parent = nullptr);

    QPointF ratio() const { return m_ratio; }
    void setRatio(const QPointF& ratio);

signals:
    void ratioChanged();

private slots:
    void setup();

private:
    QPointF m_ratio{1.0, 1.0};
    QTimer* m_setupTimer;
};
