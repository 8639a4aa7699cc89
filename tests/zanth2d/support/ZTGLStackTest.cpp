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

namespace {

std::array<float, 16> cpuModelView()
{
    std::array<float, 16> m{};
    std::copy_n(ZTGLStack::modelView(), 16, m.begin());
    return m;
}

// What GL makes of the current matrix times `affine` and a translation along z, GL's matrix left as it was.
std::array<float, 16> glProduct(const float* affine, float z)
{
    glPushMatrix();
    glMultMatrixf(affine);
    glTranslatef(0.0f, 0.0f, z);
    auto m = GLTestContext::modelViewMatrix();
    glPopMatrix();
    return m;
}

} // namespace

TEST_F(ZTGLStackTest, visitsMultiplyOnTheCpuAsGLWouldAndHandTheMatrixToGLBetweenPushAndPop)
{
    glTranslatef(3.0f, 4.0f, 0.0f);
    glRotatef(33.0f, 0, 0, 1);
    const auto outside = GLTestContext::modelViewMatrix();
    // Turned, scaled, skewed and moved, as CGAffineToGL lays a node's transform out.
    const float parent[16] = {0.83f, -0.47f, 0, 0, 0.61f, 1.29f, 0, 0, 0, 0, 1, 0, 17.25f, -3.5f, 0, 1};
    const float child[16] = {0.5f, 0.8660254f, 0, 0, -1.7320508f, 1.0f,  0, 0,
                             0,    0,          1, 0, -40.125f,    9.75f, 0, 1};

    EXPECT_EQ(nullptr, ZTGLStack::modelView()) << "outside a visit GL's matrix is the current one";
    ZTGLStack::saveModelView();
    EXPECT_EQ(cpuModelView(), outside);
    const auto expectedParent = glProduct(parent, 0.0f);
    ZTGLStack::multModelView(parent, 0.0f);
    // Bit for bit, so that a batched quad lands on the pixels GL's own transform gives it.
    EXPECT_EQ(cpuModelView(), expectedParent);
    EXPECT_EQ(GLTestContext::modelViewMatrix(), outside) << "no GL call until something draws";

    ZTGLStack::saveModelView();
    glLoadMatrixf(expectedParent.data());
    const auto expectedChild = glProduct(child, 2.5f);
    glLoadMatrixf(outside.data());
    ZTGLStack::multModelView(child, 2.5f);
    EXPECT_EQ(cpuModelView(), expectedChild);

    // Code between a push and its pop changes GL's matrix itself; a visit inside starts from that.
    ZTGLStack::pushMatrix();
    EXPECT_EQ(GLTestContext::modelViewMatrix(), expectedChild);
    EXPECT_EQ(nullptr, ZTGLStack::modelView());
    glTranslatef(5.0f, 0.0f, 0.0f);
    const auto moved = GLTestContext::modelViewMatrix();
    ZTGLStack::saveModelView();
    EXPECT_EQ(cpuModelView(), moved);
    ZTGLStack::multModelView(parent, 0.0f);
    ZTGLStack::restoreModelView();
    EXPECT_EQ(GLTestContext::modelViewMatrix(), moved) << "a visit inside leaves GL as it found it";
    ZTGLStack::popMatrix();
    EXPECT_EQ(cpuModelView(), expectedChild);
    EXPECT_EQ(GLTestContext::modelViewMatrix(), expectedChild);

    ZTGLStack::restoreModelView();
    EXPECT_EQ(cpuModelView(), expectedParent);
    ZTGLStack::syncModelView();
    EXPECT_EQ(GLTestContext::modelViewMatrix(), expectedParent);
    ZTGLStack::restoreModelView();
    EXPECT_EQ(nullptr, ZTGLStack::modelView());
    EXPECT_EQ(GLTestContext::modelViewMatrix(), outside);
}

