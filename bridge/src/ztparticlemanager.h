#pragma once

#include "abstractztnodemanager.h"

namespace zanth2d {
class ZTParticleSystem;
}

// Mirrors the older particle item (QML ParticleSystem, the root of the Particles component): the item
// gets an empty node, and each start request adds an emitter built from the item's properties under
// it. A node's emitter is always its last child; finished finite emitters stay as idle children.
// Later changes of the start colour, texture, duration, position type and emitter type reach that
// emitter; the other properties are read only when an emitter is built.
class ZTParticleManager : public AbstractZTNodeManager
{
    Q_OBJECT

public:
    ZTParticleManager(SceneGraphWrapper& wrapper, QObject* parent);

    bool canCreateNodeFromItem(QObject* item) override;
    // The item's node, with the item's signals connected; the item's status becomes Ready (0).
    zanth2d::ZTNode* createNodeFromItem(QObject* item, zanth2d::ZTNode* parentNode) override;

    // An endless emitter is only restarted when it stopped; otherwise a new emitter joins the node.
    void startSystem(QObject* item);
    // Ends emission; live particles play out.
    void stopSystem(QObject* item);
    // Every live particle dies at the next step and nothing more is emitted.
    void stopLivingParticles(QObject* item);
    // An autoreleased emitter read from the property list the item's filename names, with the item's
    // position type, its angle (clockwise, degrees) and its emission rate where the item has them (a rate
    // that is no finite number keeps the file's); null, with the reader's log line, when there is no file
    // or it can't be read. Starts never use it: they build from the item's properties.
    zanth2d::ZTParticleSystem* createParticlesFromFile(QObject* item);

private:
    zanth2d::ZTParticleSystem* emitterOf(QObject* item) const;
    // An autoreleased emitter from the item's properties, or null (no texture, or a refused pool).
    zanth2d::ZTParticleSystem* createParticlesFromObject(QObject* item);
    void itemStartColorChanged(QObject* item);
    void itemTextureChanged(QObject* item);
    void durationChanged(QObject* item);
    void positionTypeChanged(QObject* item);
    void emitterTypeChanged(QObject* item);
};
