#pragma once

#include "cocoa/ZTGeometry.h"

namespace zanth2d {

// What a keyboard notification carries: the keyboard's frame before and after, and the animation time.
struct ZTIMEKeyboardNotificationInfo
{
    ZTRect begin;
    ZTRect end;
    float duration = 0.0f;
};

// A receiver of typed text. Every delegate is registered with the shared text-input dispatcher for its
// whole life; at most one is attached and receives text.
class ZTIMEDelegate
{
public:
    virtual ~ZTIMEDelegate();

    // True when this delegate became (or stays) the attached one.
    virtual bool attachWithIME();
    // True when this delegate was attached and agreed to let go.
    virtual bool detachWithIME();

protected:
    friend class ZTIMEDispatcher;

    ZTIMEDelegate();

    virtual bool canAttachWithIME() { return false; }
    virtual void didAttachWithIME() {}
    virtual bool canDetachWithIME() { return false; }
    virtual void didDetachWithIME() {}

    // text holds length bytes, not terminated.
    virtual void insertText(const char* /*text*/, int /*length*/) {}
    virtual void deleteBackward() {}
    // The text typed so far; null means none.
    virtual const char* getContentText() { return nullptr; }

    virtual void keyboardWillShow(ZTIMEKeyboardNotificationInfo&) {}
    virtual void keyboardDidShow(ZTIMEKeyboardNotificationInfo&) {}
    virtual void keyboardWillHide(ZTIMEKeyboardNotificationInfo&) {}
    virtual void keyboardDidHide(ZTIMEKeyboardNotificationInfo&) {}
};

} // namespace zanth2d
