// Texture-cache hits per second: addImage on a path whose texture is already cached, as the bridge asks
// for an item's texture. Run under a display (xvfb-run -a -s "-screen 0 1280x1024x24" ./TextureCacheBench);
// the "hits/s" counter is the figure to read, "allocs/hit" counts operator new calls per hit.

#include "HiddenGLWindow.h"

#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include <QDir>
#include <QImage>

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

using namespace zanth2d;

namespace {

std::atomic<long> g_allocations{0};

bool openContext()
{
    if (!openHiddenGLWindow(64, 64, "TextureCacheBench")) {
        return false;
    }
    ZTDirector::sharedDirector();
    return true;
}

// A 16 x 16 PNG drawn here, in a folder of its own that becomes the working folder.
std::string writeImage()
{
    const QString folder = QDir::tempPath() + QStringLiteral("/TextureCacheBench");
    QDir().mkpath(folder + QStringLiteral("/sprites"));
    QDir::setCurrent(folder);
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(qRgba(200, 64, 31, 255));
    image.save(QStringLiteral("sprites/ember.png"));
    return "sprites/ember.png";
}

void hits(benchmark::State& state, const std::string& path)
{
    ZTTextureCache* cache = ZTTextureCache::sharedTextureCache();
    if (!cache->addImage(path.c_str())) {
        state.SkipWithError("the image could not be loaded");
        return;
    }
    ZTPoolManager::getInstance()->pop();
    const long before = g_allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(cache->addImage(path.c_str()));
    }
    const long allocations = g_allocations.load() - before;
    // Whatever a hit autoreleased goes with the frame, as in the director's loop.
    ZTPoolManager::getInstance()->pop();
    state.counters["hits/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["allocs/hit"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
}

} // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

int main(int argc, char** argv)
{
    if (!openContext()) {
        return 1;
    }
    const std::string relative = writeImage();
    const std::string absolute =
        QDir::current().absoluteFilePath(QString::fromStdString(relative)).toStdString();
    benchmark::RegisterBenchmark("TextureCacheHit/relativePath", hits, relative);
    benchmark::RegisterBenchmark("TextureCacheHit/absolutePath", hits, absolute);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    ZTTextureCache::purgeSharedTextureCache();
    return 0;
}
