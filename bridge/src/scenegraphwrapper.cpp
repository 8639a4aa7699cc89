#include "scenegraphwrapper.h"

#include "abstractztnodemanager.h"
#include "enginescene.h"
#include "gametimeanimationdriver.h"
#include "visualitempropertyobserver.h"
#include "zanthscheduler.h"

#include "ZTDirector.h"
#include "ZTMacros.h"

#include <QMetaProperty>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QUrl>
#include <QtDebug>

using namespace zanth2d;

SceneGraphWrapper::PlatformUrlRule SceneGraphWrapper::s_platformUrlRule = nullptr;

SceneGraphWrapper::SceneGraphWrapper(QQuickView& view, QObject* parent)
    : QObject(parent), m_managers(*this, this), m_mirror(m_managers, view), m_batch(m_mirror), m_input(view),
      m_lifeCycle(*view.rootContext()), m_declarativeView(view),
      m_animationDriver(std::make_unique<GameTimeAnimationDriver>())
{
    connect(&m_lifeCycle, &ApplicationLifeCycle::applicationDidFinishLaunchingSignal, this,
            &SceneGraphWrapper::applicationDidFinishLaunchingSignal);
    connect(&m_lifeCycle, &ApplicationLifeCycle::applicationPaused, this,
            &SceneGraphWrapper::applicationPaused);
    connect(&m_lifeCycle, &ApplicationLifeCycle::applicationResumed, this,
            &SceneGraphWrapper::applicationResumed);

    m_scheduler = new ZanthScheduler(this);
    view.rootContext()->setContextProperty(QStringLiteral("zanthScheduler"), m_scheduler);
    m_animationDriver->install();
}

SceneGraphWrapper::~SceneGraphWrapper() = default;

void SceneGraphWrapper::setTargetScene(EngineScene* scene)
{
    m_targetScene = scene;
    scene->setDeclarativeView(&m_declarativeView);
    scene->setSceneGraphWrapper(this);
    m_managers.setSceneGraphScene(scene);
    windowSizeChanged();
}

void SceneGraphWrapper::windowSizeChanged()
{
    if (m_targetScene)
        m_targetScene->setPosition(ZTPoint(0, ZTDirector::sharedDirector()->getWinSize().height));
    m_managers.windowSizeChanged();
}

void SceneGraphWrapper::removeUnusedSpriteBatchNodes()
{
    m_managers.removeUnusedSpriteBatchNodes();
}

ZTNode* SceneGraphWrapper::getRootSceneGraphNode() const
{
    return m_targetScene;
}

void SceneGraphWrapper::applicationDidFinishLaunching()
{
    m_lifeCycle.applicationDidFinishLaunching();
}

void SceneGraphWrapper::applicationWillEnterForeground()
{
    m_lifeCycle.applicationWillEnterForeground();
}

void SceneGraphWrapper::applicationDidEnterBackground()
{
    m_lifeCycle.applicationDidEnterBackground();
}

bool SceneGraphWrapper::reshape(const ZTSize& size)
{
    return m_lifeCycle.reshape(size);
}

void SceneGraphWrapper::reshape(float width, float height)
{
    reshape(ZTSize(width, height));
}

void SceneGraphWrapper::setAppStarted(bool started)
{
    m_lifeCycle.setAppStarted(started);
}

bool SceneGraphWrapper::getAppStarted() const
{
    return m_lifeCycle.appStarted();
}

void SceneGraphWrapper::reattachNode(QQuickItem* item, ZTNode* attachment)
{
    m_mirror.reattach(item, attachment, m_targetScene);
}

void SceneGraphWrapper::restackChildren(QQuickItem* item)
{
    m_mirror.restackChildren(item);
}

