#include "ztanimatedspritemanager.h"

#include "itemsignalrelay.h"
#include "scenegraphwrapper.h"
#include "ztspritesheetjson.h"

#include "ZTDirector.h"
#include "actions/ZTActionInstant.h"
#include "actions/ZTActionInterval.h"
#include "actions/ZTAnimate.h"
#include "base_nodes/ZTNode.h"
#include "cocoa/ZTArray.h"
#include "platform/ZTFileData.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "sprite_nodes/ZTSpriteFrameCache.h"
#include "textures/ZTTexture2D.h"

#include <QPointer>
#include <QQmlContext>
#include <QQuickItem>
#include <QtDebug>

using namespace zanth2d;

namespace {

constexpr int kAnimatedSpriteTag = 20;
constexpr int kAnimationActionTag = 10;

// The finish actions retain their target: this small object, not the manager (which Qt deletes), so an
// action that outlives the manager calls nothing.
class FinishTarget : public ZTObject
{
public:
    explicit FinishTarget(ZTAnimatedSpriteManager* manager) : m_manager(manager) {}
    void forget() { m_manager = nullptr; }
    void finished(ZTNode* node, void* spriteItem)
    {
        if (m_manager)
            m_manager->sceneGraphAnimationFinished(node, spriteItem);
    }

private:
    QPointer<ZTAnimatedSpriteManager> m_manager;
};

QObject* sequenceOf(const QObject* spriteItem)
{
    return spriteItem ? spriteItem->parent() : nullptr;
}

float pixelsToPoints(float pixels)
{
    return pixels / ZTDirector::sharedDirector()->getContentScaleFactor();
}

// The sequence's JSON sheet chosen for the content scale, resolved against the QML file that named it.
QUrl sheetUrlOf(QObject* sequence)
{
    const QUrl url = sequence->property("modifiedSpriteSheetFilename").toUrl();
    if (url.isRelative()) {
        if (QQmlContext* context = qmlContext(sequence))
            return context->resolvedUrl(url);
    }
    return url;
}

ZTAnimate* animateOf(ZTSprite* sprite)
{
    return static_cast<ZTAnimate*>(sprite->getUserData());
}

} // namespace

ZTAnimatedSpriteManager::ZTAnimatedSpriteManager(SceneGraphWrapper& wrapper, QObject* parent)
    : ZTSpriteManager(wrapper, parent), m_finishTarget(new FinishTarget(this))
{
}

ZTAnimatedSpriteManager::~ZTAnimatedSpriteManager()
{
    static_cast<FinishTarget*>(m_finishTarget)->forget();
    m_finishTarget->release();
    for (ZTAction* action : std::as_const(m_actions))
        action->release();
    for (ZTSpriteBatchNode* batch : std::as_const(m_batchNodeList))
        batch->release();
}

bool ZTAnimatedSpriteManager::canCreateNodeFromItem(QObject* item)
{
    return SceneGraphWrapper::inherits("SpriteImageItem", item) ||
           SceneGraphWrapper::inherits("SpriteBatchContainerItem", item);
}

ZTNode* ZTAnimatedSpriteManager::createNodeFromItem(QObject* item, ZTNode* parentNode)
{
    ZTNode* node = createBaseNodeAndAddToParent(item, parentNode);
    QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    if (!node || !quickItem)
        return node;
    sceneGraphWrapper().connectItemSignals(item, this);
    insertNodeWithObjectAsKey(item, node);

    if (SceneGraphWrapper::inherits("SpriteBatchContainerItem", item)) {
        m_containerItem = item;
        m_containerNode = node;
        updateSpriteBatchContainerDimensions();
        return node;
    }

    const QObjectList children = item->children();
    for (QObject* child : children) {
        if (!child->inherits("SpriteItem"))
            continue;
        createSprite(child, node);
        sceneGraphWrapper().connectItemSignals(child, this);
        connectSpriteSignals(child);
        if (QQuickItem* childItem = SceneGraphWrapper::castItem(child))
            relayAncestorChanges(childItem);
    }

    if (item->property("modifiedSpriteSheetFilename").isValid()) {
        ItemSignalRelay::connectSignal(item, SIGNAL(modifiedSpriteSheetFilenameChanged()), this,
                                       [this, item] { modifiedSpriteSheetFilenameChanged(item); });
        if (!item->property("modifiedSpriteSheetFilename").toUrl().isEmpty())
            updateModifiedSpriteSheetFilename(item);
    }
    ItemSignalRelay::connectSignal(item, SIGNAL(animationChanged(QString)), this,
                                   [this, item] { updateActiveAnimation(item); });
    connectOpacityChangedSignals(quickItem);
    applyItemPropertiesToNode(item, node);
    applyTransformOriginToNode(item, node);
    updateCurrentAnimationForSpriteImage(item);
    return node;
}

