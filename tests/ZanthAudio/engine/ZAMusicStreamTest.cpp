// The music stream on OpenAL Soft's silent device: its states, position, looping, the one finish of a
// play, and a feeder that never undoes what the main thread asked for.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "AudioCapture.h"
#include "FixtureDir.h"
#include "MessageLog.h"
#include "SoundFiles.h"
#include "engine/ZAMusicStream.h"
#include "engine/ZAOpenALDevice.h"

namespace {

void processEventsFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void sleepFor(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

class ZAMusicStreamTest : public ::testing::Test
{
protected:
    std::string toneFile(double seconds, const std::string& name = "music.wav")
    {
        Tone tone;
        tone.seconds = seconds;
        tone.channels = 2;
        writeToneWav(m_dir.path(name), tone);
        return m_dir.path(name);
    }

    std::unique_ptr<ZAMusicStream> open(double seconds)
    {
        auto stream = ZAMusicStream::open(m_device, toneFile(seconds));
        if (stream)
            stream->setFinishedHandler([this] { ++m_finishes; });
        return stream;
    }

    FixtureDir m_dir;
    std::shared_ptr<ZAOpenALDevice> m_device = ZAOpenALDevice::open(44100);
    int m_finishes = 0;
};

TEST_F(ZAMusicStreamTest, filesWithoutMonoOrStereoSoundDoNotOpen)
{
    Tone tone;
    ASSERT_TRUE(writeToneFile(m_dir.path("empty.wav"), tone, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0));
    Tone surround;
    surround.channels = 4;
    ASSERT_TRUE(writeToneFile(m_dir.path("four.wav"), surround, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    m_dir.write("text.ogg", "no music here");
    for (const char* name : {"empty.wav", "four.wav", "text.ogg", "missing.mp3"}) {
        MessageLog log;
        EXPECT_EQ(ZAMusicStream::open(m_device, m_dir.path(name)), nullptr) << name;
        EXPECT_EQ(log.lines().size(), 1) << name;
    }
}

TEST_F(ZAMusicStreamTest, playPauseResumeAndStopAnswerWhetherTheyChangedAnything)
{
    auto stream = open(2.0);
    ASSERT_NE(stream, nullptr);
    EXPECT_NEAR(stream->duration(), 2.0, 1e-6);
    EXPECT_FALSE(stream->resume());
    EXPECT_FALSE(stream->pause());
    EXPECT_TRUE(stream->play());
    EXPECT_TRUE(stream->isPlaying());
    EXPECT_FALSE(stream->play());
    EXPECT_TRUE(stream->pause());
    EXPECT_FALSE(stream->isPlaying());
    EXPECT_FALSE(stream->play());
    EXPECT_TRUE(stream->resume());
    EXPECT_TRUE(stream->isPlaying());
    EXPECT_TRUE(stream->stop());
    EXPECT_FALSE(stream->stop());
    EXPECT_FALSE(stream->isPlaying());
    EXPECT_DOUBLE_EQ(stream->currentTime(), 0.0);
}

TEST_F(ZAMusicStreamTest, thePositionAdvancesWhilePlayingAndHoldsWhilePaused)
{
    auto stream = open(3.0);
    ASSERT_TRUE(stream->play());
    sleepFor(400);
    const double playing = stream->currentTime();
    EXPECT_GT(playing, 0.2);
    EXPECT_LT(playing, 0.8);
    ASSERT_TRUE(stream->pause());
    const double paused = stream->currentTime();
    sleepFor(300);
    EXPECT_NEAR(stream->currentTime(), paused, 0.01);
    ASSERT_TRUE(stream->resume());
    sleepFor(300);
    EXPECT_GT(stream->currentTime(), paused + 0.1);

    stream->setCurrentTime(2.0);
    EXPECT_NEAR(stream->currentTime(), 2.0, 0.05);
    EXPECT_TRUE(stream->isPlaying());
    stream->pause();
    stream->setCurrentTime(1.0);
    EXPECT_NEAR(stream->currentTime(), 1.0, 0.01);
    EXPECT_FALSE(stream->isPlaying());
    stream->stop();
    stream->setCurrentTime(0.5);
    EXPECT_NEAR(stream->currentTime(), 0.5, 1e-6);
    stream->setCurrentTime(-4.0);
    EXPECT_DOUBLE_EQ(stream->currentTime(), 0.0);
}

TEST_F(ZAMusicStreamTest, aPlayThatReachesTheEndFinishesOnceOnTheMainThread)
{
    auto stream = open(0.2);
    bool onMainThread = false;
    stream->setFinishedHandler([&] {
        ++m_finishes;
        onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    ASSERT_TRUE(stream->play());
    QElapsedTimer timer;
    timer.start();
    while (m_finishes == 0 && timer.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(m_finishes, 1);
    EXPECT_TRUE(onMainThread);
    EXPECT_FALSE(stream->isPlaying());
    EXPECT_DOUBLE_EQ(stream->currentTime(), 0.0);
    processEventsFor(200);
    EXPECT_EQ(m_finishes, 1);
    // Finished, the stream plays again from the start.
    EXPECT_TRUE(stream->play());
}

TEST_F(ZAMusicStreamTest, aFinishThatArrivesAfterTheNextPlayIsDropped)
{
    auto stream = open(0.1);
    ASSERT_TRUE(stream->play());
    // The finish is queued while no events are processed; a new play starts before it arrives.
    QElapsedTimer timer;
    timer.start();
    while (stream->isPlaying() && timer.elapsed() < 3000)
        sleepFor(5);
    ASSERT_FALSE(stream->isPlaying());
    ASSERT_TRUE(stream->play());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_finishes, 0);
    stream->stop();
    processEventsFor(300);
    EXPECT_EQ(m_finishes, 0);
}

TEST_F(ZAMusicStreamTest, aLoopingStreamWrapsWithoutFinishing)
{
    auto stream = open(0.15);
    stream->setLoops(true);
    ASSERT_TRUE(stream->play());
    processEventsFor(700);
    EXPECT_TRUE(stream->isPlaying());
    EXPECT_EQ(m_finishes, 0);
    EXPECT_LT(stream->currentTime(), 0.15);
    // Looping off again: it finishes at the end of the pass under way.
    stream->setLoops(false);
    processEventsFor(900);
    EXPECT_FALSE(stream->isPlaying());
    EXPECT_EQ(m_finishes, 1);
}

TEST_F(ZAMusicStreamTest, volumeIsClampedToTheUnitRange)
{
    auto stream = open(0.5);
    stream->setVolume(0.25f);
    EXPECT_FLOAT_EQ(stream->volume(), 0.25f);
    stream->setVolume(3.0f);
    EXPECT_FLOAT_EQ(stream->volume(), 1.0f);
    stream->setVolume(-1.0f);
    EXPECT_FLOAT_EQ(stream->volume(), 0.0f);
    stream->setVolume(0.5f);
    stream->setVolume(std::nanf(""));
    EXPECT_FLOAT_EQ(stream->volume(), 0.0f);
}

TEST_F(ZAMusicStreamTest, withoutADeviceAStreamOpensButNeverPlays)
{
    auto stream = ZAMusicStream::open(nullptr, toneFile(0.5));
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(stream->play());
    EXPECT_FALSE(stream->isPlaying());
    EXPECT_NEAR(stream->duration(), 0.5, 1e-6);
    stream->setVolume(0.5f);
    stream->setCurrentTime(0.25);
    EXPECT_NEAR(stream->currentTime(), 0.25, 1e-6);
}

TEST_F(ZAMusicStreamTest, aStormOfCallsAgainstTheFeederLeavesTheLastCallsState)
{
    auto stream = open(0.3);
    std::mt19937 random(16);
    for (int round = 0; round < 200; ++round) {
        switch (random() % 6) {
        case 0:
            stream->play();
            break;
        case 1:
            stream->pause();
            break;
        case 2:
            stream->resume();
            break;
        case 3:
            stream->stop();
            break;
        case 4:
            stream->setCurrentTime(static_cast<double>(random() % 300) / 1000.0);
            break;
        default:
            stream->setLoops(random() % 2 == 0);
            break;
        }
        if (round % 20 == 0)
            QCoreApplication::processEvents();
        sleepFor(static_cast<int>(random() % 3));
    }
    stream->setLoops(true);
    stream->stop();
    ASSERT_TRUE(stream->play());
    ASSERT_TRUE(stream->pause());
    sleepFor(100);
    EXPECT_FALSE(stream->isPlaying());
    ASSERT_TRUE(stream->resume());
    ASSERT_TRUE(stream->stop());
    sleepFor(100);
    EXPECT_FALSE(stream->isPlaying());
    EXPECT_DOUBLE_EQ(stream->currentTime(), 0.0);
    stream->play();
    // Destroyed while it plays: the feeder is joined first.
    stream.reset();
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    return AudioCapture::runTests(argc, argv);
}
