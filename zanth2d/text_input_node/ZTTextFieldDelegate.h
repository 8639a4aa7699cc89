#pragma once

namespace zanth2d {

class ZTTextFieldTTF;

// Asked by a text field before every change; true refuses the change (or skips the drawing).
class ZTTextFieldDelegate
{
public:
    virtual ~ZTTextFieldDelegate() = default;

    virtual bool onTextFieldAttachWithIME(ZTTextFieldTTF* /*sender*/) { return false; }
    virtual bool onTextFieldDetachWithIME(ZTTextFieldTTF* /*sender*/) { return false; }
    // text holds length bytes of UTF-8, not terminated; a lone "\n" announces the end of the input.
    virtual bool onTextFieldInsertText(ZTTextFieldTTF* /*sender*/, const char* /*text*/, int /*length*/)
    {
        return false;
    }
    // deletedText holds the length bytes of the last character.
    virtual bool onTextFieldDeleteBackward(ZTTextFieldTTF* /*sender*/, const char* /*deletedText*/,
                                           int /*length*/)
    {
        return false;
    }
    virtual bool onDraw(ZTTextFieldTTF* /*sender*/) { return false; }
};

} // namespace zanth2d