void ZTAnimatedSpriteManager::connectSpriteSignals(QObject* child)
{
    const auto relay = [this, child](const char* signal,
                                     void (ZTAnimatedSpriteManager::*reaction)(QObject*)) {
        ItemSignalRelay::connectSignal(child, signal, this,
                                       [this, child, reaction] { (this->*reaction)(child); });
    };
    relay(SIGNAL(sourceChanged()), &ZTAnimatedSpriteManager::sourceChanged);
    relay(SIGNAL(spriteSheetFilenameHasChanged(QUrl)), &ZTAnimatedSpriteManager::sourceChanged);
    relay(SIGNAL(runningChanged()), &ZTAnimatedSpriteManager::spriteRunningChanged);
    // frameWidth and frameHeight are aliases of the size, and Qt 6 does not signal an alias to
    // connections made from C++: the size's own signals stand in for them.
    relay(SIGNAL(widthChanged()), &ZTAnimatedSpriteManager::frameWidthChanged);
    relay(SIGNAL(heightChanged()), &ZTAnimatedSpriteManager::frameHeightChanged);
    relay(SIGNAL(frameXChanged()), &ZTAnimatedSpriteManager::frameXChanged);
    relay(SIGNAL(frameYChanged()), &ZTAnimatedSpriteManager::frameYChanged);
    relay(SIGNAL(frameNumberChanged()), &ZTAnimatedSpriteManager::frameNumberChanged);
    relay(SIGNAL(frameNamesChanged()), &ZTAnimatedSpriteManager::frameNamesChanged);
    relay(SIGNAL(mirrorXChanged()), &ZTAnimatedSpriteManager::mirrorChanged);
    relay(SIGNAL(mirrorYChanged()), &ZTAnimatedSpriteManager::mirrorChanged);
}

void ZTAnimatedSpriteManager::relayAncestorChanges(QQuickItem* spriteItem)
{
    QList<QMetaObject::Connection>& relays = m_ancestorRelays[spriteItem];
    for (const QMetaObject::Connection& relay : std::as_const(relays))
        disconnect(relay);
    relays.clear();
    for (QQuickItem* ancestor = spriteItem->parentItem(); ancestor; ancestor = ancestor->parentItem()) {
        relays.append(connect(ancestor, &QQuickItem::zChanged, spriteItem, &QQuickItem::zChanged));
        // Without a new parent an ancestor is not shown, or is being destroyed: nothing to restack.
        relays.append(
            connect(ancestor, &QQuickItem::parentChanged, this, [this, spriteItem](QQuickItem* parent) {
                if (!parent)
                    return;
                relayAncestorChanges(spriteItem);
                restackInBatchNode(spriteItem);
            }));
    }
}

void ZTAnimatedSpriteManager::restackInBatchNode(QObject* spriteItem)
{
    ZTSprite* sprite = animatedSprite(spriteItem);
    if (ZTSpriteBatchNode* batch = sprite ? sprite->getSpriteBatchNode() : nullptr) {
        batch->removeSpriteFromAtlas(sprite);
        insertSpriteToBatchNode(sprite, batch, spriteItem);
    }
}

QString ZTAnimatedSpriteManager::resolvedPlatformPath(QObject* item, const QUrl& url) const
{
    QUrl resolved = url;
    if (url.isRelative()) {
        if (QQmlContext* context = qmlContext(item))
            resolved = context->resolvedUrl(url);
    }
    return SceneGraphWrapper::getPlatformUrlString(resolved);
}

ZTSprite* ZTAnimatedSpriteManager::animatedSprite(QObject* spriteItem) const
{
    ZTNode* node = getNodeFromObject(spriteItem);
    if (!node || node->getTag() != kAnimatedSpriteTag)
        return nullptr;
    return static_cast<ZTSprite*>(node);
}

ZTAnimation::FrameArray* ZTAnimatedSpriteManager::framesFromNames(const QStringList& names,
                                                                  QObject* spriteItem)
{
    auto* frames = new ZTAnimation::FrameArray();
    frames->autorelease();
    for (int i = 0; i < names.size(); ++i) {
        ZTSpriteFrame* frame = createSpriteFrameFromFrameName(names.at(i), *spriteItem);
        if (frame)
            frames->addObject(frame);
        if (i == 0 && frame) {
            const ZTSize original = frame->getOriginalSizeInPixels();
            spriteItem->setProperty("frameWidth", double(original.width));
            spriteItem->setProperty("frameHeight", double(original.height));
        }
    }
    return frames;
}

