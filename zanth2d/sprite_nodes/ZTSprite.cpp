#include "sprite_nodes/ZTSprite.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "cocoa/ZTAffineTransform.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTCommon.h"
#include "sprite_nodes/ZTAnimation.h"
#include "sprite_nodes/ZTAnimationCache.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "sprite_nodes/ZTSpriteFrameCache.h"
#include "support/ZTRenderer.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

namespace zanth2d {

namespace {

constexpr float kDegreesToRadians = 0.017453292f;

float contentScaleFactor()
{
    return ZTDirector::sharedDirector()->getContentScaleFactor();
}

ZTRect scaledRect(const ZTRect& rect, float factor)
{
    ZTRect scaled;
    scaled.origin = ZTPoint(rect.origin.x * factor, rect.origin.y * factor);
    scaled.size = ZTSize(rect.size.width * factor, rect.size.height * factor);
    return scaled;
}

bool isZeroVertex(const ztVertex3F& v)
{
    return v.x == 0 && v.y == 0 && v.z == 0;
}

} // namespace

ZTSprite::~ZTSprite()
{
    ZT_SAFE_RELEASE(m_pobTexture);
}

// Factories

ZTSprite* ZTSprite::spriteWithTexture(ZTTexture2D* pTexture)
{
    return ztMakeAutoreleased<ZTSprite>(
        [&](ZTSprite* pSprite) { return pSprite->initWithTexture(pTexture); });
}

ZTSprite* ZTSprite::spriteWithTexture(ZTTexture2D* pTexture, const ZTRect& rect)
{
    return ztMakeAutoreleased<ZTSprite>(
        [&](ZTSprite* pSprite) { return pSprite->initWithTexture(pTexture, rect); });
}

ZTSprite* ZTSprite::spriteWithFile(const char* pszFileName)
{
    return ztMakeAutoreleased<ZTSprite>(
        [&](ZTSprite* pSprite) { return pSprite->initWithFile(pszFileName); });
}

ZTSprite* ZTSprite::spriteWithFile(const char* pszFileName, const ZTRect& rect)
{
    return ztMakeAutoreleased<ZTSprite>(
        [&](ZTSprite* pSprite) { return pSprite->initWithFile(pszFileName, rect); });
}

ZTSprite* ZTSprite::spriteWithSpriteFrame(ZTSpriteFrame* pSpriteFrame)
{
    return ztMakeAutoreleased<ZTSprite>(
        [&](ZTSprite* pSprite) { return pSprite->initWithSpriteFrame(pSpriteFrame); });
}

ZTSprite* ZTSprite::spriteWithSpriteFrameName(const char* pszSpriteFrameName)
{
    return ztMakeAutoreleased<ZTSprite>(
        [&](ZTSprite* pSprite) { return pSprite->initWithSpriteFrameName(pszSpriteFrameName); });
}

ZTSprite* ZTSprite::spriteWithBatchNode(ZTSpriteBatchNode* batchNode, const ZTRect& rect)
{
    return ztMakeAutoreleased<ZTSprite>(
        [&](ZTSprite* pSprite) { return pSprite->initWithBatchNode(batchNode, rect); });
}

// Inits

bool ZTSprite::init()
{
    m_uAtlasIndex = kZTSpriteIndexNotInitialized;
    m_bUsesBatchNode = false;
    m_pobTextureAtlas = nullptr;
    m_pobBatchNode = nullptr;
    m_bDirty = m_bRecursiveDirty = false;

    m_nOpacity = 255;
    m_sColor = m_sColorUnmodified = ztColor3B{255, 255, 255};
    m_bOpacityModifyRGB = true;
    m_sBlendFunc = ztBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    setTexture(nullptr);

    m_sQuad = ztV3F_C4B_T2F_Quad{};
    const ztColor4B white = {255, 255, 255, 255};
    m_sQuad.bl.colors = white;
    m_sQuad.br.colors = white;
    m_sQuad.tl.colors = white;
    m_sQuad.tr.colors = white;

    m_bFlipX = m_bFlipY = false;
    ZTNode::setAnchorPoint(ZTPoint(0.5f, 0.5f));
    m_obOffsetPositionInPixels = ZTPointZero;
    m_obUnflippedOffsetPositionFromCenter = ZTPointZero;
    m_bHasChildren = false;
    setTextureRectInPixels(ZTRectZero, false, ZTSizeZero);
    return true;
}

bool ZTSprite::initWithTexture(ZTTexture2D* pTexture)
{
    ZTAssert(pTexture != nullptr, "pTexture != __null");
    ZTRect rect;
    rect.size = pTexture->getContentSize();
    return initWithTexture(pTexture, rect);
}

bool ZTSprite::initWithTexture(ZTTexture2D* pTexture, const ZTRect& rect)
{
    ZTAssert(pTexture != nullptr, "pTexture != __null");
    init();
    setTexture(pTexture);
    setTextureRect(rect);
    return true;
}

bool ZTSprite::initWithFile(const char* pszFilename)
{
    ZTAssert(pszFilename != nullptr, "pszFilename != __null");
    ZTTexture2D* pTexture = ZTTextureCache::sharedTextureCache()->addImage(pszFilename);
    return pTexture && initWithTexture(pTexture);
}

bool ZTSprite::initWithFile(const char* pszFilename, const ZTRect& rect)
{
    ZTAssert(pszFilename != nullptr, "pszFilename != __null");
    ZTTexture2D* pTexture = ZTTextureCache::sharedTextureCache()->addImage(pszFilename);
    return pTexture && initWithTexture(pTexture, rect);
}

bool ZTSprite::initWithSpriteFrame(ZTSpriteFrame* pSpriteFrame)
{
    ZTAssert(pSpriteFrame != nullptr, "pSpriteFrame != __null");
    initWithTexture(pSpriteFrame->getTexture(), pSpriteFrame->getRect());
    setDisplayFrame(pSpriteFrame);
    return true;
}

bool ZTSprite::initWithSpriteFrameName(const char* pszSpriteFrameName)
{
    ZTAssert(pszSpriteFrameName != nullptr, "pszSpriteFrameName != __null");
    ZTSpriteFrame* pFrame =
        ZTSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(pszSpriteFrameName);
    if (!pFrame) {
        // Frame names come from sheets and item files: a missing one is bad input, not a broken program.
        ZTLog("ZTSprite: ERROR: no sprite frame named %s\n", pszSpriteFrameName);
        return false;
    }
    return initWithSpriteFrame(pFrame);
}

bool ZTSprite::initWithBatchNode(ZTSpriteBatchNode* batchNode, const ZTRect& rect)
{
    if (!initWithTexture(batchNode->getTexture(), rect)) {
        return false;
    }
    useBatchNode(batchNode);
    return true;
}

bool ZTSprite::initWithBatchNodeRectInPixels(ZTSpriteBatchNode* batchNode, const ZTRect& rect)
{
    if (!initWithTexture(batchNode->getTexture())) {
        return false;
    }
    setTextureRectInPixels(rect, false, rect.size);
    useBatchNode(batchNode);
    return true;
}

// Texture rectangle

void ZTSprite::setTextureRect(const ZTRect& rect)
{
    const ZTRect rectInPixels = scaledRect(rect, contentScaleFactor());
    setTextureRectInPixels(rectInPixels, false, rectInPixels.size);
}

void ZTSprite::setTextureRectInPixels(const ZTRect& rect, bool rotated, const ZTSize& untrimmedSize)
{
    m_obRectInPixels = rect;
    m_obRect = scaledRect(rect, 1.0f / contentScaleFactor());
    m_bRectRotated = rotated;

    setContentSizeInPixels(untrimmedSize);
    updateTextureCoords(m_obRectInPixels);

    ZTPoint relativeOffset = m_obUnflippedOffsetPositionFromCenter;
    if (m_bFlipX) {
        relativeOffset.x = -relativeOffset.x;
    }
    if (m_bFlipY) {
        relativeOffset.y = -relativeOffset.y;
    }
    m_obOffsetPositionInPixels.x =
        relativeOffset.x + (m_tContentSizeInPixels.width - m_obRectInPixels.size.width) / 2;
    m_obOffsetPositionInPixels.y =
        relativeOffset.y + (m_tContentSizeInPixels.height - m_obRectInPixels.size.height) / 2;

    if (m_bUsesBatchNode) {
        m_bDirty = true;
        return;
    }
    const float x1 = m_obOffsetPositionInPixels.x;
    const float y1 = m_obOffsetPositionInPixels.y;
    const float x2 = x1 + m_obRectInPixels.size.width;
    const float y2 = y1 + m_obRectInPixels.size.height;
    m_sQuad.bl.vertices = ztVertex3F{x1, y1, 0};
    m_sQuad.br.vertices = ztVertex3F{x2, y1, 0};
    m_sQuad.tl.vertices = ztVertex3F{x1, y2, 0};
    m_sQuad.tr.vertices = ztVertex3F{x2, y2, 0};
}

void ZTSprite::updateTextureCoords(const ZTRect& rect)
{
    ZTTexture2D* pTexture = m_bUsesBatchNode ? m_pobTextureAtlas->getTexture() : m_pobTexture;
    if (!pTexture) {
        return;
    }
    const float atlasWidth = static_cast<float>(pTexture->getPixelsWide());
    const float atlasHeight = static_cast<float>(pTexture->getPixelsHigh());

    if (m_bRectRotated) {
        float left = rect.origin.x / atlasWidth;
        float right = left + rect.size.height / atlasWidth;
        float top = rect.origin.y / atlasHeight;
        float bottom = top + rect.size.width / atlasHeight;
        if (m_bFlipX) {
            std::swap(top, bottom);
        }
        if (m_bFlipY) {
            std::swap(left, right);
        }
        m_sQuad.bl.texCoords = ztTex2F{left, top};
        m_sQuad.br.texCoords = ztTex2F{left, bottom};
        m_sQuad.tl.texCoords = ztTex2F{right, top};
        m_sQuad.tr.texCoords = ztTex2F{right, bottom};
    } else {
        float left = rect.origin.x / atlasWidth;
        float right = left + rect.size.width / atlasWidth;
        float top = rect.origin.y / atlasHeight;
        float bottom = top + rect.size.height / atlasHeight;
        if (m_bFlipX) {
            std::swap(left, right);
        }
        if (m_bFlipY) {
            std::swap(top, bottom);
        }
        m_sQuad.bl.texCoords = ztTex2F{left, bottom};
        m_sQuad.br.texCoords = ztTex2F{right, bottom};
        m_sQuad.tl.texCoords = ztTex2F{left, top};
        m_sQuad.tr.texCoords = ztTex2F{right, top};
    }
}

// Batched quad

void ZTSprite::updateTransform()
{
    ZTAssert(m_bUsesBatchNode, "m_bUsesBatchNode");
    if (!(m_bDirty || isAncestorDirty() || getVisibilityChanged())) {
        return;
    }
    setVisibilityChanged(false);

    if (!m_bIsVisible || getIsAnyAncestorInvisible()) {
        // Collapsed means every coordinate of every corner is 0; anything else is rewritten.
        const bool collapsed = isZeroVertex(m_sQuad.tl.vertices) && isZeroVertex(m_sQuad.bl.vertices) &&
                               isZeroVertex(m_sQuad.tr.vertices) && isZeroVertex(m_sQuad.br.vertices);
        if (!collapsed) {
            m_sQuad.tl.vertices = m_sQuad.bl.vertices = m_sQuad.tr.vertices = m_sQuad.br.vertices =
                ztVertex3F{0, 0, 0};
            m_pobTextureAtlas->updateQuad(&m_sQuad, m_uAtlasIndex);
        }
        m_bDirty = m_bRecursiveDirty = false;
        return;
    }

    ZTAffineTransform matrix;
    if (m_pParent && m_pParent != static_cast<ZTNode*>(m_pobBatchNode)) {
        matrix = getCachedNodeToWorldTransform();
    } else {
        const float radians = m_fRotation * kDegreesToRadians;
        const float c = std::cos(radians);
        const float s = std::sin(radians);
        matrix = __ZTAffineTransformMake(c * m_fScaleX, -s * m_fScaleX, s * m_fScaleY, c * m_fScaleY,
                                         m_tPositionInPixels.x, m_tPositionInPixels.y);
        if (m_fSkewX != 0 || m_fSkewY != 0) {
            const ZTAffineTransform skew =
                __ZTAffineTransformMake(1.0f, std::tan(m_fSkewY * kDegreesToRadians),
                                        std::tan(m_fSkewX * kDegreesToRadians), 1.0f, 0.0f, 0.0f);
            matrix = ZTAffineTransformConcat(skew, matrix);
        }
        matrix = ZTAffineTransformTranslate(matrix, -m_tAnchorPointInPixels.x, -m_tAnchorPointInPixels.y);
    }

    const float x1 = m_obOffsetPositionInPixels.x;
    const float y1 = m_obOffsetPositionInPixels.y;
    const float x2 = x1 + m_obRectInPixels.size.width;
    const float y2 = y1 + m_obRectInPixels.size.height;
    const float z = m_fVertexZ;
    auto corner = [&matrix, z](float x, float y) {
        return ztVertex3F{matrix.a * x + matrix.c * y + matrix.tx, matrix.b * x + matrix.d * y + matrix.ty,
                          z};
    };
    m_sQuad.bl.vertices = corner(x1, y1);
    m_sQuad.br.vertices = corner(x2, y1);
    m_sQuad.tl.vertices = corner(x1, y2);
    m_sQuad.tr.vertices = corner(x2, y2);
    m_pobTextureAtlas->updateQuad(&m_sQuad, m_uAtlasIndex);
    m_bDirty = m_bRecursiveDirty = false;
}

void ZTSprite::markDirtyAfterChange()
{
    if (m_bUsesBatchNode && !m_bRecursiveDirty) {
        m_bDirty = m_bRecursiveDirty = true;
        if (m_bHasChildren) {
            setDirtyRecursively(true);
        }
    }
}

void ZTSprite::setDirtyRecursively(bool bValue)
{
    m_bDirty = m_bRecursiveDirty = bValue;
    if (m_bHasChildren && m_pChildren) {
        for (ZTObject* pObject : *m_pChildren) {
            if (auto* pChild = dynamic_cast<ZTSprite*>(pObject)) {
                pChild->setDirtyRecursively(true);
            }
        }
    }
}

void ZTSprite::setPosition(const ZTPoint& pos)
{
    ZTNode::setPosition(pos);
    markDirtyAfterChange();
}

void ZTSprite::setPositionInPixels(const ZTPoint& pos)
{
    ZTNode::setPositionInPixels(pos);
    markDirtyAfterChange();
}

void ZTSprite::setRotation(float fRotation)
{
    ZTNode::setRotation(fRotation);
    markDirtyAfterChange();
}

void ZTSprite::setSkewX(float sx)
{
    ZTNode::setSkewX(sx);
    markDirtyAfterChange();
}

void ZTSprite::setSkewY(float sy)
{
    ZTNode::setSkewY(sy);
    markDirtyAfterChange();
}

void ZTSprite::setScaleX(float fScaleX)
{
    ZTNode::setScaleX(fScaleX);
    markDirtyAfterChange();
}

void ZTSprite::setScaleY(float fScaleY)
{
    ZTNode::setScaleY(fScaleY);
    markDirtyAfterChange();
}

void ZTSprite::setScale(float fScale)
{
    ZTNode::setScale(fScale);
    markDirtyAfterChange();
}

void ZTSprite::setVertexZ(float fVertexZ)
{
    ZTNode::setVertexZ(fVertexZ);
    markDirtyAfterChange();
}

void ZTSprite::setAnchorPoint(const ZTPoint& anchor)
{
    ZTNode::setAnchorPoint(anchor);
    markDirtyAfterChange();
}

void ZTSprite::setIsVisible(bool bVisible)
{
    ZTNode::setIsVisible(bVisible);
    markDirtyAfterChange();
}

void ZTSprite::setIsRelativeAnchorPoint(bool bRelative)
{
    ZTAssert(!m_bUsesBatchNode, "! m_bUsesBatchNode");
    ZTNode::setIsRelativeAnchorPoint(bRelative);
}

// Children

void ZTSprite::addChild(ZTNode* pChild)
{
    ZTNode::addChild(pChild);
}

void ZTSprite::addChild(ZTNode* pChild, int zOrder)
{
    ZTNode::addChild(pChild, zOrder);
}

void ZTSprite::addChild(ZTNode* pChild, int zOrder, int tag)
{
    ZTAssert(pChild != nullptr, "pChild != __null");
    ZTNode::addChild(pChild, zOrder, tag);
    if (m_bUsesBatchNode) {
        auto* pChildSprite = dynamic_cast<ZTSprite*>(pChild);
        ZTAssert(pChildSprite != nullptr, "pChild is a ZTSprite");
        ZTAssert(
            pChildSprite->getTexture()->getName() == m_pobTextureAtlas->getTexture()->getName(),
            "((ZTSprite*)pChild)->getTexture()->getName() == m_pobTextureAtlas->getTexture()->getName()");
        const unsigned int index = m_pobBatchNode->atlasIndexForChild(pChildSprite, zOrder);
        m_pobBatchNode->insertChild(pChildSprite, index);
    }
    m_bHasChildren = true;
}

void ZTSprite::removeChild(ZTNode* pChild, bool bCleanup)
{
    if (!pChild || !m_pChildren || !m_pChildren->containsObject(pChild)) {
        return;
    }
    if (m_bUsesBatchNode) {
        if (auto* pChildSprite = dynamic_cast<ZTSprite*>(pChild)) {
            m_pobBatchNode->removeSpriteFromAtlas(pChildSprite);
        }
    }
    ZTNode::removeChild(pChild, bCleanup);
}

void ZTSprite::removeAllChildrenWithCleanup(bool bCleanup)
{
    if (m_bUsesBatchNode && m_pChildren) {
        for (ZTObject* pObject : *m_pChildren) {
            if (auto* pChild = dynamic_cast<ZTSprite*>(pObject)) {
                m_pobBatchNode->removeSpriteFromAtlas(pChild);
            }
        }
    }
    ZTNode::removeAllChildrenWithCleanup(bCleanup);
    m_bHasChildren = false;
}

void ZTSprite::reorderChild(ZTNode* pChild, int zOrder)
{
    ZTAssert(pChild != nullptr, "pChild != __null");
    ZTAssert(m_pChildren && m_pChildren->containsObject(pChild), "m_pChildren->containsObject(pChild)");
    if (zOrder == pChild->getZOrder()) {
        return;
    }
    // A plain node (one this sprite held before it joined a batch) has no quad to move.
    if (!m_bUsesBatchNode || !dynamic_cast<ZTSprite*>(pChild)) {
        ZTNode::reorderChild(pChild, zOrder);
        return;
    }
    pChild->retain();
    removeChild(pChild, false);
    addChild(pChild, zOrder);
    pChild->release();
}

// Drawing

void ZTSprite::draw()
{
    if (m_bUsesBatchNode) {
        return;
    }
    ZTNode::draw();
    ZTRenderer* renderer = ZTRenderer::sharedRenderer();
    if (renderer->queueQuad(m_sQuad, m_pobTexture ? m_pobTexture->getName() : 0, m_sBlendFunc)) {
        return;
    }
    renderer->beginDirectDraw();

    const bool newBlend = m_sBlendFunc.src != GL_ONE || m_sBlendFunc.dst != GL_ONE_MINUS_SRC_ALPHA;
    if (newBlend) {
        glBlendFunc(m_sBlendFunc.src, m_sBlendFunc.dst);
    }
    glBindTexture(GL_TEXTURE_2D, m_pobTexture ? m_pobTexture->getName() : 0);

    constexpr GLsizei kStride = sizeof(ztV3F_C4B_T2F);
    glVertexPointer(3, GL_FLOAT, kStride, &m_sQuad.tl.vertices);
    glColorPointer(4, GL_UNSIGNED_BYTE, kStride, &m_sQuad.tl.colors);
    glTexCoordPointer(2, GL_FLOAT, kStride, &m_sQuad.tl.texCoords);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);

