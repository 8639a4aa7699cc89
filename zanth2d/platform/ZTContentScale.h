#pragma once

namespace zanth2d {

// Points-to-pixels factor of the display (1 on an ordinary display). The director owns the value;
// file and texture code reads it here so that it does not depend on the director itself.
float ztContentScaleFactor();
void ztSetContentScaleFactor(float factor);

} // namespace zanth2d
