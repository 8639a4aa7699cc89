#include <gtest/gtest.h>

#include <GL/gl.h>
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <thread>

#include "ZTDirector.h"
#include "label_nodes/ZTLabelTTF.h"
#include "platform/linux/ZTEGLView.h"

using namespace zanth2d;

namespace {

// The director keeps its label to itself; a member pointer taken through a subclass reads it.
struct DirectorLabel : ZTDirector
{
    static ZTNode* of(ZTDirector* director)
    {
        ZTNode* ZTDirector::*label = &DirectorLabel::m_pFPSLabel;
        return director->*label;
    }
};

} // namespace

TEST(FrameRateLabel, showsTheMeasuredRateWhenEnabled)
{
    auto* view = new ZTEGLView();
    ASSERT_TRUE(view->Create("frame rate", 320, 240, nullptr));
    // Keeps the GL driver loaded to the end, where the leak checker can still name (and suppress) it.
    for (const char* library :
         {"swrast_dri.so", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libGLX_mesa.so.0"}) {
        dlopen(library, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    ZTDirector* director = ZTDirector::sharedDirector();
    ZTLabelTTF::installFPSLabelHooks();
    director->setOpenGLView(view);
    director->setProjection(kZTDirectorProjection2D);

    auto* label = dynamic_cast<ZTLabelTTF*>(DirectorLabel::of(director));
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->getString(), "00.0");
    EXPECT_STREQ(label->getFontName(), "Arial");

    director->setDisplayFPS(true);
    const auto start = std::chrono::steady_clock::now();
    // A rate is measured over half a second at least; on a loaded machine that takes more frames' time.
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(800) ||
           (director->getFrameRate() <= 1.0f &&
            std::chrono::steady_clock::now() - start < std::chrono::seconds(10))) {
        director->mainLoop();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GT(director->getFrameRate(), 1.0f);
    char expected[10];
    std::snprintf(expected, sizeof expected, "%.1f", director->getFrameRate());
    EXPECT_STREQ(label->getString(), expected);
    EXPECT_GT(label->getContentSize().width, 20);

    // The label is drawn at (10, 5) from the bottom-left corner; nothing else is on screen. The software
    // driver swaps by copying, so the back buffer still holds the last frame.
    glReadBuffer(GL_BACK);
    std::vector<unsigned char> rgb(320 * 240 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 320, 240, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    int litNearCorner = 0;
    int litElsewhere = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const bool lit = rgb[(static_cast<size_t>(y) * 320 + x) * 3] > 40;
            (x < 150 && y < 50 ? litNearCorner : litElsewhere) += lit;
        }
    }
    EXPECT_GT(litNearCorner, 30);
    EXPECT_EQ(litElsewhere, 0);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
