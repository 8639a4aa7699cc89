#pragma once

#include <string>

#include "label_nodes/ZTLabelTTF.h"
#include "text_input_node/ZTIMEDelegate.h"

namespace zanth2d {

class ZTTextFieldDelegate;

// A text label the user types into: attached to the text-input dispatcher it appends typed text,
// removes the last character on backspace and ends the input on a newline. While its text is empty it
// shows a placeholder in the placeholder colour. Texts are UTF-8.
class ZTTextFieldTTF : public ZTLabelTTF, public ZTIMEDelegate
{
public:
    ZTTextFieldTTF() = default;
    ~ZTTextFieldTTF() override;

    // Autoreleased, or null when the label can not be made. dimensions and fontSize in points; a null
    // placeholder keeps it empty.
    static ZTTextFieldTTF* textFieldWithPlaceHolder(const char* placeholder, const ZTSize& dimensions,
                                                    ZTTextAlignment alignment, const char* fontName,
                                                    float fontSize);
    static ZTTextFieldTTF* textFieldWithPlaceHolder(const char* placeholder, const char* fontName,
                                                    float fontSize);
    bool initWithPlaceHolder(const char* placeholder, const ZTSize& dimensions, ZTTextAlignment alignment,
                             const char* fontName, float fontSize);
    bool initWithPlaceHolder(const char* placeholder, const char* fontName, float fontSize);

    void draw() override;
    // The typed text (null empties it); the placeholder shows while it is empty.
    void setString(const char* text) override;
    // The typed text, never the placeholder.
    const char* getString() override;

    // Also focuses the window's keyboard input while attached.
    bool attachWithIME() override;
    bool detachWithIME() override;
    virtual ZTTextFieldDelegate* getDelegate() const { return m_pDelegate; }
    // Not owned; null for none.
    virtual void setDelegate(ZTTextFieldDelegate* pDelegate) { m_pDelegate = pDelegate; }
    // UTF-8 characters of the typed text.
    virtual int getCharCount() const { return m_nCharCount; }
    virtual const ztColor3B& getColorSpaceHolder() const { return m_ColorSpaceHolder; }
    virtual void setColorSpaceHolder(const ztColor3B& color) { m_ColorSpaceHolder = color; }
    // Null empties it; shown at once while the typed text is empty.
    virtual void setPlaceHolder(const char* text);
    virtual const char* getPlaceHolder() const { return m_sPlaceHolder.c_str(); }

    // Text input, as the dispatcher delivers it.
    bool canAttachWithIME() override;
    bool canDetachWithIME() override;
    // Appends text up to its first newline; a newline then ends the input (detaches the field).
    void insertText(const char* text, int length) override;
    // Removes the last UTF-8 character.
    void deleteBackward() override;
    const char* getContentText() override;

private:
    void showInputOrPlaceHolder();

    ZTTextFieldDelegate* m_pDelegate = nullptr;
    int m_nCharCount = 0;
    ztColor3B m_ColorSpaceHolder = {127, 127, 127};
    std::string m_sInputText;
    std::string m_sPlaceHolder;
};

} // namespace zanth2d
