#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

// The standard output of a shell command.
inline std::string commandOutput(const std::string& command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) {
        return out;
    }
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe.get())) {
        out += buffer.data();
    }
    return out;
}

// The exit status of a shell command.
inline int runCommand(const std::string& command)
{
    return std::system(command.c_str());
}
