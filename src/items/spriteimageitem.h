#pragma once

// The observer base hands out its wrapper through a QPointer, which needs the complete type.
#include "scenegraphwrapper.h"
#include "visualitempropertyobserver.h"

// The native root of SpriteSequence, a container of sprite animations that the animated-sprite manager
// mirrors. With the QML property "ignoreWidthAndHeightChangedSignals" true at completion, a size change
// goes straight into the node's scale (x scale = width, y scale = height) and moves nothing.
// QML type SpriteImageItem.
class SpriteImageItem : public VisualItemPropertyObserver
{
    Q_OBJECT

public:
    explicit SpriteImageItem(QQuickItem* parent = nullptr);

    // True when the object is a SpriteItem (a Sprite of the library).
    Q_INVOKABLE bool isObjectASprite(QObject* object) const;
    bool ignoresSize() const { return m_ignoreSize; }

protected:
    void componentComplete() override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    bool m_ignoreSize = false;
};
