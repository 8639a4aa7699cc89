#pragma once

#include "applicationlifecycle.h"
#include "inputforwarder.h"
#include "itemtreemirror.h"
#include "modificationbatch.h"
#include "nodemanagerlist.h"

#include "cocoa/ZTGeometry.h"
#include "platform/linux/ZTGLViewEventSink.h"

#include <QByteArrayList>
#include <QObject>
#include <QRectF>
#include <QString>

#include <memory>

class AbstractZTNodeManager;
class EngineScene;
class GameTimeAnimationDriver;
class QQuickItem;
class QQuickView;
class QUrl;
class ZanthScheduler;

namespace zanth2d {
class ZTNode;
class ZTSet;
} // namespace zanth2d

// The bridge between the QML item tree, which Qt never draws, and the scene graph, which is drawn.
// Every QML item that shows something is mirrored into a node by the first of the node managers that
// accepts it; the item's changes are marked here and applied to its node once per frame; mouse and
// keys reach QML as Qt events sent to the unshown view.
// Ownership meets here: items belong to the QML engine, nodes to the scene graph (reference counts);
// the wrapper maps one to the other and owns only its managers, the fixed-step scheduler and the
// animation driver. Main thread only.
// The wrapper is the front that QML, the managers and the application talk to; the work is done by its
// parts: the node managers (NodeManagerList), the item tree's mirror (ItemTreeMirror) and its per-frame
// batch (ModificationBatch), the input (InputForwarder) and the application's life cycle
// (ApplicationLifeCycle).
class SceneGraphWrapper : public QObject, public zanth2d::ZTGLViewEventSink
{
    Q_OBJECT

public:
    // The view hosts the QML scene and is not owned; its root context must already hold "system".
    // Publishes the fixed-step scheduler as "zanthScheduler" and makes QML animations run in game time.
    SceneGraphWrapper(QQuickView& view, QObject* parent);
    ~SceneGraphWrapper() override;

    // The layer every root node hangs from: it learns the view and this wrapper, and sits at
    // (0, window height) so that QML scene coordinates are window coordinates from the top left.
    void setTargetScene(EngineScene* scene);
    // Moves the layer to the new window height; call after every resize.
    void windowSizeChanged();
    zanth2d::ZTNode* getRootSceneGraphNode() const;
    // The "system" context object; null when the root context had none.
    QObject* getSystem() const { return m_lifeCycle.system(); }
    QQuickView& declarativeView() const { return m_declarativeView; }
    ZanthScheduler* scheduler() const { return m_scheduler; }

    // Until this is set, createSceneGraphTreeFromQmlTree ignores every call.
    void setInitialized(bool initialized) { m_mirror.setInitialized(initialized); }
    bool isInitialized() const { return m_mirror.isInitialized(); }

    void applicationDidFinishLaunching();
    void applicationWillEnterForeground();
    void applicationDidEnterBackground();

    // Asks the root game window's QML reshape(width, height); false before the application has
    // started or without a game window.
    bool reshape(const zanth2d::ZTSize& size);

    // Hangs the node a manager made for the item (attachment: the one that goes into the parent's node)
    // under the node of the item's new parent item, mirroring that parent first when it has no node.
    void reattachNode(QQuickItem* item, zanth2d::ZTNode* attachment);
    // Stacks the nodes of the item's children in its node as QML stacks the children (ItemTreeMirror).
    void restackChildren(QQuickItem* item);
    // Hands the item's changes to the manager's reactions (those of AbstractZTNodeManager): what Qt Quick
    // reports to change listeners (moves, resizes, turns, visibility, new parents, the item's end) through
    // the batch, scale and z by signal, and the end of an object that is not an item by its destroyed().
    void connectItemSignals(QObject* item, AbstractZTNodeManager* manager);
    // Transform changes (Scale, Rotation, Translate in the item's transform list) arrive as the item's own
    // scaleChanged(), and rotation transforms also as rotationChanged(): Qt has no signal for them.
    static void relayTransformChanges(QQuickItem* item);
    // Whether the object, or a QML item below it, inherits one of the class names.
    bool existsChildInheritingClassnameList(const QByteArrayList& classNames, QObject* object) const
    {
        return ItemTreeMirror::existsChildInheritingClassnameList(classNames, object);
    }
    // The object whose node a node of this object hangs from: its parent item (positions are relative to
    // it), or its QObject parent when it has no parent item.
    static QObject* parentForNode(QObject* object) { return ItemTreeMirror::parentForNode(object); }
    // True for an object without such a parent, or with only the view's own root item as one.
    bool isTopLevel(QObject* object) const { return m_mirror.isTopLevel(object); }
    // The items below the object: its QObject children that are items, in child order, then the items
    // shown inside it that belong elsewhere (a Repeater's delegates, for one).
    static QObjectList childItemsOf(QObject* object) { return ItemTreeMirror::childItemsOf(object); }
    static bool inherits(const char* className, QObject* object);
    // Every item below parent (at any depth, in QObject::findChildren order) that inherits type; only the
    // text type "QQuickText" is looked for, any other type gives an empty list.
    static QObjectList getAllChildrenInheritingType(const QString& type, QObject* parent);
    static QPointF ZTPointConvert(const zanth2d::ZTPoint& point);
    static QSizeF ZTSizeConvert(const zanth2d::ZTSize& size);
    static QRectF ZTRectConvert(const zanth2d::ZTRect& rect);
    // Null for an object that is not a QML item.
    static QQuickItem* castItem(QObject* object);
    // The item's y scale in the window (its scene transform's m22), or |m12| when m22 is not positive
    // (an item turned by 90 or 270 degrees); used to render textures and text at the window's resolution.
    static qreal getSceneContentScaleFactorForItem(QQuickItem* item);
    // The file name the scene graph's loaders take for a URL: without scheme and without ":/".
    static QString getPlatformUrlString(const QUrl& url);
    using PlatformUrlRule = QString (*)(const QUrl& url);
    // Set once by the engine's file utilities, whose naming rule getPlatformUrlString applies.
    static void setPlatformUrlRule(PlatformUrlRule rule);

