#pragma once

#include "abstractztnodemanager.h"

class QQuickItem;
class QUrl;

namespace zanth2d {
class ZTSprite;
}

// Mirrors QML images (the engine's SimpleImage and QtQuick's Image): the base node carries one sprite
// (tag 0) loaded from the item's source, hanging from its top-left corner and stretched over the item's
// box, with the item's effective opacity and mirroring. An item may ask for a texture pixel format with
// an integer property "pixelFormat".
class ZTSpriteManager : public AbstractZTNodeManager
{
    Q_OBJECT

public:
    ZTSpriteManager(SceneGraphWrapper& wrapper, QObject* parent);

    bool canCreateNodeFromItem(QObject* item) override;
    zanth2d::ZTNode* createNodeFromItem(QObject* item, zanth2d::ZTNode* parentNode) override;
    // Opaque formats (RGB888, RGB565) are drawn without blending.
    virtual void updateBlendFuncForSprite(zanth2d::ZTSprite* sprite);

    // Null when the source is empty or its file could not be loaded.
    zanth2d::ZTSprite* createSpriteFromSource(QObject* item);
    // Tells a SimpleImage the sprite's size, then stretches the sprite over the item's box.
    static void updateSpriteSize(zanth2d::ZTSprite* sprite, QQuickItem* item);
    void updateOpacityFromItem(QObject* item);
    void updateMirrorPropertyFromItem(QObject* item);
    void updateMirrorYPropertyFromItem(QObject* item);
    // Makes the item's "pixelFormat" the default for loading the image at path: setPixelFormatForImage.
    static int setPixelFormat(const QObject& item, const QString& path);
    // Makes format the default alpha pixel format for loading the image at path and returns it; returns 0
    // and sets nothing for 0, for a PVR file (which holds its own format) and for a format that
    // ZTTexture2D::canMakeFromImage refuses, which gets one warning naming requester. Every path from a
    // game's value or a data file to the default format passes here.
    static int setPixelFormatForImage(int format, const QString& path, const char* requester);
    // Back to RGBA8888 after a load that used the item's format.
    static void resetPixelFormatToDefault(int format);
    static zanth2d::ZTSprite* getSpriteFromNode(zanth2d::ZTNode* node);

    void itemSizeChanged(QQuickItem* item) override;
    void itemOpacityChanged(QQuickItem* item) override;
    // Loads the new file into the item's sprite, or makes the sprite when there is none yet.
    void sourceChanged(QQuickItem* item);
};
