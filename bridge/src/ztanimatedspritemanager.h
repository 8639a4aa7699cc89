#pragma once

#include "ztspritemanager.h"

#include "sprite_nodes/ZTAnimation.h"

#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QSet>
#include <QUrl>
#include <QVariantMap>

namespace zanth2d {
class ZTAction;
class ZTNode;
class ZTObject;
class ZTSprite;
class ZTSpriteBatchNode;
class ZTSpriteFrame;
class ZTTexture2D;
} // namespace zanth2d

// Mirrors sprite animations: a SpriteSequence (SpriteImageItem) gets a base node, and each of its
// Sprite children one sprite of tag 20 below it, drawn through the batch node of its texture that all
// sprites on that texture share. Frames are a row of equal cells of the sheet image, or named frames of
// a sprite-sheet JSON file; the animation runs as an action of tag 10 on the sprite, and the QML timer of
// the Sprite is switched off. A SpriteBatchContainer (SpriteBatchContainerItem) collects the batch nodes
// under its own node. Batch nodes sit at the window's origin because batched quads are in world space.
// The manager holds one reference to every sprite and action it made until their item is destroyed.
class ZTAnimatedSpriteManager : public ZTSpriteManager
{
    Q_OBJECT

public:
    ZTAnimatedSpriteManager(SceneGraphWrapper& wrapper, QObject* parent);
    ~ZTAnimatedSpriteManager() override;

    bool canCreateNodeFromItem(QObject* item) override;
    zanth2d::ZTNode* createNodeFromItem(QObject* item, zanth2d::ZTNode* parentNode) override;
    // The sequence's Sprite children are mirrored here, nothing below a sequence by the wrapper.
    bool shouldProcessChildren() override { return false; }
    // The base's reaction (node scale and position), not the image manager's: sprites keep their size.
    void itemSizeChanged(QQuickItem* item) override;
    void itemVisibleChanged(QQuickItem* item) override;
    void itemOpacityChanged(QQuickItem* item) override;
    void itemZChanged(QQuickItem* item) override;
    // A Sprite item given another parent: its sprite takes its new place in the batch node's stacking.
    void itemParentChanged(QQuickItem* item) override;
    void itemDestroyed(QObject* item) override;
    void windowSizeChanged() override;

    // The sprite of a Sprite item (its sequence's node below it), or null when it has no sheet yet or no
    // frame could be made.
    zanth2d::ZTSprite* createSprite(QObject* spriteItem, zanth2d::ZTNode* sequenceNode);
    // The atlas index follows QML's painting order, so that sequences sharing a batch node draw as QML
    // would stack them.
    void insertSpriteToBatchNode(zanth2d::ZTSprite* sprite, zanth2d::ZTSpriteBatchNode* batch,
                                 const QObject* spriteItem);
    // From the frame cache (key: the sequence's resolved sheet URL and the name), else from the
    // sequence's JSON sheet; null without the sheet's batch node or for a malformed frame.
    zanth2d::ZTSpriteFrame* createSpriteFrameFromFrameName(const QString& name, const QObject& spriteItem);
    // The parsed sheet, cached per URL; an empty map (read again next time) when unreadable.
    QVariantMap getJsonFileContentFromUrl(const QUrl& url);
    // A new batch node on the sheet image at texturePath, loaded in format (a Sprite's or its sequence's
    // "pixelFormat"), or, for 0, in the "meta"."format" of sheet when one is given; a format an image
    // cannot be made in falls back to the default with one warning. Autoreleased; null, with a warning,
    // when the image cannot be loaded.
    static zanth2d::ZTSpriteBatchNode* loadSheetBatchNode(int format, const QVariantMap* sheet,
                                                          const QString& texturePath);
    // The named frame of sheet on texture, not cached; null, with a warning, for a malformed frame or one
    // reaching past the texture. textureUrl names the texture in messages.
    static zanth2d::ZTSpriteFrame* frameOnTexture(const QVariantMap& sheet, const QString& name,
                                                  zanth2d::ZTTexture2D* texture, const QString& textureUrl);
    // Sets the sequence's "spriteSheetSourceForJsonFile" from its JSON sheet's image name.
    void updateModifiedSpriteSheetFilename(QObject* sequence);
    // Shows the sequence's current animation and runs or pauses it.
    void updateCurrentAnimationForSpriteImage(QObject* sequence);
    void updateSpriteOpacityFromItem(QObject* spriteItem);
    void resumeSpriteAnimationOrRestart(QObject* spriteItem, zanth2d::ZTNode* node, bool run);
    void updateSpriteBatchContainerDimensions();
    void updateSpriteBatchNodePositionsForWindowSize();
    // Drops the batch nodes that no sprite uses any more.
    void removeUnusedSpriteBatchNodes();
    // The finish action's call: tells the Sprite item, which emits animationFinished.
    void sceneGraphAnimationFinished(zanth2d::ZTNode* node, void* spriteItem);

private:
    QString resolvedPlatformPath(QObject* item, const QUrl& url) const;
    zanth2d::ZTSprite* animatedSprite(QObject* spriteItem) const;
    zanth2d::ZTAnimation::FrameArray* framesFromNames(const QStringList& names, QObject* spriteItem);
    void connectSpriteSignals(QObject* spriteItem);
    // Relays the z changes of the Sprite item's ancestors to its own zChanged, and restacks its sprite
    // when an ancestor gets another parent; connected again for the ancestors of the moment each time.
    void relayAncestorChanges(QQuickItem* spriteItem);
    // Takes the Sprite item's sprite out of its batch node and inserts it where QML now stacks it.
    void restackInBatchNode(QObject* spriteItem);
    void createSpriteLater(QObject* spriteItem, const char* noParentMessage, const char* noNodeMessage);

    void updateActiveAnimation(QObject* sequence);
    void spriteRunningChanged(QObject* spriteItem);
    void sourceChanged(QObject* spriteItem);
    void modifiedSpriteSheetFilenameChanged(QObject* sequence);
    void frameXChanged(QObject* spriteItem);
    void frameYChanged(QObject* spriteItem);
    void frameWidthChanged(QObject* spriteItem);
    void frameHeightChanged(QObject* spriteItem);
    void frameNumberChanged(QObject* spriteItem);
    void frameNamesChanged(QObject* spriteItem);
    void mirrorChanged(QObject* spriteItem);

    QHash<QString, zanth2d::ZTSpriteBatchNode*> m_batchNodes;
    QHash<QObject*, zanth2d::ZTAction*> m_actions;
    zanth2d::ZTNode* m_containerNode = nullptr;
    QObject* m_containerItem = nullptr;
    QMultiHash<QObject*, QObject*> m_containerSequences;
    // Each retained: at the end the scene goes before the items, whose sprites still leave their batch.
    QList<zanth2d::ZTSpriteBatchNode*> m_batchNodeList;
    QHash<QUrl, QVariantMap> m_jsonCache;
    // Sprites whose batch node went with a destroyed container.
    QSet<zanth2d::ZTSprite*> m_spritesWithoutBatchNode;
    // Per Sprite item, its connections to its ancestors' signals (relayAncestorChanges).
    QHash<QObject*, QList<QMetaObject::Connection>> m_ancestorRelays;
    // The target of the finish actions; outlives the manager while actions still hold it.
    zanth2d::ZTObject* m_finishTarget = nullptr;
};
