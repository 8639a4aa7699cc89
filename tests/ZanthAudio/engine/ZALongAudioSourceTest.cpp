// A music channel on OpenAL Soft's silent device: loading, volume kept across files and mute, the
// enable switch and loop counts.

#include <gtest/gtest.h>

#include "AudioCapture.h"
#include "SoundFiles.h"
#include "engine/AVAudioPlayer.h"
#include "engine/ZALongAudioSource.h"
#include "engine/ZAOpenALDevice.h"

namespace {

class RecordingDelegate : public ZALongAudioSourceDelegate
{
public:
    void zaAudioSourceDidFinishPlaying(ZALongAudioSource*) override { ++finished; }
    void zaAudioSourceFileDidChange(ZALongAudioSource*) override { ++fileChanges; }
    int finished = 0;
    int fileChanges = 0;
};

class ZALongAudioSourceTest : public ::testing::Test
{
protected:
    ToneFiles m_files;
    ZALongAudioSource m_channel{ZAOpenALDevice::open(44100), true};
};

TEST_F(ZALongAudioSourceTest, aChannelThatNeverLoadedIsNotPlaying)
{
    EXPECT_EQ(m_channel.state(), 0);
    EXPECT_FALSE(m_channel.isPlaying());
    EXPECT_FALSE(m_channel.isPlayable());
    m_channel.play();
    m_channel.resume();
    m_channel.rewind();
    EXPECT_FALSE(m_channel.isPlaying());
}

TEST_F(ZALongAudioSourceTest, reloadingTheSameFileRewindsAnotherReplacesThePlayer)
{
    RecordingDelegate delegate;
    m_channel.setDelegate(&delegate);
    const std::string a = m_files.tone("a.wav");
    m_channel.load(a);
    EXPECT_EQ(m_channel.state(), 1);
    EXPECT_EQ(delegate.fileChanges, 1);
    AVAudioPlayer* first = m_channel.audioSourcePlayer();
    ASSERT_NE(first->sound(), nullptr);
    EXPECT_EQ(first->url().toLocalFile().toStdString(), a);
    m_channel.play();
    first->setCurrentTime(1.0);
    m_channel.load(a);
    EXPECT_EQ(m_channel.audioSourcePlayer(), first);
    EXPECT_FALSE(m_channel.isPlaying());
    EXPECT_DOUBLE_EQ(first->currentTime(), 0.0);
    EXPECT_EQ(delegate.fileChanges, 1);
    m_channel.load(m_files.tone("b.wav"));
    EXPECT_EQ(delegate.fileChanges, 2);
    EXPECT_EQ(m_channel.audioSourceFilePath(), m_files.tone("b.wav"));
    m_channel.load("missing.ogg");
    EXPECT_EQ(m_channel.state(), 1);
    EXPECT_FALSE(m_channel.isPlayable());
    m_channel.play();
    EXPECT_FALSE(m_channel.isPlaying());
}

TEST_F(ZALongAudioSourceTest, volumeSetBeforeLoadingAppliesAtTheNextLoadAndMuteKeepsIt)
{
    m_channel.setVolume(0.4f);
    m_channel.load(m_files.tone("a.wav"));
    EXPECT_FLOAT_EQ(m_channel.audioSourcePlayer()->volume(), 0.4f);
    m_channel.setMute(true);
    EXPECT_FLOAT_EQ(m_channel.audioSourcePlayer()->volume(), 0.0f);
    EXPECT_FLOAT_EQ(m_channel.volume(), 0.4f);
    m_channel.setVolume(0.7f);
    EXPECT_FLOAT_EQ(m_channel.audioSourcePlayer()->volume(), 0.0f);
    // A new file while muted stays silent.
    m_channel.load(m_files.tone("b.wav"));
    EXPECT_FLOAT_EQ(m_channel.audioSourcePlayer()->volume(), 0.0f);
    m_channel.setMute(false);
    EXPECT_FLOAT_EQ(m_channel.audioSourcePlayer()->volume(), 0.7f);
    m_channel.setVolume(-3.0f);
    EXPECT_FLOAT_EQ(m_channel.volume(), 0.0f);
    m_channel.setVolume(9.0f);
    EXPECT_FLOAT_EQ(m_channel.volume(), 1.0f);
}

TEST_F(ZALongAudioSourceTest, disablingPausesAndRewindsAndOnlyResumePlaysThen)
{
    m_channel.load(m_files.tone("a.wav"));
    m_channel.play();
    m_channel.audioSourcePlayer()->setCurrentTime(1.0);
    m_channel.setEnabled(false);
    EXPECT_FALSE(m_channel.isPlaying());
    EXPECT_NEAR(m_channel.audioSourcePlayer()->currentTime(), 0.0, 0.01);
    m_channel.play();
    EXPECT_FALSE(m_channel.isPlaying());
    m_channel.resume();
    EXPECT_TRUE(m_channel.isPlaying());
}

TEST_F(ZALongAudioSourceTest, loopCountsReachThePlayer)
{
    m_channel.setNumberOfLoops(-1);
    m_channel.load(m_files.tone("a.wav"));
    EXPECT_EQ(m_channel.audioSourcePlayer()->numberOfLoops(), -1);
    m_channel.setNumberOfLoops(3);
    EXPECT_EQ(m_channel.audioSourcePlayer()->numberOfLoops(), 0);
    EXPECT_EQ(m_channel.numberOfLoops(), 3);
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    return AudioCapture::runTests(argc, argv);
}