void SceneGraphWrapper::connectItemSignals(QObject* object, AbstractZTNodeManager* manager)
{
    QQuickItem* item = castItem(object);
    if (!item) {
        connect(object, &QObject::destroyed, manager,
                [manager](QObject* dying) { manager->itemDestroyed(dying); });
        return;
    }
    // What Qt Quick reports to its change listeners costs the item no connection; the rest comes by signal,
    // the signal of the highest index first, so that the item's table of connections is made once.
    connect(item, &QQuickItem::zChanged, manager, [manager, item] { manager->itemZChanged(item); });
    connect(item, &QQuickItem::scaleChanged, manager, [manager, item] { manager->itemScaleChanged(item); });
    int changes = ModificationBatch::Visibility | ModificationBatch::Parent | ModificationBatch::End;
    // An observer item marks its moves and turns itself.
    if (!qobject_cast<VisualItemPropertyObserver*>(item)) {
        changes |= ModificationBatch::Position | ModificationBatch::Size;
        // The changes of rotation transforms arrive as the item's rotationChanged(), which listeners miss.
        QQmlListProperty<QQuickTransform> transforms = item->transform();
        if (transforms.count(&transforms) == 0)
            changes |= ModificationBatch::Rotation;
        else
            connect(item, &QQuickItem::rotationChanged, manager,
                    [manager, item] { manager->itemRotationChanged(item); });
        connect(item, &QQuickItem::transformOriginChanged, manager,
                [manager, item] { manager->itemPositionChanged(item); });
    }
    m_batch.watch(item, manager, changes);
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

bool SceneGraphWrapper::inherits(const char* className, QObject* object)
{
    return object && object->inherits(className);
}

QObjectList SceneGraphWrapper::getAllChildrenInheritingType(const QString& type, QObject* parent)
{
    QObjectList found;
    if (!parent || type != QLatin1String("QQuickText"))
        return found;
    const QList<QQuickItem*> items = parent->findChildren<QQuickItem*>();
    for (QQuickItem* item : items) {
        if (item->inherits("QQuickText"))
            found.append(item);
    }
    return found;
}

QPointF SceneGraphWrapper::ZTPointConvert(const ZTPoint& point)
{
    return QPointF(point.x, point.y);
}

QSizeF SceneGraphWrapper::ZTSizeConvert(const ZTSize& size)
{
    return QSizeF(size.width, size.height);
}

QRectF SceneGraphWrapper::ZTRectConvert(const ZTRect& rect)
{
    return QRectF(rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
}

QQuickItem* SceneGraphWrapper::castItem(QObject* object)
{
    return qobject_cast<QQuickItem*>(object);
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
    m_mirror.mirror(object);
}

void SceneGraphWrapper::itemDestroyed(QObject* object)
{
    m_mirror.forget(object);
    m_batch.forget(object);
}

ZTNode* SceneGraphWrapper::getNodeFromObject(QQuickItem* item) const
{
    return m_mirror.nodeOf(item);
}

void SceneGraphWrapper::setNodeFromObject(QQuickItem* item, ZTNode* node)
{
    m_mirror.setNodeOf(item, node);
}

void SceneGraphWrapper::setZanthContentScaleFactor(qreal scaleFactor)
{
    ZTDirector::sharedDirector()->setZanthContentScaleFactor(float(scaleFactor));
}

void SceneGraphWrapper::updateItemPosition(QQuickItem* sendingItem)
{
    m_batch.markPosition(sendingItem);
}

void SceneGraphWrapper::updateItemRotation(QQuickItem* sendingItem, qreal rotation)
{
    m_batch.markRotation(sendingItem, rotation);
}

void SceneGraphWrapper::updateItemScaleX(QQuickItem* sendingItem, qreal scaleX)
{
    m_batch.markScaleX(sendingItem, scaleX);
}

void SceneGraphWrapper::updateItemPositionAndRotationImmediately(QQuickItem* item)
{
    if (!m_batch.applyPositionAndRotationNow(item))
        qWarning()
            << "WARNING: SceneGraphWrapper: the item calling updateItemPositionAndRotationImmediately() does "
               "not exist in the nodes list:"
            << item;
}

void SceneGraphWrapper::advanceAnimations(float dt)
{
    m_animationDriver->advanceBy(dt);
}

void SceneGraphWrapper::updateModifiedItemsForSceneGraph(float dt)
{
    m_lifeCycle.applyGameWindowSettings();
    if (m_scheduler && m_lifeCycle.system() && !m_lifeCycle.gamePaused())
        m_scheduler->scheduleUpdates(double(dt));
    applyItemChanges();
}

void SceneGraphWrapper::applyItemChanges()
{
    m_mirror.polishItems();
    m_batch.apply();
}

void SceneGraphWrapper::touchesBegan(ZTSet* touches)
{
    m_input.touchesBegan(touches);
}

void SceneGraphWrapper::touchesMoved(ZTSet* touches)
{
    m_input.touchesMoved(touches);
}

void SceneGraphWrapper::touchesEnded(ZTSet* touches)
{
    m_input.touchesEnded(touches);
}

void SceneGraphWrapper::keyPressed(int key, int modifiers)
{
    m_input.keyPressed(key, modifiers);
}

void SceneGraphWrapper::keyReleased(int key, int modifiers)
{
    m_input.keyReleased(key, modifiers);
}

void SceneGraphWrapper::keyBackClicked()
{
    m_input.keyBackClicked();
}

void SceneGraphWrapper::keyMenuClicked()
{
    m_input.keyMenuClicked();
}

void SceneGraphWrapper::scrollWheel(int, int, int, bool) {}
