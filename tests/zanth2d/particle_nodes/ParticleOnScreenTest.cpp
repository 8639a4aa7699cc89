// An emitter read from a property list that Python's plistlib wrote, with its texture embedded, drawn by
// the director into a real window and checked on a screenshot of the X server's root window.
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "FixtureDir.h"
#include "PngFixture.h"
#include "VisibleWindowLock.h"
#include "ZTDirector.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "particle_nodes/ZTParticleSystemQuad.h"
#include "platform/ZTTime.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"

using namespace zanth2d;

namespace {

zt_timeval g_now{1000, 0};

void fakeClock(zt_timeval* now)
{
    *now = g_now;
}

void advance(int micros)
{
    g_now.tv_usec += micros;
    g_now.tv_sec += g_now.tv_usec / 1000000;
    g_now.tv_usec %= 1000000;
}

class TestApplication : public ZTApplication
{
public:
    bool initInstance() override { return true; }
    bool applicationDidFinishLaunching() override { return true; }
    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}
};

std::string commandOutput(const std::string& command)
{
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 512> buffer{};
    while (pipe && fgets(buffer.data(), buffer.size(), pipe.get())) {
        out += buffer.data();
    }
    return out;
}

// The top-left corner of the named window on the root window.
bool windowOrigin(const std::string& title, int* left, int* top)
{
    const std::string info = commandOutput("xwininfo -name '" + title + "'");
    const auto x = info.find("Absolute upper-left X:");
    const auto y = info.find("Absolute upper-left Y:");
    return x != std::string::npos && y != std::string::npos &&
           std::sscanf(info.c_str() + x, "Absolute upper-left X: %d", left) == 1 &&
           std::sscanf(info.c_str() + y, "Absolute upper-left Y: %d", top) == 1;
}

const char* kTitle = "Zanth particles on screen";
constexpr int kWidth = 320;
constexpr int kHeight = 240;

} // namespace

TEST(ParticlesOnScreen, embeddedTexturePlistLightsPixelsAroundTheEmitterOnly)
{
    VisibleWindowLock lock;
    FixtureDir dir;
    ASSERT_TRUE(dir.python(std::string(kPythonPngWriter) + R"PY(
import base64, gzip, plistlib
png("dot.png", 8, 8, lambda x, y: bytes([255, 255, 255, 255]))
orange = {"Red": 1.0, "Green": 0.5, "Blue": 0.0, "Alpha": 1.0}
values = {"maxParticles": 200, "particleLifespan": 2.0, "duration": -1.0, "emitterType": 0,
          "sourcePositionx": 160.0, "sourcePositiony": 120.0,
          "sourcePositionVariancex": 20.0, "sourcePositionVariancey": 20.0,
          "startParticleSize": 12.0, "finishParticleSize": 12.0,
          "blendFuncSource": 1, "blendFuncDestination": 771,
          "textureFileName": "glow.png",
          "textureImageData": base64.b64encode(gzip.compress(open("dot.png", "rb").read())).decode()}
for part, value in orange.items():
    values["startColor" + part] = value
    values["finishColor" + part] = value
plistlib.dump(values, open("glow.plist", "wb"))
)PY"));

    TestApplication application;
    ZTTime::setClock(fakeClock);
    ZTDirector* director = ZTDirector::sharedDirector();
    auto* view = new ZTEGLView();
    ASSERT_TRUE(view->Create(kTitle, kWidth, kHeight, nullptr));
    view->makeContextCurrent();
    director->setOpenGLView(view);
    director->setProjection(kZTDirectorProjection2D);

    std::srand(1);
    ZTParticleSystemQuad* emitter = ZTParticleSystemQuad::particleWithFile(dir.path("glow.plist").c_str());
    ASSERT_NE(emitter, nullptr);
    ZTScene* scene = ZTScene::node();
    scene->addChild(emitter);
    director->runWithScene(scene);
    for (int i = 0; i < 60; ++i) {
        advance(16667);
        director->mainLoop();
    }
    EXPECT_GT(emitter->getParticleCount(), 80u);

    int left = 0;
    int top = 0;
    ASSERT_TRUE(windowOrigin(kTitle, &left, &top));
    const std::string shot = dir.path("screen.png");
    ASSERT_EQ(std::system(("import -window root " + shot).c_str()), 0);
    const QImage screen(QString::fromStdString(shot));
    ASSERT_FALSE(screen.isNull());
    // GL rows count from the bottom of the view.
    auto at = [&](int x, int y) { return screen.pixelColor(left + x, top + kHeight - 1 - y); };

    int lit = 0;
    for (int y = 100; y <= 140; ++y) {
        for (int x = 140; x <= 180; ++x) {
            const QColor c = at(x, y);
            lit += (std::abs(c.red() - 255) <= 2 && std::abs(c.green() - 127) <= 2 && c.blue() <= 2) ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 41 * 41 / 2) << "orange particles cover the middle of the birth area";
    for (const auto& corner :
         {std::array<int, 2>{10, 10}, {310, 10}, {10, 230}, {310, 230}, {160, 40}, {260, 120}}) {
        const QColor c = at(corner[0], corner[1]);
        EXPECT_EQ(c.red() + c.green() + c.blue(), 0) << "nothing lands at " << corner[0] << ", " << corner[1];
    }

    director->end();
    director->mainLoop();
    ZTTime::setClock(nullptr);
}
