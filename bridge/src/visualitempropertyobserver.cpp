#include "visualitempropertyobserver.h"

#include "abstractztnodemanager.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtDebug>

using namespace zanth2d;

namespace {

const char* const kNoParentNode =
    "WARNING: VisualItemPropertyObserver: no parent of ignoreParentNode found or!? a "
    "parent must exist!?";

} // namespace

VisualItemPropertyObserver::VisualItemPropertyObserver(QQuickItem* parent) : QQuickItem(parent) {}

void VisualItemPropertyObserver::componentComplete()
{
    QQuickItem::componentComplete();
    QQmlEngine* engine = qmlEngine(this);
    if (engine)
        m_sceneGraphWrapper = qobject_cast<SceneGraphWrapper*>(
            engine->rootContext()->contextProperty("sceneGraphWrapper").value<QObject*>());
    if (m_sceneGraphWrapper) {
        // Qt reports scale and transform changes only through signals.
        connect(this, &QQuickItem::scaleChanged, this, &VisualItemPropertyObserver::scaleOrTransformChanged);
        connect(this, &QQuickItem::transformOriginChanged, this,
                &VisualItemPropertyObserver::scaleOrTransformChanged);
        SceneGraphWrapper::relayTransformChanges(this);
        emit observingEnabledChanged();
    } else if (m_ignoreParentRotation) {
        followParentRotationInItemSpace(true);
    }
    m_componentCompleted = true;
}

void VisualItemPropertyObserver::setObservingEnabled(bool enabled)
{
    m_observingEnabled = enabled;
    emit observingEnabledChanged();
}

void VisualItemPropertyObserver::itemChange(ItemChange change, const ItemChangeData& value)
{
    if (change == ItemRotationHasChanged && m_sceneGraphWrapper && m_observingEnabled)
        m_sceneGraphWrapper->updateItemRotation(this, value.realValue);
    QQuickItem::itemChange(change, value);
}

void VisualItemPropertyObserver::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (m_componentCompleted && m_sceneGraphWrapper)
        m_sceneGraphWrapper->updateItemPosition(this);
}

void VisualItemPropertyObserver::scaleOrTransformChanged()
{
    if (m_observingEnabled)
        updateNodeScaleFromItemScaleAndTransform();
}

void VisualItemPropertyObserver::updateNodeScaleFromItemScaleAndTransform()
{
    if (!m_sceneGraphWrapper)
        return;
    ZTNode* node = m_sceneGraphWrapper->getNodeFromObject(this);
    if (!node)
        return;
    const QPointF scale = AbstractZTNodeManager::calculateScaleData(this);
    node->setScaleX(float(scale.x()));
    node->setScaleY(float(scale.y()));
    m_sceneGraphWrapper->updateItemPosition(this);
}

void VisualItemPropertyObserver::updateItemPositionAndRotationImmediately()
{
    if (m_sceneGraphWrapper)
        m_sceneGraphWrapper->updateItemPositionAndRotationImmediately(this);
}

void VisualItemPropertyObserver::setIgnoreParentRotation(bool ignore)
{
    if (ignore == m_ignoreParentRotation)
        return;
    m_ignoreParentRotation = ignore;
    if (!m_componentCompleted)
        return;
    if (parentItem()) {
        if (!m_sceneGraphWrapper) {
            followParentRotationInItemSpace(ignore);
        } else {
            ZTNode* node = m_sceneGraphWrapper->getNodeFromObject(this);
            ZTNode* parentNode = m_sceneGraphWrapper->getNodeFromObject(parentItem());
            if (node && parentNode)
                node->setRotationInversionNode(ignore ? parentNode : nullptr);
            else
                qDebug() << kNoParentNode << static_cast<const void*>(node)
                         << static_cast<const void*>(parentNode);
        }
    }
    emit ignoreParentRotationChanged();
}

void VisualItemPropertyObserver::nodeIsInitializedUdateIgnoreParentRotation(ZTNode* currentNode)
{
    if (!m_sceneGraphWrapper)
        return;
    ZTNode* parentNode = parentItem() ? m_sceneGraphWrapper->getNodeFromObject(parentItem()) : nullptr;
    if (currentNode && parentNode)
        currentNode->setRotationInversionNode(m_ignoreParentRotation ? parentNode : nullptr);
    else
        qDebug() << kNoParentNode << static_cast<const void*>(currentNode)
                 << static_cast<const void*>(parentNode);
}

void VisualItemPropertyObserver::parentRotationChanged()
{
    if (parentItem())
        setRotation(-parentItem()->rotation());
}

void VisualItemPropertyObserver::followParentRotationInItemSpace(bool follow)
{
    QQuickItem* parent = parentItem();
    if (!parent)
        return;
    if (follow) {
        connect(parent, &QQuickItem::rotationChanged, this,
                &VisualItemPropertyObserver::parentRotationChanged, Qt::UniqueConnection);
        setRotation(-parent->rotation());
    } else {
        disconnect(parent, &QQuickItem::rotationChanged, this,
                   &VisualItemPropertyObserver::parentRotationChanged);
    }
}
