#pragma once

#include <string>

class ZAUtilities
{
public:
    // An absolute path unchanged; else the file in the Resources folder beside the program
    // ("<program folder>/../Resources/<path>") when it exists there; else the path unchanged.
    static std::string fullPathFromRelativePath(const std::string& path);
    // The gain to give OpenAL for a requested one: OpenAL ignores a negative or non-finite gain and
    // keeps the old one, so those become 0 (silence).
    static float validGain(float gain);
};