ZTSprite* ZTAnimatedSpriteManager::createSprite(QObject* spriteItem, ZTNode* sequenceNode)
{
    QObject* sequence = sequenceOf(spriteItem);
    if (!sequence || !sequenceNode)
        return nullptr;
    QUrl url = spriteItem->property("source").toUrl();
    if (url.isEmpty())
        url = sequence->property("spriteSheetSource").toUrl();
    const QUrl sheet = spriteItem->property("spriteSheetFilename").toUrl();
    if (url.isEmpty() && sheet.isEmpty())
        return nullptr;
    const bool jsonMode = !sheet.isEmpty() && sheet.toString().contains(QLatin1String(".json"));
    const QString texturePath =
        jsonMode ? resolvedPlatformPath(sequence, sequence->property("spriteSheetSourceForJsonFile").toUrl())
                 : resolvedPlatformPath(spriteItem, url);
    if (texturePath.isEmpty())
        return nullptr;

    int format = 0;
    if (spriteItem->property("pixelFormat").isValid())
        format = spriteItem->property("pixelFormat").toInt();
    else if (sequence->property("pixelFormat").isValid())
        format = sequence->property("pixelFormat").toInt();
    QVariant batchZValue = spriteItem->property("spriteBatchNodeZ");
    if (!batchZValue.isValid())
        batchZValue = sequence->property("spriteBatchNodeZ");
    bool hasBatchZ = false;
    const int batchZ = batchZValue.toInt(&hasBatchZ);

    ZTSpriteBatchNode* batch = m_batchNodes.value(texturePath);
    if (!batch) {
        QVariantMap json;
        if (jsonMode)
            json = getJsonFileContentFromUrl(sheetUrlOf(sequence));
        batch = loadSheetBatchNode(format, jsonMode ? &json : nullptr, texturePath);
        if (!batch)
            return nullptr;
        if (!m_batchNodeList.contains(batch)) {
            batch->retain();
            m_batchNodeList.append(batch);
        }
        ZTNode* target = m_containerNode ? m_containerNode : sceneGraphScene();
        if (!target)
            return nullptr;
        if (hasBatchZ)
            target->addChild(batch, batchZ);
        else
            target->addChild(batch);
        // The scene layer sits at (0, window height): this is the window's origin.
        if (!m_containerNode)
            batch->setPosition(ZTPoint(0, -ZTDirector::sharedDirector()->getWinSize().height));
        m_batchNodes.insert(texturePath, batch);
    }

    ZTAnimation::FrameArray* frames = nullptr;
    int frameCount = 0;
    if (jsonMode) {
        const QStringList names = spriteItem->property("frameNames").toStringList();
        if (names.isEmpty())
            return nullptr;
        spriteItem->setProperty("frameCount", int(names.size()));
        frames = framesFromNames(names, spriteItem);
        frameCount = int(names.size());
    } else {
        frames = new ZTAnimation::FrameArray();
        frames->autorelease();
        frameCount = spriteItem->property("frameCount").toInt();
        const float x = spriteItem->property("frameX").toFloat();
        const float y = spriteItem->property("frameY").toFloat();
        const float width = spriteItem->property("frameWidth").toFloat();
        const float height = spriteItem->property("frameHeight").toFloat();
        for (int i = 0; i < frameCount; ++i) {
            frames->addObject(ZTSpriteFrame::frameWithTexture(batch->getTexture(),
                                                              ZTRect(x + float(i) * width, y, width, height),
                                                              false, ZTPoint(0, 0), ZTSize(width, height)));
        }
    }
    if (frames->count() == 0)
        return nullptr;

    ZTSprite* sprite = ZTSprite::spriteWithSpriteFrame(frames->getObjectAtIndex(0));
    if (!sprite)
        return nullptr;
    if (frameCount >= 2) {
        ZTAnimation* animation = ZTAnimation::animationWithFrames(
            frames, float(spriteItem->property("frameDuration").toDouble() * 0.001));
        const int repeatCount = spriteItem->property("repeatCount").toInt();
        ZTAnimate* animate = nullptr;
        ZTAction* action = nullptr;
        if (spriteItem->property("loop").toBool()) {
            animate = ZTAnimate::actionWithAnimation(animation);
            action = ZTRepeatForever::actionWithAction(animate);
        } else if (repeatCount > 0) {
            animate = ZTAnimate::actionWithAnimation(animation,
                                                     spriteItem->property("restoreOriginalFrame").toBool());
            action = ZTSequence::actionOneTwo(
                ZTRepeat::actionWithAction(animate, unsigned(repeatCount)),
                ZTCallFuncND::actionWithTarget(m_finishTarget, callfuncND_selector(FinishTarget::finished),
                                               spriteItem));
        }
        if (action) {
            action->setTag(kAnimationActionTag);
            action->retain();
            if (ZTAction* previous = m_actions.value(spriteItem))
                previous->release();
            m_actions.insert(spriteItem, action);
            sprite->setUserData(animate);
        }
    }

    updateBlendFuncForSprite(sprite);
    sprite->setIsVisible(false);
    sprite->setTag(kAnimatedSpriteTag);
    // The manager's reference, released when the item goes.
    sprite->retain();
    insertNodeWithObjectAsKey(spriteItem, sprite);
    sprite->setAnchorPoint(ZTPoint(0, 1));
    sprite->setFlipX(spriteItem->property("mirrorX").toBool());
    sprite->setFlipY(spriteItem->property("mirrorY").toBool());
    insertSpriteToBatchNode(sprite, batch, spriteItem);
    for (ZTNode* level = sequenceNode; level; level = level->getParent()) {
        if (level->getVertexZ() != 0) {
            sprite->setVertexZ(level->getVertexZ());
            break;
        }
    }
    sequenceNode->addChild(sprite);
    // Batched quads are built from the cached world transforms, which a batch node drawn before this
    // subtree is visited would otherwise find unset.
    if (QQuickItem* sequenceItem = SceneGraphWrapper::castItem(sequence);
        sequenceItem && sceneGraphWrapper().getNodeFromObject(sequenceItem))
        sceneGraphWrapper().updateItemPositionAndRotationImmediately(sequenceItem);
    return sprite;
}

