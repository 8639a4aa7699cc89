#include "label_nodes/ZTLabelTTF.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/ZTImage.h"

namespace zanth2d {

namespace {

ZTNode* fpsLabelWithString(const char* text, const char* fontName, float fontSize)
{
    return ZTLabelTTF::labelWithString(text, fontName, fontSize);
}

void setFPSLabelString(ZTNode* label, const char* text)
{
    static_cast<ZTLabelTTF*>(label)->setString(text);
}

ZTSize clampedDimensions(const ZTSize& dimensions)
{
    return ZTSize(std::max(dimensions.width, 0.0f), std::max(dimensions.height, 0.0f));
}

} // namespace

ZTLabelTTF* ZTLabelTTF::labelWithString(const char* label, const ZTSize& dimensions,
                                        ZTTextAlignment alignment, const char* fontName, float fontSize)
{
    return ztMakeAutoreleased<ZTLabelTTF>([&](ZTLabelTTF* pLabel) {
        return pLabel->initWithString(label, dimensions, alignment, fontName, fontSize);
    });
}

ZTLabelTTF* ZTLabelTTF::labelWithString(const char* label, const char* fontName, float fontSize)
{
    return ztMakeAutoreleased<ZTLabelTTF>(
        [&](ZTLabelTTF* pLabel) { return pLabel->initWithString(label, fontName, fontSize); });
}

bool ZTLabelTTF::initWithString(const char* label, const ZTSize& dimensions, ZTTextAlignment alignment,
                                const char* fontName, float fontSize)
{
    ZTAssert(label != nullptr, "label != __null");
    if (!ZTSprite::init()) {
        return false;
    }
    const float scale = ZTDirector::sharedDirector()->getContentScaleFactor();
    const ZTSize clamped = clampedDimensions(dimensions);
    m_tDimensions = ZTSize(clamped.width * scale, clamped.height * scale);
    m_eAlignment = alignment;
    m_sFontName = fontName ? fontName : "";
    m_fFontSize = fontSize * scale;
    setString(label);
    return true;
}

bool ZTLabelTTF::initWithString(const char* label, const char* fontName, float fontSize)
{
    ZTAssert(label != nullptr, "label != __null");
    if (!ZTSprite::init()) {
        return false;
    }
    const float scale = ZTDirector::sharedDirector()->getContentScaleFactor();
    m_tDimensions = ZTSizeZero;
    m_sFontName = fontName ? fontName : "";
    m_fFontSize = fontSize * scale;
    setString(label);
    return true;
}

void ZTLabelTTF::setDimensions(const ZTSize& dimensions)
{
    m_tDimensions = clampedDimensions(dimensions);
}

ZTLabelTTF::~ZTLabelTTF()
{
    ZTLabelSheet::giveBack(m_tSheetSlot);
}

void ZTLabelTTF::setString(const char* label)
{
    m_sString = label ? label : "";

    const bool fitsText = m_tDimensions.width == 0 && m_tDimensions.height == 0;
    const bool fitsBox = std::fabs(m_tDimensions.width) >= 1.0f && std::fabs(m_tDimensions.height) >= 1.0f;
    if (!m_sString.empty() && (fitsText || fitsBox)) {
        // A plain line goes straight into a sheet's room; anything else is rendered whole first.
        int width = 0;
        int height = 0;
        const auto room = [&](int w, int h, unsigned char*& pixels, int& stride, int& step) {
            width = w;
            height = h;
            if (!takeRoom(w, h)) {
                return false;
            }
            m_tSheetSlot.sheet->open(m_tSheetSlot, pixels, stride, step);
            return true;
        };
        if (m_bDrawnOnSheet && ZTTexture2D::drawPlainString(m_sString.c_str(), m_tDimensions, m_eAlignment,
                                                            getFontName(), m_fFontSize, room)) {
            ++m_uPicturesRendered;
            m_tSheetSlot.sheet->finish(m_tSheetSlot, width, height);
            showRoom(width, height);
            return;
        }
        ZTImage picture;
        if (ZTTexture2D::renderString(picture, m_sString.c_str(), m_tDimensions, m_eAlignment, getFontName(),
                                      m_fFontSize)) {
            ++m_uPicturesRendered;
            width = picture.getWidth();
            height = picture.getHeight();
            if (takeRoom(width, height) && m_tSheetSlot.sheet->write(m_tSheetSlot, picture)) {
                showRoom(width, height);
                return;
            }
            if (showOwnTexture(picture)) {
                return;
            }
        }
    }
    ZTLabelSheet::giveBack(m_tSheetSlot);
    setTexture(nullptr);
    setTextureRect(ZTRectZero);
}

bool ZTLabelTTF::takeRoom(int width, int height)
{
    if (!m_bDrawnOnSheet || !ZTLabelSheet::takesPicture(width, height)) {
        return false;
    }
    if (ZTLabelSheet::suits(m_tSheetSlot, width, height)) {
        return true;
    }
    // The new room first: a sheet emptied by the old one would be made again at once.
    ZTLabelSheet::Slot slot = ZTLabelSheet::take(width, height);
    if (!slot.sheet) {
        return false;
    }
    ZTLabelSheet::giveBack(m_tSheetSlot);
    m_tSheetSlot = slot;
    return true;
}

void ZTLabelTTF::showRoom(int width, int height)
{
    // As with a new texture of its own, the blend function follows the texture again.
    setTexture(m_tSheetSlot.sheet);
    const ZTSize size(static_cast<float>(width), static_cast<float>(height));
    setTextureRectInPixels(ZTRect(static_cast<float>(ZTLabelSheet::pictureX(m_tSheetSlot)),
                                  static_cast<float>(ZTLabelSheet::pictureY(m_tSheetSlot)), size.width,
                                  size.height),
                           false, size);
}

void ZTLabelTTF::setDrawnOnSheet(bool drawnOnSheet)
{
    m_bDrawnOnSheet = drawnOnSheet;
}

bool ZTLabelTTF::showOwnTexture(ZTImage& picture)
{
    auto* pTexture = new ZTTexture2D();
    if (!pTexture->initWithImage(&picture)) {
        // A failed init leaves the texture to us: this is its only release.
        pTexture->release();
        return false;
    }
    ZTLabelSheet::giveBack(m_tSheetSlot);
    setTexture(pTexture);
    ZTRect rect;
    rect.size = pTexture->getContentSize();
    setTextureRect(rect);
    pTexture->release();
    return true;
}

const char* ZTLabelTTF::getString()
{
    return m_sString.c_str();
}

void ZTLabelTTF::installFPSLabelHooks()
{
    ztFPSLabelHooks hooks;
    hooks.labelWithString = fpsLabelWithString;
    hooks.setString = setFPSLabelString;
    ZTDirector::setFPSLabelHooks(hooks);
}

char* ZTLabelTTF::description() const
{
    char* pszRet = new char[100];
    std::snprintf(pszRet, 100, "<ZTLabelTTF | FontName = %s, FontSize = %.1f>", getFontName(), m_fFontSize);
    return pszRet;
}

} // namespace zanth2d
