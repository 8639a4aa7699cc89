#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "DirectorWindow.h"
#include "actions/ZTActionTiledGrid.h"
#include "layers_scenes_transitions_nodes/ZTLayerColor.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"

using namespace zanth2d;

namespace {

using RGB = std::array<int, 3>;
const RGB kClear{51, 102, 153};

bool isOff(const ztQuad3& q)
{
    const float* f = &q.bl.x;
    return std::all_of(f, f + 12, [](float v) { return v == 0.0f; });
}

bool sameQuad(const ztQuad3& a, const ztQuad3& b)
{
    const float* fa = &a.bl.x;
    const float* fb = &b.bl.x;
    return std::equal(fa, fa + 12, fb);
}

// A 480 x 320 window running a scene red on its left half and green on its right half, drawn over a
// clear colour of (51, 102, 153). Actions are started and stepped by hand: start() keeps them alive.
class GridActionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        scene = ZTScene::node();
        ZTLayerColor* left = ZTLayerColor::layerWithColorWidthHeight(ztColor4B{255, 0, 0, 255}, 240, 320);
        ZTLayerColor* right = ZTLayerColor::layerWithColorWidthHeight(ztColor4B{0, 255, 0, 255}, 240, 320);
        right->setPosition(240, 0);
        scene->addChild(left);
        scene->addChild(right);
        window.director()->runWithScene(scene);
        window.frames(1);
        glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    }

    void TearDown() override
    {
        for (ZTAction* action : started) {
            action->release();
        }
    }

    template <typename T> T* start(T* action)
    {
        EXPECT_NE(action, nullptr);
        action->retain();
        started.push_back(action);
        action->startWithTarget(scene);
        return action;
    }

    ZTTiledGrid3D* tiledGrid() const { return dynamic_cast<ZTTiledGrid3D*>(scene->getGrid()); }

    // The tiles of the scene's grid that are off.
    std::set<std::pair<int, int>> tilesOff() const
    {
        std::set<std::pair<int, int>> off;
        const ztGridSize size = tiledGrid()->getGridSize();
        for (int i = 0; i < size.x; ++i) {
            for (int j = 0; j < size.y; ++j) {
                if (isOff(tiledGrid()->tile(ztg(i, j)))) {
                    off.insert({i, j});
                }
            }
        }
        return off;
    }

    DirectorWindow window{480, 320};
    ZTScene* scene = nullptr;
    std::vector<ZTAction*> started;
};

std::string capture(void (*run)())
{
    testing::internal::CaptureStdout();
    run();
    return testing::internal::GetCapturedStdout();
}

} // namespace

// Turning tiles off

TEST_F(GridActionTest, turnOffTilesWithSeed7TurnsExactlyHalfTheTilesOffAtHalfTimeTheSameInTwoRuns)
{
    ZTTurnOffTiles* action = start(ZTTurnOffTiles::actionWithSeed(7, ztg(18, 12), 1));
    action->update(0);
    EXPECT_TRUE(tilesOff().empty());

    action->update(0.5f);
    const std::set<std::pair<int, int>> firstRun = tilesOff();
    EXPECT_EQ(firstRun.size(), 108u);
    window.frame();
    int clearTiles = 0;
    for (int i = 0; i < 18; ++i) {
        for (int j = 0; j < 12; ++j) {
            const bool clear = DirectorWindow::pixel(i * 80 / 3 + 13, j * 80 / 3 + 13) == kClear;
            EXPECT_EQ(clear, firstRun.count({i, j}) == 1) << i << ", " << j;
            clearTiles += clear;
        }
    }
    EXPECT_EQ(clearTiles, 108);

    std::srand(12345);
    ZTTurnOffTiles* again = start(ZTTurnOffTiles::actionWithSeed(7, ztg(18, 12), 1));
    again->update(0.5f);
    EXPECT_EQ(tilesOff(), firstRun);
    again->update(1.0f);
    EXPECT_EQ(tilesOff().size(), 216u);
    EXPECT_EQ(ZTTurnOffTiles::actionWithSize(ztg(2, 2), 1)->getTilesOrder().size(), 0u) << "ordered at start";
}

