#pragma once

#include <GL/gl.h>

#include "ZTProtocols.h"
#include "ZTTypes.h"
#include "base_nodes/ZTNode.h"
#include "textures/ZTTextureAtlas.h"

namespace zanth2d {

class ZTSpriteBatchNode;
class ZTSpriteFrame;
class ZTTexture2D;

// Atlas index of a sprite that is not in an atlas.
constexpr unsigned int kZTSpriteIndexNotInitialized = 0xFFFFFFFF;

// A node that shows a rectangle of a texture as one quad with a colour, opacity, flips and a blend
// function. It draws itself (self-render), or its quad lives in a batch node's atlas and is rewritten
// only when the sprite, an ancestor's transform or the visibility changed. Rects and offsets exist in
// points and in pixels (points x the content scale factor).
class ZTSprite : public ZTNode, public ZTTextureProtocol, public ZTRGBAProtocol
{
public:
    ZTSprite() = default;
    ~ZTSprite() override;

    // Factories return autoreleased sprites, or null when the init fails.
    static ZTSprite* spriteWithTexture(ZTTexture2D* pTexture);
    // rect in points.
    static ZTSprite* spriteWithTexture(ZTTexture2D* pTexture, const ZTRect& rect);
    // Null when the image gives no texture.
    static ZTSprite* spriteWithFile(const char* pszFileName);
    static ZTSprite* spriteWithFile(const char* pszFileName, const ZTRect& rect);
    static ZTSprite* spriteWithSpriteFrame(ZTSpriteFrame* pSpriteFrame);
    // The frame must be in the shared frame cache.
    static ZTSprite* spriteWithSpriteFrameName(const char* pszSpriteFrameName);
    static ZTSprite* spriteWithBatchNode(ZTSpriteBatchNode* batchNode, const ZTRect& rect);

    virtual GLubyte getOpacity() override { return m_nOpacity; }
    virtual void setOpacity(GLubyte opacity) override;
    // The colour as set, before opacity is multiplied in.
    virtual const ztColor3B& getColor() override;
    virtual void setColor(const ztColor3B& color) override;
    virtual ztBlendFunc getBlendFunc() override { return m_sBlendFunc; }
    virtual void setBlendFunc(ztBlendFunc blendFunc) override { m_sBlendFunc = blendFunc; }
    virtual bool init();
    // Marks the sprite (and every sprite below it) for recomputation in the next batch draw.
    virtual void setDirtyRecursively(bool bValue);
    virtual void setScale(float fScale);
    virtual void setIsOpacityModifyRGB(bool bValue) override;
    virtual bool getIsOpacityModifyRGB() override { return m_bOpacityModifyRGB; }
    // Not for batched sprites. Retains the texture and picks the blend function for its alpha kind.
    virtual void setTexture(ZTTexture2D* texture) override;
    virtual ZTTexture2D* getTexture() override { return m_pobTexture; }

    void setVertexZ(float fVertexZ) override;
    void setRotation(float fRotation) override;
    void setScaleX(float fScaleX) override;
    void setScaleY(float fScaleY) override;
    void setPosition(const ZTPoint& pos) override;
    void setPositionInPixels(const ZTPoint& pos) override;
    void setSkewX(float sx) override;
    void setSkewY(float sy) override;
    void setIsVisible(bool bVisible) override;
    void setAnchorPoint(const ZTPoint& anchor) override;
    // Not for batched sprites.
    void setIsRelativeAnchorPoint(bool bRelative) override;
    void addChild(ZTNode* pChild) override;
    void addChild(ZTNode* pChild, int zOrder) override;
    // A batched sprite's children must share the atlas texture.
    void addChild(ZTNode* pChild, int zOrder, int tag) override;
    void removeChild(ZTNode* pChild, bool bCleanup) override;
    void removeAllChildrenWithCleanup(bool bCleanup) override;
    void reorderChild(ZTNode* pChild, int zOrder) override;
    // A batched sprite draws nothing: the batch node draws its quad.
    void draw() override;

    bool initWithTexture(ZTTexture2D* pTexture);
    bool initWithTexture(ZTTexture2D* pTexture, const ZTRect& rect);
    bool initWithFile(const char* pszFilename);
    bool initWithFile(const char* pszFilename, const ZTRect& rect);
    bool initWithSpriteFrame(ZTSpriteFrame* pSpriteFrame);
    bool initWithSpriteFrameName(const char* pszSpriteFrameName);
    bool initWithBatchNode(ZTSpriteBatchNode* batchNode, const ZTRect& rect);
    bool initWithBatchNodeRectInPixels(ZTSpriteBatchNode* batchNode, const ZTRect& rect);

