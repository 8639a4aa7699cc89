#pragma once

#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTTexture2D;

// A rectangle of a texture with the trim information that restores the untrimmed image: whether the
// rectangle is stored rotated by 90 degrees, the offset of the trimmed image from the centre and the
// original size. Sizes in pixels unless a name says points (points = pixels / content scale factor).
class ZTSpriteFrame : public ZTObject
{
public:
    ZTSpriteFrame() = default;
    ~ZTSpriteFrame() override;

    // rect in points; not rotated, no offset, original size = the rect's size.
    static ZTSpriteFrame* frameWithTexture(ZTTexture2D* pobTexture, const ZTRect& rect);
    // Everything in pixels.
    static ZTSpriteFrame* frameWithTexture(ZTTexture2D* pobTexture, const ZTRect& rectInPixels, bool rotated,
                                           const ZTPoint& offsetInPixels, const ZTSize& originalSizeInPixels);
    bool initWithTexture(ZTTexture2D* pobTexture, const ZTRect& rect);
    bool initWithTexture(ZTTexture2D* pobTexture, const ZTRect& rectInPixels, bool rotated,
                         const ZTPoint& offsetInPixels, const ZTSize& originalSizeInPixels);

    // A new frame (count 1, the caller's) with the same texture and geometry.
    ZTObject* copyWithZone(ZTZone* pZone) override;

    const ZTRect& getRectInPixels() const { return m_obRectInPixels; }
    // Pixels; the point rect follows.
    void setRectInPixels(const ZTRect& rectInPixels);
    const ZTRect& getRect() const { return m_obRect; }
    // Points; the pixel rect follows.
    void setRect(const ZTRect& rect);
    bool isRotated() const { return m_bRotated; }
    void setRotated(bool bRotated) { m_bRotated = bRotated; }
    const ZTPoint& getOffsetInPixels() const { return m_obOffsetInPixels; }
    void setOffsetInPixels(const ZTPoint& offsetInPixels) { m_obOffsetInPixels = offsetInPixels; }
    const ZTSize& getOriginalSizeInPixels() const { return m_obOriginalSizeInPixels; }
    void setOriginalSizeInPixels(const ZTSize& sizeInPixels) { m_obOriginalSizeInPixels = sizeInPixels; }
    ZTTexture2D* getTexture() const { return m_pobTexture; }
    // Retains the new texture, releases the old.
    void setTexture(ZTTexture2D* pobTexture);

private:
    ZTRect m_obRectInPixels;
    bool m_bRotated = false;
    ZTRect m_obRect;
    ZTPoint m_obOffsetInPixels;
    ZTSize m_obOriginalSizeInPixels;
    ZTTexture2D* m_pobTexture = nullptr;
};

} // namespace zanth2d
