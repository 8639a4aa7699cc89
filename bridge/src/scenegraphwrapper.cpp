#include "scenegraphwrapper.h"

#include "abstractztnodemanager.h"
#include "enginescene.h"
#include "gametimeanimationdriver.h"
#include "visualitempropertyobserver.h"
#include "zanthscheduler.h"
#include "ztanimatedspritemanager.h"
#include "ztflickablemanager.h"
#include "ztnodemanager.h"
#include "ztparticlemanager.h"
#include "ztrectanglemanager.h"
#include "ztspritemanager.h"
#include "zttextmanager.h"

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTSet.h"
#include "platform/linux/ZTEGLView.h"
#include "support/ZTGLStack.h"
#include "touch_dispatcher/ZTTouch.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QStyleHints>
#include <QUrl>
#include <QtDebug>
#include <QtGui/qtestsupport_gui.h>

using namespace zanth2d;

SceneGraphWrapper::PlatformUrlRule SceneGraphWrapper::s_platformUrlRule = nullptr;

namespace {

// Items of these kinds place their children only when polished (Column, ListView, layouts, ...).
const char* const kItemsLaidOutInPolish[] = {"QQuickBasePositioner", "QQuickItemView", "QQuickPathView",
                                             "QQuickTableView", "QQuickLayout"};

// Touch events go through Qt's own touch handling, which keeps track of the points that are down.
class TouchSequence : public QTest::QTouchEventSequence
{
public:
    TouchSequence(QWindow* window, QPointingDevice* device) : QTouchEventSequence(window, device, false) {}
};

QPointingDevice* touchScreen()
{
    static QPointingDevice* device = QTest::createTouchDevice();
    return device;
}

int touchId(const ZTTouch* touch)
{
    return int(touch->m_uID);
}

QPoint roundedPoint(const ZTPoint& location)
{
    return QPoint(qRound(location.x), qRound(location.y));
}

} // namespace

SceneGraphWrapper::SceneGraphWrapper(QQuickView& view, QObject* parent)
    : QObject(parent), m_declarativeView(view), m_animationDriver(std::make_unique<GameTimeAnimationDriver>())
{
    // The first manager that accepts an item mirrors it: drawing kinds come before the catch-all, in the
    // order flickable, animated sprite, image, rectangle, text, particle system.
    m_managers << new ZTFlickableManager(*this, this) << new ZTAnimatedSpriteManager(*this, this)
               << new ZTSpriteManager(*this, this) << new ZTRectangleManager(*this, this)
               << new ZTTextManager(*this, this) << new ZTParticleManager(*this, this)
               << new ZTNodeManager(*this, this);

    QQmlContext* context = view.rootContext();
    m_scheduler = new ZanthScheduler(this);
    context->setContextProperty(QStringLiteral("zanthScheduler"), m_scheduler);
    m_system = context->contextProperty(QStringLiteral("system")).value<QObject*>();
    if (!m_system)
        qWarning("SceneGraphWrapper: WARNING: System Context Property was not found!");

    // The bridge sends its own mouse events for the primary touch: Qt must not make a second set.
    QCoreApplication::setAttribute(Qt::AA_SynthesizeMouseForUnhandledTouchEvents, false);
    m_animationDriver->install();
    m_eventClock.start();
}

SceneGraphWrapper::~SceneGraphWrapper() = default;

void SceneGraphWrapper::setTargetScene(EngineScene* scene)
{
    m_targetScene = scene;
    scene->setDeclarativeView(&m_declarativeView);
    scene->setSceneGraphWrapper(this);
    for (AbstractZTNodeManager* manager : std::as_const(m_managers))
        manager->setSceneGraphScene(scene);
    windowSizeChanged();
}

void SceneGraphWrapper::windowSizeChanged()
{
    if (m_targetScene)
        m_targetScene->setPosition(ZTPoint(0, ZTDirector::sharedDirector()->getWinSize().height));
    for (AbstractZTNodeManager* manager : std::as_const(m_managers))
        manager->windowSizeChanged();
}

void SceneGraphWrapper::removeUnusedSpriteBatchNodes()
{
    for (AbstractZTNodeManager* manager : std::as_const(m_managers)) {
        if (auto* sprites = qobject_cast<ZTAnimatedSpriteManager*>(manager))
            sprites->removeUnusedSpriteBatchNodes();
    }
}

ZTNode* SceneGraphWrapper::getRootSceneGraphNode() const
{
    return m_targetScene;
}

void SceneGraphWrapper::applicationDidFinishLaunching()
{
    emit applicationDidFinishLaunchingSignal();
}

