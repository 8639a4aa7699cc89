#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

// The event that accompanies touches; this platform never makes one, so touch callbacks receive null.
class ZTEvent : public ZTObject
{
};

} // namespace zanth2d
