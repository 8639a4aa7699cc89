#include "platform/ZTLogLine.h"

#include <cstdarg>
#include <cstdio>

namespace zanth2d {

void ztLogLine(const char* format, ...)
{
    char buffer[16384];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    std::fprintf(stdout, "%s\n", buffer);
    std::fflush(stdout);
}

} // namespace zanth2d
