#include "ztspritemanager.h"

#include "itemsignalrelay.h"
#include "scenegraphwrapper.h"

#include "base_nodes/ZTNode.h"
#include "sprite_nodes/ZTSprite.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QUrl>
#include <QtDebug>

using namespace zanth2d;

namespace {

// QML keeps URLs as written: a relative one is taken from the file that declared the item.
QString loaderPath(QObject* item, const QUrl& url)
{
    QUrl resolved = url;
    if (url.isRelative()) {
        if (QQmlContext* context = qmlContext(item))
            resolved = context->resolvedUrl(url);
    }
    return SceneGraphWrapper::getPlatformUrlString(resolved);
}

} // namespace

ZTSpriteManager::ZTSpriteManager(SceneGraphWrapper& wrapper, QObject* parent)
    : AbstractZTNodeManager(wrapper, parent)
{
}

bool ZTSpriteManager::canCreateNodeFromItem(QObject* item)
{
    return SceneGraphWrapper::inherits("QQuickImage", item) ||
           SceneGraphWrapper::inherits("SimpleImage", item);
}

ZTNode* ZTSpriteManager::createNodeFromItem(QObject* item, ZTNode* parentNode)
{
    ZTNode* node = createBaseNodeAndAddToParent(item, parentNode);
    QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    if (!node || !quickItem)
        return node;
    if (ZTSprite* sprite = createSpriteFromSource(item)) {
        updateBlendFuncForSprite(sprite);
        updateSpriteSize(sprite, quickItem);
        sprite->setAnchorPoint(ZTPoint(0, 1));
        node->addChild(sprite, 0, 0);
    }
    applyItemPropertiesToNode(item, node);
    applyTransformOriginToNode(item, node);

    // The signals of the highest index first: the item's table of connections is made once, at its size.
    if (item->property("mirrorY").isValid())
        ItemSignalRelay::connectSignal(item, SIGNAL(mirrorYChanged()), this,
                                       [this, quickItem] { updateMirrorYPropertyFromItem(quickItem); });
    ItemSignalRelay::connectSignal(item, SIGNAL(mirrorChanged()), this,
                                   [this, quickItem] { updateMirrorPropertyFromItem(quickItem); });
    ItemSignalRelay::connectSignal(item, SIGNAL(sourceChanged(QUrl)), this,
                                   [this, quickItem] { sourceChanged(quickItem); });
    sceneGraphWrapper().connectItemSignals(item, this);
    insertNodeWithObjectAsKey(item, node);
    connectOpacityChangedSignals(quickItem);

    updateOpacityFromItem(item);
    updateMirrorPropertyFromItem(item);
    updateMirrorYPropertyFromItem(item);
    return node;
}

void ZTSpriteManager::updateBlendFuncForSprite(ZTSprite* sprite)
{
    const ZTTexture2DPixelFormat format = sprite->getTexture()->getPixelFormat();
    if (format == kZTTexture2DPixelFormat_RGB888 || format == kZTTexture2DPixelFormat_RGB565)
        sprite->setBlendFunc(ztBlendFunc{GL_ONE, GL_ZERO});
}

ZTSprite* ZTSpriteManager::createSpriteFromSource(QObject* item)
{
    const QString path = loaderPath(item, item->property("source").toUrl());
    if (path.isEmpty())
        return nullptr;
    const int format = setPixelFormat(*item, path);
    ZTSprite* sprite = ZTSprite::spriteWithFile(path.toUtf8().constData());
    resetPixelFormatToDefault(format);
    return sprite;
}

void ZTSpriteManager::updateSpriteSize(ZTSprite* sprite, QQuickItem* item)
{
    const ZTSize content = sprite->getContentSize();
    if (SceneGraphWrapper::inherits("SimpleImage", item))
        QMetaObject::invokeMethod(item, "setSizeFromSceneGraph",
                                  Q_ARG(QSize, QSize(int(content.width), int(content.height))));
    // An empty image has nothing to stretch.
    if (content.width <= 0 || content.height <= 0)
        return;
    sprite->setScaleX(float(item->width() / content.width));
    sprite->setScaleY(float(item->height() / content.height));
}

