#pragma once

#include <dlfcn.h>
#include <link.h>

#include <cstring>

// Keeps the loaded Mesa driver mapped until the process ends. The GL dispatch library unloads it at
// exit, before the leak check runs; the driver's process-lifetime allocations then have no module to be
// matched against the system-library suppressions. Call after the first draw.
inline void pinGLDriver()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name;
            if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium") ||
                         std::strstr(name, "libGLX_mesa"))) {
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}
