#pragma once

#include <string>

#include "ZTProtocols.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"

namespace zanth2d {

class ZTBMFontConfiguration;

// A text drawn with a bitmap font (an FNT description and its atlas image): a batch node with one
// sprite per character, tagged with the character's index and laid out line by line from the top,
// kerning applied. Sprites of characters beyond the current text stay as hidden children for reuse.
// Characters the font lacks are skipped, with one warning per text.
class ZTLabelBMFont : public ZTSpriteBatchNode, public ZTLabelProtocol, public ZTRGBAProtocol
{
public:
    ZTLabelBMFont() = default;
    ~ZTLabelBMFont() override;

    // Autoreleased, or null when the font file is refused or its atlas gives no texture. text is UTF-8
    // and must not be null.
    static ZTLabelBMFont* labelWithString(const char* text, const char* fntFile);
    bool initWithString(const char* text, const char* fntFile);
    // Empties the shared cache of parsed font files.
    static void purgeCachedData();

    void setAnchorPoint(const ZTPoint& point) override;

    GLubyte getOpacity() override { return m_cOpacity; }
    void setOpacity(GLubyte opacity) override;
    const ztColor3B& getColor() override { return m_tColor; }
    void setColor(const ztColor3B& color) override;
    bool getIsOpacityModifyRGB() override { return m_bIsOpacityModifyRGB; }
    void setIsOpacityModifyRGB(bool bValue) override;
    // Null is taken as the empty text.
    void setString(const char* text) override;
    const char* getString() override { return m_sString.c_str(); }
    virtual void setCString(const char* text) { setString(text); }

    ZTBMFontConfiguration* getConfiguration() const { return m_pConfiguration; }
    // The amount for the pair of the font's kernings, 0 when there is none.
    int kerningAmountForFirst(unsigned short first, unsigned short second) const;

private:
    void createFontChars();

    GLubyte m_cOpacity = 255;
    ztColor3B m_tColor = {255, 255, 255};
    bool m_bIsOpacityModifyRGB = false;
    std::string m_sString;
    ZTBMFontConfiguration* m_pConfiguration = nullptr;
};

} // namespace zanth2d
