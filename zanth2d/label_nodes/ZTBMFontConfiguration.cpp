#include "label_nodes/ZTBMFontConfiguration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "ZTConfiguration.h"
#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "cocoa/ZTMutableDictionary.h"
#include "platform/ZTCommon.h"
#include "platform/ZTFileUtils.h"

namespace zanth2d {

namespace {

// Glyph sizes, offsets, advances, kernings and the line height beyond this are no font's.
constexpr int kMaxMetric = 65535;

ZTMutableDictionary<std::string, ZTBMFontConfiguration*>* s_pConfigurations = nullptr;

bool startsWith(const std::string& line, const char* prefix)
{
    return line.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// Reads the value of a key ("x=") of the line: the text from the key's first place to the next blank,
// read with the key's scanf pattern ("x=%f").
template <typename T> bool readValue(const std::string& line, const char* key, const char* pattern, T* value)
{
    const std::string::size_type start = line.find(key);
    if (start == std::string::npos) {
        return false;
    }
    const std::string::size_type end = line.find_first_of(" \t", start);
    const std::string text = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return std::sscanf(text.c_str(), pattern, value) == 1;
}

bool isMetric(int value)
{
    return value >= -kMaxMetric && value <= kMaxMetric;
}

bool isAtlasCoordinate(float value)
{
    return std::isfinite(value) && value >= 0.0f && value <= static_cast<float>(kMaxMetric);
}

// Why a file is refused; empty while it is acceptable.
struct ParseState
{
    std::string refusal;
    int skippedLines = 0;
    bool hasPage = false;
};

} // namespace

ZTBMFontConfiguration* ZTBMFontConfiguration::configurationWithFNTFile(const char* fntFile)
{
    return ztMakeAutoreleased<ZTBMFontConfiguration>(
        [&](ZTBMFontConfiguration* pConfiguration) { return pConfiguration->initWithFNTfile(fntFile); });
}

bool ZTBMFontConfiguration::initWithFNTfile(const char* fntFile)
{
    if (!fntFile || !*fntFile) {
        ZTLog("ZTBMFontConfiguration: ERROR: no font file given\n");
        return false;
    }
    purgeKerningDictionary();
    return parseConfigFile(fntFile);
}

bool ZTBMFontConfiguration::parseConfigFile(const char* fntFile)
{
    unsigned long size = 0;
    std::unique_ptr<unsigned char[]> data(
        ZTFileUtils::getFileData(ZTFileUtils::fullPathFromRelativePath(fntFile), "rb", &size));
    if (!data) {
        // A failed read is already reported while notifications are on.
        if (!ZTFileUtils::getIsPopupNotify()) {
            ZTLog("ZTBMFontConfiguration: ERROR: can not read the font file %s\n", fntFile);
        }
        return false;
    }
    return initWithFNTData(reinterpret_cast<const char*>(data.get()), size, fntFile);
}

bool ZTBMFontConfiguration::initWithFNTData(const char* data, std::size_t size, const char* fntFile)
{
    const char* name = fntFile ? fntFile : "";
    const long maxTextureSize = ZTConfiguration::sharedConfiguration()->getMaxTextureSize();
    ParseState state;
    std::size_t start = 0;
    while (start < size && state.refusal.empty()) {
        std::size_t end = start;
        while (end < size && data[end] != '\n') {
            ++end;
        }
        const std::string line(data + start, end - start);
        start = end + 1;

        if (startsWith(line, "info face")) {
            std::sscanf(line.c_str() + std::min(line.find("padding="), line.size()), "padding=%d,%d,%d,%d",
                        &m_tPadding.left, &m_tPadding.top, &m_tPadding.right, &m_tPadding.bottom);
        } else if (startsWith(line, "common lineHeight")) {
            unsigned int lineHeight = 0;
            long scaleW = 0;
            long scaleH = 0;
            int pages = 0;
            if (!readValue(line, "lineHeight=", "lineHeight=%u", &lineHeight) ||
                !readValue(line, "scaleW=", "scaleW=%ld", &scaleW) ||
                !readValue(line, "scaleH=", "scaleH=%ld", &scaleH) ||
                !readValue(line, "pages=", "pages=%d", &pages)) {
                state.refusal = "its common line misses lineHeight, scaleW, scaleH or pages";
            } else if (lineHeight > static_cast<unsigned int>(kMaxMetric)) {
                state.refusal = "its line height is beyond " + std::to_string(kMaxMetric);
            } else if (scaleW > maxTextureSize || scaleH > maxTextureSize) {
                state.refusal =
                    "its atlas is larger than the largest texture (" + std::to_string(maxTextureSize) + ")";
            } else if (pages != 1) {
                state.refusal = "it has " + std::to_string(pages) + " pages instead of one";
            } else {
                m_uCommonHeight = lineHeight;
            }
        } else if (startsWith(line, "page id")) {
            int id = -1;
            const std::string::size_type equals = line.find('=');
            const std::string::size_type open = line.find('"');
            const std::string::size_type close = open == std::string::npos ? open : line.find('"', open + 1);
            if (equals == std::string::npos || std::sscanf(line.c_str() + equals + 1, "%d", &id) != 1 ||
                id != 0) {
                state.refusal = "it has a page other than page 0";
            } else if (close == std::string::npos || close == open + 1) {
                state.refusal = "its page names no atlas file";
            } else {
                const std::string atlas = line.substr(open + 1, close - open - 1);
                m_sAtlasName = ZTFileUtils::fullPathFromRelativeFile(atlas.c_str(), name);
                state.hasPage = true;
            }
        } else if (startsWith(line, "chars c")) {
            // The glyph count is not needed.
        } else if (startsWith(line, "char")) {
            _BMFontDef def;
            if (readValue(line, "id=", "id=%u", &def.charID) &&
                readValue(line, "x=", "x=%f", &def.rect.origin.x) &&
                readValue(line, "y=", "y=%f", &def.rect.origin.y) &&
                readValue(line, "width=", "width=%f", &def.rect.size.width) &&
                readValue(line, "height=", "height=%f", &def.rect.size.height) &&
                readValue(line, "xoffset=", "xoffset=%d", &def.xOffset) &&
                readValue(line, "yoffset=", "yoffset=%d", &def.yOffset) &&
                readValue(line, "xadvance=", "xadvance=%d", &def.xAdvance) &&
                isAtlasCoordinate(def.rect.origin.x) && isAtlasCoordinate(def.rect.origin.y) &&
                isAtlasCoordinate(def.rect.size.width) && isAtlasCoordinate(def.rect.size.height) &&
                isMetric(def.xOffset) && isMetric(def.yOffset) && isMetric(def.xAdvance)) {
                m_pBitmapFontArray[def.charID] = def;
            } else {
                ++state.skippedLines;
            }
        } else if (startsWith(line, "kernings count")) {
            // The kerning count is not needed.
        } else if (startsWith(line, "kerning first")) {
            int first = 0;
            int second = 0;
            int amount = 0;
            if (readValue(line, "first=", "first=%d", &first) &&
                readValue(line, "second=", "second=%d", &second) &&
                readValue(line, "amount=", "amount=%d", &amount) && isMetric(amount)) {
                const unsigned int key =
                    (static_cast<unsigned int>(first) << 16) | (static_cast<unsigned int>(second) & 0xFFFFu);
                m_pKerningDictionary[key] = amount;
            } else {
                ++state.skippedLines;
            }
        }
    }
    if (state.refusal.empty() && !state.hasPage) {
        state.refusal = "it names no atlas page";
    }
    if (!state.refusal.empty()) {
        ZTLog("ZTBMFontConfiguration: ERROR: the font file %s is refused: %s\n", name, state.refusal.c_str());
        return false;
    }
    if (state.skippedLines > 0) {
        ZTLog("ZTBMFontConfiguration: WARNING: %d char or kerning lines of %s miss a key or hold absurd "
              "values and "
              "were skipped\n",
              state.skippedLines, name);
    }
    return true;
}

const _BMFontDef* ZTBMFontConfiguration::fontDefForChar(unsigned int charID) const
{
    const auto it = m_pBitmapFontArray.find(charID);
    return it == m_pBitmapFontArray.end() ? nullptr : &it->second;
}

int ZTBMFontConfiguration::kerningAmount(unsigned short first, unsigned short second) const
{
    const auto it = m_pKerningDictionary.find((static_cast<unsigned int>(first) << 16) | second);
    return it == m_pKerningDictionary.end() ? 0 : it->second;
}

char* ZTBMFontConfiguration::description() const
{
    char* pszRet = new char[100];
    std::snprintf(pszRet, 100, "<ZTBMFontConfiguration | Kernings:%d | Image = %s>",
                  static_cast<int>(m_pKerningDictionary.size()), m_sAtlasName.c_str());
    return pszRet;
}

ZTBMFontConfiguration* FNTConfigLoadFile(const char* fntFile)
{
    if (!s_pConfigurations) {
        s_pConfigurations = new ZTMutableDictionary<std::string, ZTBMFontConfiguration*>();
        ZTDirector::setPurgeHook(kZTPurgeBMFontCachedData, FNTConfigRemoveCache);
    }
    const std::string key = fntFile ? fntFile : "";
    if (ZTBMFontConfiguration* pCached = s_pConfigurations->objectForKey(key)) {
        return pCached;
    }
    ZTBMFontConfiguration* pConfiguration = ZTBMFontConfiguration::configurationWithFNTFile(fntFile);
    if (pConfiguration) {
        s_pConfigurations->setObject(pConfiguration, key);
    }
    return pConfiguration;
}

void FNTConfigRemoveCache()
{
    if (s_pConfigurations) {
        s_pConfigurations->removeAllObjects();
        s_pConfigurations->release();
        s_pConfigurations = nullptr;
    }
}

} // namespace zanth2d