void SceneGraphWrapper::applicationWillEnterForeground()
{
    emit applicationResumed();
}

void SceneGraphWrapper::applicationDidEnterBackground()
{
    emit applicationPaused();
}

QObject* SceneGraphWrapper::gameWindowItem()
{
    if (!m_gameWindowItem)
        m_gameWindowItem = m_declarativeView.rootContext()
                               ->contextProperty(QStringLiteral("rootGameWindow"))
                               .value<QObject*>();
    return m_gameWindowItem;
}

bool SceneGraphWrapper::reshape(const ZTSize& size)
{
    if (!m_appStarted)
        return false;
    QObject* gameWindow = gameWindowItem();
    if (!gameWindow)
        return false;
    QVariant result;
    QMetaObject::invokeMethod(gameWindow, "reshape", Q_RETURN_ARG(QVariant, result),
                              Q_ARG(QVariant, QVariant(float(size.width))),
                              Q_ARG(QVariant, QVariant(float(size.height))));
    return result.toBool();
}

void SceneGraphWrapper::reshape(float width, float height)
{
    reshape(ZTSize(width, height));
}

void SceneGraphWrapper::connectItemSignals(QObject* object, AbstractZTNodeManager* manager)
{
    connect(object, &QObject::destroyed, manager,
            [manager](QObject* dying) { manager->itemDestroyed(dying); });
    QQuickItem* item = castItem(object);
    if (!item)
        return;
    // An observer item marks its moves and turns itself.
    if (!qobject_cast<VisualItemPropertyObserver*>(item)) {
        const auto moved = [manager, item] { manager->itemPositionChanged(item); };
        connect(item, &QQuickItem::xChanged, manager, moved);
        connect(item, &QQuickItem::yChanged, manager, moved);
        connect(item, &QQuickItem::transformOriginChanged, manager, moved);
        connect(item, &QQuickItem::rotationChanged, manager,
                [manager, item] { manager->itemRotationChanged(item); });
        const auto resized = [manager, item] { manager->itemSizeChanged(item); };
        connect(item, &QQuickItem::widthChanged, manager, resized);
        connect(item, &QQuickItem::heightChanged, manager, resized);
    }
    connect(item, &QQuickItem::scaleChanged, manager, [manager, item] { manager->itemScaleChanged(item); });
    connect(item, &QQuickItem::visibleChanged, manager,
            [manager, item] { manager->itemVisibleChanged(item); });
    connect(item, &QQuickItem::zChanged, manager, [manager, item] { manager->itemZChanged(item); });
    relayTransformChanges(item);
}

void SceneGraphWrapper::relayTransformChanges(QQuickItem* item)
{
    static const int scaleChanged = QQuickItem::staticMetaObject.indexOfSignal("scaleChanged()");
    static const int rotationChanged = QQuickItem::staticMetaObject.indexOfSignal("rotationChanged()");
    QQmlListProperty<QQuickTransform> transforms = item->transform();
    const qsizetype count = transforms.count(&transforms);
    for (qsizetype i = 0; i < count; ++i) {
        QQuickTransform* transform = transforms.at(&transforms, i);
        const int relayed = transform->inherits("QQuickRotation") ? rotationChanged : scaleChanged;
        const QMetaObject* metaObject = transform->metaObject();
        for (int p = QQuickTransform::staticMetaObject.propertyCount(); p < metaObject->propertyCount();
             ++p) {
            const QMetaProperty property = metaObject->property(p);
            if (property.hasNotifySignal())
                QMetaObject::connect(transform, property.notifySignalIndex(), item, relayed,
                                     Qt::UniqueConnection);
        }
    }
}

bool SceneGraphWrapper::existsChildInheritingClassnameList(const QByteArrayList& classNames,
                                                           QObject* object) const
{
    for (const QByteArray& className : classNames) {
        if (inherits(className.constData(), object))
            return true;
    }
    const QObjectList children = childItemsOf(object);
    for (QObject* child : children) {
        if (existsChildInheritingClassnameList(classNames, child))
            return true;
    }
    return false;
}

QObjectList SceneGraphWrapper::childItemsOf(QObject* object)
{
    QObjectList items;
    const QObjectList& children = object->children();
    for (QObject* child : children) {
        if (child->inherits("QQuickItem"))
            items.append(child);
    }
    if (const QQuickItem* item = castItem(object)) {
        const QList<QQuickItem*> shown = item->childItems();
        for (QQuickItem* child : shown) {
            if (child->parent() != object)
                items.append(child);
        }
    }
    return items;
}

QObject* SceneGraphWrapper::parentForNode(QObject* object)
{
    const QQuickItem* item = castItem(object);
    if (item && item->parentItem())
        return item->parentItem();
    return object->parent();
}

