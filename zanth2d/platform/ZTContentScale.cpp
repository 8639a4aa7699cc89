#include "platform/ZTContentScale.h"

namespace zanth2d {

namespace {
float s_fContentScaleFactor = 1.0f;
}

float ztContentScaleFactor()
{
    return s_fContentScaleFactor;
}

void ztSetContentScaleFactor(float factor)
{
    s_fContentScaleFactor = factor;
}

} // namespace zanth2d
