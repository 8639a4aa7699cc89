#pragma once

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

// A helper program built beside the tests: in the folder CTest names in ZANTH_TEST_PROGRAMS, else in the
// running test program's own folder, so that a test started by hand (tests/run-test.sh
// build/debug/tests/<program>) finds it too, from any working folder.
inline std::string testProgramPath(const std::string& name)
{
    if (const char* dir = std::getenv("ZANTH_TEST_PROGRAMS")) {
        return std::string(dir) + "/" + name;
    }
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    const std::string self = length > 0 ? std::string(exe, static_cast<size_t>(length)) : std::string();
    const std::string::size_type slash = self.rfind('/');
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/" + name;
}