bool SceneGraphWrapper::inherits(const char* className, QObject* object)
{
    return object && object->inherits(className);
}

QQuickItem* SceneGraphWrapper::castItem(QObject* object)
{
    return qobject_cast<QQuickItem*>(object);
}

bool SceneGraphWrapper::isTopLevel(QObject* object) const
{
    QObject* parent = parentForNode(object);
    return !parent || parent == m_declarativeView.contentItem() || parent == &m_declarativeView;
}

qreal SceneGraphWrapper::getSceneContentScaleFactorForItem(QQuickItem* item)
{
    bool invertible = false;
    const QTransform transform = item->itemTransform(nullptr, &invertible);
    return transform.m22() > 0 ? transform.m22() : qAbs(transform.m12());
}

QString SceneGraphWrapper::getPlatformUrlString(const QUrl& url)
{
    ZTAssert(s_platformUrlRule, "the engine's file utilities set the platform URL rule");
    return s_platformUrlRule(url);
}

void SceneGraphWrapper::setPlatformUrlRule(PlatformUrlRule rule)
{
    s_platformUrlRule = rule;
}

void SceneGraphWrapper::createSceneGraphTreeFromQmlTree(QObject* object)
{
    if (!m_initialized || !object)
        return;
    AbstractZTNodeManager* manager = nullptr;
    for (AbstractZTNodeManager* candidate : std::as_const(m_managers)) {
        if (candidate->canCreateNodeFromItem(object)) {
            manager = candidate;
            break;
        }
    }
    QQuickItem* item = castItem(object);
    if (!manager || !item)
        return;

    if (!m_itemNodes.value(item)) {
        ZTNode* parentNode = nullptr;
        if (!isTopLevel(object)) {
            QObject* parent = parentForNode(object);
            parentNode = m_itemNodes.value(parent);
            if (!parentNode)
                qDebug()
                    << "WARNING: no parentNode was found for this object, although the QML parent exists:"
                    << static_cast<const void*>(object) << ", parentItem:" << static_cast<const void*>(parent)
                    << " - this is probably an issue that the paren item is not supported by the scene graph "
                       "yet! The result is the node is added directly to the layer, and not to the parent "
                       "node "
                       "(which does not exist).";
        }
        if (ZTNode* node = manager->createNodeFromItem(object, parentNode))
            m_itemNodes.insert(item, node);
    }
    if (m_itemNodes.value(item)) {
        for (const char* className : kItemsLaidOutInPolish) {
            if (item->inherits(className))
                m_itemsToPolish.insert(item);
        }
    }

    if (manager->shouldProcessChildren()) {
        const QObjectList children = childItemsOf(object);
        for (QObject* child : children)
            createSceneGraphTreeFromQmlTree(child);
    }
}

void SceneGraphWrapper::itemDestroyed(QObject* object)
{
    m_itemNodes.remove(object);
    m_modifiedItems.remove(object);
    m_itemsToPolish.remove(object);
}

ZTNode* SceneGraphWrapper::getNodeFromObject(QQuickItem* item) const
{
    return m_itemNodes.value(item);
}

void SceneGraphWrapper::setNodeFromObject(QQuickItem* item, ZTNode* node)
{
    if (!m_itemNodes.value(item))
        m_itemNodes.insert(item, node);
}

void SceneGraphWrapper::setZanthContentScaleFactor(qreal scaleFactor)
{
    ZTDirector::sharedDirector()->setZanthContentScaleFactor(float(scaleFactor));
}

void SceneGraphWrapper::setAppStarted(bool started)
{
    m_appStarted = started;
}

bool SceneGraphWrapper::getAppStarted() const
{
    return m_appStarted;
}

void SceneGraphWrapper::updateItemPosition(QQuickItem* sendingItem)
{
    ZTNode* node = m_itemNodes.value(sendingItem);
    if (!node)
        return;
    auto record = m_modifiedItems.find(sendingItem);
    if (record != m_modifiedItems.end())
        record->flags |= ModificationData::ModificationPosition;
    else
        m_modifiedItems.insert(
            sendingItem,
            ModificationData{sendingItem, ModificationData::ModificationPosition, 0, 0, 0, node});
}

void SceneGraphWrapper::updateItemRotation(QQuickItem* sendingItem, qreal rotation)
{
    ZTNode* node = m_itemNodes.value(sendingItem);
    if (!node)
        return;
    auto record = m_modifiedItems.find(sendingItem);
    if (record != m_modifiedItems.end()) {
        record->rotation = rotation;
        record->flags |= ModificationData::ModificationRotation;
    } else {
        m_modifiedItems.insert(
            sendingItem,
            ModificationData{sendingItem, ModificationData::ModificationRotation, rotation, 0, 0, node});
    }
}

