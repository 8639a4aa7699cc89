#include "label_nodes/ZTLabelBMFont.h"

#include <algorithm>
#include <vector>

#include "ZTMacros.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "label_nodes/ZTBMFontConfiguration.h"
#include "platform/ZTCommon.h"
#include "sprite_nodes/ZTSprite.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

namespace {

// The length of the UTF-8 sequence a byte starts (1 to 6); 0 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    for (unsigned char bit = 0x80; (lead & bit) && length < 7; bit >>= 1) {
        ++length;
    }
    return length >= 2 && length <= 6 ? length : 0;
}

// UTF-8 into 16-bit code units: a malformed sequence gives 0xFFFF, code points beyond 0xFFFF keep their
// low 16 bits. A sequence cut short by the end of the text ends the text.
std::vector<unsigned short> utf16Units(const std::string& text)
{
    std::vector<unsigned short> units;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = sequenceLength(p[i]);
        if (length == 0) {
            units.push_back(0xFFFF);
            ++i;
            continue;
        }
        if (i + length > size) {
            units.push_back(0xFFFF);
            break;
        }
        unsigned int code = length == 1 ? p[i] : p[i] & (0x7Fu >> length);
        bool malformed = false;
        for (std::size_t k = 1; k < length; ++k) {
            malformed = malformed || (p[i + k] & 0xC0) != 0x80;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        units.push_back(malformed ? 0xFFFF : static_cast<unsigned short>(code & 0xFFFF));
        i += length;
    }
    return units;
}

} // namespace

ZTLabelBMFont::~ZTLabelBMFont()
{
    ZT_SAFE_RELEASE(m_pConfiguration);
}

ZTLabelBMFont* ZTLabelBMFont::labelWithString(const char* text, const char* fntFile)
{
    return ztMakeAutoreleased<ZTLabelBMFont>(
        [&](ZTLabelBMFont* pLabel) { return pLabel->initWithString(text, fntFile); });
}

void ZTLabelBMFont::purgeCachedData()
{
    FNTConfigRemoveCache();
}

bool ZTLabelBMFont::initWithString(const char* text, const char* fntFile)
{
    ZTAssert(text != nullptr, "theString != __null");
    ZT_SAFE_RELEASE(m_pConfiguration);
    m_pConfiguration = FNTConfigLoadFile(fntFile);
    if (!m_pConfiguration) {
        return false;
    }
    m_pConfiguration->retain();
    if (!ZTSpriteBatchNode::initWithFile(m_pConfiguration->getAtlasName().c_str(),
                                         static_cast<unsigned int>(std::char_traits<char>::length(text)))) {
        return false;
    }
    m_cOpacity = 255;
    m_tColor = ztColor3B{255, 255, 255};
    setContentSizeInPixels(ZTSizeZero);
    m_bIsOpacityModifyRGB = getTexture()->getHasPremultipliedAlpha();
    setAnchorPoint(ZTPoint(0.5f, 0.5f));
    setString(text);
    return true;
}

void ZTLabelBMFont::setAnchorPoint(const ZTPoint& point)
{
    if (!ZTPoint::ZTPointEqualToPoint(point, m_tAnchorPoint)) {
        ZTNode::setAnchorPoint(point);
        createFontChars();
    }
}

int ZTLabelBMFont::kerningAmountForFirst(unsigned short first, unsigned short second) const
{
    return m_pConfiguration ? m_pConfiguration->kerningAmount(first, second) : 0;
}

void ZTLabelBMFont::setString(const char* text)
{
    m_sString = text ? text : "";
    if (ZTArray* children = getChildren()) {
        for (ZTObject* child : *children) {
            static_cast<ZTNode*>(child)->setIsVisible(false);
        }
    }
    createFontChars();
}

void ZTLabelBMFont::createFontChars()
{
    if (m_sString.empty() || !m_pConfiguration) {
        return;
    }
    const std::vector<unsigned short> units = utf16Units(m_sString);
    const long long lineHeight = m_pConfiguration->getCommonHeight();
    const long long lines = 1 + std::count(units.begin(), units.end(), static_cast<unsigned short>('\n'));
    const long long totalHeight = lineHeight * lines;
    long long x = 0;
    long long y = totalHeight - lineHeight;
    long long longest = 0;
    unsigned short previous = 0xFFFF;
    int missing = 0;
    unsigned short firstMissing = 0;

    for (std::size_t i = 0; i < units.size(); ++i) {
        const unsigned short c = units[i];
        if (c == '\n') {
            x = 0;
            y -= lineHeight;
            continue;
        }
        const _BMFontDef* def = m_pConfiguration->fontDefForChar(c);
        if (!def) {
            if (missing++ == 0) {
                firstMissing = c;
            }
            continue;
        }
        const int kerning = kerningAmountForFirst(previous, c);
        const int tag = static_cast<int>(i);
        auto* sprite = static_cast<ZTSprite*>(getChildByTag(tag));
        if (sprite) {
            sprite->setTextureRectInPixels(def->rect, false, def->rect.size);
            sprite->setIsVisible(true);
            sprite->setOpacity(255);
        } else {
            sprite = new ZTSprite();
            sprite->initWithBatchNodeRectInPixels(this, def->rect);
            addChild(sprite, 0, tag);
            sprite->release();
        }
        sprite->setPositionInPixels(
            ZTPoint(static_cast<float>(x + def->xOffset + kerning) + def->rect.size.width * 0.5f,
                    static_cast<float>(y + (lineHeight - def->yOffset)) - def->rect.size.height * 0.5f));
        x += def->xAdvance + kerning;
        previous = c;
        longest = std::max(longest, x);

        sprite->setIsOpacityModifyRGB(m_bIsOpacityModifyRGB);
        sprite->setColor(m_tColor);
        if (m_cOpacity != 255) {
            sprite->setOpacity(m_cOpacity);
        }
    }
    setContentSizeInPixels(ZTSize(static_cast<float>(longest), static_cast<float>(totalHeight)));
    if (missing > 0) {
        ZTLog("ZTLabelBMFont: WARNING: the font has no character 0x%04X; %d characters of the text were "
              "skipped\n",
              static_cast<unsigned int>(firstMissing), missing);
    }
}

void ZTLabelBMFont::setColor(const ztColor3B& color)
{
    m_tColor = color;
    if (ZTArray* children = getChildren()) {
        for (ZTObject* child : *children) {
            static_cast<ZTSprite*>(child)->setColor(color);
        }
    }
}

void ZTLabelBMFont::setOpacity(GLubyte opacity)
{
    m_cOpacity = opacity;
    if (ZTArray* children = getChildren()) {
        for (ZTObject* child : *children) {
            if (auto* rgba = dynamic_cast<ZTRGBAProtocol*>(child)) {
                rgba->setOpacity(opacity);
            }
        }
    }
}

void ZTLabelBMFont::setIsOpacityModifyRGB(bool bValue)
{
    m_bIsOpacityModifyRGB = bValue;
    if (ZTArray* children = getChildren()) {
        for (ZTObject* child : *children) {
            if (auto* rgba = dynamic_cast<ZTRGBAProtocol*>(child)) {
                rgba->setIsOpacityModifyRGB(bValue);
            }
        }
    }
}

} // namespace zanth2d