void ZTAnimatedSpriteManager::insertSpriteToBatchNode(ZTSprite* sprite, ZTSpriteBatchNode* batch,
                                                      const QObject* spriteItem)
{
    QQuickItem* mine = SceneGraphWrapper::castItem(sequenceOf(spriteItem));
    ZTArray* descendants = batch->getDescendants();
    const int count = descendants ? int(descendants->count()) : 0;
    unsigned int index = 0;
    for (int k = count - 1; k >= 0; --k) {
        auto* other = static_cast<ZTSprite*>(descendants->objectAtIndex(unsigned(k)));
        QObject* otherItem = getObjectFromNode(other);
        QQuickItem* theirs = SceneGraphWrapper::castItem(sequenceOf(otherItem));
        if (!theirs || !mine)
            continue;
        if (theirs == mine) {
            index = other->getAtlasIndex() + 1;
            break;
        }
        QQuickItem* ancestor = nullptr;
        for (QQuickItem* a = theirs->parentItem(); a && !ancestor; a = a->parentItem()) {
            for (QQuickItem* b = mine->parentItem(); b; b = b->parentItem()) {
                if (a == b) {
                    ancestor = a;
                    break;
                }
            }
        }
        if (!ancestor)
            break;
        QQuickItem* theirTop = theirs;
        while (theirTop->parentItem() != ancestor)
            theirTop = theirTop->parentItem();
        QQuickItem* myTop = mine;
        while (myTop->parentItem() != ancestor)
            myTop = myTop->parentItem();
        if (theirTop->z() < myTop->z()) {
            index = other->getAtlasIndex() + 1;
            break;
        }
        if (myTop->z() < theirTop->z())
            continue;
        const QList<QQuickItem*> siblings = ancestor->childItems();
        if (siblings.indexOf(theirTop) < siblings.indexOf(myTop)) {
            index = other->getAtlasIndex() + 1;
            break;
        }
    }
    batch->insertChild(sprite, index);
    if (m_containerItem) {
        QObject* sequence = sequenceOf(spriteItem);
        if (!m_containerSequences.contains(m_containerItem, sequence))
            m_containerSequences.insert(m_containerItem, sequence);
    }
}

ZTSpriteFrame* ZTAnimatedSpriteManager::createSpriteFrameFromFrameName(const QString& name,
                                                                       const QObject& spriteItem)
{
    QObject* sequence = sequenceOf(&spriteItem);
    if (!sequence)
        return nullptr;
    const QUrl sheetUrl = sheetUrlOf(sequence);
    const QVariantMap json = getJsonFileContentFromUrl(sheetUrl);
    // Keyed by the resolved sheet, not the name as written: equal names in other folders are other frames.
    const QByteArray key = (sheetUrl.toString() + name).toUtf8();
    ZTSpriteFrameCache* cache = ZTSpriteFrameCache::sharedSpriteFrameCache();
    if (ZTSpriteFrame* cached = cache->spriteFrameByName(key.constData()))
        return cached;
    const QUrl textureUrl = sequence->property("spriteSheetSourceForJsonFile").toUrl();
    ZTSpriteBatchNode* batch = m_batchNodes.value(resolvedPlatformPath(sequence, textureUrl));
    if (!batch)
        return nullptr;
    ZTSpriteFrame* frame = frameOnTexture(json, name, batch->getTexture(), textureUrl.toString());
    if (frame)
        cache->addSpriteFrame(frame, key.constData());
    return frame;
}