void SceneGraphWrapper::updateItemScaleX(QQuickItem* sendingItem, qreal scaleX)
{
    ZTNode* node = m_itemNodes.value(sendingItem);
    if (!node)
        return;
    auto record = m_modifiedItems.find(sendingItem);
    if (record == m_modifiedItems.end())
        record = m_modifiedItems.insert(sendingItem, ModificationData{sendingItem, 0, 0, 0, 0, node});
    record->scaleX = scaleX;
    if (!(record->flags & ModificationData::ModificationScale)) {
        record->scaleY = node->getScaleY();
        record->flags |= ModificationData::ModificationScale;
    }
}

void SceneGraphWrapper::updateItemPositionAndRotationImmediately(QQuickItem* item)
{
    ZTNode* node = m_itemNodes.value(item);
    if (!node) {
        qWarning()
            << "WARNING: SceneGraphWrapper: the item calling updateItemPositionAndRotationImmediately() does "
               "not exist in the nodes list:"
            << item;
        return;
    }
    const QPointF position = AbstractZTNodeManager::originInParent(item);
    node->setRotation(float(item->rotation()));
    node->setPosition(ZTPoint(float(position.x()), -float(position.y())));
    ZTGLStack::pushMatrix();
    node->transform();
    ZTGLStack::popMatrix();
    callTransformForAllChildrenRecursively(node);
}

void SceneGraphWrapper::callTransformForAllChildrenRecursively(ZTNode* node)
{
    ZTArray* children = node->getChildren();
    if (!children)
        return;
    for (unsigned int i = 0; i < children->count(); ++i) {
        auto* child = static_cast<ZTNode*>(children->objectAtIndex(i));
        if (!child)
            break;
        ZTGLStack::pushMatrix();
        child->transform();
        ZTGLStack::popMatrix();
        callTransformForAllChildrenRecursively(child);
    }
}

void SceneGraphWrapper::advanceAnimations(float dt)
{
    m_animationDriver->advanceBy(dt);
}

void SceneGraphWrapper::updateModifiedItemsForSceneGraph(float dt)
{
    applyGameWindowSettings();
    if (m_scheduler && m_system && !m_system->property("gamePaused").toBool())
        m_scheduler->scheduleUpdates(double(dt));
    applyItemChanges();
}

void SceneGraphWrapper::applyItemChanges()
{
    polishItems();
    applyModifications();
}

void SceneGraphWrapper::applyGameWindowSettings()
{
    if (!m_gameWindowItem) {
        if (!gameWindowItem())
            qWarning("SceneGraphWrapper: WARNING: GameWindowItem Context Property was not found!");
        return;
    }
    m_gameWindowItem->setProperty("framesPerSecond", double(ZTDirector::sharedDirector()->getFrameRate()));
    if (!ZTEGLView::hasSharedOpenGLView())
        return;
    ZTEGLView* view = ZTEGLView::sharedOpenGLView();
    view->setWindowFlags(m_gameWindowItem->property("minimizeable").toBool(),
                         m_gameWindowItem->property("maximizeable").toBool(),
                         m_gameWindowItem->property("resizeable").toBool());
    view->setFullScreen(m_gameWindowItem->property("fullscreen").toBool());
}

void SceneGraphWrapper::polishItems()
{
    for (QObject* object : std::as_const(m_itemsToPolish))
        static_cast<QQuickItem*>(object)->ensurePolished();
}

void SceneGraphWrapper::applyModifications()
{
    for (auto record = m_modifiedItems.begin(); record != m_modifiedItems.end();) {
        ModificationData& data = record.value();
        if (data.flags & ModificationData::ModificationScale) {
            data.node->setScaleX(float(data.scaleX));
            data.node->setScaleY(float(data.scaleY));
        }
        if (!(data.flags &
              (ModificationData::ModificationPosition | ModificationData::ModificationRotation))) {
            record = m_modifiedItems.erase(record);
            continue;
        }
        const QPointF position = AbstractZTNodeManager::originInParent(data.item);
        data.node->setPosition(ZTPoint(float(position.x()), -float(position.y())));
        if (data.flags & ModificationData::ModificationRotation)
            data.node->setRotation(float(data.rotation));
        data.flags = ModificationData::ModificationPresent;
        ++record;
    }
}

QTest::QTouchEventSequence& SceneGraphWrapper::touchSequence()
{
    if (!m_touchSequence)
        m_touchSequence = std::make_unique<TouchSequence>(&m_declarativeView, touchScreen());
    return *m_touchSequence;
}

