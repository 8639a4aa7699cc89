#include "sprite_nodes/ZTSpriteBatchNode.h"

#include <algorithm>

#include "ZTDrawingPrimitives.h"
#include "ZTMacros.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTCommon.h"
#include "sprite_nodes/ZTSprite.h"
#include "support/ZTGLStateCache.h"
#include "support/ZTRenderer.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureAtlas.h"
#include "textures/ZTTextureCache.h"

namespace zanth2d {

namespace {

ZTSprite* spriteAt(ZTArray* array, unsigned int index)
{
    return static_cast<ZTSprite*>(array->objectAtIndex(index));
}

// Children that are not sprites (a plain node under a sprite) have no quad: the atlas walks skip them.
ZTSprite* asSprite(ZTObject* object)
{
    return dynamic_cast<ZTSprite*>(object);
}

// The last sprite among the first count children of node; null when there is none.
ZTSprite* lastSpriteAmong(ZTNode* node, unsigned int count)
{
    ZTArray* children = node->getChildren();
    count = children ? std::min(count, children->count()) : 0;
    while (count > 0) {
        if (ZTSprite* sprite = asSprite(children->objectAtIndex(--count))) {
            return sprite;
        }
    }
    return nullptr;
}

ZTSprite* firstSpriteChild(ZTNode* node)
{
    if (ZTArray* children = node->getChildren()) {
        for (ZTObject* pObject : *children) {
            if (ZTSprite* sprite = asSprite(pObject)) {
                return sprite;
            }
        }
    }
    return nullptr;
}

} // namespace

ZTSpriteBatchNode::~ZTSpriteBatchNode()
{
    // Sprites inserted under other parents outlive this node: they must not keep its atlas.
    if (m_pobDescendants) {
        for (ZTObject* pObject : *m_pobDescendants) {
            static_cast<ZTSprite*>(pObject)->useSelfRender();
        }
    }
    ZT_SAFE_RELEASE(m_pobTextureAtlas);
    ZT_SAFE_RELEASE(m_pobDescendants);
}

ZTSpriteBatchNode* ZTSpriteBatchNode::batchNodeWithTexture(ZTTexture2D* tex)
{
    return batchNodeWithTexture(tex, kDefaultSpriteBatchCapacity);
}

ZTSpriteBatchNode* ZTSpriteBatchNode::batchNodeWithTexture(ZTTexture2D* tex, unsigned int capacity)
{
    return ztMakeAutoreleased<ZTSpriteBatchNode>(
        [&](ZTSpriteBatchNode* pBatchNode) { return pBatchNode->initWithTexture(tex, capacity); });
}

ZTSpriteBatchNode* ZTSpriteBatchNode::batchNodeWithFile(const char* fileImage)
{
    return batchNodeWithFile(fileImage, kDefaultSpriteBatchCapacity);
}

ZTSpriteBatchNode* ZTSpriteBatchNode::batchNodeWithFile(const char* fileImage, unsigned int capacity)
{
    return ztMakeAutoreleased<ZTSpriteBatchNode>(
        [&](ZTSpriteBatchNode* pBatchNode) { return pBatchNode->initWithFile(fileImage, capacity); });
}

bool ZTSpriteBatchNode::initWithFile(const char* fileImage, unsigned int capacity)
{
    ZTTexture2D* pTexture = ZTTextureCache::sharedTextureCache()->addImage(fileImage);
    if (!pTexture) {
        ZTLog("ZTSpriteBatchNode: ERROR: no texture for %s\n", fileImage);
        return false;
    }
    return initWithTexture(pTexture, capacity);
}

bool ZTSpriteBatchNode::initWithTexture(ZTTexture2D* tex, unsigned int capacity)
{
    if (!tex) {
        ZTLog("ZTSpriteBatchNode: ERROR: a batch node needs a texture\n");
        return false;
    }
    m_blendFunc = ztBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    auto* pAtlas = new ZTTextureAtlas();
    if (!pAtlas->initWithTexture(tex, capacity)) {
        pAtlas->release();
        return false;
    }
    ZT_SAFE_RELEASE(m_pobTextureAtlas);
    m_pobTextureAtlas = pAtlas;
    updateBlendFunc();

    if (!m_pChildren) {
        childrenAlloc();
    }
    ZT_SAFE_RELEASE(m_pobDescendants);
    m_pobDescendants = new ZTArray();
    m_pobDescendants->initWithCapacity(capacity ? capacity : 1);
    return true;
}

ZTTexture2D* ZTSpriteBatchNode::getTexture()
{
    return m_pobTextureAtlas->getTexture();
}

void ZTSpriteBatchNode::setTexture(ZTTexture2D* texture)
{
    m_pobTextureAtlas->setTexture(texture);
    updateBlendFunc();
}

void ZTSpriteBatchNode::updateBlendFunc()
{
    if (!m_pobTextureAtlas->getTexture()->getHasPremultipliedAlpha()) {
        m_blendFunc = ztBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    }
}

// Children

void ZTSpriteBatchNode::addChild(ZTNode* child)
{
    ZTNode::addChild(child);
}

void ZTSpriteBatchNode::addChild(ZTNode* child, int zOrder)
{
    ZTNode::addChild(child, zOrder);
}

void ZTSpriteBatchNode::addChild(ZTNode* child, int zOrder, int tag)
{
    ZTAssert(child != nullptr, "child != __null");
    auto* pSprite = dynamic_cast<ZTSprite*>(child);
    ZTAssert(pSprite != nullptr, "child is a ZTSprite");
    ZTAssert(pSprite->getTexture()->getName() == m_pobTextureAtlas->getTexture()->getName(),
             "pSprite->getTexture()->getName() == m_pobTextureAtlas->getTexture()->getName()");
    ZTNode::addChild(child, zOrder, tag);
    insertChild(pSprite, atlasIndexForChild(pSprite, zOrder));
}

void ZTSpriteBatchNode::reorderChild(ZTNode* child, int zOrder)
{
    ZTAssert(child != nullptr, "child != __null");
    ZTAssert(m_pChildren->containsObject(child), "m_pChildren->containsObject(child)");
    if (zOrder == child->getZOrder()) {
        return;
    }
    child->retain();
    removeChild(child, false);
    addChild(child, zOrder);
    child->release();
}

void ZTSpriteBatchNode::removeChild(ZTNode* child, bool cleanup)
{
    if (!child) {
        return;
    }
    ZTAssert(m_pChildren->containsObject(child), "m_pChildren->containsObject(pSprite)");
    removeSpriteFromAtlas(static_cast<ZTSprite*>(child));
    ZTNode::removeChild(child, cleanup);
}

void ZTSpriteBatchNode::removeChildAtIndex(unsigned int index, bool doCleanup)
{
    removeChild(static_cast<ZTNode*>(m_pChildren->objectAtIndex(index)), doCleanup);
}

void ZTSpriteBatchNode::removeAllChildrenWithCleanup(bool cleanup)
{
    if (m_pChildren) {
        for (ZTObject* pObject : *m_pChildren) {
            removeSpriteFromAtlas(static_cast<ZTSprite*>(pObject));
        }
    }
    ZTNode::removeAllChildrenWithCleanup(cleanup);
    // Sprites inserted under other parents are left too: they must not keep this node's atlas and an
    // index in it.
    for (ZTObject* pObject : *m_pobDescendants) {
        static_cast<ZTSprite*>(pObject)->useSelfRender();
    }
    m_pobDescendants->removeAllObjects();
    m_pobTextureAtlas->removeAllQuads();
}

// Atlas bookkeeping

void ZTSpriteBatchNode::increaseAtlasCapacity()
{
    const unsigned int quantity = (m_pobTextureAtlas->getCapacity() + 1) * 4 / 3;
    if (!m_pobTextureAtlas->resizeCapacity(quantity)) {
        ZTLog("ZTSpriteBatchNode: ERROR: not enough memory to grow the atlas to %u quads\n", quantity);
        ZTAssert(false, "false");
    }
}

void ZTSpriteBatchNode::insertChild(ZTSprite* sprite, unsigned int index)
{
    // One quad in one atlas: a sprite inserted again, or into another batch node, leaves its place first.
    ZTSpriteBatchNode* previous = sprite->getSpriteBatchNode();
    if (previous && previous->m_pobDescendants->containsObject(sprite)) {
        previous->removeSpriteFromAtlas(sprite);
        // An index counted with the sprite still in place may now be one past the end.
        index = std::min(index, m_pobDescendants->count());
    }
    sprite->useBatchNode(this);
    sprite->setAtlasIndex(index);
    sprite->setDirty(true);

    if (m_pobTextureAtlas->getTotalQuads() == m_pobTextureAtlas->getCapacity()) {
        increaseAtlasCapacity();
    }
    m_pobTextureAtlas->insertQuad(&sprite->getQuad(), index);
    m_pobDescendants->insertObject(sprite, index);
    const unsigned int count = m_pobDescendants->count();
    for (unsigned int i = index + 1; i < count; ++i) {
        ZTSprite* pFollowing = spriteAt(m_pobDescendants, i);
        pFollowing->setAtlasIndex(pFollowing->getAtlasIndex() + 1);
    }

    if (ZTArray* children = sprite->getChildren()) {
        for (ZTObject* pObject : *children) {
            if (ZTSprite* pChild = asSprite(pObject)) {
                insertChild(pChild, atlasIndexForChild(pChild, pChild->getZOrder()));
            }
        }
    }
}

void ZTSpriteBatchNode::removeSpriteFromAtlas(ZTSprite* sprite)
{
    m_pobTextureAtlas->removeQuadAtIndex(sprite->getAtlasIndex());
    sprite->useSelfRender();

    const unsigned int index = m_pobDescendants->indexOfObject(sprite);
    if (index != ZTArray::kNotFound) {
        m_pobDescendants->removeObjectAtIndex(index);
        const unsigned int count = m_pobDescendants->count();
        for (unsigned int i = index; i < count; ++i) {
            ZTSprite* pFollowing = spriteAt(m_pobDescendants, i);
            pFollowing->setAtlasIndex(pFollowing->getAtlasIndex() - 1);
        }
    }

    if (ZTArray* children = sprite->getChildren()) {
        for (ZTObject* pObject : *children) {
            if (auto* pChild = dynamic_cast<ZTSprite*>(pObject)) {
                removeSpriteFromAtlas(pChild);
            }
        }
    }
}

unsigned int ZTSpriteBatchNode::highestAtlasIndexInChild(ZTSprite* sprite)
{
    while (ZTSprite* pLast = lastSpriteAmong(sprite, sprite->getChildrenCount())) {
        sprite = pLast;
    }
    return sprite->getAtlasIndex();
}

unsigned int ZTSpriteBatchNode::lowestAtlasIndexInChild(ZTSprite* sprite)
{
    while (ZTSprite* pFirst = firstSpriteChild(sprite)) {
        sprite = pFirst;
    }
    return sprite->getAtlasIndex();
}

unsigned int ZTSpriteBatchNode::atlasIndexForChild(ZTSprite* sprite, int z)
{
    ZTNode* pParent = sprite->getParent();
    ZTArray* brothers = pParent->getChildren();
    // Brothers that are not sprites have no place in the atlas.
    ZTSprite* pPrevious = lastSpriteAmong(pParent, brothers->indexOfObject(sprite));

    if (pParent == this) {
        return pPrevious ? highestAtlasIndexInChild(pPrevious) + 1 : 0;
    }

    auto* pParentSprite = static_cast<ZTSprite*>(pParent);
    if (!pPrevious) {
        return z < 0 ? pParentSprite->getAtlasIndex() : pParentSprite->getAtlasIndex() + 1;
    }
    const bool sameSide = (pPrevious->getZOrder() < 0) == (z < 0);
    return sameSide ? highestAtlasIndexInChild(pPrevious) + 1 : pParentSprite->getAtlasIndex() + 1;
}

unsigned int ZTSpriteBatchNode::rebuildIndexInOrder(ZTNode* parent, unsigned int index)
{
    ZTArray* children = parent->getChildren();
    if (children) {
        for (ZTObject* pObject : *children) {
            ZTSprite* pChild = asSprite(pObject);
            if (pChild && pChild->getZOrder() < 0) {
                index = rebuildIndexInOrder(pChild, index);
            }
        }
    }
    if (parent != this) {
        static_cast<ZTSprite*>(parent)->setAtlasIndex(index);
        ++index;
    }
    if (children) {
        for (ZTObject* pObject : *children) {
            ZTSprite* pChild = asSprite(pObject);
            if (pChild && pChild->getZOrder() >= 0) {
                index = rebuildIndexInOrder(pChild, index);
            }
        }
    }
    return index;
}

void ZTSpriteBatchNode::addQuadFromSprite(ZTSprite* sprite, unsigned int index)
{
    ZTAssert(sprite != nullptr, "sprite != __null");
    while (index >= m_pobTextureAtlas->getCapacity() ||
           m_pobTextureAtlas->getCapacity() == m_pobTextureAtlas->getTotalQuads()) {
        increaseAtlasCapacity();
    }
    sprite->useBatchNode(this);
    sprite->setAtlasIndex(index);
    m_pobTextureAtlas->insertQuad(&sprite->getQuad(), index);
    sprite->setDirty(true);
    sprite->updateTransform();
}

ZTSpriteBatchNode* ZTSpriteBatchNode::addSpriteWithoutQuad(ZTSprite* child, unsigned int z, int aTag)
{
    ZTAssert(child != nullptr, "child != __null");
    child->setAtlasIndex(z);
    unsigned int position = 0;
    for (ZTObject* pObject : *m_pobDescendants) {
        if (static_cast<ZTSprite*>(pObject)->getAtlasIndex() >= z) {
            ++position;
        }
    }
    m_pobDescendants->insertObject(child, position);
    ZTNode::addChild(child, static_cast<int>(z), aTag);
    return this;
}

// Drawing

void ZTSpriteBatchNode::visit()
{
    if (!m_bIsVisible) {
        return;
    }
    const VisitFrame frame = beginVisitTransform();
    draw();
    endVisitTransform(frame);
}

void ZTSpriteBatchNode::draw()
{
    ZTNode::draw();
    if (m_pobTextureAtlas->getTotalQuads() == 0) {
        return;
    }
    ZTRenderer::sharedRenderer()->flush();
    for (ZTObject* pObject : *m_pobDescendants) {
        auto* pSprite = static_cast<ZTSprite*>(pObject);
        pSprite->updateTransform();
        if (m_bDrawsSpriteOutlines) {
            const ZTRect box = pSprite->boundingBox();
            const ZTPoint vertices[4] = {
                ZTPoint(box.origin.x, box.origin.y),
                ZTPoint(box.origin.x + box.size.width, box.origin.y),
                ZTPoint(box.origin.x + box.size.width, box.origin.y + box.size.height),
                ZTPoint(box.origin.x, box.origin.y + box.size.height),
            };
            ztDrawPoly(vertices, 4, true);
        }
    }

    ZTGLStateCache::blendFunc(m_blendFunc.src, m_blendFunc.dst);
    m_pobTextureAtlas->drawQuads();
}

} // namespace zanth2d