TEST_F(ZTGLStackTest, aSaveTimesATransformIsTheSaveAndTheProductBitForBit)
{
    glTranslatef(1.5f, -4.0f, 0.0f);
    glRotatef(21.0f, 0, 0, 1);
    const ZTAffineTransform parent{0.83f, -0.47f, 0.61f, 1.29f, 17.25f, -3.5f};
    const ZTAffineTransform child{0.5f, 0.8660254f, -1.7320508f, 1.0f, -40.125f, 9.75f};
    ZTGLStack::saveModelView();
    ZTGLStack::multModelView(parent, 0.0f);
    ZTGLStack::saveModelView();
    ZTGLStack::multModelView(child, 2.5f);
    const auto apart = cpuModelView();
    ZTGLStack::restoreModelView();
    const auto parentMatrix = cpuModelView();
    ZTGLStack::saveModelViewTimes(child, 2.5f);
    EXPECT_EQ(cpuModelView(), apart);
    ZTGLStack::restoreModelView();
    EXPECT_EQ(cpuModelView(), parentMatrix) << "the parent's matrix is left as it was";
    ZTGLStack::restoreModelView();
    // Outside a visit the same goes through GL.
    ZTGLStack::saveModelViewTimes(parent, 0.0f);
    ZTGLStack::saveModelViewTimes(child, 2.5f);
    EXPECT_EQ(cpuModelView(), apart);
    ZTGLStack::restoreModelView();
    ZTGLStack::restoreModelView();
}

TEST_F(ZTGLStackTest, afterANestedVisitGLIsLoadedAgainOnlyIfSomethingInsideLoadedItsOwnMatrix)
{
    const ZTAffineTransform parent{1, 0, 0, 1, 10, 20};
    const ZTAffineTransform child{2, 0, 0, 2, 3, 4};
    ZTGLStack::saveModelViewTimes(parent, 0.0f);
    ZTGLStack::syncModelView();
    const auto parentMatrix = GLTestContext::modelViewMatrix();
    EXPECT_EQ(cpuModelView(), parentMatrix);

    // A child that draws has GL load its matrix: GL must get the parent's back at the parent's next draw.
    ZTGLStack::saveModelViewTimes(child, 0.0f);
    ZTGLStack::syncModelView();
    const auto childMatrix = GLTestContext::modelViewMatrix();
    EXPECT_NE(childMatrix, parentMatrix);
    ZTGLStack::restoreModelView();
    ZTGLStack::syncModelView();
    EXPECT_EQ(GLTestContext::modelViewMatrix(), parentMatrix);

    // A child that draws nothing leaves GL holding the parent's matrix: a load then would change nothing.
    ZTGLStack::saveModelViewTimes(child, 0.0f);
    glLoadMatrixf(childMatrix.data());
    ZTGLStack::restoreModelView();
    ZTGLStack::syncModelView();
    EXPECT_EQ(GLTestContext::modelViewMatrix(), childMatrix) << "the stack took GL to hold the parent's";
    glLoadMatrixf(parentMatrix.data());

    // A draw that loads its own matrix behind the stack's back says so: GL is loaded again.
    ZTGLStack::saveModelViewTimes(child, 0.0f);
    glLoadIdentity();
    ZTGLStack::invalidateGLModelView();
    ZTGLStack::restoreModelView();
    ZTGLStack::syncModelView();
    EXPECT_EQ(GLTestContext::modelViewMatrix(), parentMatrix);

    // Between a push and its pop GL is in charge; after the pop it holds the matrix it had at the push.
    ZTGLStack::saveModelViewTimes(child, 0.0f);
    ZTGLStack::pushMatrix();
    glTranslatef(5, 5, 0);
    ZTGLStack::popMatrix();
    ZTGLStack::restoreModelView();
    ZTGLStack::syncModelView();
    EXPECT_EQ(GLTestContext::modelViewMatrix(), parentMatrix);
    ZTGLStack::restoreModelView();
}