void SceneGraphWrapper::sendMouse(int type, const ZTPoint& location, int button, int buttons)
{
    const QPointF local = roundedPoint(location);
    const QPointF global = local + QPointF(m_declarativeView.position());
    QMouseEvent event(QEvent::Type(type), local, global, Qt::MouseButton(button), Qt::MouseButtons(buttons),
                      Qt::NoModifier);
    event.setTimestamp(quint64(m_eventClock.elapsed()));
    QCoreApplication::sendEvent(&m_declarativeView, &event);
}

void SceneGraphWrapper::touchesBegan(ZTSet* touches)
{
    QTest::QTouchEventSequence& sequence = touchSequence();
    for (ZTTouch* active : std::as_const(m_activeTouches))
        sequence.stationary(touchId(active));
    ZTTouch* primary = nullptr;
    for (ZTObject* object : *touches) {
        auto* touch = dynamic_cast<ZTTouch*>(object);
        if (!touch || m_activeTouches.contains(touch))
            continue;
        if (m_activeTouches.isEmpty()) {
            primary = touch;
            m_primaryTouchId = touchId(touch);
        }
        sequence.press(touchId(touch), roundedPoint(touch->locationInView()), &m_declarativeView);
        m_activeTouches.append(touch);
    }
    sequence.commit(false);
    if (!primary)
        return;

    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const bool doubleClick =
        now - m_lastReleaseTime < QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
        m_lastPressType != QEvent::MouseButtonDblClick;
    // Qt Quick takes a double click as a press followed by the double-click event.
    sendMouse(QEvent::MouseButtonPress, primary->locationInView(), Qt::LeftButton, Qt::LeftButton);
    if (doubleClick)
        sendMouse(QEvent::MouseButtonDblClick, primary->locationInView(), Qt::LeftButton, Qt::LeftButton);
    m_lastPressType = doubleClick ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress;
}

void SceneGraphWrapper::touchesMoved(ZTSet* touches)
{
    QTest::QTouchEventSequence& sequence = touchSequence();
    ZTTouch* primary = nullptr;
    for (ZTTouch* active : std::as_const(m_activeTouches)) {
        if (touches->containsObject(active)) {
            sequence.move(touchId(active), roundedPoint(active->locationInView()), &m_declarativeView);
            if (touchId(active) == m_primaryTouchId)
                primary = active;
        } else {
            sequence.stationary(touchId(active));
        }
    }
    sequence.commit(false);
    if (primary)
        sendMouse(QEvent::MouseMove, primary->locationInView(), Qt::NoButton, Qt::LeftButton);
}

void SceneGraphWrapper::touchesEnded(ZTSet* touches)
{
    QTest::QTouchEventSequence& sequence = touchSequence();
    ZTTouch* primary = nullptr;
    for (ZTTouch* active : std::as_const(m_activeTouches)) {
        if (touches->containsObject(active)) {
            sequence.release(touchId(active), roundedPoint(active->locationInView()), &m_declarativeView);
            if (touchId(active) == m_primaryTouchId)
                primary = active;
        } else {
            sequence.stationary(touchId(active));
        }
    }
    for (ZTObject* object : *touches)
        m_activeTouches.removeOne(dynamic_cast<ZTTouch*>(object));
    if (m_activeTouches.isEmpty())
        m_primaryTouchId = 0;
    sequence.commit(false);
    if (!primary)
        return;
    sendMouse(QEvent::MouseButtonRelease, primary->locationInView(), Qt::LeftButton, Qt::NoButton);
    m_lastReleaseTime = QDateTime::currentMSecsSinceEpoch();
}

void SceneGraphWrapper::sendKey(int type, int key, int modifiers)
{
    QKeyEvent event(QEvent::Type(type), key, Qt::KeyboardModifiers(modifiers), QString(), false, 1);
    QCoreApplication::sendEvent(&m_declarativeView, &event);
}

void SceneGraphWrapper::keyPressed(int key, int modifiers)
{
    sendKey(QEvent::KeyPress, key, modifiers);
}

void SceneGraphWrapper::keyReleased(int key, int modifiers)
{
    sendKey(QEvent::KeyRelease, key, modifiers);
}

void SceneGraphWrapper::keyBackClicked()
{
    sendKey(QEvent::KeyPress, Qt::Key_Back, Qt::NoModifier);
}

void SceneGraphWrapper::keyMenuClicked()
{
    sendKey(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
}

void SceneGraphWrapper::scrollWheel(int, int, int, bool) {}