TEST_F(GridActionTest, aCopyOfTurnOffTilesTurnsTheSameTilesOff)
{
    ZTTurnOffTiles* original = ZTTurnOffTiles::actionWithSeed(3, ztg(6, 4), 2);
    auto* copy = static_cast<ZTTurnOffTiles*>(original->copy());
    copy->autorelease();
    start(original)->update(0.3f);
    const auto off = tilesOff();
    start(copy)->update(0.3f);
    EXPECT_EQ(tilesOff(), off);
    EXPECT_EQ(copy->getDuration(), 2);
}

// Splitting

TEST_F(GridActionTest, splitRowsAtHalfTimeMovesEvenRowsLeftAndOddRowsRight)
{
    start(ZTSplitRows::actionWithRows(3, 1))->update(0.5f);
    window.frame();
    EXPECT_EQ(DirectorWindow::pixel(60, 50), (RGB{0, 255, 0})) << "bottom row, moved left by 240";
    EXPECT_EQ(DirectorWindow::pixel(300, 160), (RGB{255, 0, 0})) << "middle row, moved right by 240";
    EXPECT_EQ(DirectorWindow::pixel(60, 160), kClear) << "nothing left of the middle row";
    EXPECT_EQ(DirectorWindow::pixel(60, 270), (RGB{0, 255, 0})) << "top row, moved left";
    EXPECT_EQ(DirectorWindow::pixel(300, 270), kClear);
}

TEST_F(GridActionTest, splittingEndsAWholeWindowAway)
{
    start(ZTSplitRows::actionWithRows(3, 1))->update(1.0f);
    EXPECT_FLOAT_EQ(tiledGrid()->tile(ztg(0, 0)).bl.x, -480);
    EXPECT_FLOAT_EQ(tiledGrid()->tile(ztg(0, 1)).tr.x, 960);
    EXPECT_FLOAT_EQ(tiledGrid()->tile(ztg(0, 2)).br.x, 0);

    start(ZTSplitCols::actionWithCols(2, 1))->update(1.0f);
    EXPECT_EQ(tiledGrid()->getGridSize(), ztg(2, 1));
    EXPECT_FLOAT_EQ(tiledGrid()->tile(ztg(0, 0)).tl.y, 0);
    EXPECT_FLOAT_EQ(tiledGrid()->tile(ztg(1, 0)).bl.y, 320);
}

// Shuffling, shaking, shattering

TEST_F(GridActionTest, shuffledTilesStartInPlaceAndEndInTheCellTheirOrderNames)
{
    ZTShuffleTiles* action = start(ZTShuffleTiles::actionWithSeed(5, ztg(4, 3), 1));
    action->update(0);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            EXPECT_TRUE(sameQuad(tiledGrid()->tile(ztg(i, j)), tiledGrid()->originalTile(ztg(i, j))));
        }
    }
    action->update(1);
    const std::vector<int>& order = action->getTilesOrder();
    ASSERT_EQ(order.size(), 12u);
    EXPECT_EQ(std::set<int>(order.begin(), order.end()).size(), 12u) << "a permutation";
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            const int cell = order[i * 3 + j];
            const ztQuad3 tile = tiledGrid()->tile(ztg(i, j));
            EXPECT_FLOAT_EQ(tile.bl.x, static_cast<float>((cell / 3) * 120));
            const float stepY = 320.0f / 3;
            EXPECT_FLOAT_EQ(tile.bl.y, j * stepY + static_cast<float>(static_cast<int>((cell % 3 - j) * stepY)));
        }
    }
}

TEST_F(GridActionTest, shakyTilesJitterWithinTheRangeOnEveryUpdate)
{
    ZTShakyTiles3D* action = start(ZTShakyTiles3D::actionWithRange(4, true, ztg(3, 2), 1));
    action->update(0.1f);
    const ztQuad3 first = tiledGrid()->tile(ztg(1, 1));
    const ztQuad3 original = tiledGrid()->originalTile(ztg(1, 1));
    const float* moved = &first.bl.x;
    const float* from = &original.bl.x;
    for (int k = 0; k < 12; ++k) {
        EXPECT_GE(moved[k] - from[k], -4);
        EXPECT_LE(moved[k] - from[k], 3);
    }
    action->update(0.2f);
    action->update(0.3f);
    EXPECT_FALSE(sameQuad(tiledGrid()->tile(ztg(1, 1)), first));
}

