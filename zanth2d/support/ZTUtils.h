#pragma once

namespace zanth2d {

// The smallest power of two not below x (texture sizes); 0 gives 0.
unsigned long ztNextPOT(unsigned long x);

} // namespace zanth2d
