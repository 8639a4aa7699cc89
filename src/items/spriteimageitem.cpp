#include "spriteimageitem.h"

#include "qmltyperegistry.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar spriteImageItemRow(14, [] {
    qmlRegisterType<SpriteImageItem>("Zanth", 1, 0, "SpriteImageItem");
});
} // namespace

SpriteImageItem::SpriteImageItem(QQuickItem* parent) : VisualItemPropertyObserver(parent) {}

bool SpriteImageItem::isObjectASprite(QObject* object) const
{
    return object && object->qt_metacast("SpriteItem") != nullptr;
}

void SpriteImageItem::componentComplete()
{
    VisualItemPropertyObserver::componentComplete();
    if (property("ignoreWidthAndHeightChangedSignals").toBool())
        m_ignoreSize = true;
}

void SpriteImageItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    if (!m_ignoreSize) {
        VisualItemPropertyObserver::geometryChange(newGeometry, oldGeometry);
        return;
    }
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (!isComponentCompleted() || !sceneGraphWrapper())
        return;
    if (zanth2d::ZTNode* node = sceneGraphWrapper()->getNodeFromObject(this)) {
        node->setScaleX(float(newGeometry.width()));
        node->setScaleY(float(newGeometry.height()));
    }
}