TEST_F(GridActionTest, shatteredTilesScatterOnTheFirstUpdateOnly)
{
    ZTShatteredTiles3D* action = start(ZTShatteredTiles3D::actionWithRange(10, false, ztg(3, 2), 1));
    action->update(0.1f);
    const ztQuad3 scattered = tiledGrid()->tile(ztg(2, 0));
    EXPECT_FALSE(sameQuad(scattered, tiledGrid()->originalTile(ztg(2, 0))));
    EXPECT_EQ(scattered.bl.z, 0) << "no z without shatterZ";
    action->update(0.6f);
    EXPECT_TRUE(sameQuad(tiledGrid()->tile(ztg(2, 0)), scattered));
}

// Fading out

TEST_F(GridActionTest, fadingTilesVanishAtZeroShrinkAboutTheirCentreInBetweenAndStayFromOne)
{
    ZTFadeOutTRTiles* action = start(ZTFadeOutTRTiles::actionWithSize(ztg(4, 4), 1));
    action->update(0);
    EXPECT_TRUE(tilesOff().empty());
    EXPECT_TRUE(sameQuad(tiledGrid()->tile(ztg(3, 3)), tiledGrid()->originalTile(ztg(3, 3))));

    action->update(0.5f);
    EXPECT_TRUE(sameQuad(tiledGrid()->tile(ztg(3, 3)), tiledGrid()->originalTile(ztg(3, 3)))) << "(6 / 4)^6 >= 1";
    const ztQuad3 shrunk = tiledGrid()->tile(ztg(1, 0));
    const float d = std::pow(1 / 4.0f, 6.0f);
    EXPECT_NEAR(shrunk.br.x - shrunk.bl.x, 120 * d, 1e-3);
    EXPECT_NEAR((shrunk.bl.x + shrunk.br.x) / 2, 180, 1e-3) << "the centre stays";
    EXPECT_NEAR((shrunk.bl.y + shrunk.tl.y) / 2, 40, 1e-3);
    EXPECT_EQ(tilesOff(), (std::set<std::pair<int, int>>{{0, 0}})) << "d = 0 only where i + j = 0";

    EXPECT_FLOAT_EQ(action->testFunc(ztg(2, 1), 0.25f), 1.5f * 1.5f * 1.5f * 1.5f * 1.5f * 1.5f);
    EXPECT_FLOAT_EQ(ZTFadeOutBLTiles::actionWithSize(ztg(4, 4), 1)->testFunc(ztg(0, 0), 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(ZTFadeOutBLTiles::actionWithSize(ztg(4, 4), 1)->testFunc(ztg(2, 2), 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(ZTFadeOutUpTiles::actionWithSize(ztg(4, 4), 1)->testFunc(ztg(3, 1), 0.5f), std::pow(0.5f, 6.0f));
    EXPECT_FLOAT_EQ(ZTFadeOutDownTiles::actionWithSize(ztg(4, 4), 1)->testFunc(ztg(3, 0), 0.9f), 1.0f);
    EXPECT_FLOAT_EQ(ZTFadeOutDownTiles::actionWithSize(ztg(4, 4), 1)->testFunc(ztg(3, 2), 0.5f), 1.0f);
}

TEST_F(GridActionTest, fadingUpFlattensTilesVerticallyOnly)
{
    ZTFadeOutUpTiles* action = start(ZTFadeOutUpTiles::actionWithSize(ztg(2, 4), 1));
    action->update(0.5f);
    const ztQuad3 tile = tiledGrid()->tile(ztg(1, 1));
    const ztQuad3 original = tiledGrid()->originalTile(ztg(1, 1));
    EXPECT_EQ(tile.bl.x, original.bl.x);
    EXPECT_EQ(tile.tr.x, original.tr.x);
    EXPECT_NEAR(tile.tl.y - tile.bl.y, 80 * std::pow(0.5f, 6.0f), 1e-3);
    EXPECT_EQ(tilesOff().size(), 2u) << "the bottom row";
}

// Waves, jumps and amplitudes

TEST_F(GridActionTest, wavesAndJumpsLiftTilesByTheirAmplitudeAndRate)
{
    ZTWavesTiles3D* waves = start(ZTWavesTiles3D::actionWithWaves(2, 10, ztg(4, 4), 1));
    waves->setAmplitudeRate(0.5f);
    waves->update(0.1f);
    const ztQuad3 tile = tiledGrid()->tile(ztg(1, 2));
    const float expected = std::sin(0.1f * 3.1415927f * 2 * 2 + (tile.bl.y + tile.bl.x) * 0.01f) * 10 * 0.5f;
    EXPECT_NEAR(tile.tr.z, expected, 1e-4);
    EXPECT_EQ(tile.bl.z, tile.tr.z);

    ZTJumpTiles3D* jumps = start(ZTJumpTiles3D::actionWithJumps(1, 8, ztg(4, 4), 1));
    jumps->update(0.25f);
    EXPECT_NEAR(tiledGrid()->tile(ztg(0, 0)).bl.z, 8, 1e-4);
    EXPECT_NEAR(tiledGrid()->tile(ztg(1, 0)).bl.z, -8, 1e-4);
    EXPECT_NEAR(tiledGrid()->tile(ztg(1, 1)).tr.z, 8, 1e-4);
}

TEST_F(GridActionTest, amplitudeWrappersMoveTheWavesTheyScale)
{
    ZTWavesTiles3D* waves = ZTWavesTiles3D::actionWithWaves(1, 20, ztg(2, 2), 1);
    ZTAccelDeccelAmplitude* wrapper = start(ZTAccelDeccelAmplitude::actionWithAction(waves, 1));
    ASSERT_NE(tiledGrid(), nullptr) << "the inner action starts with the wrapper";
    wrapper->update(0.125f);
    EXPECT_FLOAT_EQ(waves->getAmplitudeRate(), 0.25f);
    const float z = tiledGrid()->tile(ztg(0, 0)).bl.z;
    EXPECT_NEAR(z, std::sin(0.125f * 3.1415927f * 2) * 20 * 0.25f, 1e-4) << "the waves moved";
    wrapper->update(0.75f);
    EXPECT_FLOAT_EQ(waves->getAmplitudeRate(), 0.5f);

    ZTAccelAmplitude* accel = start(ZTAccelAmplitude::actionWithAction(ZTWavesTiles3D::actionWithWaves(1, 20, ztg(2, 2), 1), 1));
    accel->setRate(2);
    accel->update(0.5f);
    EXPECT_FLOAT_EQ(static_cast<ZTActionInterval*>(accel->getInnerAction())->getAmplitudeRate(), 0.25f);
    ZTDeccelAmplitude* deccel = start(ZTDeccelAmplitude::actionWithAction(ZTJumpTiles3D::actionWithJumps(1, 5, ztg(2, 2), 1), 1));
    deccel->update(0.25f);
    EXPECT_FLOAT_EQ(deccel->getInnerAction()->getAmplitudeRate(), 0.75f);
}

TEST_F(GridActionTest, aReversedAmplitudeWrapperDrivesTheReversedWaves)
{
    ZTAccelAmplitude* forward = ZTAccelAmplitude::actionWithAction(ZTWavesTiles3D::actionWithWaves(1, 20, ztg(2, 2), 1), 1);
    auto* backward = dynamic_cast<ZTAccelAmplitude*>(forward->reverse());
    ASSERT_NE(backward, nullptr);
    EXPECT_FLOAT_EQ(backward->getRate(), 1.0f);
    EXPECT_NE(dynamic_cast<ZTReverseTime*>(backward->getInnerAction()), nullptr);
    start(backward)->update(0.5f);
    EXPECT_FLOAT_EQ(backward->getInnerAction()->getAmplitudeRate(), 0.5f);
    EXPECT_NE(tiledGrid()->tile(ztg(1, 1)).bl.z, 0);
}

// Keeping, replacing and stopping grids

TEST_F(GridActionTest, aReusedGridKeepsItsDistortedShapeAsTheNextStart)
{
    start(ZTSplitRows::actionWithRows(2, 1))->update(0.5f);
    ZTGridBase* grid = tiledGrid();
    const ztQuad3 moved = tiledGrid()->tile(ztg(0, 0));
    start(ZTReuseGrid::actionWithTimes(1));
    EXPECT_EQ(grid->getReuseGrid(), 1);

    start(ZTSplitRows::actionWithRows(2, 1))->update(0);
    EXPECT_EQ(tiledGrid(), grid) << "kept";
    EXPECT_TRUE(sameQuad(tiledGrid()->originalTile(ztg(0, 0)), moved));
    EXPECT_EQ(grid->getReuseGrid(), 0);

    start(ZTSplitRows::actionWithRows(2, 1));
    EXPECT_NE(tiledGrid(), grid) << "the count is used up";
    EXPECT_FALSE(grid->isActive());
    EXPECT_TRUE(tiledGrid()->isActive());
}

TEST_F(GridActionTest, aKeptGridThatDoesNotFitIsReplacedWithOneWarning)
{
    start(ZTSplitRows::actionWithRows(2, 1));
    ZTGridBase* other = tiledGrid();
    start(ZTReuseGrid::actionWithTimes(3));
    testing::internal::CaptureStdout();
    ZTSplitRows* rows = start(ZTSplitRows::actionWithRows(4, 1));
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    EXPECT_NE(output.find("ZTGridAction: WARNING:"), std::string::npos);
    EXPECT_NE(tiledGrid(), other);
    EXPECT_EQ(tiledGrid()->getGridSize(), ztg(1, 4));
    rows->update(1.0f);

    start(ZTReuseGrid::actionWithTimes(1));
    testing::internal::CaptureStdout();
    start(ZTGrid3DAction::actionWithSize(ztg(1, 4), 1));
    output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
    ASSERT_NE(dynamic_cast<ZTGrid3D*>(scene->getGrid()), nullptr) << "of the other kind: replaced";

    auto* grid = dynamic_cast<ZTGridBase*>(scene->getGrid());
    grid->setReuseGrid(1);
    grid->setActive(false);
    testing::internal::CaptureStdout();
    start(ZTGrid3DAction::actionWithSize(ztg(1, 4), 1));
    output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << "inactive: replaced";
    EXPECT_NE(scene->getGrid(), grid);
}

TEST_F(GridActionTest, stopGridDrawsTheNodeNormallyAgain)
{
    start(ZTSplitRows::actionWithRows(3, 1))->update(0.5f);
    start(ZTStopGrid::action());
    EXPECT_FALSE(tiledGrid()->isActive());
    window.frame();
    EXPECT_EQ(DirectorWindow::pixel(60, 160), (RGB{255, 0, 0}));
    start(ZTStopGrid::action());
    EXPECT_FALSE(tiledGrid()->isActive());
}

TEST_F(GridActionTest, aGridActionRunsThroughTheDirectorAndReversesInTime)
{
    scene->runAction(ZTSequence::actions(ZTSplitCols::actionWithCols(2, 0.5f),
                                         ZTSplitCols::actionWithCols(2, 0.5f)->reverse(), nullptr));
    window.frames(16);
    EXPECT_EQ(DirectorWindow::pixel(100, 300), kClear) << "the left column has moved down";
    window.frames(70);
    EXPECT_EQ(DirectorWindow::pixel(100, 300), (RGB{255, 0, 0})) << "and back";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Refusals

TEST(GridActionRefusals, emptyGridsRangesRowsAndColumnsAreRefusedWithOneWarningEach)
{
    for (auto make : {+[] { EXPECT_EQ(ZTShakyTiles3D::actionWithRange(0, false, ztg(2, 2), 1), nullptr); },
                      +[] { EXPECT_EQ(ZTShatteredTiles3D::actionWithRange(-3, true, ztg(2, 2), 1), nullptr); },
                      +[] { EXPECT_EQ(ZTSplitRows::actionWithRows(0, 1), nullptr); },
                      +[] { EXPECT_EQ(ZTSplitCols::actionWithCols(-1, 1), nullptr); },
                      +[] { EXPECT_EQ(ZTTurnOffTiles::actionWithSize(ztg(0, 12), 1), nullptr); },
                      +[] { EXPECT_EQ(ZTTiledGrid3DAction::actionWithSize(ztg(3, 0), 1), nullptr); },
                      +[] { EXPECT_EQ(ZTAccelAmplitude::actionWithAction(nullptr, 1), nullptr); }}) {
        const std::string output = capture(make);
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
        EXPECT_NE(output.find(": WARNING:"), std::string::npos) << output;
    }
}
