// What the effects sound like: OpenAL Soft's mixed output is captured by its wave backend and measured.
// Every capture ends with the engine, which closes the device and completes the file's header.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "AudioCapture.h"
#include "SimpleAudioEngine.h"
#include "SoundFiles.h"
#include "engine/ZAAudioManager.h"
#include "engine/ZAFloatInterpolator.h"
#include "engine/ZALongAudioSourceFader.h"

using Facade = ZanthAudio::SimpleAudioEngine;

namespace {

std::string capturePath()
{
    static const std::string path = AudioCapture::temporaryCapturePath();
    return path;
}

void sleepFor(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

class MixedOutputTest : public ::testing::Test
{
protected:
    std::string tone(const std::string& name, double seconds, double amplitude, double frequency = 440.0)
    {
        Tone tone;
        tone.seconds = seconds;
        tone.amplitude = amplitude;
        tone.frequency = frequency;
        writeToneWav(m_dir.path(name), tone);
        return m_dir.path(name);
    }

    // Ends the engine, which closes the device, and reads what it played.
    AudioCapture::Wave capture()
    {
        Facade::end();
        AudioCapture::Wave wave = AudioCapture::read(capturePath());
        EXPECT_TRUE(wave.headerConsistent);
        EXPECT_EQ(wave.channels, 2);
        EXPECT_EQ(wave.rate, 44100);
        return wave;
    }

    FixtureDir m_dir;
};

TEST_F(MixedOutputTest, aToneEffectSoundsAtItsLevelPitchAndLength)
{
    const std::string file = tone("tone.wav", 1.0, 0.5);
    ASSERT_LT(Facade::sharedEngine()->playEffect(file.c_str()), 0xFEEDBABu);
    sleepFor(1400);
    const AudioCapture::Wave wave = capture();
    const AudioCapture::Span span = AudioCapture::activeSpan(wave.left);
    EXPECT_NEAR(wave.seconds(span.length()), 1.0, 0.05);
    for (const auto* channel : {&wave.left, &wave.right}) {
        EXPECT_NEAR(AudioCapture::rms(*channel, span.begin, span.end), 0.21, 0.021);
        const double crossingsPerSecond =
            AudioCapture::zeroCrossings(*channel, span.begin, span.end) / wave.seconds(span.length());
        EXPECT_NEAR(crossingsPerSecond, 880.0, 880.0 * 0.02);
    }
}

TEST_F(MixedOutputTest, effectsVolumeHalvesTheLevelAndZeroSilencesIt)
{
    const std::string file = tone("tone.wav", 0.5, 0.5);
    Facade::sharedEngine()->setEffectsVolume(0.5f);
    ASSERT_LT(Facade::sharedEngine()->playEffect(file.c_str()), 0xFEEDBABu);
    sleepFor(800);
    Facade::sharedEngine()->setEffectsVolume(0.0f);
    ASSERT_LT(Facade::sharedEngine()->playEffect(file.c_str()), 0xFEEDBABu);
    sleepFor(800);
    const AudioCapture::Wave wave = capture();
    const AudioCapture::Span span = AudioCapture::activeSpan(wave.left);
    EXPECT_NEAR(wave.seconds(span.length()), 0.5, 0.05);
    EXPECT_NEAR(AudioCapture::rms(wave.left, span.begin, span.end), 0.105, 0.0105);
    EXPECT_LT(AudioCapture::rms(wave.left, span.end, wave.left.size()), 1e-4);
    EXPECT_LT(AudioCapture::rms(wave.right, span.end, wave.right.size()), 1e-4);
}

TEST_F(MixedOutputTest, resumingAllEffectsBringsBackTheLoopingOneButNotTheOneThatEnded)
{
    Facade* audio = Facade::sharedEngine();
    ASSERT_LT(audio->playEffect(tone("short.wav", 0.2, 0.5).c_str()), 0xFEEDBABu);
    sleepFor(500);
    ASSERT_LT(audio->playEffect(tone("loop.wav", 1.0, 0.25, 660.0).c_str(), true), 0xFEEDBABu);
    sleepFor(400);
    // The pause and the resumed play last as long as the calls lie apart, which a busy machine stretches.
    using Clock = std::chrono::steady_clock;
    const auto paused = Clock::now();
    audio->pauseAllEffects();
    sleepFor(400);
    const auto resumed = Clock::now();
    audio->resumeAllEffects();
    sleepFor(400);
    const auto stopped = Clock::now();
    audio->stopAllEffects();
    const double pauseSeconds = std::chrono::duration<double>(resumed - paused).count();
    const double resumedSeconds = std::chrono::duration<double>(stopped - resumed).count();
    const AudioCapture::Wave wave = capture();

    // Sound and silence in 20 ms steps: short tone, gap, loop, pause, loop again, end.
    const size_t window = wave.frame(0.02);
    std::vector<std::pair<bool, size_t>> runs;
    for (const double level : AudioCapture::windowedRms(wave.left, window)) {
        const bool sounding = level > 0.01;
        if (runs.empty() || runs.back().first != sounding)
            runs.push_back({sounding, 0});
        ++runs.back().second;
    }
    if (!runs.empty() && !runs.front().first)
        runs.erase(runs.begin());
    ASSERT_GE(runs.size(), 5u);
    EXPECT_TRUE(runs[0].first && runs[2].first && runs[4].first);
    EXPECT_NEAR(runs[0].second * 0.02, 0.2, 0.06);
    EXPECT_NEAR(runs[3].second * 0.02, pauseSeconds, 0.08);
    EXPECT_NEAR(runs[4].second * 0.02, resumedSeconds, 0.08);
    EXPECT_TRUE(runs.size() == 5 || (runs.size() == 6 && !runs[5].first));
    // After the resume only the looping tone sounds: the short one would raise the level.
    size_t resumedAt = 0;
    for (size_t i = 0; i < 4; ++i)
        resumedAt += runs[i].second * window;
    const auto offset = AudioCapture::activeSpan(wave.left).begin;
    const double resumedLevel =
        AudioCapture::rms(wave.left, offset + resumedAt, offset + resumedAt + wave.frame(0.2));
    EXPECT_NEAR(resumedLevel, 0.105, 0.02);
}

TEST_F(MixedOutputTest, aLinearMusicFadeAtHalfwayHalvesTheLevel)
{
    Facade* audio = Facade::sharedEngine();
    audio->playBackgroundMusic(tone("music.wav", 1.0, 0.5).c_str(), true);
    {
        // The fader keeps the channel, and with it the device, alive: it goes before the engine ends.
        ZALongAudioSourceFader fader(ZAAudioManager::sharedManager()->audioSourceForChannel(0),
                                     ZAFloatInterpolator::kLinear, 1.0f, 0.0f);
        sleepFor(600);
        fader.modify(0.5f);
        sleepFor(600);
    }
    const AudioCapture::Wave wave = capture();
    const AudioCapture::Span span = AudioCapture::activeSpan(wave.left);
    const double full =
        AudioCapture::rms(wave.left, span.begin + wave.frame(0.1), span.begin + wave.frame(0.4));
    const double faded = AudioCapture::rms(wave.left, span.end - wave.frame(0.4), span.end - wave.frame(0.1));
    EXPECT_NEAR(full, 0.21, 0.021);
    EXPECT_NEAR(faded / full, 0.5, 0.05);
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::routeOutputTo(capturePath());
    return AudioCapture::runTests(argc, argv);
}
