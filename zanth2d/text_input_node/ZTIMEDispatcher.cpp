#include "text_input_node/ZTIMEDispatcher.h"

#include <algorithm>
#include <vector>

#include "text_input_node/ZTIMEDelegate.h"

namespace zanth2d {

namespace {
ZTIMEDispatcher* s_pInstance = nullptr;
}

struct ZTIMEDispatcher::Impl
{
    std::vector<ZTIMEDelegate*> delegates;
    ZTIMEDelegate* attached = nullptr;

    bool contains(ZTIMEDelegate* pDelegate) const
    {
        return std::find(delegates.begin(), delegates.end(), pDelegate) != delegates.end();
    }
};

ZTIMEDelegate::ZTIMEDelegate()
{
    ZTIMEDispatcher::sharedDispatcher()->addDelegate(this);
}

ZTIMEDelegate::~ZTIMEDelegate()
{
    if (ZTIMEDispatcher* pDispatcher = ZTIMEDispatcher::existingDispatcher()) {
        pDispatcher->removeDelegate(this);
    }
}

bool ZTIMEDelegate::attachWithIME()
{
    return ZTIMEDispatcher::sharedDispatcher()->attachDelegateWithIME(this);
}

bool ZTIMEDelegate::detachWithIME()
{
    return ZTIMEDispatcher::sharedDispatcher()->detachDelegateWithIME(this);
}

ZTIMEDispatcher::ZTIMEDispatcher() : m_pImpl(new Impl()) {}

ZTIMEDispatcher::~ZTIMEDispatcher()
{
    delete m_pImpl;
}

ZTIMEDispatcher* ZTIMEDispatcher::sharedDispatcher()
{
    if (!s_pInstance) {
        s_pInstance = new ZTIMEDispatcher();
    }
    return s_pInstance;
}

void ZTIMEDispatcher::purgeSharedDispatcher()
{
    delete s_pInstance;
    s_pInstance = nullptr;
}

ZTIMEDispatcher* ZTIMEDispatcher::existingDispatcher()
{
    return s_pInstance;
}

void ZTIMEDispatcher::addDelegate(ZTIMEDelegate* pDelegate)
{
    if (pDelegate && !m_pImpl->contains(pDelegate)) {
        m_pImpl->delegates.push_back(pDelegate);
    }
}

void ZTIMEDispatcher::removeDelegate(ZTIMEDelegate* pDelegate)
{
    if (!pDelegate) {
        return;
    }
    auto it = std::find(m_pImpl->delegates.begin(), m_pImpl->delegates.end(), pDelegate);
    if (it != m_pImpl->delegates.end()) {
        m_pImpl->delegates.erase(it);
    }
    if (m_pImpl->attached == pDelegate) {
        m_pImpl->attached = nullptr;
    }
}

bool ZTIMEDispatcher::attachDelegateWithIME(ZTIMEDelegate* pDelegate)
{
    if (!pDelegate || !m_pImpl->contains(pDelegate)) {
        return false;
    }
    if (ZTIMEDelegate* pOld = m_pImpl->attached; pOld && pOld != pDelegate) {
        if (!pOld->canDetachWithIME() || !pDelegate->canAttachWithIME()) {
            return false;
        }
        m_pImpl->attached = nullptr;
        pOld->didDetachWithIME();
    } else if (!pOld && !pDelegate->canAttachWithIME()) {
        return false;
    }
    m_pImpl->attached = pDelegate;
    pDelegate->didAttachWithIME();
    return true;
}

bool ZTIMEDispatcher::detachDelegateWithIME(ZTIMEDelegate* pDelegate)
{
    if (!pDelegate || m_pImpl->attached != pDelegate || !pDelegate->canDetachWithIME()) {
        return false;
    }
    m_pImpl->attached = nullptr;
    pDelegate->didDetachWithIME();
    return true;
}

void ZTIMEDispatcher::dispatchInsertText(const char* pText, int nLen)
{
    if (pText && nLen >= 1 && m_pImpl->attached) {
        m_pImpl->attached->insertText(pText, nLen);
    }
}

void ZTIMEDispatcher::dispatchDeleteBackward()
{
    if (m_pImpl->attached) {
        m_pImpl->attached->deleteBackward();
    }
}

const char* ZTIMEDispatcher::getContentText()
{
    const char* pText = m_pImpl->attached ? m_pImpl->attached->getContentText() : nullptr;
    return pText ? pText : "";
}

template <typename Notify> void ZTIMEDispatcher::notifyAll(Notify notify)
{
    // A callback may create or destroy delegates: walk a snapshot and skip those that left meanwhile.
    const std::vector<ZTIMEDelegate*> snapshot = m_pImpl->delegates;
    for (ZTIMEDelegate* pDelegate : snapshot) {
        if (m_pImpl->contains(pDelegate)) {
            notify(pDelegate);
        }
    }
}

void ZTIMEDispatcher::dispatchKeyboardWillShow(ZTIMEKeyboardNotificationInfo& info)
{
    notifyAll([&info](ZTIMEDelegate* pDelegate) { pDelegate->keyboardWillShow(info); });
}

void ZTIMEDispatcher::dispatchKeyboardDidShow(ZTIMEKeyboardNotificationInfo& info)
{
    notifyAll([&info](ZTIMEDelegate* pDelegate) { pDelegate->keyboardDidShow(info); });
}

void ZTIMEDispatcher::dispatchKeyboardWillHide(ZTIMEKeyboardNotificationInfo& info)
{
    notifyAll([&info](ZTIMEDelegate* pDelegate) { pDelegate->keyboardWillHide(info); });
}

void ZTIMEDispatcher::dispatchKeyboardDidHide(ZTIMEKeyboardNotificationInfo& info)
{
    notifyAll([&info](ZTIMEDelegate* pDelegate) { pDelegate->keyboardDidHide(info); });
}

} // namespace zanth2d
