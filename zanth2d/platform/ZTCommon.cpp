#include "platform/ZTCommon.h"

#include <cstdarg>
#include <cstdio>

namespace zanth2d {

namespace {
constexpr int kMaxLogLength = 16 * 1024;
}

void ZTLog(const char* pszFormat, ...)
{
    char szBuf[kMaxLogLength];
    va_list ap;
    va_start(ap, pszFormat);
    std::vsnprintf(szBuf, kMaxLogLength, pszFormat, ap);
    va_end(ap);
    // fputs, not printf: a "%" in the formatted text is printed as is.
    std::fputs(szBuf, stdout);
    std::fflush(stdout);
}

void ZTMessageBox(const char* pszMsg, const char* pszTitle)
{
    ZTLog("%s: %s", pszTitle ? pszTitle : "", pszMsg ? pszMsg : "");
}

} // namespace zanth2d