ZTSpriteBatchNode* ZTAnimatedSpriteManager::loadSheetBatchNode(int format, const QVariantMap* sheet,
                                                               const QString& texturePath)
{
    if (format == 0 && sheet)
        format = ZTSpriteSheetJson::pixelFormat(*sheet, texturePath);
    format = setPixelFormatForImage(format, texturePath, "ZTAnimatedSpriteManager");
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithFile(texturePath.toLocal8Bit().constData());
    resetPixelFormatToDefault(format);
    if (!batch)
        qWarning().noquote()
            << "WARNING: ZTAnimatedSpriteManager: the sprite sheet image could not be loaded:" << texturePath;
    return batch;
}

ZTSpriteFrame* ZTAnimatedSpriteManager::frameOnTexture(const QVariantMap& sheet, const QString& name,
                                                       ZTTexture2D* texture, const QString& textureUrl)
{
    const std::optional<ZTSpriteSheetJson::Frame> data = ZTSpriteSheetJson::frame(sheet, name, textureUrl);
    if (!data)
        return nullptr;
    // A frame reaching past its texture is as corrupt as a negative one.
    const ZTSize size = texture->getContentSizeInPixels();
    const float right = float(data->x) + float(data->rotated ? data->height : data->width);
    const float bottom = float(data->y) + float(data->rotated ? data->width : data->height);
    if (right > size.width || bottom > size.height) {
        qWarning().noquote() << "WARNING: ZTAnimatedSpriteManager: the frame \"" + name +
                                    "\" lies outside its texture \"" + textureUrl + "\" and is refused";
        return nullptr;
    }
    return ZTSpriteFrame::frameWithTexture(
        texture, ZTRect(float(data->x), float(data->y), float(data->width), float(data->height)),
        data->rotated, ZTPoint(data->offsetX, data->offsetY),
        ZTSize(float(data->originalWidth), float(data->originalHeight)));
}

QVariantMap ZTAnimatedSpriteManager::getJsonFileContentFromUrl(const QUrl& url)
{
    const QVariantMap cached = m_jsonCache.value(url);
    if (!cached.isEmpty())
        return cached;
    const QString path = SceneGraphWrapper::getPlatformUrlString(url);
    if (path.isEmpty())
        return {};
    const ZTFileData data(path.toLocal8Bit().constData(), "rb");
    const QByteArray text(reinterpret_cast<const char*>(data.getBuffer()), int(data.getSize()));
    const QVariantMap sheet = ZTSpriteSheetJson::parse(text, url.toString());
    m_jsonCache.insert(url, sheet);
    return sheet;
}

void ZTAnimatedSpriteManager::updateModifiedSpriteSheetFilename(QObject* sequence)
{
    const QUrl sheetUrl = sheetUrlOf(sequence);
    const QString texture = ZTSpriteSheetJson::texturePath(sheetUrl, getJsonFileContentFromUrl(sheetUrl));
    if (texture.isEmpty())
        return;
    sequence->setProperty("spriteSheetSourceForJsonFile", QUrl(texture));
}

void ZTAnimatedSpriteManager::modifiedSpriteSheetFilenameChanged(QObject* sequence)
{
    updateModifiedSpriteSheetFilename(sequence);
}

void ZTAnimatedSpriteManager::updateActiveAnimation(QObject* sequence)
{
    updateCurrentAnimationForSpriteImage(sequence);
}

void ZTAnimatedSpriteManager::updateCurrentAnimationForSpriteImage(QObject* sequence)
{
    QObject* spriteItem = sequence->property("currentAnimation").value<QObject*>();
    if (!spriteItem) {
        qWarning("WARNING: cant convert currentAnimation to QObject!");
        return;
    }
    ZTNode* node = getNodeFromObject(spriteItem);
    if (!node)
        return;
    node->setIsVisible(true);
    applyItemPropertiesToNode(spriteItem, node);
    updateSpriteOpacityFromItem(spriteItem);
    if (spriteItem->property("running").toBool()) {
        ZTAction* action = m_actions.value(spriteItem);
        if (!node->getActionByTag(kAnimationActionTag) && action)
            node->runAction(action);
        node->resumeSchedulerAndActions();
    } else {
        node->pauseSchedulerAndActions();
    }
    spriteItem->setProperty("qmlAnimationTimerEnabled", false);
}

void ZTAnimatedSpriteManager::resumeSpriteAnimationOrRestart(QObject* spriteItem, ZTNode* node, bool run)
{
    if (!node || node->getTag() != kAnimatedSpriteTag)
        return;
    if (!run) {
        node->pauseSchedulerAndActions();
        return;
    }
    node->resumeSchedulerAndActions();
    ZTAction* action = m_actions.value(spriteItem);
    if (!node->getActionByTag(kAnimationActionTag) && action)
        node->runAction(action);
}

