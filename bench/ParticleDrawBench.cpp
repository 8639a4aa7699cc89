// Frames per second of one quad emitter keeping 10,000 particles alive (of 24 and of 4 pixels, and
// 100,000 for scale), drawn into a hidden 960 x 640 window: each frame is one simulation step of 1/60 s,
// the vertex upload, the draw call and the buffer swap. The emitter mirrors the Qt Quick particle peer:
// 2.5 s lifespan, emission rate = live / 2.5, sprites of the size +- 8 pixels showing a 32 x 32 disc,
// gravity, colour variation 0.5, alpha 0.8. Run under a display
// (xvfb-run -a -s "-screen 0 1280x1024x24" ./ParticleDrawBench); read the "fps" counter ("live" is the
// particle count after the run).

#include "HiddenGLWindow.h"

#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "ZTDirector.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "platform/ZTImage.h"
#include "support/ZTGLStack.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 640;
constexpr float kDt = 1.0f / 60.0f;
constexpr float kLifespan = 2.5f;

// The window and the drawing state of the scene graph's frame.
GLFWwindow* openWindow()
{
    GLFWwindow* window = openHiddenGLWindow(kWidth, kHeight, "ParticleDrawBench");
    if (!window) {
        return nullptr;
    }
    glfwSwapInterval(0);
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kWidth, 0, kHeight, -1024, 1024);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_TEXTURE_2D);
    ZTDirector::sharedDirector();
    ZTGLStack::createStack();
    return window;
}

// A 32 x 32 white disc with a soft edge.
ZTTexture2D* discTexture()
{
    std::vector<unsigned char> pixels(32 * 32 * 4);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int dx = x - 16;
            const int dy = y - 16;
            const int d2 = dx * dx + dy * dy;
            const unsigned char a =
                d2 < 144 ? 255 : (d2 < 256 ? static_cast<unsigned char>((256 - d2) * 2) : 0);
            unsigned char* p = &pixels[(y * 32 + x) * 4];
            p[0] = p[1] = p[2] = p[3] = a;
        }
    }
    ZTImage image;
    image.initWithImageData(pixels.data(), static_cast<int>(pixels.size()), ZTImage::kFmtRawData, 32, 32);
    auto* texture = new ZTTexture2D();
    texture->initWithImage(&image);
    return texture;
}

ZTParticleSystemQuad* emitter(unsigned int live, float size, ZTTexture2D* texture)
{
    ZTParticleSystemQuad* e = ZTParticleSystemQuad::particleWithTotalParticles(live);
    e->setTexture(texture);
    e->setPosition(ZTPoint(kWidth / 2.0f, kHeight / 2.0f));
    e->setDuration(kZTParticleDurationInfinity);
    e->setLife(kLifespan);
    e->setEmissionRate(static_cast<float>(live) / kLifespan);
    e->setAngleVar(180);
    e->setSpeed(120);
    e->setSpeedVar(60);
    e->setGravity(ZTPoint(0, -60));
    e->setPosVar(ZTPoint(200, 120));
    e->setStartColor({0.5f, 0.5f, 0.5f, 0.8f});
    e->setStartColorVar({0.5f, 0.5f, 0.5f, 0.0f});
    e->setEndColor({0.5f, 0.5f, 0.5f, 0.8f});
    e->setEndColorVar({0.5f, 0.5f, 0.5f, 0.0f});
    e->setStartSize(size);
    e->setStartSizeVar(8);
    e->setEndSize(kZTParticleStartSizeEqualToEndSize);
    e->retain();
    return e;
}

void frame(GLFWwindow* window, ZTParticleSystemQuad* e)
{
    glClear(GL_COLOR_BUFFER_BIT);
    e->update(kDt);
    e->visit();
    glfwSwapBuffers(window);
    glFinish();
}

void BM_LiveParticles(benchmark::State& state)
{
    static GLFWwindow* window = openWindow();
    if (!window) {
        state.SkipWithError("no GL window (is DISPLAY set?)");
        return;
    }
    std::srand(7);
    ZTTexture2D* texture = discTexture();
    ZTParticleSystemQuad* e =
        emitter(static_cast<unsigned int>(state.range(0)), static_cast<float>(state.range(1)), texture);
    // One lifespan of warm-up: the pool is full from then on.
    for (int i = 0; i < 160; ++i) {
        frame(window, e);
    }
    for (auto _ : state) {
        frame(window, e);
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["live"] = e->getParticleCount();
    e->release();
    texture->release();
    ZTPoolManager::getInstance()->getCurReleasePool()->clear();
}

} // namespace

// Arguments: live particles, sprite size in pixels.
BENCHMARK(BM_LiveParticles)
    ->Args({10000, 24})
    ->Args({10000, 4})
    ->Args({100000, 24})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
