#include "text_input_node/ZTTextFieldTTF.h"

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasedFactory.h"
#include "platform/linux/ZTEGLView.h"
#include "text_input_node/ZTTextFieldDelegate.h"

namespace zanth2d {

namespace {

bool isContinuationByte(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

int utf8CharacterCount(const std::string& text)
{
    int count = 0;
    for (unsigned char c : text) {
        count += isContinuationByte(c) ? 0 : 1;
    }
    return count;
}

void setKeyboardState(bool open)
{
    if (ZTEGLView* view = ZTDirector::sharedDirector()->getOpenGLView()) {
        view->setIMEKeyboardState(open);
    }
}

} // namespace

ZTTextFieldTTF::~ZTTextFieldTTF() = default;

ZTTextFieldTTF* ZTTextFieldTTF::textFieldWithPlaceHolder(const char* placeholder, const ZTSize& dimensions,
                                                         ZTTextAlignment alignment, const char* fontName,
                                                         float fontSize)
{
    ZTTextFieldTTF* pField = ztMakeAutoreleased<ZTTextFieldTTF>([&](ZTTextFieldTTF* pNew) {
        return pNew->initWithPlaceHolder("", dimensions, alignment, fontName, fontSize);
    });
    if (pField && placeholder) {
        pField->setPlaceHolder(placeholder);
    }
    return pField;
}

ZTTextFieldTTF* ZTTextFieldTTF::textFieldWithPlaceHolder(const char* placeholder, const char* fontName,
                                                         float fontSize)
{
    ZTTextFieldTTF* pField = ztMakeAutoreleased<ZTTextFieldTTF>(
        [&](ZTTextFieldTTF* pNew) { return pNew->ZTLabelTTF::initWithString("", fontName, fontSize); });
    if (pField && placeholder) {
        pField->setPlaceHolder(placeholder);
    }
    return pField;
}

bool ZTTextFieldTTF::initWithPlaceHolder(const char* placeholder, const ZTSize& dimensions,
                                         ZTTextAlignment alignment, const char* fontName, float fontSize)
{
    if (placeholder) {
        m_sPlaceHolder = placeholder;
    }
    if (!ZTLabelTTF::initWithString(m_sPlaceHolder.c_str(), dimensions, alignment, fontName, fontSize)) {
        return false;
    }
    // The label's init shows its text through setString, which would take the placeholder as typed text.
    setString("");
    return true;
}

bool ZTTextFieldTTF::initWithPlaceHolder(const char* placeholder, const char* fontName, float fontSize)
{
    if (placeholder) {
        m_sPlaceHolder = placeholder;
    }
    if (!ZTLabelTTF::initWithString(m_sPlaceHolder.c_str(), fontName, fontSize)) {
        return false;
    }
    setString("");
    return true;
}

void ZTTextFieldTTF::showInputOrPlaceHolder()
{
    ZTLabelTTF::setString(m_sInputText.empty() ? m_sPlaceHolder.c_str() : m_sInputText.c_str());
}

void ZTTextFieldTTF::setString(const char* text)
{
    m_sInputText = text ? text : "";
    showInputOrPlaceHolder();
    m_nCharCount = utf8CharacterCount(m_sInputText);
}

const char* ZTTextFieldTTF::getString()
{
    return m_sInputText.c_str();
}

const char* ZTTextFieldTTF::getContentText()
{
    return m_sInputText.c_str();
}

void ZTTextFieldTTF::setPlaceHolder(const char* text)
{
    m_sPlaceHolder = text ? text : "";
    if (m_sInputText.empty()) {
        ZTLabelTTF::setString(m_sPlaceHolder.c_str());
    }
}

bool ZTTextFieldTTF::attachWithIME()
{
    const bool attached = ZTIMEDelegate::attachWithIME();
    if (attached) {
        setKeyboardState(true);
    }
    return attached;
}

bool ZTTextFieldTTF::detachWithIME()
{
    const bool detached = ZTIMEDelegate::detachWithIME();
    if (detached) {
        setKeyboardState(false);
    }
    return detached;
}

bool ZTTextFieldTTF::canAttachWithIME()
{
    return !m_pDelegate || !m_pDelegate->onTextFieldAttachWithIME(this);
}

bool ZTTextFieldTTF::canDetachWithIME()
{
    return !m_pDelegate || !m_pDelegate->onTextFieldDetachWithIME(this);
}

void ZTTextFieldTTF::insertText(const char* text, int length)
{
    if (!text || length < 0) {
        return;
    }
    std::string typed(text, static_cast<size_t>(length));
    const size_t newline = typed.find('\n');
    if (newline != std::string::npos) {
        typed.resize(newline);
    }
    if (!typed.empty()) {
        if (m_pDelegate &&
            m_pDelegate->onTextFieldInsertText(this, typed.c_str(), static_cast<int>(typed.size()))) {
            return;
        }
        m_nCharCount += utf8CharacterCount(typed);
        setString((m_sInputText + typed).c_str());
    }
    if (newline == std::string::npos) {
        return;
    }
    if (m_pDelegate && m_pDelegate->onTextFieldInsertText(this, "\n", 1)) {
        return;
    }
    detachWithIME();
}

void ZTTextFieldTTF::deleteBackward()
{
    if (m_sInputText.empty()) {
        return;
    }
    size_t start = m_sInputText.size() - 1;
    while (start > 0 && isContinuationByte(static_cast<unsigned char>(m_sInputText[start]))) {
        --start;
    }
    const int length = static_cast<int>(m_sInputText.size() - start);
    if (m_pDelegate && m_pDelegate->onTextFieldDeleteBackward(this, m_sInputText.c_str() + start, length)) {
        return;
    }
    setString(m_sInputText.substr(0, start).c_str());
}

void ZTTextFieldTTF::draw()
{
    if (m_pDelegate && m_pDelegate->onDraw(this)) {
        return;
    }
    if (!m_sInputText.empty()) {
        ZTSprite::draw();
        return;
    }
    const ztColor3B color = getColor();
    setColor(m_ColorSpaceHolder);
    ZTSprite::draw();
    setColor(color);
}

} // namespace zanth2d
