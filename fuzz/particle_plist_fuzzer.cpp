// Particle property-list reader: any file must give an emitter or null, never a crash or a leak, and an
// emitter it gives must survive a few simulation steps with the values it read. Uses a hidden GLFW
// window when a display is there, so textures and vertex buffers are really made.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "HiddenGLWindow.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "support/ZTGLStack.h"
#include "textures/ZTTextureCache.h"

using namespace zanth2d;

namespace {

std::string g_folder;
std::string g_plist;

void removeFiles()
{
    std::remove(g_plist.c_str());
    rmdir(g_folder.c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    openHiddenGLWindow(16, 16, "particle fuzzer");
    ZTGLStack::createStack();
    char folder[] = "/tmp/zanth-particle-fuzzer-XXXXXX";
    if (!mkdtemp(folder)) {
        std::abort();
    }
    g_folder = folder;
    g_plist = g_folder + "/effect.plist";
    std::atexit(removeFiles);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(g_plist.c_str(), "wb");
    if (!file) {
        std::abort();
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    std::srand(1);
    if (ZTParticleSystemQuad* emitter = ZTParticleSystemQuad::particleWithFile(g_plist.c_str())) {
        // Large pools fill at once when the lifespan is 0: keep the steps to small ones.
        if (emitter->getTotalParticles() <= 1000) {
            for (int step = 0; step < 3; ++step) {
                emitter->update(0.1f);
                emitter->visit();
            }
        }
    }
    ZTPoolManager::getInstance()->getCurReleasePool()->clear();
    // Every run decodes its embedded texture anew instead of finding the previous one cached.
    ZTTextureCache::purgeSharedTextureCache();
    return 0;
}
