#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "misc_nodes/Triangulate.h"

using namespace zanth2d;

namespace {

std::vector<Vector2d> contour(std::initializer_list<Vector2d> points)
{
    return std::vector<Vector2d>(points);
}

float triangleArea(const Vector2d& a, const Vector2d& b, const Vector2d& c)
{
    return 0.5f * ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
}

void expectPoint(const Vector2d& p, float x, float y)
{
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
}

} // namespace

// Areas and corners

TEST(Triangulate, areaIsPositiveCounterClockwiseAndNegativeClockwise)
{
    EXPECT_FLOAT_EQ(Triangulate::Area(contour({{0, 0}, {10, 0}, {10, 10}, {0, 10}})), 100.0f);
    EXPECT_FLOAT_EQ(Triangulate::Area(contour({{0, 10}, {10, 10}, {10, 0}, {0, 0}})), -100.0f);
    EXPECT_FLOAT_EQ(Triangulate::Area({}), 0.0f);
}

TEST(Triangulate, pointsOnTheBorderCountAsInside)
{
    EXPECT_TRUE(Triangulate::InsideTriangle(0, 0, 10, 0, 0, 10, 2, 2));
    EXPECT_TRUE(Triangulate::InsideTriangle(0, 0, 10, 0, 0, 10, 5, 0));
    EXPECT_TRUE(Triangulate::InsideTriangle(0, 0, 10, 0, 0, 10, 0, 0));
    EXPECT_FALSE(Triangulate::InsideTriangle(0, 0, 10, 0, 0, 10, 6, 6));
}

// Triangles

TEST(Triangulate, squareGivesTwoTrianglesStartingAtTheLastCorner)
{
    std::vector<Vector2d> result;
    ASSERT_TRUE(Triangulate::Process(contour({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), result));
    ASSERT_EQ(result.size(), 6u);
    expectPoint(result[0], 0, 10);
    expectPoint(result[1], 0, 0);
    expectPoint(result[2], 10, 0);
}

TEST(Triangulate, clockwiseSquareGivesTheSameTrianglesInTheSameOrder)
{
    std::vector<Vector2d> forward;
    std::vector<Vector2d> backward;
    ASSERT_TRUE(Triangulate::Process(contour({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), forward));
    ASSERT_TRUE(Triangulate::Process(contour({{0, 10}, {10, 10}, {10, 0}, {0, 0}}), backward));
    ASSERT_EQ(forward.size(), backward.size());
    for (size_t i = 0; i < forward.size(); ++i) {
        expectPoint(backward[i], forward[i].x, forward[i].y);
    }
}

TEST(Triangulate, concaveContourIsCoveredExactlyAndItsNotchStaysOut)
{
    // A U: the notch between the arms runs from (10, 10) to (20, 30).
    const auto u = contour({{0, 0}, {30, 0}, {30, 30}, {20, 30}, {20, 10}, {10, 10}, {10, 30}, {0, 30}});
    std::vector<Vector2d> result;
    ASSERT_TRUE(Triangulate::Process(u, result));
    ASSERT_EQ(result.size(), 3u * 6u);
    float covered = 0.0f;
    for (size_t i = 0; i < result.size(); i += 3) {
        const float area = triangleArea(result[i], result[i + 1], result[i + 2]);
        EXPECT_GT(area, 0.0f) << "triangle " << i / 3 << " is not counter-clockwise";
        covered += area;
        EXPECT_FALSE(Triangulate::InsideTriangle(result[i].x, result[i].y, result[i + 1].x, result[i + 1].y,
                                                 result[i + 2].x, result[i + 2].y, 15, 20))
            << "triangle " << i / 3 << " covers the notch";
    }
    EXPECT_FLOAT_EQ(covered, Triangulate::Area(u));
}

TEST(Triangulate, trianglesAreAppendedToWhatTheResultHeld)
{
    std::vector<Vector2d> result = {{7, 7}};
    ASSERT_TRUE(Triangulate::Process(contour({{0, 0}, {10, 0}, {0, 10}}), result));
    ASSERT_EQ(result.size(), 4u);
    expectPoint(result[0], 7, 7);
}

// Contours that give no triangles

TEST(Triangulate, fewerThanThreePointsFailAndLeaveTheResultAlone)
{
    std::vector<Vector2d> result = {{1, 1}};
    EXPECT_FALSE(Triangulate::Process(contour({{0, 0}, {10, 0}}), result));
    EXPECT_EQ(result.size(), 1u);
}

TEST(Triangulate, collinearPointsGiveNoTriangleAndFail)
{
    std::vector<Vector2d> result;
    EXPECT_FALSE(Triangulate::Process(contour({{0, 0}, {5, 5}, {10, 10}}), result));
    EXPECT_TRUE(result.empty());
}

TEST(Triangulate, selfIntersectingContourStopsWithTheTrianglesFoundSoFar)
{
    // A bow tie: two lobes crossing at (5, 5).
    std::vector<Vector2d> result;
    EXPECT_FALSE(Triangulate::Process(contour({{0, 0}, {10, 10}, {10, 0}, {0, 10}}), result));
    EXPECT_EQ(result.size() % 3, 0u);
    EXPECT_LT(result.size(), 6u);
}