void ZTAnimatedSpriteManager::spriteRunningChanged(QObject* spriteItem)
{
    if (ZTNode* node = getNodeFromObject(spriteItem))
        resumeSpriteAnimationOrRestart(spriteItem, node, spriteItem->property("running").toBool());
}

void ZTAnimatedSpriteManager::itemVisibleChanged(QQuickItem* item)
{
    QQuickItem* parent = item->parentItem();
    // A new parent shows the item before it has a node of its own (it gets one when the move arrives).
    if (parent && parent->isVisible() && sceneGraphWrapper().getNodeFromObject(parent))
        sceneGraphWrapper().updateItemPositionAndRotationImmediately(parent);
    ZTNode* node = getNodeFromObject(item);
    if (!node)
        return;
    node->setIsVisible(item->isVisible());
    resumeSpriteAnimationOrRestart(item, node, item->isVisible() && item->property("running").toBool());
}

void ZTAnimatedSpriteManager::itemSizeChanged(QQuickItem* item)
{
    AbstractZTNodeManager::itemSizeChanged(item);
}

void ZTAnimatedSpriteManager::sceneGraphAnimationFinished(ZTNode*, void* spriteItem)
{
    auto* item = static_cast<QObject*>(spriteItem);
    if (!item || !m_actions.contains(item)) {
        qWarning()
            << "WARNING: ZTAnimatedSpriteManager: sprite item that finished scene-graph animation could "
               "not be found with address:"
            << spriteItem;
        return;
    }
    QMetaObject::invokeMethod(item, "animationFinishedFromSceneGraph");
}

void ZTAnimatedSpriteManager::itemOpacityChanged(QQuickItem* item)
{
    QVariant current = item->property("currentAnimation");
    QObject* spriteItem = current.value<QObject*>();
    if (!spriteItem) {
        if (current.isValid())
            qWarning("WARNING: cant convert currentAnimation to QObject!");
        return;
    }
    updateSpriteOpacityFromItem(spriteItem);
}

void ZTAnimatedSpriteManager::updateSpriteOpacityFromItem(QObject* spriteItem)
{
    ZTSprite* sprite = animatedSprite(spriteItem);
    QQuickItem* sequence = SceneGraphWrapper::castItem(sequenceOf(spriteItem));
    if (!sprite || !sequence)
        return;
    const double opacity = effectiveOpacity(sequence);
    sprite->setOpacity(GLubyte(int(opacity * 255.0) & 0xFF));
    updateVisibilityFromOpacity(sequence, sprite, opacity);
}

void ZTAnimatedSpriteManager::frameXChanged(QObject* spriteItem)
{
    ZTSprite* sprite = animatedSprite(spriteItem);
    if (!sprite)
        return;
    const float x = spriteItem->property("frameX").toFloat();
    if (m_actions.contains(spriteItem)) {
        const float width = spriteItem->property("frameWidth").toFloat();
        ZTAnimation::FrameArray* frames = animateOf(sprite)->getAnimation()->getFrames();
        for (unsigned int i = 0; frames && i < frames->count(); ++i) {
            ZTSpriteFrame* frame = frames->getObjectAtIndex(i);
            ZTRect rect = frame->getRect();
            rect.origin.x = pixelsToPoints(x + float(i) * width);
            frame->setRect(rect);
        }
    }
    ZTRect rect = sprite->getTextureRect();
    rect.origin.x = pixelsToPoints(x);
    sprite->setTextureRect(rect);
}

void ZTAnimatedSpriteManager::frameYChanged(QObject* spriteItem)
{
    ZTSprite* sprite = animatedSprite(spriteItem);
    if (!sprite)
        return;
    const float y = pixelsToPoints(spriteItem->property("frameY").toFloat());
    if (!m_actions.contains(spriteItem)) {
        ZTRect rect = sprite->getTextureRect();
        rect.origin.y = y;
        sprite->setTextureRect(rect);
        return;
    }
    ZTAnimate* animate = animateOf(sprite);
    ZTAnimation::FrameArray* frames = animate->getAnimation()->getFrames();
    if (!frames || frames->count() == 0)
        return;
    for (unsigned int i = 0; i < frames->count(); ++i) {
        ZTSpriteFrame* frame = frames->getObjectAtIndex(i);
        ZTRect rect = frame->getRect();
        rect.origin.y = y;
        frame->setRect(rect);
    }
    if (animate->getRestoreOriginalFrame())
        animate->setOriginalFrame(frames->getObjectAtIndex(0));
    sprite->setDisplayFrame(frames->getObjectAtIndex(0));
}

