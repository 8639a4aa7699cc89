#pragma once

#include <QPointer>
#include <QQuickItem>

class SceneGraphWrapper;

namespace zanth2d {
class ZTNode;
}

// A QML item that reports its own geometry: its moves, turns and scale changes are marked in the
// bridge's per-frame batch without a node manager's signal connections. Its node may also be kept
// from turning with its parent (ignoreParentRotation). QML type VisualItemPropertyObserver.
class VisualItemPropertyObserver : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(
        bool observingEnabled READ observingEnabled WRITE setObservingEnabled NOTIFY observingEnabledChanged)
    Q_PROPERTY(bool ignoreParentRotation READ ignoreParentRotation WRITE setIgnoreParentRotation NOTIFY
                   ignoreParentRotationChanged)

public:
    explicit VisualItemPropertyObserver(QQuickItem* parent = nullptr);

    bool observingEnabled() const { return m_observingEnabled; }
    // While off, rotation and scale changes no longer reach the node; moves and resizes still do.
    // Emits observingEnabledChanged() even when the value stays.
    void setObservingEnabled(bool enabled);
    bool ignoreParentRotation() const { return m_ignoreParentRotation; }
    // The node cancels its parent node's rotation; without the bridge the item counter-rotates instead.
    void setIgnoreParentRotation(bool ignore);
    // Null until completion finds the context property "sceneGraphWrapper", and again once it is gone.
    SceneGraphWrapper* sceneGraphWrapper() const { return m_sceneGraphWrapper; }
    // The node's scale from the item's scale and scale transforms, at once, and a position mark.
    void updateNodeScaleFromItemScaleAndTransform();

public slots:
    void parentRotationChanged();
    void updateItemPositionAndRotationImmediately();
    // Called when the item's node has just been created.
    void nodeIsInitializedUdateIgnoreParentRotation(zanth2d::ZTNode* currentNode);

signals:
    void observingEnabledChanged();
    void ignoreParentRotationChanged();

protected:
    void componentComplete() override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    bool isComponentCompleted() const { return m_componentCompleted; }

private:
    void followParentRotationInItemSpace(bool follow);
    void scaleOrTransformChanged();

    QPointer<SceneGraphWrapper> m_sceneGraphWrapper;
    bool m_componentCompleted = false;
    bool m_observingEnabled = true;
    bool m_ignoreParentRotation = false;
};
