#pragma once

#include <QQuickItem>

// The native root of Sprite, one animation of a SpriteSequence; the animated-sprite manager reads its
// QML properties. QML type SpriteItem.
class SpriteItem : public QQuickItem
{
    Q_OBJECT

public:
    explicit SpriteItem(QQuickItem* parent = nullptr);
};
