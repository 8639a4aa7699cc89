// Accelerometer samples and their change threshold, and the video item's properties without playback.

#include <gtest/gtest.h>

#include "items/accelerometeritem.h"
#include "items/accelerometerreading.h"
#include "items/videoviewitem.h"

#include <QSignalSpy>

namespace {

void sample(AccelerometerItem& item, double x, double y, double z)
{
    zanth2d::ZTAcceleration acceleration;
    acceleration.x = x;
    acceleration.y = y;
    acceleration.z = z;
    item.didAccelerate(&acceleration);
}

} // namespace

TEST(AccelerometerItem, onlyAChangeBeyondTheThresholdSignalsButTheReadingIsAlwaysNew)
{
    AccelerometerItem item;
    QSignalSpy changes(&item, &AccelerometerItem::readingChanged);
    sample(item, 0.005, 0.005, -0.005);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_DOUBLE_EQ(item.reading()->x(), 0.005);
    sample(item, 0.0, 0.02, 0.0);
    EXPECT_EQ(changes.count(), 1);
    // Compared with the last signalled sample, not the last one seen.
    sample(item, 0.0, 0.025, 0.0);
    sample(item, 0.0, 0.028, 0.0);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_DOUBLE_EQ(item.reading()->y(), 0.028);
    sample(item, 0.0, 0.035, 0.0);
    EXPECT_EQ(changes.count(), 2);
    item.didAccelerate(nullptr);
    EXPECT_EQ(changes.count(), 2);
}

TEST(VideoViewItem, everySetterSignalsAChangeOnceAndPlaybackEmitsNothing)
{
    VideoViewItem video;
    QSignalSpy source(&video, &VideoViewItem::sourceChanged);
    QSignalSpy fillMode(&video, &VideoViewItem::fillModeChanged);
    QSignalSpy started(&video, &VideoViewItem::started);
    QSignalSpy stopped(&video, &VideoViewItem::stopped);
    video.setSource(QUrl("clip.mp4"));
    video.setSource(QUrl("clip.mp4"));
    video.setFillMode(VideoViewItem::Stretch);
    video.setFillMode(VideoViewItem::Stretch);
    video.play();
    video.stop();
    EXPECT_EQ(source.count(), 1);
    EXPECT_EQ(fillMode.count(), 1);
    EXPECT_EQ(started.count() + stopped.count(), 0);
}
