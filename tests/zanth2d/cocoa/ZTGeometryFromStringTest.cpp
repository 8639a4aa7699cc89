#include <gtest/gtest.h>

#include "cocoa/ZTGeometryFromString.h"

using namespace zanth2d;

namespace {
void expectPoint(const char* text, float x, float y)
{
    const ZTPoint point = ZTPointFromString(text);
    EXPECT_FLOAT_EQ(point.x, x) << (text ? text : "null");
    EXPECT_FLOAT_EQ(point.y, y) << (text ? text : "null");
}

void expectRect(const char* text, const ZTRect& expected)
{
    EXPECT_TRUE(ZTRect::ZTRectEqualToRect(ZTRectFromString(text), expected)) << (text ? text : "null");
}
} // namespace

TEST(ZTGeometryFromStringTest, pointAndSizeReadBothNumbersWithAtof)
{
    expectPoint("{3,4}", 3, 4);
    expectPoint("{1.5, -2}", 1.5f, -2);
    expectPoint("  {  7 ,8px}tail", 7, 8);
    const ZTSize size = ZTSizeFromString("{32,16.25}");
    EXPECT_FLOAT_EQ(size.width, 32);
    EXPECT_FLOAT_EQ(size.height, 16.25f);
}

TEST(ZTGeometryFromStringTest, malformedPointsGiveZero)
{
    for (const char* text :
         {"{3}", "{3,4,5}", "{3,4,}", "{,4}", "{3,}", "3,4", "{{3,4}}", "}3,4{", "{}", "", "{3,4"}) {
        expectPoint(text, 0, 0);
    }
    expectPoint(nullptr, 0, 0);
    EXPECT_TRUE(ZTSize::ZTSizeEqualToSize(ZTSizeFromString("{5}"), ZTSizeZero));
    EXPECT_TRUE(ZTSize::ZTSizeEqualToSize(ZTSizeFromString(nullptr), ZTSizeZero));
}

TEST(ZTGeometryFromStringTest, rectReadsOriginThenSize)
{
    expectRect("{{1,2},{3,4}}", ZTRect(1, 2, 3, 4));
    expectRect("{ {-1.5, 2} , {0, 4.5} }", ZTRect(-1.5f, 2, 0, 4.5f));
}

TEST(ZTGeometryFromStringTest, malformedRectsGiveZero)
{
    for (const char* text : {"{{1,2},{3,4}", "{{1,2}{3,4}}", "{{1,2},{3}}", "{{1},{3,4}}", "{1,2,3,4}",
                             "1,2,3,4", "{{1,2},{3,4,5}}", "{{,2},{3,4}}", "", "}}}"}) {
        expectRect(text, ZTRectZero);
    }
    expectRect(nullptr, ZTRectZero);
}

TEST(ZTGeometryFromStringTest, negativeOrNaNRectSizeGivesZeroInsteadOfStopping)
{
    expectRect("{{1,2},{-3,4}}", ZTRectZero);
    expectRect("{{1,2},{3,-0.5}}", ZTRectZero);
    expectRect("{{1,2},{nan,4}}", ZTRectZero);
    expectRect("{{-1,-2},{3,4}}", ZTRect(-1, -2, 3, 4));
}