    // Touches in window points (origin top left), as the touch dispatcher delivers them to the layer;
    // they become Qt touch events and, for the first touch down, mouse events of the view.
    void touchesBegan(zanth2d::ZTSet* touches);
    void touchesMoved(zanth2d::ZTSet* touches);
    // Also takes cancelled touches.
    void touchesEnded(zanth2d::ZTSet* touches);
    void keyPressed(int key, int modifiers) override;
    void keyReleased(int key, int modifiers) override;
    // Back and menu give a key press each and no release.
    void keyBackClicked();
    void keyMenuClicked();
    // Wheel input is dropped.
    void scrollWheel(int x, int y, int delta, bool horizontal) override;
    void reshape(float width, float height) override;

    // QML animations advance by the frame's dt (seconds); called by the frame pump before Qt's events.
    void advanceAnimations(float dt);
    // The once-per-frame pass: game-window settings, fixed-step updates, then applyItemChanges().
    virtual void updateModifiedItemsForSceneGraph(float dt);
    // Polishes the positioners and puts the marked item changes onto their nodes; no game time passes.
    void applyItemChanges() override;
    // Brings the cached transforms of the node's whole subtree up to date.
    static void callTransformForAllChildrenRecursively(zanth2d::ZTNode* node)
    {
        ModificationBatch::callTransformForAllChildrenRecursively(node);
    }

public slots:
    // Mirrors the object and the items below it; items that already have a node keep it.
    void createSceneGraphTreeFromQmlTree(QObject* object);
    // Forgets the object and its pending changes; its node is its manager's or its own business.
    void itemDestroyed(QObject* object);
    void updateItemPosition(QQuickItem* sendingItem);
    void updateItemRotation(QQuickItem* sendingItem, qreal rotation);
    void updateItemScaleX(QQuickItem* sendingItem, qreal scaleX);
    // Applies position and rotation now, for callers that read world positions in the same frame.
    void updateItemPositionAndRotationImmediately(QQuickItem* item);
    zanth2d::ZTNode* getNodeFromObject(QQuickItem* item) const;
    // For QML: whether the item has been mirrored into a node.
    bool hasSceneGraphNode(QObject* item) const { return m_mirror.nodeOf(item) != nullptr; }
    // Keeps a node already recorded for the item.
    void setNodeFromObject(QQuickItem* item, zanth2d::ZTNode* node);
    void setZanthContentScaleFactor(qreal scaleFactor);
    // Drops the sprite batch nodes that no animated sprite uses any more.
    void removeUnusedSpriteBatchNodes();
    void setAppStarted(bool started);
    bool getAppStarted() const override;

signals:
    void applicationDidFinishLaunchingSignal();
    void applicationPaused();
    void applicationResumed();

private:
    // The parts, in the order they are made: the managers first, which the mirror asks, then the
    // mirror, which the batch asks for nodes.
    NodeManagerList m_managers;
    ItemTreeMirror m_mirror;
    ModificationBatch m_batch;
    InputForwarder m_input;
    ApplicationLifeCycle m_lifeCycle;
    EngineScene* m_targetScene = nullptr;
    QQuickView& m_declarativeView;
    ZanthScheduler* m_scheduler = nullptr;
    std::unique_ptr<GameTimeAnimationDriver> m_animationDriver;

    static PlatformUrlRule s_platformUrlRule;
};
