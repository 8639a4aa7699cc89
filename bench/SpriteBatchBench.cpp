// Frames per second of one batch node holding 10,000 sprites, drawn into a hidden 1024 x 768 window.
// Run under a display (xvfb-run -a -s "-screen 0 1280x1024x24" ./SpriteBatchBench); the "fps" counter
// is the figure to read.

#include "HiddenGLWindow.h"

#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "ZTDirector.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "platform/ZTImage.h"
#include "sprite_nodes/ZTSprite.h"
#include "sprite_nodes/ZTSpriteBatchNode.h"
#include "support/ZTGLStack.h"
#include "textures/ZTTexture2D.h"

using namespace zanth2d;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kSprites = 10000;

// The window and the drawing state of the scene graph's frame: 2D projection, premultiplied blending,
// the three client arrays and texturing.
GLFWwindow* openWindow()
{
    GLFWwindow* window = openHiddenGLWindow(kWidth, kHeight, "SpriteBatchBench");
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

// A 32 x 32 texture of a soft disc.
ZTTexture2D* discTexture()
{
    std::vector<unsigned char> pixels(32 * 32 * 4);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int dx = x - 16;
            const int dy = y - 16;
            const unsigned char a = dx * dx + dy * dy < 256 ? 255 : 0;
            unsigned char* p = &pixels[(y * 32 + x) * 4];
            p[0] = static_cast<unsigned char>(a * x / 32);
            p[1] = static_cast<unsigned char>(a * y / 32);
            p[2] = a;
            p[3] = a;
        }
    }
    ZTImage image;
    image.initWithImageData(pixels.data(), static_cast<int>(pixels.size()), ZTImage::kFmtRawData, 32, 32);
    auto* texture = new ZTTexture2D();
    texture->initWithImage(&image);
    return texture;
}

ZTSpriteBatchNode* filledBatch(ZTTexture2D* texture)
{
    ZTSpriteBatchNode* batch = ZTSpriteBatchNode::batchNodeWithTexture(texture);
    std::srand(7);
    for (int i = 0; i < kSprites; ++i) {
        ZTSprite* sprite = ZTSprite::spriteWithTexture(texture);
        sprite->setPosition(
            ZTPoint(static_cast<float>(std::rand() % kWidth), static_cast<float>(std::rand() % kHeight)));
        sprite->setRotation(static_cast<float>(std::rand() % 360));
        batch->addChild(sprite);
    }
    return batch;
}

void drawFrames(benchmark::State& state, bool moving)
{
    static GLFWwindow* window = openWindow();
    if (!window) {
        state.SkipWithError("no GL window (is DISPLAY set?)");
        return;
    }
    ZTTexture2D* texture = discTexture();
    ZTSpriteBatchNode* batch = filledBatch(texture);
    batch->retain();
    ZTArray* sprites = batch->getDescendants();
    for (auto _ : state) {
        if (moving) {
            for (ZTObject* object : *sprites) {
                auto* sprite = static_cast<ZTSprite*>(object);
                sprite->setRotation(sprite->getRotation() + 1);
            }
        }
        glClear(GL_COLOR_BUFFER_BIT);
        batch->visit();
        glfwSwapBuffers(window);
        glFinish();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["sprites"] = kSprites;
    batch->release();
    texture->release();
    ZTPoolManager::getInstance()->getCurReleasePool()->clear();
}

// Nothing changes between frames: the quads stay in the atlas and only the draw call runs.
void BM_StaticSprites(benchmark::State& state)
{
    drawFrames(state, false);
}

// Every sprite turns every frame: all quads are recomputed and uploaded.
void BM_TurningSprites(benchmark::State& state)
{
    drawFrames(state, true);
}

} // namespace

BENCHMARK(BM_StaticSprites)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurningSprites)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
