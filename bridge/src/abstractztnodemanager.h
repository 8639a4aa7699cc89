#pragma once

#include <QHash>
#include <QObject>
#include <QPointF>

class QQuickItem;
class SceneGraphWrapper;

namespace zanth2d {
class ZTNode;
}

// Mirrors one kind of QML item into scene-graph nodes: the wrapper asks its managers in order and the
// first that accepts an item creates the item's node. The base gives every manager the same base node,
// the same copy of the item's transform and the same reactions to the item's change signals.
// A manager holds one reference to each node it created until the node's item is destroyed; the rest
// belongs to the scene graph. The wrapper owns its managers (QObject children).
class AbstractZTNodeManager : public QObject
{
    Q_OBJECT

public:
    AbstractZTNodeManager(SceneGraphWrapper& wrapper, QObject* parent);

    virtual bool canCreateNodeFromItem(QObject* item) = 0;
    // Creates the item's node below parentNode, or below the scene layer when it is null, and returns
    // the node the wrapper records for the item; null when nothing could be created.
    virtual zanth2d::ZTNode* createNodeFromItem(QObject* item, zanth2d::ZTNode* parentNode) = 0;
    // False for a manager that mirrors the item's whole subtree itself.
    virtual bool shouldProcessChildren() { return true; }

    // The scene layer, the parent of nodes whose item has no parent node.
    void setSceneGraphScene(zanth2d::ZTNode* scene) { m_sceneGraphScene = scene; }
    zanth2d::ZTNode* sceneGraphScene() const { return m_sceneGraphScene; }
    SceneGraphWrapper& sceneGraphWrapper() const { return m_sceneGraphWrapper; }

    // A plain node (this manager's reference) added below the parent node (or the layer) with the
    // item's z; null, with an error line, when there is neither. Recording it is the caller's job.
    zanth2d::ZTNode* createBaseNodeAndAddToParent(QObject* item, zanth2d::ZTNode* parentNode);
    // The item's origin in its parent item's coordinates, with its rotation, scale and transforms.
    static QPointF originInParent(const QQuickItem* item);
    // Position (the item's origin in its parent, y up), rotation, scale and visibility of the item.
    static void applyItemPropertiesToNode(QObject* item, zanth2d::ZTNode* node);
    // Nodes hang from their top-left corner: positions are always the item's mapped origin.
    static void applyTransformOriginToNode(QObject* item, zanth2d::ZTNode* node);
    // The item's x and y scale: its scale times the scale transforms in its transform list.
    static QPointF calculateScaleData(QObject* item);
    // Degrees: the item's rotation plus its rotation transforms about the z axis.
    static double calculateRotation(QObject* item);
    // The item's opacity times the opacity of every ancestor item.
    static double effectiveOpacity(const QQuickItem* item);
    // Hides the node while the item's effective opacity is 0.01 or less, and shows it again above that
    // when the item is visible.
    static void updateVisibilityFromOpacity(const QQuickItem* item, zanth2d::ZTNode* node, double opacity);
    // The item's "vertexZ" (a number, when not 0) onto the node; above 50 with a warning naming the class.
    static void applyVertexZ(QObject* item, zanth2d::ZTNode* node, const char* className);
    // Sends opacityChanged of the item and of every ancestor (also those of a later parent) to the
    // manager's itemOpacityChanged(item).
    void connectOpacityChangedSignals(QQuickItem* item);

    zanth2d::ZTNode* getNodeFromObject(QObject* item) const { return m_nodes.value(item); }
    bool existsNode(QObject* item) const { return m_nodes.contains(item); }
    void insertNodeWithObjectAsKey(QObject* item, zanth2d::ZTNode* node) { m_nodes.insert(item, node); }
    // The item this manager mirrored into the node, or null.
    QObject* getObjectFromNode(zanth2d::ZTNode* node) const { return m_nodes.key(node); }
    // Called by the wrapper when it gets the scene layer and after every window resize.
    virtual void windowSizeChanged() {}

    // Reactions to one item's changes; the wrapper's connectItemSignals connects them.
    // A position mark for the frame's pass.
    virtual void itemPositionChanged(QQuickItem* item);
    // Moves the node among its siblings by the item's z.
    virtual void itemZChanged(QQuickItem* item);
    // A rotation mark with the item's rotation and its z-axis rotation transforms.
    virtual void itemRotationChanged(QQuickItem* item);
    virtual void itemScaleChanged(QQuickItem* item);
    // Base version: the node's scale from the item's scale and transforms, and a position mark. Drawing
    // managers also resize their content.
    virtual void itemSizeChanged(QQuickItem* item);
    virtual void itemVisibleChanged(QQuickItem* item);
    // Drawing managers follow the effective opacity; the base does nothing.
    virtual void itemOpacityChanged(QQuickItem* item);
    // The node that hangs into the parent item's node: the item's node, or one its manager put above it.
    virtual zanth2d::ZTNode* attachmentNode(QQuickItem* item);
    // Moves the node under the new parent item's node and places it there.
    virtual void itemParentChanged(QQuickItem* item);
    // Releases the item's node, taking it out of its parent node first, and tells the wrapper.
    virtual void itemDestroyed(QObject* item);

private:
    zanth2d::ZTNode* m_sceneGraphScene = nullptr;
    SceneGraphWrapper& m_sceneGraphWrapper;
    QHash<QObject*, zanth2d::ZTNode*> m_nodes;
};
