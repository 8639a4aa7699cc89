#pragma once

#include <QQuickItem>

// The native root of SpriteBatchContainer: while one exists, the animated-sprite manager hangs its batch
// nodes under its node. QML type SpriteBatchContainerItem.
class SpriteBatchContainerItem : public QQuickItem
{
    Q_OBJECT

public:
    explicit SpriteBatchContainerItem(QQuickItem* parent = nullptr);
};
