#pragma once

namespace zanth2d {

// The body of the static factories: a new object, autoreleased when init(object) succeeds, released
// (and null returned) when it fails, so that a half-made object never outlives the call.
template <typename T, typename Init>
T* ztMakeAutoreleased(Init init)
{
    T* pRet = new T();
    if (init(pRet)) {
        pRet->autorelease();
        return pRet;
    }
    pRet->release();
    return nullptr;
}

} // namespace zanth2d
