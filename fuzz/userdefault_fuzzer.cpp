// User defaults: whatever bytes "UserDefault.xml" holds, reading it never crashes, and values set after
// reading it (markup characters included) read back exactly after a flush and a fresh start; a damaged
// file is kept beside as "UserDefault.xml.damaged".
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "support/ZTUserDefault.h"

using namespace zanth2d;

namespace {

const std::string kMarkup = "v & <w> \"q\" 'a' 1.5 ]]> &amp;";
std::string g_home;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "userdefault_fuzzer: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A home of its own, so that the store's file lands in a scratch Documents folder; in memory when
    // there is such a file system, since every flush waits for the disk.
    char inMemory[] = "/dev/shm/userdefault-fuzz-XXXXXX";
    char onDisk[] = "/tmp/userdefault-fuzz-XXXXXX";
    const char* folder = mkdtemp(inMemory);
    if (!folder) {
        folder = mkdtemp(onDisk);
    }
    check(folder != nullptr, "no scratch folder");
    g_home = folder;
    std::atexit([] { std::filesystem::remove_all(g_home); });
    setenv("HOME", folder, 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = ZTUserDefault::getXMLFilePath();
    const std::string kept = path + ".damaged";
    std::remove(kept.c_str());
    {
        // Documents may not exist yet: the store makes it for an empty file first.
        ZTUserDefault::sharedUserDefault();
        ZTUserDefault::purgeSharedUserDefault();
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::string original(reinterpret_cast<const char*>(data), size);

    ZTUserDefault* store = ZTUserDefault::sharedUserDefault();
    check(store != nullptr, "no store for an existing file");
    const bool keptBeside = access(kept.c_str(), F_OK) == 0;
    check(!keptBeside || readFile(kept) == original, "the kept file differs from the damaged one");
    store->setStringForKey("zanthFuzzText", kMarkup);
    store->setIntegerForKey("zanthFuzzNumber", -12345);
    store->flush();
    ZTUserDefault::purgeSharedUserDefault();

    store = ZTUserDefault::sharedUserDefault();
    check(store != nullptr, "no store after the flush");
    check(store->getStringForKey("zanthFuzzText", "") == kMarkup, "the text set after loading was lost");
    check(store->getIntegerForKey("zanthFuzzNumber", 0) == -12345, "the number set after loading was lost");
    // The written file is the store's own: reading it again keeps nothing beside.
    std::remove(kept.c_str());
    ZTUserDefault::purgeSharedUserDefault();
    store = ZTUserDefault::sharedUserDefault();
    check(access(kept.c_str(), F_OK) != 0, "the written file was taken for a damaged one");
    ZTUserDefault::purgeSharedUserDefault();
    return 0;
}