    // rect in points: untrimmed, not rotated.
    void setTextureRect(const ZTRect& rect);
    // rect and untrimmedSize in pixels.
    void setTextureRectInPixels(const ZTRect& rect, bool rotated, const ZTSize& untrimmedSize);

    void setDisplayFrame(ZTSpriteFrame* pNewFrame);
    // Frame frameIndex of the named animation of the shared animation cache.
    void setDisplayFrameWithAnimationName(const char* animationName, int frameIndex);
    // Same point rect and same GL texture.
    bool isFrameDisplayed(ZTSpriteFrame* pFrame);
    // An autoreleased frame describing what the sprite shows now.
    ZTSpriteFrame* displayedFrame();

    void setFlipX(bool bFlipX);
    bool isFlipX() const { return m_bFlipX; }
    void setFlipY(bool bFlipY);
    bool isFlipY() const { return m_bFlipY; }

    // Joins the batch node: its quad is drawn from the node's atlas from now on (not retained).
    void useBatchNode(ZTSpriteBatchNode* batchNode);
    void useSelfRender();
    // Brings the quad in the atlas up to date; only for batched sprites, called by the batch node.
    void updateTransform();
    void updateColor();

    unsigned int getAtlasIndex() const { return m_uAtlasIndex; }
    void setAtlasIndex(unsigned int uAtlasIndex) { m_uAtlasIndex = uAtlasIndex; }
    bool isDirty() const { return m_bDirty; }
    void setDirty(bool bDirty) { m_bDirty = bDirty; }
    // Points.
    const ZTRect& getTextureRect() const { return m_obRect; }
    const ZTRect& getTextureRectInPixels() const { return m_obRectInPixels; }
    bool isTextureRectRotated() const { return m_bRectRotated; }
    // The quad's lower-left corner inside the content size, in pixels.
    const ZTPoint& getOffsetPositionInPixels() const { return m_obOffsetPositionInPixels; }
    const ztV3F_C4B_T2F_Quad& getQuad() const { return m_sQuad; }
    bool isUsesBatchNode() const { return m_bUsesBatchNode; }
    void setUsesSpriteBatchNode(bool bUsesSpriteBatchNode) { m_bUsesBatchNode = bUsesSpriteBatchNode; }
    ZTTextureAtlas* getTextureAtlas() const { return m_pobTextureAtlas; }
    void setTextureAtlas(ZTTextureAtlas* pobTextureAtlas) { m_pobTextureAtlas = pobTextureAtlas; }
    ZTSpriteBatchNode* getSpriteBatchNode() const { return m_pobBatchNode; }
    void setSpriteBatchNode(ZTSpriteBatchNode* pobSpriteBatchNode) { m_pobBatchNode = pobSpriteBatchNode; }

protected:
    void updateTextureCoords(const ZTRect& rect);
    void updateBlendFunc();
    void markDirtyAfterChange();
    void writeQuadColors();

    GLubyte m_nOpacity = 255;
    ztColor3B m_sColor = {255, 255, 255};
    ZTTextureAtlas* m_pobTextureAtlas = nullptr;
    unsigned int m_uAtlasIndex = kZTSpriteIndexNotInitialized;
    ZTSpriteBatchNode* m_pobBatchNode = nullptr;
    bool m_bDirty = false;
    bool m_bRecursiveDirty = false;
    bool m_bHasChildren = false;
    ztBlendFunc m_sBlendFunc = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    ZTTexture2D* m_pobTexture = nullptr;
    bool m_bUsesBatchNode = false;
    ZTRect m_obRect;
    ZTRect m_obRectInPixels;
    bool m_bRectRotated = false;
    ZTPoint m_obOffsetPositionInPixels;
    ZTPoint m_obUnflippedOffsetPositionFromCenter;
    ztV3F_C4B_T2F_Quad m_sQuad = {};
    ztColor3B m_sColorUnmodified = {255, 255, 255};
    bool m_bOpacityModifyRGB = true;
    bool m_bFlipX = false;
    bool m_bFlipY = false;
};

} // namespace zanth2d
