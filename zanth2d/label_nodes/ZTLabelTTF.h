#pragma once

#include <string>

#include "ZTProtocols.h"
#include "sprite_nodes/ZTSprite.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

// A sprite showing a text rendered in a font: every setString draws the text into a new texture (never
// cached) and shows it whole. Dimensions and font size are kept in pixels.
class ZTLabelTTF : public ZTSprite, public ZTLabelProtocol
{
public:
    ZTLabelTTF() = default;

    // Autoreleased, or null when the init fails. dimensions in points ((0, 0): as large as the text),
    // fontSize in points; fontName is a font file or a family name.
    static ZTLabelTTF* labelWithString(const char* label, const ZTSize& dimensions, ZTTextAlignment alignment,
                                       const char* fontName, float fontSize);
    static ZTLabelTTF* labelWithString(const char* label, const char* fontName, float fontSize);
    // A negative dimension is taken as 0.
    bool initWithString(const char* label, const ZTSize& dimensions, ZTTextAlignment alignment,
                        const char* fontName, float fontSize);
    bool initWithString(const char* label, const char* fontName, float fontSize);

    // Text that is empty, a box under one pixel, or a picture larger than the largest texture leave
    // the label without texture and with a zero size.
    virtual void setString(const char* label) override;
    virtual const char* getString() override;
    virtual const char* getFontName() const { return m_sFontName.c_str(); }
    virtual float getFontSize() const { return m_fFontSize; }
    // Stored as given (no content scale); applies from the next setString.
    virtual void setFontSize(float fontSize) { m_fFontSize = fontSize; }
    virtual const ZTSize& getDimensions() const { return m_tDimensions; }
    // Stored as given, a negative dimension taken as 0; applies from the next setString.
    virtual void setDimensions(const ZTSize& dimensions);
    virtual ZTLabelProtocol* convertToLabelProtocol() { return this; }

    ZTTextAlignment getAlignment() const { return m_eAlignment; }

    // Makes the director show its frame rate with a label of this class (text "00.0", "Arial", 24).
    static void installFPSLabelHooks();

    // A new char[100] that the caller deletes.
    char* description() const;

protected:
    ZTSize m_tDimensions;
    ZTTextAlignment m_eAlignment = kZTTextAlignmentCenter;
    std::string m_sFontName;
    float m_fFontSize = 0.0f;
    std::string m_sString;
};

} // namespace zanth2d
