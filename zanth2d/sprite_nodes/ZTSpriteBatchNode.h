#pragma once

#include "ZTProtocols.h"
#include "ZTTypes.h"
#include "base_nodes/ZTNode.h"

namespace zanth2d {

class ZTArray;
class ZTSprite;
class ZTTexture2D;
class ZTTextureAtlas;

// Quads a batch node makes room for when no capacity is given.
constexpr unsigned int kDefaultSpriteBatchCapacity = 29;

// Draws every sprite of its subtree that shares its texture with one draw call. It owns a texture
// atlas and keeps the batched sprites in one flat list in atlas order (descendant k has atlas index k).
// Sprites join through addChild, or through insertChild at an index the caller computes, in which case
// their parent need not be this node. Children are never visited: they are drawn through the atlas.
class ZTSpriteBatchNode : public ZTNode, public ZTTextureProtocol
{
public:
    ZTSpriteBatchNode() = default;
    ~ZTSpriteBatchNode() override;

    // Autoreleased; null when there is no texture (or the image gives none).
    static ZTSpriteBatchNode* batchNodeWithTexture(ZTTexture2D* tex);
    static ZTSpriteBatchNode* batchNodeWithTexture(ZTTexture2D* tex, unsigned int capacity);
    static ZTSpriteBatchNode* batchNodeWithFile(const char* fileImage);
    static ZTSpriteBatchNode* batchNodeWithFile(const char* fileImage, unsigned int capacity);
    bool initWithTexture(ZTTexture2D* tex, unsigned int capacity);
    bool initWithFile(const char* fileImage, unsigned int capacity);

    virtual ZTTexture2D* getTexture() override;
    virtual void setTexture(ZTTexture2D* texture) override;
    virtual void setBlendFunc(ztBlendFunc blendFunc) override { m_blendFunc = blendFunc; }
    virtual ztBlendFunc getBlendFunc() override { return m_blendFunc; }

    void addChild(ZTNode* child) override;
    void addChild(ZTNode* child, int zOrder) override;
    // The child must be a sprite of this node's texture.
    void addChild(ZTNode* child, int zOrder, int tag) override;
    void removeChild(ZTNode* child, bool cleanup) override;
    void removeAllChildrenWithCleanup(bool cleanup) override;
    void reorderChild(ZTNode* child, int zOrder) override;
    // Brings every descendant's quad up to date and draws all quads at once.
    void draw() override;
    // Transform and draw only: the children are drawn through the atlas.
    void visit() override;

    // Puts the sprite (and its sprite children) into the atlas at index; a sprite that is in a batch node
    // already (this one or another) is taken out of it first, and index is then kept within the atlas.
    void insertChild(ZTSprite* sprite, unsigned int index);
    // Where a sprite that is already a child of its parent belongs in the atlas.
    unsigned int atlasIndexForChild(ZTSprite* sprite, int z);
    // Takes the sprite's quads (its own and its children's) out of the atlas; the sprite renders itself
    // again.
    void removeSpriteFromAtlas(ZTSprite* sprite);
    // A quad of the sprite at index; the sprite is not made a child or descendant.
    void addQuadFromSprite(ZTSprite* sprite, unsigned int index);
    // A child and descendant at atlas index z without a quad. Returns this node.
    ZTSpriteBatchNode* addSpriteWithoutQuad(ZTSprite* child, unsigned int z, int aTag);
    // Grows the atlas by a third; a failed growth stops the program.
    void increaseAtlasCapacity();
    // Renumbers parent's subtree (parent itself unless it is this node) from index in drawing order;
    // returns the next free index.
    unsigned int rebuildIndexInOrder(ZTNode* parent, unsigned int index);
    unsigned int highestAtlasIndexInChild(ZTSprite* sprite);
    unsigned int lowestAtlasIndexInChild(ZTSprite* sprite);
    void removeChildAtIndex(unsigned int index, bool doCleanup);

    ZTTextureAtlas* getTextureAtlas() const { return m_pobTextureAtlas; }
    ZTArray* getDescendants() const { return m_pobDescendants; }

    // Debugging aid: outlines every batched sprite's bounding box when drawing. Off by default.
    void setDrawsSpriteOutlines(bool bDraws) { m_bDrawsSpriteOutlines = bDraws; }
    bool getDrawsSpriteOutlines() const { return m_bDrawsSpriteOutlines; }

protected:
    void updateBlendFunc();

    ZTTextureAtlas* m_pobTextureAtlas = nullptr;
    ztBlendFunc m_blendFunc = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    ZTArray* m_pobDescendants = nullptr;
    bool m_bDrawsSpriteOutlines = false;
};

} // namespace zanth2d
