#pragma once

#include <type_traits>

#include "ZTMacros.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

// Delegate interfaces are not ZTObjects themselves, but every delegate a handler keeps must also be one,
// so that the handler can keep it alive. Retains pNew, releases the previous delegate, stores pNew.
template <typename TDelegate>
void ztSetRetainedDelegate(TDelegate*& rpSlot, std::remove_reference_t<TDelegate>* pNew)
{
    auto objectOf = [](TDelegate* pDelegate) {
        auto* pObject = dynamic_cast<ZTObject*>(pDelegate);
        ZTAssert(pObject != nullptr, "dynamic_cast<ZTObject*>(pDelegate)");
        return pObject;
    };
    if (pNew) {
        objectOf(pNew)->retain();
    }
    if (rpSlot) {
        objectOf(rpSlot)->release();
    }
    rpSlot = pNew;
}

} // namespace zanth2d