void ZTSpriteManager::itemSizeChanged(QQuickItem* item)
{
    if (ZTSprite* sprite = getSpriteFromNode(getNodeFromObject(item)))
        updateSpriteSize(sprite, item);
    AbstractZTNodeManager::itemSizeChanged(item);
}

void ZTSpriteManager::updateOpacityFromItem(QObject* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node) {
        qWarning() << "WARNING: ZTSpriteManager: no scene-graph node found for object"
                   << static_cast<const void*>(item);
        return;
    }
    ZTSprite* sprite = getSpriteFromNode(node);
    QQuickItem* quickItem = SceneGraphWrapper::castItem(item);
    if (!sprite || !quickItem)
        return;
    const double opacity = effectiveOpacity(quickItem);
    sprite->setOpacity(GLubyte(int(opacity * 255.0) & 0xFF));
    updateVisibilityFromOpacity(quickItem, node, opacity);
}

void ZTSpriteManager::itemOpacityChanged(QQuickItem* item)
{
    updateOpacityFromItem(item);
}

void ZTSpriteManager::updateMirrorPropertyFromItem(QObject* item)
{
    const QVariant mirror = item->property("mirror");
    if (ZTSprite* sprite = getSpriteFromNode(getNodeFromObject(item)); sprite && mirror.isValid())
        sprite->setFlipX(mirror.toBool());
}

void ZTSpriteManager::updateMirrorYPropertyFromItem(QObject* item)
{
    const QVariant mirror = item->property("mirrorY");
    if (ZTSprite* sprite = getSpriteFromNode(getNodeFromObject(item)); sprite && mirror.isValid())
        sprite->setFlipY(mirror.toBool());
}

void ZTSpriteManager::sourceChanged(QQuickItem* item)
{
    ZTNode* node = getNodeFromObject(item);
    if (!node)
        return;
    ZTSprite* sprite = getSpriteFromNode(node);
    const QString path = loaderPath(item, item->property("source").toUrl());
    if (path.isEmpty()) {
        // An image without a source shows nothing.
        if (sprite)
            node->removeChild(sprite, true);
        return;
    }
    if (!sprite) {
        sprite = createSpriteFromSource(item);
        if (!sprite)
            return;
        node->addChild(sprite, 0, 0);
    } else {
        // A file that cannot be loaded leaves the sprite's texture as it was.
        sprite->initWithFile(path.toUtf8().constData());
    }
    updateBlendFuncForSprite(sprite);
    updateSpriteSize(sprite, item);
    sprite->setAnchorPoint(ZTPoint(0, 1));
    updateOpacityFromItem(item);
    // The new texture would otherwise lose the item's mirroring.
    updateMirrorPropertyFromItem(item);
    updateMirrorYPropertyFromItem(item);
}

int ZTSpriteManager::setPixelFormat(const QObject& item, const QString& path)
{
    const QVariant value = item.property("pixelFormat");
    return setPixelFormatForImage(value.isValid() ? value.toInt() : 0, path, "ZTSpriteManager");
}

int ZTSpriteManager::setPixelFormatForImage(int format, const QString& path, const char* requester)
{
    if (format == 0 || ZTTextureCache::isPVRFile(path.toUtf8().constData()))
        return 0;
    // A game's value must not reach the texture code as a format it cannot make.
    if (format < kZTTexture2DPixelFormat_RGBA8888 || format > kZTTexture2DPixelFormat_PVRTC2 ||
        !ZTTexture2D::canMakeFromImage(ZTTexture2DPixelFormat(format))) {
        qWarning().noquote() << QStringLiteral(
                                    "WARNING: %1: the pixelFormat %2 cannot be made from an image file, the "
                                    "default format is used for \"%3\"")
                                    .arg(QLatin1String(requester))
                                    .arg(format)
                                    .arg(path);
        return 0;
    }
    ZTTexture2D::setDefaultAlphaPixelFormat(ZTTexture2DPixelFormat(format));
    return format;
}

void ZTSpriteManager::resetPixelFormatToDefault(int format)
{
    if (format != 0)
        ZTTexture2D::setDefaultAlphaPixelFormat(kZTTexture2DPixelFormat_RGBA8888);
}

ZTSprite* ZTSpriteManager::getSpriteFromNode(ZTNode* node)
{
    return node ? dynamic_cast<ZTSprite*>(node->getChildByTag(0)) : nullptr;
}