void ZTAnimatedSpriteManager::frameWidthChanged(QObject* spriteItem)
{
    if (ZTSprite* sprite = animatedSprite(spriteItem)) {
        ZTRect rect = sprite->getTextureRect();
        rect.size.width = pixelsToPoints(spriteItem->property("frameWidth").toFloat());
        sprite->setTextureRect(rect);
    }
}

void ZTAnimatedSpriteManager::frameHeightChanged(QObject* spriteItem)
{
    if (ZTSprite* sprite = animatedSprite(spriteItem)) {
        ZTRect rect = sprite->getTextureRect();
        rect.size.height = pixelsToPoints(spriteItem->property("frameHeight").toFloat());
        sprite->setTextureRect(rect);
    }
}

void ZTAnimatedSpriteManager::frameNumberChanged(QObject* spriteItem)
{
    // Named frames are no row of cells.
    if (spriteItem->property("spriteSheetFilename").toUrl().toString().contains(QLatin1String(".json")))
        return;
    if (ZTSprite* sprite = animatedSprite(spriteItem)) {
        ZTRect rect = sprite->getTextureRect();
        rect.origin.x = pixelsToPoints(spriteItem->property("frameX").toFloat() +
                                       spriteItem->property("frameWidth").toFloat() *
                                           spriteItem->property("frameNumber").toFloat());
        sprite->setTextureRect(rect);
    }
}

void ZTAnimatedSpriteManager::createSpriteLater(QObject* spriteItem, const char* noParentMessage,
                                                const char* noNodeMessage)
{
    QObject* sequence = sequenceOf(spriteItem);
    if (!sequence) {
        qWarning("%s", noParentMessage);
        return;
    }
    ZTNode* sequenceNode = getNodeFromObject(sequence);
    if (!sequenceNode) {
        qWarning("%s", noNodeMessage);
        return;
    }
    createSprite(spriteItem, sequenceNode);
    updateCurrentAnimationForSpriteImage(sequence);
}

void ZTAnimatedSpriteManager::frameNamesChanged(QObject* spriteItem)
{
    ZTSprite* sprite = animatedSprite(spriteItem);
    if (!sprite) {
        createSpriteLater(
            spriteItem,
            "ERROR: ZTAnimatedSpriteManager: the sprite has no parent assigned when it changed its "
            "frameNames",
            "WARNING: ZTAnimatedSpriteManager: the spriteImage could not be found in the nodesMap in "
            "frameNamesChanged()! programmer error!");
        return;
    }
    const QStringList names = spriteItem->property("frameNames").toStringList();
    if (names.isEmpty())
        return;
    if (m_actions.contains(spriteItem)) {
        ZTAnimation::FrameArray* frames = framesFromNames(names, spriteItem);
        spriteItem->setProperty("frameCount", int(names.size()));
        if (frames->count() == 0)
            return;
        ZTAnimate* animate = animateOf(sprite);
        animate->getAnimation()->setFrames(frames);
        if (animate->getRestoreOriginalFrame())
            animate->setOriginalFrame(frames->getObjectAtIndex(0));
        sprite->setDisplayFrame(frames->getObjectAtIndex(0));
        return;
    }
    ZTSpriteFrame* frame = createSpriteFrameFromFrameName(names.first(), *spriteItem);
    if (!frame)
        return;
    sprite->setDisplayFrame(frame);
    spriteItem->setProperty("frameWidth", double(frame->getOriginalSizeInPixels().width));
    spriteItem->setProperty("frameHeight", double(frame->getOriginalSizeInPixels().height));
}

void ZTAnimatedSpriteManager::mirrorChanged(QObject* spriteItem)
{
    if (ZTSprite* sprite = animatedSprite(spriteItem)) {
        sprite->setFlipX(spriteItem->property("mirrorX").toBool());
        sprite->setFlipY(spriteItem->property("mirrorY").toBool());
    }
}

void ZTAnimatedSpriteManager::sourceChanged(QObject* spriteItem)
{
    if (getNodeFromObject(spriteItem)) {
        qWarning("WARNING: ZTAnimatedSpriteManager: changing the source of animated sprites is currently not "
                 "supported by the scene graph!");
        return;
    }
    createSpriteLater(
        spriteItem,
        "WARNING: ZTAnimatedSpriteManager: the sprite has no parent assigned when it changed its "
        "source, no way to find out who the parent of the sprite (the SpriteImage) was! This might "
        "happen if the source-property changes of not-active sprites in SpriteImages, which did not "
        "get assigned their source-property!",
        "WARNING: ZTAnimatedSpriteManager: the spriteImage could not be found in the nodesMap! "
        "programmer error!");
}

