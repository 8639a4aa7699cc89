#pragma once

#include <string>

#include "ZTProtocols.h"
#include "label_nodes/ZTLabelSheet.h"
#include "sprite_nodes/ZTSprite.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

// A sprite showing a text rendered in a font: every setString renders the text into a new texture of its
// own (never cached) and shows it whole; a label drawn on a sheet keeps a small picture of white text in a
// room of a label sheet shared with other labels instead. Dimensions and font size are kept in pixels.
class ZTLabelTTF : public ZTSprite, public ZTLabelProtocol
{
public:
    ZTLabelTTF() = default;
    ~ZTLabelTTF() override;

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
    // Pictures rendered since the label was made; for tests.
    unsigned long getPicturesRendered() const { return m_uPicturesRendered; }

    // Lets the label keep small pictures in a room of a shared label sheet (ZTLabelSheet), reused while the
    // picture keeps its size: for labels whose text changes often and whose texture no other code uses
    // (their texture is then the sheet, their texture rect the room). Off at first; applies from the next
    // setString.
    void setDrawnOnSheet(bool drawnOnSheet);
    bool isDrawnOnSheet() const { return m_bDrawnOnSheet; }

    // Makes the director show its frame rate with a label of this class (text "00.0", "Arial", 24).
    static void installFPSLabelHooks();

    // A new char[100] that the caller deletes.
    char* description() const;

protected:
    // Makes sure the label holds a room of a sheet that suits a picture of this size (pixels); false when
    // the picture does not go on a sheet or none has room.
    bool takeRoom(int width, int height);
    // Shows the top left width x height pixels of the label's room.
    void showRoom(int width, int height);
    // False when no texture can be made of the picture.
    bool showOwnTexture(ZTImage& picture);

    ZTSize m_tDimensions;
    ZTTextAlignment m_eAlignment = kZTTextAlignmentCenter;
    std::string m_sFontName;
    float m_fFontSize = 0.0f;
    std::string m_sString;
    ZTLabelSheet::Slot m_tSheetSlot;
    bool m_bDrawnOnSheet = false;
    unsigned long m_uPicturesRendered = 0;
};

} // namespace zanth2d
