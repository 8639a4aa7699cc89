// Where a dragged entity snaps to, when it sticks out of the level, and when obstacles refuse building.

#include "Zanth/gamenetwork/GameNetworkHost.h"

#include <gtest/gtest.h>

namespace {

class DragLogic : public ::testing::Test
{
protected:
    std::unique_ptr<QObject> logic = GameNetworkHost::instance().create(
        "import \"qrc:/qml/Zanth/level/EntityBaseDraggableLogic.js\" as DragLogic\n"
        "QtObject {\n"
        "    property var contacts: new DragLogic.ObstacleContacts()\n"
        "    function snapped(x, grid) { return DragLogic.snapped(x, grid) }\n"
        "    function outOfBounds(x, grid, collider, level) { return DragLogic.outOfBounds(x, grid, collider, level) }\n"
        "    function begin(other) { contacts.begin(other); return contacts.colliding() }\n"
        "    function end(other) { contacts.end(other); return contacts.colliding() }\n"
        "}\n");

    double snapped(double x, double grid) { return callQml(logic.get(), "snapped", {x, grid}).toDouble(); }
    bool outOfBounds(double x, double grid, double collider, double level)
    {
        return callQml(logic.get(), "outOfBounds", {x, grid, collider, level}).toBool();
    }
};

} // namespace

TEST_F(DragLogic, snapsToTheNearestGridLineRoundingHalfwayUp)
{
    ASSERT_TRUE(logic);
    EXPECT_EQ(snapped(47, 32), 32);
    EXPECT_EQ(snapped(48, 32), 64);
    EXPECT_EQ(snapped(0, 32), 0);
    EXPECT_EQ(snapped(-17, 32), -32);
    EXPECT_EQ(snapped(47.4, 1), 47);
    // A grid of 0 (a scene without one) counts as 1 instead of giving NaN.
    EXPECT_EQ(snapped(47.6, 0), 48);
}

TEST_F(DragLogic, aColliderOfOneGridSizeStaysHalfACellInsideTheLevel)
{
    // Half size 0.5 in grid units, a level of ten cells: indices 1 to 9 are allowed.
    EXPECT_TRUE(outOfBounds(10, 32, 32, 320));
    EXPECT_FALSE(outOfBounds(20, 32, 32, 320));
    EXPECT_FALSE(outOfBounds(300, 32, 32, 320));
    EXPECT_TRUE(outOfBounds(310, 32, 32, 320));
    // A collider of three cells needs its centre two cells in.
    EXPECT_TRUE(outOfBounds(32, 32, 96, 320));
    EXPECT_FALSE(outOfBounds(64, 32, 96, 320));
}

TEST_F(DragLogic, buildingStaysRefusedUntilTheLastObstacleIsLeft)
{
    EXPECT_TRUE(callQml(logic.get(), "begin", {"first"}).toBool());
    EXPECT_TRUE(callQml(logic.get(), "begin", {"second"}).toBool());
    EXPECT_TRUE(callQml(logic.get(), "end", {"first"}).toBool());
    // The end of a contact that began before the drag doesn't hide the one still overlapping.
    EXPECT_TRUE(callQml(logic.get(), "end", {"beforeTheDrag"}).toBool());
    EXPECT_FALSE(callQml(logic.get(), "end", {"second"}).toBool());
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GameNetworkHost host(argc, argv);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
