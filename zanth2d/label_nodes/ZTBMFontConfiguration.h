#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>

#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

// One glyph of a bitmap font.
struct _BMFontDef
{
    unsigned int charID = 0;
    // In atlas pixels.
    ZTRect rect;
    int xOffset = 0;
    int yOffset = 0;
    int xAdvance = 0;
};

// The padding of the "info" line; not used by the layout.
struct _BMFontPadding
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A parsed FNT bitmap-font description: glyph rectangles in the atlas, offsets, advances, kernings, line
// height and the atlas image's path. Files are refused (init returns false, one log line) when they can
// not be read, name no atlas, have several pages, a page id other than 0, an atlas larger than the
// largest texture or a line height beyond 65535; "char" and "kerning" lines that miss a key or hold absurd
// values are skipped, with one warning for the file.
class ZTBMFontConfiguration : public ZTObject
{
public:
    ZTBMFontConfiguration() = default;

    // Autoreleased, or null when the file is refused.
    static ZTBMFontConfiguration* configurationWithFNTFile(const char* fntFile);
    bool initWithFNTfile(const char* fntFile);
    // Parses the text of an FNT file; fntFile names it in messages and resolves the atlas beside it.
    bool initWithFNTData(const char* data, std::size_t size, const char* fntFile);

    // Null when the font has no glyph for the code.
    const _BMFontDef* fontDefForChar(unsigned int charID) const;
    // The amount for the pair, 0 when there is none.
    int kerningAmount(unsigned short first, unsigned short second) const;

    // Pixels.
    unsigned int getCommonHeight() const { return m_uCommonHeight; }
    const _BMFontPadding& getPadding() const { return m_tPadding; }
    const std::string& getAtlasName() const { return m_sAtlasName; }
    const std::map<unsigned int, _BMFontDef>& getBitmapFontArray() const { return m_pBitmapFontArray; }
    std::size_t getKerningCount() const { return m_pKerningDictionary.size(); }

    // A new char[100] that the caller deletes.
    char* description() const;

private:
    bool parseConfigFile(const char* fntFile);
    void purgeKerningDictionary() { m_pKerningDictionary.clear(); }

    std::map<unsigned int, _BMFontDef> m_pBitmapFontArray;
    unsigned int m_uCommonHeight = 0;
    _BMFontPadding m_tPadding;
    std::string m_sAtlasName;
    // key = (first << 16) | (second & 0xFFFF); a later record of a pair replaces the earlier one.
    std::unordered_map<unsigned int, int> m_pKerningDictionary;
};

// The cached configuration of the file (the name exactly as given), parsing it on first use; null when
// the file is refused (nothing is cached then).
ZTBMFontConfiguration* FNTConfigLoadFile(const char* fntFile);
// Releases every cached configuration; labels keep their own.
void FNTConfigRemoveCache();

} // namespace zanth2d
