#pragma once

namespace zanth2d {

class ZTIMEDelegate;
struct ZTIMEKeyboardNotificationInfo;

// Routes typed text and the delete key from the platform view to the attached text-input delegate.
class ZTIMEDispatcher
{
public:
    // The shared dispatcher, created on first use.
    static ZTIMEDispatcher* sharedDispatcher();
    // Destroys the shared dispatcher. Delegates still alive are forgotten: they are no longer registered.
    static void purgeSharedDispatcher();

    // Nothing for null text, a length below 1, or when no delegate is attached.
    void dispatchInsertText(const char* pText, int nLen);
    void dispatchDeleteBackward();
    // The attached delegate's text; "" when none is attached or it has none.
    const char* getContentText();

    // Every registered delegate in registration order; delegates registered meanwhile wait for the
    // next notification, and delegates removed meanwhile get none.
    void dispatchKeyboardWillShow(ZTIMEKeyboardNotificationInfo& info);
    void dispatchKeyboardDidShow(ZTIMEKeyboardNotificationInfo& info);
    void dispatchKeyboardWillHide(ZTIMEKeyboardNotificationInfo& info);
    void dispatchKeyboardDidHide(ZTIMEKeyboardNotificationInfo& info);

    // Null is ignored; a delegate is listed once.
    void addDelegate(ZTIMEDelegate* pDelegate);
    // Forgets the delegate, and the attachment when it was attached (without telling it).
    void removeDelegate(ZTIMEDelegate* pDelegate);
    // False when pDelegate is null, not registered, or refused by the attached delegate or itself.
    bool attachDelegateWithIME(ZTIMEDelegate* pDelegate);
    // False unless pDelegate is the attached delegate and agrees to detach.
    bool detachDelegateWithIME(ZTIMEDelegate* pDelegate);

private:
    friend class ZTIMEDelegate;
    struct Impl;

    ZTIMEDispatcher();
    ~ZTIMEDispatcher();

    // The shared dispatcher if there is one; dying delegates must not create it again.
    static ZTIMEDispatcher* existingDispatcher();

    template <typename Notify> void notifyAll(Notify notify);

    Impl* m_pImpl;
};

} // namespace zanth2d
