#include <gtest/gtest.h>

#include "GLTestContext.h"

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "ZTDirector.h"
#include "ZTDrawingPrimitives.h"

using namespace zanth2d;

namespace {

struct Vertex
{
    float x;
    float y;
};

bool operator==(const Vertex& a, const Vertex& b)
{
    return std::abs(a.x - b.x) < 1e-3f && std::abs(a.y - b.y) < 1e-3f;
}

std::ostream& operator<<(std::ostream& out, const Vertex& v)
{
    return out << "(" << v.x << ", " << v.y << ")";
}

// What GL was asked to draw, captured in feedback mode in window coordinates (equal to object
// coordinates under the test's projection).
struct Captured
{
    std::vector<Vertex> points;
    std::vector<std::pair<Vertex, Vertex>> lines;
    std::vector<std::vector<Vertex>> polygons;
};

class DrawingPrimitives : public ::testing::Test
{
protected:
    static constexpr int kSize = 256;

    static void SetUpTestSuite()
    {
        s_context = new GLTestContext(kSize, kSize);
    }
    static void TearDownTestSuite()
    {
        delete s_context;
        s_context = nullptr;
    }

    void SetUp() override
    {
        s_context->makeCurrent();
        ZTDirector::sharedDirector()->setContentScaleFactor(1.0f);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kSize, 0, kSize, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glViewport(0, 0, kSize, kSize);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnable(GL_TEXTURE_2D);
    }

    void TearDown() override
    {
        ZTDirector::sharedDirector()->setContentScaleFactor(1.0f);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisable(GL_TEXTURE_2D);
    }

    // Sets the factor after the projection, which the director re-applies when the factor changes.
    void setContentScale(float factor)
    {
        ZTDirector::sharedDirector()->setContentScaleFactor(factor);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kSize, 0, kSize, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glViewport(0, 0, kSize, kSize);
    }

    template <typename Draw>
    Captured capture(Draw draw)
    {
        std::vector<GLfloat> buffer(8192);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint count = glRenderMode(GL_RENDER);
        Captured out;
        for (GLint i = 0; i < count;) {
            const auto token = static_cast<GLint>(buffer[i++]);
            auto vertex = [&]() {
                Vertex v{buffer[i], buffer[i + 1]};
                i += 2;
                return v;
            };
            if (token == GL_POINT_TOKEN) {
                out.points.push_back(vertex());
            } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
                const Vertex a = vertex();
                const Vertex b = vertex();
                out.lines.emplace_back(a, b);
            } else if (token == GL_POLYGON_TOKEN) {
                const auto n = static_cast<GLint>(buffer[i++]);
                std::vector<Vertex> polygon;
                for (GLint k = 0; k < n; ++k) {
                    polygon.push_back(vertex());
                }
                out.polygons.push_back(polygon);
            } else {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
        }
        return out;
    }

    static GLTestContext* s_context;
};

GLTestContext* DrawingPrimitives::s_context = nullptr;

} // namespace

TEST_F(DrawingPrimitives, lineAndPointsAreScaledByTheContentScaleFactor)
{
    setContentScale(2.0f);
    const Captured line = capture([] { ztDrawLine(ZTPoint(10, 20), ZTPoint(30, 40)); });
    ASSERT_EQ(1u, line.lines.size());
    EXPECT_EQ((Vertex{20, 40}), line.lines[0].first);
    EXPECT_EQ((Vertex{60, 80}), line.lines[0].second);

    const ZTPoint points[2] = {ZTPoint(1, 2), ZTPoint(3, 4)};
    const Captured dots = capture([&] {
        ztDrawPoints(points, 2);
        ztDrawPoint(ZTPoint(5, 6));
    });
    ASSERT_EQ(3u, dots.points.size());
    EXPECT_EQ((Vertex{2, 4}), dots.points[0]);
    EXPECT_EQ((Vertex{6, 8}), dots.points[1]);
    EXPECT_EQ((Vertex{10, 12}), dots.points[2]);
}

TEST_F(DrawingPrimitives, solidRectIsNotScaled)
{
    setContentScale(2.0f);
    const Captured rect = capture([] { ztDrawSolidRect(ZTPoint(10, 10), ZTPoint(20, 30)); });
    ASSERT_EQ(2u, rect.polygons.size());
    EXPECT_EQ((std::vector<Vertex>{{10, 10}, {20, 10}, {20, 30}}), rect.polygons[0]);
    EXPECT_EQ((std::vector<Vertex>{{10, 10}, {20, 30}, {10, 30}}), rect.polygons[1]);
}

TEST_F(DrawingPrimitives, filledPolygonDrawsWholeTrianglesOnly)
{
    const ZTPoint quad[4] = {ZTPoint(0, 0), ZTPoint(50, 0), ZTPoint(50, 50), ZTPoint(0, 50)};
    const Captured fill = capture([&] { ztDrawPoly(quad, 4, true, true); });
    ASSERT_EQ(1u, fill.polygons.size());
    EXPECT_EQ((std::vector<Vertex>{{0, 0}, {50, 0}, {50, 50}}), fill.polygons[0]);
    EXPECT_TRUE(fill.lines.empty());
}

