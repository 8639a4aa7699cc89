#include "label_nodes/ZTLabelTTF.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "cocoa/ZTAutoreleasedFactory.h"

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
    return ztMakeAutoreleased<ZTLabelTTF>([&](ZTLabelTTF* pLabel) { return pLabel->initWithString(label, dimensions, alignment, fontName, fontSize); });
}

ZTLabelTTF* ZTLabelTTF::labelWithString(const char* label, const char* fontName, float fontSize)
{
    return ztMakeAutoreleased<ZTLabelTTF>([&](ZTLabelTTF* pLabel) { return pLabel->initWithString(label, fontName, fontSize); });
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

void ZTLabelTTF::setString(const char* label)
{
    m_sString = label ? label : "";

    const bool fitsText = m_tDimensions.width == 0 && m_tDimensions.height == 0;
    const bool fitsBox = std::fabs(m_tDimensions.width) >= 1.0f && std::fabs(m_tDimensions.height) >= 1.0f;
    if (!m_sString.empty() && (fitsText || fitsBox)) {
        auto* pTexture = new ZTTexture2D();
        if (pTexture->initWithString(m_sString.c_str(), m_tDimensions, m_eAlignment, getFontName(),
                                     m_fFontSize)) {
            setTexture(pTexture);
            ZTRect rect;
            rect.size = pTexture->getContentSize();
            setTextureRect(rect);
            pTexture->release();
            return;
        }
        // A failed init leaves the texture to us: this is its only release.
        pTexture->release();
    }
    setTexture(nullptr);
    setTextureRect(ZTRectZero);
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
