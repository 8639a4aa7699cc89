#include <gtest/gtest.h>

#include "MessageLog.h"
#include "items/rangemodel.h"

#include <QSignalSpy>

#include <limits>

using Zanth::QRangeModel;

TEST(RangeModel, freshModelReadsZeroAndAnEmptyPositionRangeKeepsPositionZero)
{
    QRangeModel model;
    EXPECT_EQ(model.value(), 0.0);
    EXPECT_EQ(model.position(), 0.0);
    EXPECT_EQ(model.maximum(), 99.0);
    model.setValue(50);
    EXPECT_EQ(model.value(), 50.0);
    EXPECT_EQ(model.position(), 0.0);
    model.setPosition(30);
    EXPECT_EQ(model.position(), 0.0);
    EXPECT_EQ(model.value(), 0.0) << "an empty position range maps every position to the minimum";
}

TEST(RangeModel, valuesSnapToTheNearestStepTiesGoDownAndTheLastStepIsLimitedToTheMaximum)
{
    QRangeModel model;
    model.setRange(0, 10);
    model.setStepSize(3);
    const std::pair<double, double> table[] = {{4, 3},    {4.5, 3}, {5, 6},   {9.4, 9},
                                               {9.6, 10}, {-2, 0},  {12, 10}, {0.1, 0}};
    for (const auto& [written, read] : table) {
        model.setValue(written);
        EXPECT_DOUBLE_EQ(model.value(), read) << "written " << written;
    }
}

TEST(RangeModel, positionsFollowValuesAndSnapToThePositionStep)
{
    QRangeModel model;
    model.setRange(0, 10);
    model.setPositionRange(0, 100);
    model.setValue(2.5);
    EXPECT_DOUBLE_EQ(model.position(), 25.0);
    model.setStepSize(1);
    EXPECT_DOUBLE_EQ(model.value(), 2.0);
    EXPECT_DOUBLE_EQ(model.position(), 20.0);
    model.setPosition(67);
    EXPECT_DOUBLE_EQ(model.position(), 70.0);
    EXPECT_DOUBLE_EQ(model.value(), 7.0);
    EXPECT_DOUBLE_EQ(model.valueForPosition(44), 4.0);
    EXPECT_DOUBLE_EQ(model.positionForValue(8.6), 90.0);
    EXPECT_DOUBLE_EQ(model.value(), 7.0) << "the mappings leave the model alone";
    model.setPosition(500);
    EXPECT_DOUBLE_EQ(model.position(), 100.0);
    EXPECT_DOUBLE_EQ(model.value(), 10.0);
}

TEST(RangeModel, invertedRangeMapsTheMinimumToTheFarEnd)
{
    QRangeModel model;
    model.setRange(0, 10);
    model.setPositionRange(0, 100);
    QSignalSpy positions(&model, &QRangeModel::positionChanged);
    model.setInverted(true);
    EXPECT_DOUBLE_EQ(model.value(), 0.0);
    EXPECT_DOUBLE_EQ(model.position(), 100.0);
    ASSERT_EQ(positions.count(), 1);
    EXPECT_DOUBLE_EQ(positions.first().first().toDouble(), 100.0);
    model.setStepSize(2);
    model.setPosition(31);
    EXPECT_DOUBLE_EQ(model.value(), 6.0);
    EXPECT_DOUBLE_EQ(model.position(), 40.0);
    model.toMaximum();
    EXPECT_DOUBLE_EQ(model.position(), 0.0);
}

TEST(RangeModel, rangeSettersKeepTheMaximumAtOrAboveTheMinimumAndReportWhatMoved)
{
    QRangeModel model;
    model.setRange(5, 10);
    QSignalSpy minimums(&model, &QRangeModel::minimumChanged);
    QSignalSpy maximums(&model, &QRangeModel::maximumChanged);
    QSignalSpy values(&model, &QRangeModel::valueChanged);
    model.setMaximum(2);
    EXPECT_EQ(model.minimum(), 2.0);
    EXPECT_EQ(model.maximum(), 2.0);
    EXPECT_EQ(minimums.count(), 1);
    EXPECT_EQ(maximums.count(), 1);
    model.setRange(8, 3);
    EXPECT_EQ(model.maximum(), 8.0) << "a maximum below the minimum is raised";
    model.setMinimum(8);
    EXPECT_EQ(minimums.count(), 2) << "an unchanged range emits nothing";
    EXPECT_EQ(values.count(), 2);
    EXPECT_EQ(values.last().first().toDouble(), 8.0);
}

TEST(RangeModel, unchangedNegativeAndNonFiniteInputsChangeNothing)
{
    QRangeModel model;
    model.setRange(0, 10);
    model.setValue(4);
    QSignalSpy values(&model, &QRangeModel::valueChanged);
    QSignalSpy steps(&model, &QRangeModel::stepSizeChanged);
    model.setValue(4 + 1e-14);
    model.setStepSize(-3);
    EXPECT_EQ(model.stepSize(), 0.0);
    EXPECT_EQ(values.count(), 0);
    EXPECT_EQ(steps.count(), 0);

    MessageLog log;
    model.setValue(std::numeric_limits<double>::quiet_NaN());
    model.setRange(0, std::numeric_limits<double>::infinity());
    model.setStepSize(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(model.value(), 4.0);
    EXPECT_EQ(model.maximum(), 10.0);
    EXPECT_EQ(model.stepSize(), 0.0);
    EXPECT_EQ(values.count(), 0);
    EXPECT_EQ(log.lines().filter("QRangeModel: WARNING:").size(), 3);
}