TEST_F(DrawingPrimitives, outlineIsClosedOnlyWhenAsked)
{
    const ZTPoint quad[4] = {ZTPoint(0, 0), ZTPoint(50, 0), ZTPoint(50, 50), ZTPoint(0, 50)};
    const Captured closed = capture([&] { ztDrawPoly(quad, 4, true); });
    ASSERT_EQ(4u, closed.lines.size());
    EXPECT_EQ((Vertex{0, 50}), closed.lines[3].first);
    EXPECT_EQ((Vertex{0, 0}), closed.lines[3].second);

    setContentScale(2.0f);
    const Captured open = capture([&] { ztDrawPoly(quad, 4, false); });
    ASSERT_EQ(3u, open.lines.size());
    EXPECT_EQ((Vertex{100, 100}), open.lines[2].first);
    EXPECT_EQ((Vertex{0, 100}), open.lines[2].second);
}

TEST_F(DrawingPrimitives, circleRepeatsItsFirstVertexAndOptionallyReachesTheCentre)
{
    const Captured spoke = capture([] { ztDrawCircle(ZTPoint(100, 100), 40, 0, 4, true); });
    ASSERT_EQ(5u, spoke.lines.size());
    EXPECT_EQ((Vertex{140, 100}), spoke.lines[0].first);
    EXPECT_EQ((Vertex{100, 140}), spoke.lines[0].second);
    EXPECT_EQ((Vertex{60, 100}), spoke.lines[1].second);
    EXPECT_EQ((Vertex{100, 60}), spoke.lines[2].second);
    EXPECT_EQ((Vertex{140, 100}), spoke.lines[3].second);
    EXPECT_EQ((Vertex{100, 100}), spoke.lines[4].second);

    const Captured ring = capture([] { ztDrawCircle(ZTPoint(100, 100), 40, 0, 4, false); });
    EXPECT_EQ(4u, ring.lines.size());
}

TEST_F(DrawingPrimitives, circleStartsAtTheGivenAngleAndScales)
{
    setContentScale(2.0f);
    const Captured ring = capture([] { ztDrawCircle(ZTPoint(50, 50), 20, 1.5707964f, 2, false); });
    ASSERT_EQ(2u, ring.lines.size());
    EXPECT_EQ((Vertex{100, 140}), ring.lines[0].first);
    EXPECT_EQ((Vertex{100, 60}), ring.lines[0].second);
    EXPECT_EQ((Vertex{100, 140}), ring.lines[1].second);
}

TEST_F(DrawingPrimitives, bezierCurvesEndExactlyAtTheDestination)
{
    const Captured quad = capture([] { ztDrawQuadBezier(ZTPoint(0, 0), ZTPoint(50, 100), ZTPoint(100, 0), 2); });
    ASSERT_EQ(2u, quad.lines.size());
    EXPECT_EQ((Vertex{0, 0}), quad.lines[0].first);
    EXPECT_EQ((Vertex{50, 50}), quad.lines[0].second);
    EXPECT_EQ((Vertex{100, 0}), quad.lines[1].second);

    const Captured cubic = capture(
        [] { ztDrawCubicBezier(ZTPoint(0, 0), ZTPoint(0, 80), ZTPoint(80, 80), ZTPoint(80, 0), 2); });
    ASSERT_EQ(2u, cubic.lines.size());
    EXPECT_EQ((Vertex{0, 0}), cubic.lines[0].first);
    EXPECT_EQ((Vertex{40, 60}), cubic.lines[0].second);
    EXPECT_EQ((Vertex{80, 0}), cubic.lines[1].second);
}

TEST_F(DrawingPrimitives, everyPrimitiveLeavesTexturingAndArraysEnabled)
{
    const ZTPoint tri[3] = {ZTPoint(0, 0), ZTPoint(10, 0), ZTPoint(0, 10)};
    const std::vector<std::function<void()>> draws = {
        [] { ztDrawPoint(ZTPoint(1, 1)); },
        [] { ztDrawLine(ZTPoint(1, 1), ZTPoint(5, 5)); },
        [] { ztDrawSolidRect(ZTPoint(1, 1), ZTPoint(5, 5)); },
        [&] { ztDrawPoly(tri, 3, true, true); },
        [] { ztDrawCircle(ZTPoint(10, 10), 5, 0, 8, true); },
        [] { ztDrawQuadBezier(ZTPoint(0, 0), ZTPoint(5, 5), ZTPoint(10, 0), 4); },
        [] { ztDrawCubicBezier(ZTPoint(0, 0), ZTPoint(5, 5), ZTPoint(5, 5), ZTPoint(10, 0), 4); },
    };
    for (std::size_t i = 0; i < draws.size(); ++i) {
        glDisable(GL_TEXTURE_2D);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        draws[i]();
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << i;
        EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY)) << i;
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << i;
        EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY)) << i;
    }
}

TEST_F(DrawingPrimitives, drawsWithTheCurrentColourIntoTheFramebuffer)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glColor4ub(255, 128, 0, 255);
    ztDrawSolidRect(ZTPoint(10, 10), ZTPoint(20, 20));
    const auto inside = GLTestContext::readPixel(15, 15);
    EXPECT_EQ(255, inside[0]);
    EXPECT_EQ(128, inside[1]);
    EXPECT_EQ(0, inside[2]);
    EXPECT_EQ(0, GLTestContext::readPixel(25, 15)[0]);
}