    if (newBlend) {
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
}

// Colour and opacity

void ZTSprite::writeQuadColors()
{
    const ztColor4B color4 = {m_sColor.r, m_sColor.g, m_sColor.b, m_nOpacity};
    m_sQuad.bl.colors = color4;
    m_sQuad.br.colors = color4;
    m_sQuad.tl.colors = color4;
    m_sQuad.tr.colors = color4;
}

void ZTSprite::updateColor()
{
    writeQuadColors();
    if (m_bUsesBatchNode) {
        if (m_uAtlasIndex != kZTSpriteIndexNotInitialized) {
            m_pobTextureAtlas->updateQuad(&m_sQuad, m_uAtlasIndex);
        } else {
            m_bDirty = m_bRecursiveDirty = true;
        }
    }
}

void ZTSprite::setOpacity(GLubyte opacity)
{
    m_nOpacity = opacity;
    if (m_bOpacityModifyRGB) {
        setColor(m_sColorUnmodified);
    }
    updateColor();
}

const ztColor3B& ZTSprite::getColor()
{
    return m_bOpacityModifyRGB ? m_sColorUnmodified : m_sColor;
}

void ZTSprite::setColor(const ztColor3B& color)
{
    m_sColor = m_sColorUnmodified = color;
    if (m_bOpacityModifyRGB) {
        m_sColor.r = static_cast<GLubyte>(color.r * m_nOpacity / 255);
        m_sColor.g = static_cast<GLubyte>(color.g * m_nOpacity / 255);
        m_sColor.b = static_cast<GLubyte>(color.b * m_nOpacity / 255);
    }
    updateColor();
}

void ZTSprite::setIsOpacityModifyRGB(bool bValue)
{
    m_bOpacityModifyRGB = bValue;
    setColor(m_sColorUnmodified);
}

// Texture and blending

void ZTSprite::setTexture(ZTTexture2D* texture)
{
    ZTAssert(!m_bUsesBatchNode, "! m_bUsesBatchNode");
    ZT_SAFE_RETAIN(texture);
    ZT_SAFE_RELEASE(m_pobTexture);
    m_pobTexture = texture;
    updateBlendFunc();
}

void ZTSprite::updateBlendFunc()
{
    ZTAssert(!m_bUsesBatchNode, "! m_bUsesBatchNode");
    if (m_pobTexture && m_pobTexture->getHasPremultipliedAlpha()) {
        m_sBlendFunc = ztBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
        m_bOpacityModifyRGB = true;
    } else {
        m_sBlendFunc = ztBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
        m_bOpacityModifyRGB = false;
    }
}

// Flips and frames

void ZTSprite::setFlipX(bool bFlipX)
{
    if (m_bFlipX != bFlipX) {
        m_bFlipX = bFlipX;
        const ZTRect rect = m_obRectInPixels;
        const ZTSize size = m_tContentSizeInPixels;
        setTextureRectInPixels(rect, m_bRectRotated, size);
    }
}

void ZTSprite::setFlipY(bool bFlipY)
{
    if (m_bFlipY != bFlipY) {
        m_bFlipY = bFlipY;
        const ZTRect rect = m_obRectInPixels;
        const ZTSize size = m_tContentSizeInPixels;
        setTextureRectInPixels(rect, m_bRectRotated, size);
    }
}

void ZTSprite::setDisplayFrame(ZTSpriteFrame* pNewFrame)
{
    m_obUnflippedOffsetPositionFromCenter = pNewFrame->getOffsetInPixels();
    ZTTexture2D* pNewTexture = pNewFrame->getTexture();
    if (pNewTexture != m_pobTexture) {
        setTexture(pNewTexture);
    }
    m_bRectRotated = pNewFrame->isRotated();
    setTextureRectInPixels(pNewFrame->getRectInPixels(), pNewFrame->isRotated(),
                           pNewFrame->getOriginalSizeInPixels());
}

void ZTSprite::setDisplayFrameWithAnimationName(const char* animationName, int frameIndex)
{
    ZTAssert(animationName, "animationName");
    ZTAnimation* pAnimation = ZTAnimationCache::sharedAnimationCache()->animationByName(animationName);
    ZTAssert(pAnimation, "a");
    ZTSpriteFrame* pFrame = pAnimation->getFrames()->getObjectAtIndex(static_cast<unsigned int>(frameIndex));
    ZTAssert(pFrame, "frame");
    setDisplayFrame(pFrame);
}

bool ZTSprite::isFrameDisplayed(ZTSpriteFrame* pFrame)
{
    const GLuint frameName = pFrame->getTexture() ? pFrame->getTexture()->getName() : 0;
    const GLuint ownName = m_pobTexture ? m_pobTexture->getName() : 0;
    return ZTRect::ZTRectEqualToRect(pFrame->getRect(), m_obRect) && frameName == ownName;
}

ZTSpriteFrame* ZTSprite::displayedFrame()
{
    return ZTSpriteFrame::frameWithTexture(m_pobTexture, m_obRectInPixels, m_bRectRotated,
                                           m_obUnflippedOffsetPositionFromCenter, m_tContentSizeInPixels);
}

// Batch membership

void ZTSprite::useBatchNode(ZTSpriteBatchNode* batchNode)
{
    m_bUsesBatchNode = true;
    m_pobTextureAtlas = batchNode->getTextureAtlas();
    m_pobBatchNode = batchNode;
}

void ZTSprite::useSelfRender()
{
    m_uAtlasIndex = kZTSpriteIndexNotInitialized;
    m_bUsesBatchNode = false;
    m_pobTextureAtlas = nullptr;
    m_pobBatchNode = nullptr;
    m_bDirty = m_bRecursiveDirty = false;

    const float x1 = m_obOffsetPositionInPixels.x;
    const float y1 = m_obOffsetPositionInPixels.y;
    const float x2 = x1 + m_obRectInPixels.size.width;
    const float y2 = y1 + m_obRectInPixels.size.height;
    m_sQuad.bl.vertices = ztVertex3F{x1, y1, 0};
    m_sQuad.br.vertices = ztVertex3F{x2, y1, 0};
    m_sQuad.tl.vertices = ztVertex3F{x1, y2, 0};
    m_sQuad.tr.vertices = ztVertex3F{x2, y2, 0};
}

} // namespace zanth2d