void ZTAnimatedSpriteManager::itemZChanged(QQuickItem* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node) {
        qWarning("WARNING: ZTAnimatedSpriteManager: no node found for the item that changed its z value");
        return;
    }
    auto* sprite = node->getTag() == kAnimatedSpriteTag ? static_cast<ZTSprite*>(node) : nullptr;
    if (sprite && sprite->getSpriteBatchNode()) {
        restackInBatchNode(item);
        return;
    }
    AbstractZTNodeManager::itemZChanged(item);
}

void ZTAnimatedSpriteManager::itemParentChanged(QQuickItem* item)
{
    AbstractZTNodeManager::itemParentChanged(item);
    // A sequence's own move reaches its sprites through their ancestor relays.
    if (!item->parentItem() || !m_ancestorRelays.contains(item))
        return;
    relayAncestorChanges(item);
    restackInBatchNode(item);
}

void ZTAnimatedSpriteManager::updateSpriteBatchContainerDimensions()
{
    QQuickItem* container = SceneGraphWrapper::castItem(m_containerItem);
    if (!container || !m_containerNode)
        return;
    // The container node replaces its own offset, so what it cancels is its parent's transform.
    QQuickItem* parent = container->parentItem() ? container->parentItem() : container;
    const qreal factor = SceneGraphWrapper::getSceneContentScaleFactorForItem(parent);
    if (factor <= 0)
        return;
    const QPointF position = parent->mapToScene(QPointF(0, 0));
    const float windowHeight = ZTDirector::sharedDirector()->getWinSize().height;
    m_containerNode->setScale(float(1 / factor));
    m_containerNode->setPosition(
        ZTPoint(float(-position.x() / factor), float(-(windowHeight - position.y()) / factor)));
}

void ZTAnimatedSpriteManager::updateSpriteBatchNodePositionsForWindowSize()
{
    if (m_containerNode) {
        updateSpriteBatchContainerDimensions();
        return;
    }
    const float windowHeight = ZTDirector::sharedDirector()->getWinSize().height;
    for (ZTSpriteBatchNode* batch : std::as_const(m_batchNodes))
        batch->setPosition(ZTPoint(0, -windowHeight));
}

void ZTAnimatedSpriteManager::windowSizeChanged()
{
    updateSpriteBatchNodePositionsForWindowSize();
}

void ZTAnimatedSpriteManager::removeUnusedSpriteBatchNodes()
{
    for (auto it = m_batchNodeList.begin(); it != m_batchNodeList.end();) {
        ZTSpriteBatchNode* batch = *it;
        if (batch->getDescendants() && batch->getDescendants()->count() > 0) {
            ++it;
            continue;
        }
        for (auto entry = m_batchNodes.begin(); entry != m_batchNodes.end();) {
            if (entry.value() == batch)
                entry = m_batchNodes.erase(entry);
            else
                ++entry;
        }
        batch->removeFromParentAndCleanup(true);
        batch->release();
        it = m_batchNodeList.erase(it);
    }
}

void ZTAnimatedSpriteManager::itemDestroyed(QObject* item)
{
    if (item == m_containerItem) {
        // Its batch nodes go with its node, and their sprites draw nowhere until their items go too.
        for (auto it = m_batchNodeList.begin(); it != m_batchNodeList.end();) {
            if ((*it)->getParent() != m_containerNode) {
                ++it;
                continue;
            }
            ZTArray* descendants = (*it)->getDescendants();
            for (unsigned int i = 0; descendants && i < descendants->count(); ++i)
                m_spritesWithoutBatchNode.insert(static_cast<ZTSprite*>(descendants->objectAtIndex(i)));
            (*it)->release();
            it = m_batchNodeList.erase(it);
        }
        m_containerItem = nullptr;
        m_containerNode = nullptr;
        m_batchNodes.clear();
        const QList<QObject*> sequences = m_containerSequences.values(item);
        m_containerSequences.remove(item);
        // The sequences go with their container.
        for (QObject* sequence : sequences)
            sequence->deleteLater();
    }
    // The relays to its ancestors would outlive it.
    for (const QMetaObject::Connection& relay : m_ancestorRelays.take(item))
        disconnect(relay);
    ZTNode* node = getNodeFromObject(item);
    if (node && node->getTag() == kAnimatedSpriteTag) {
        auto* sprite = static_cast<ZTSprite*>(node);
        if (ZTSpriteBatchNode* batch = sprite->getSpriteBatchNode())
            batch->removeSpriteFromAtlas(sprite);
        else if (!m_spritesWithoutBatchNode.remove(sprite))
            qWarning("ERROR: no spiteBatchNode found for the sprite from spriteSheet");
        if (ZTAction* action = m_actions.take(item)) {
            sprite->stopAction(action);
            action->release();
        }
        if (m_containerItem)
            m_containerSequences.remove(m_containerItem, sequenceOf(item));
    }
    AbstractZTNodeManager::itemDestroyed(item);
}
