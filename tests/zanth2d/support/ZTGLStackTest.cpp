#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GLTestContext.h"
#include "support/ZTGLStack.h"

using namespace zanth2d;

namespace {
constexpr int kBeyond = 5;

class ZTGLStackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        glLoadIdentity();
        ZTGLStack::createStack();
    }

    void TearDown() override
    {
        EXPECT_EQ(ZTGLStack::getDepth(), 0);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        ZTGLStack::releaseStack();
    }

    static int glDepth()
    {
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        return depth;
    }

    // Pushes `levels` levels, each with a matrix of its own; returns the matrix in force before each push.
    static std::vector<std::array<float, 16>> pushLevels(int levels)
    {
        std::vector<std::array<float, 16>> before;
        for (int level = 1; level <= levels; ++level) {
            before.push_back(GLTestContext::modelViewMatrix());
            ZTGLStack::pushMatrix();
            glTranslatef(float(level), float(-2 * level), 0.5f);
            glRotatef(7.0f, 0, 0, 1);
        }
        return before;
    }

    static std::vector<float*> stackBottomFirst()
    {
        std::vector<float*> buffers;
        for (std::stack<float*> copy = ZTGLStack::getTransformStack(); !copy.empty(); copy.pop()) {
            buffers.insert(buffers.begin(), copy.top());
        }
        return buffers;
    }

    static std::vector<float*> queueFrontFirst()
    {
        std::vector<float*> buffers;
        for (std::queue<float*> copy = ZTGLStack::getFreeMatrices(); !copy.empty(); copy.pop()) {
            buffers.push_back(copy.front());
        }
        return buffers;
    }

    GLTestContext context{16, 16};
};
} // namespace

TEST_F(ZTGLStackTest, glLevelsEndOneShortOfTheDriverDepthAndMemoryTakesOver)
{
    GLint maxDepth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
    ASSERT_EQ(ZTGLStack::getGLStackSize(), maxDepth - 1);

    const auto before = pushLevels(maxDepth - 1);
    EXPECT_EQ(glDepth(), maxDepth);
    EXPECT_EQ(ZTGLStack::getAllocated(), 0);
    pushLevels(1);
    EXPECT_EQ(glDepth(), maxDepth);
    EXPECT_EQ(ZTGLStack::getAllocated(), 1);
    EXPECT_EQ(ZTGLStack::getTransformStack().size(), 1u);

    for (int level = maxDepth; level >= 1; --level) {
        ZTGLStack::popMatrix();
    }
    EXPECT_EQ(glDepth(), 1);
    EXPECT_EQ(GLTestContext::modelViewMatrix(), before.front());
}

TEST_F(ZTGLStackTest, deepSequenceRestoresEveryLevelAndReusesBuffersInQueueOrder)
{
    const int maxDepth = ZTGLStack::getGLStackSize() + kBeyond;
    glTranslatef(3, 4, 0);
    std::vector<float*> firstFrameStack;
    for (int frame = 0; frame < 2; ++frame) {
        const std::vector<float*> queued = queueFrontFirst();
        const auto before = pushLevels(maxDepth);
        EXPECT_EQ(ZTGLStack::getAllocated(), kBeyond);
        EXPECT_TRUE(ZTGLStack::getFreeMatrices().empty());
        ASSERT_EQ(ZTGLStack::getTransformStack().size(), size_t(kBeyond));
        if (frame == 0) {
            firstFrameStack = stackBottomFirst();
        } else {
            // Memory level k took the k-th buffer waiting in the queue.
            EXPECT_EQ(stackBottomFirst(), queued);
        }
        for (int level = maxDepth; level >= 1; --level) {
            ZTGLStack::popMatrix();
            EXPECT_EQ(GLTestContext::modelViewMatrix(), before[level - 1])
                << "frame " << frame << " level " << level;
        }
        EXPECT_TRUE(ZTGLStack::getTransformStack().empty());
        // Pops hand the buffers back deepest first.
        std::vector<float*> deepestFirst = firstFrameStack;
        std::reverse(deepestFirst.begin(), deepestFirst.end());
        EXPECT_EQ(queueFrontFirst(), frame == 0 ? deepestFirst : firstFrameStack);
    }
    EXPECT_EQ(ZTGLStack::getAllocated(), kBeyond);
}

TEST_F(ZTGLStackTest, stackWorksAgainAfterRelease)
{
    const int maxDepth = ZTGLStack::getGLStackSize() + 2;
    for (int round = 0; round < 2; ++round) {
        const auto before = pushLevels(maxDepth);
        for (int level = maxDepth; level >= 1; --level) {
            ZTGLStack::popMatrix();
        }
        EXPECT_EQ(GLTestContext::modelViewMatrix(), before.front());
        EXPECT_EQ(ZTGLStack::getAllocated(), 2);
        ZTGLStack::releaseStack();
        EXPECT_EQ(ZTGLStack::getAllocated(), 0);
        EXPECT_TRUE(ZTGLStack::getFreeMatrices().empty());
    }
}
