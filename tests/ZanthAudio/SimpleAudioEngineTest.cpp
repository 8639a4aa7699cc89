// The facade on OpenAL Soft's silent device: volumes clamped on the way in, the failure ids of effects,
// pausing and resuming all effects, and the life of the shared engine.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "AudioCapture.h"
#include "SimpleAudioEngine.h"
#include "SoundFiles.h"
#include "engine/SimpleAudioEngine.h"
#include "engine/ZAAudioManager.h"
#include "engine/ZAConstants.h"
#include "engine/ZASoundEngine.h"
#include "engine/ZASoundSource.h"

using Facade = ZanthAudio::SimpleAudioEngine;

namespace {

class SimpleAudioEngineTest : public ::testing::Test
{
protected:
    void TearDown() override { Facade::end(); }

    Facade* audio() const { return Facade::sharedEngine(); }

    ToneFiles m_files;
};

TEST_F(SimpleAudioEngineTest, volumesAreClampedToTheUnitRangeWithNotANumberAsFull)
{
    audio()->setEffectsVolume(1.7f);
    EXPECT_FLOAT_EQ(audio()->getEffectsVolume(), 1.0f);
    audio()->setEffectsVolume(-0.2f);
    EXPECT_FLOAT_EQ(audio()->getEffectsVolume(), 0.0f);
    audio()->setEffectsVolume(std::nanf(""));
    EXPECT_FLOAT_EQ(audio()->getEffectsVolume(), 1.0f);
    audio()->setEffectsVolume(0.5f);
    EXPECT_FLOAT_EQ(audio()->getEffectsVolume(), 0.5f);
    audio()->setBackgroundMusicVolume(3.0f);
    EXPECT_FLOAT_EQ(audio()->getBackgroundMusicVolume(), 1.0f);
    audio()->setBackgroundMusicVolume(-1.0f);
    EXPECT_FLOAT_EQ(audio()->getBackgroundMusicVolume(), 0.0f);
    audio()->setBackgroundMusicVolume(0.25f);
    EXPECT_FLOAT_EQ(audio()->getBackgroundMusicVolume(), 0.25f);
    // Effects and music are separate.
    EXPECT_FLOAT_EQ(audio()->getEffectsVolume(), 0.5f);
}

TEST_F(SimpleAudioEngineTest, aMissingEffectAnswersNothingPlayedAndItsIdIsHarmless)
{
    const unsigned id = audio()->playEffect(m_files.tone("a.wav").append(".missing").c_str());
    EXPECT_EQ(id, 0xFEEDBABu);
    audio()->stopEffect(id);
    audio()->pauseEffect(id);
    audio()->resumeEffect(id);
    audio()->stopEffect(0xFFFFFFFF);
    EXPECT_FALSE(audio()->preloadEffect("missing.wav"));
    EXPECT_EQ(audio()->playEffect(nullptr), 0xFEEDBABu);
}

TEST_F(SimpleAudioEngineTest, effectsPlayOnSourcesAndAnIdTakenOverCountsOn)
{
    const std::string tone = m_files.tone("a.wav");
    EXPECT_TRUE(audio()->preloadEffect(tone.c_str()));
    const unsigned first = audio()->playEffect(tone.c_str(), true);
    ASSERT_LT(first, 0xFEEDBABu);
    EXPECT_EQ(AudioCapture::sourceState(first), AL_PLAYING);
    const unsigned count = audio()->effectPlayCount(first);
    for (int i = 0; i < 31; ++i)
        EXPECT_NE(audio()->playEffect(tone.c_str()), first);
    EXPECT_EQ(audio()->effectPlayCount(first), count);
    EXPECT_EQ(audio()->playEffect(tone.c_str()), first);
    EXPECT_EQ(audio()->effectPlayCount(first), count + 1);
    audio()->pauseEffect(first);
    EXPECT_EQ(AudioCapture::sourceState(first), AL_PAUSED);
    audio()->resumeEffect(first);
    EXPECT_EQ(AudioCapture::sourceState(first), AL_PLAYING);
    audio()->stopEffect(first);
    EXPECT_EQ(AudioCapture::sourceState(first), AL_STOPPED);
    audio()->stopAllEffects();
    audio()->unloadEffect(tone.c_str());
    EXPECT_LT(audio()->playEffect(tone.c_str()), 0xFEEDBABu);
}

TEST_F(SimpleAudioEngineTest, aBusyNonInterruptibleGroupPassesNoSourceThrough)
{
    const std::string tone = m_files.tone("a.wav");
    audio();
    ZAAudioManager::sharedManager()->soundEngine()->setSourceGroupNonInterruptible(0, true);
    for (int i = 0; i < 32; ++i)
        ASSERT_LT(audio()->playEffect(tone.c_str(), true), 0xFEEDBABu);
    EXPECT_EQ(audio()->playEffect(tone.c_str(), true), 0xFEEDFACu);
}

TEST_F(SimpleAudioEngineTest, resumingAllEffectsLeavesEndedOnesSilent)
{
    const unsigned ended = audio()->playEffect(m_files.tone("short.wav", 0.05).c_str());
    const unsigned looping = audio()->playEffect(m_files.tone("long.wav").c_str(), true);
    for (int i = 0; i < 200 && AudioCapture::sourceState(ended) == AL_PLAYING; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(AudioCapture::sourceState(ended), AL_STOPPED);
    audio()->pauseAllEffects();
    EXPECT_EQ(AudioCapture::sourceState(looping), AL_PAUSED);
    audio()->resumeAllEffects();
    EXPECT_EQ(AudioCapture::sourceState(looping), AL_PLAYING);
    EXPECT_EQ(AudioCapture::sourceState(ended), AL_STOPPED);
}

TEST_F(SimpleAudioEngineTest, musicPlaysLoopsAndStopsTheSameWhateverTheFlag)
{
    const std::string music = m_files.tone("music.wav");
    EXPECT_TRUE(audio()->willPlayBackgroundMusic());
    EXPECT_TRUE(audio()->preloadBackgroundMusic(music.c_str()));
    EXPECT_FALSE(audio()->preloadBackgroundMusic("missing.ogg"));
    for (const bool releaseData : {true, false}) {
        audio()->playBackgroundMusic(music.c_str(), true);
        EXPECT_TRUE(audio()->isBackgroundMusicPlaying());
        audio()->pauseBackgroundMusic();
        EXPECT_FALSE(audio()->isBackgroundMusicPlaying());
        audio()->resumeBackgroundMusic();
        EXPECT_TRUE(audio()->isBackgroundMusicPlaying());
        audio()->rewindBackgroundMusic();
        audio()->stopBackgroundMusic(releaseData);
        EXPECT_FALSE(audio()->isBackgroundMusicPlaying());
    }
}

TEST_F(SimpleAudioEngineTest, theSharedEngineLivesUntilEnd)
{
    Facade::end();
    EXPECT_FALSE(Facade::hasSharedEngine());
    EXPECT_FALSE(::SimpleAudioEngine::hasSharedEngine());
    Facade* facade = audio();
    EXPECT_EQ(audio(), facade);
    EXPECT_TRUE(Facade::hasSharedEngine());
    // The engine side is built by the first call that needs it.
    EXPECT_FALSE(::SimpleAudioEngine::hasSharedEngine());
    audio()->setResource("ignored");
    audio()->getEffectsVolume();
    EXPECT_TRUE(::SimpleAudioEngine::hasSharedEngine());
    Facade::end();
    EXPECT_FALSE(Facade::hasSharedEngine());
    EXPECT_FALSE(::SimpleAudioEngine::hasSharedEngine());
    // A new engine starts afresh.
    audio()->setEffectsVolume(0.3f);
    Facade::end();
    EXPECT_FLOAT_EQ(audio()->getEffectsVolume(), 1.0f);
}

TEST_F(SimpleAudioEngineTest, engineSideMuteAndEnableReachTheManagerOnlyOnChange)
{
    ::SimpleAudioEngine* engine = ::SimpleAudioEngine::sharedEngine();
    engine->setMute(true);
    EXPECT_TRUE(ZAAudioManager::sharedManager()->mute());
    ZAAudioManager::sharedManager()->setMute(false);
    engine->setMute(true);
    EXPECT_FALSE(ZAAudioManager::sharedManager()->mute());
    engine->setEnabled(false);
    EXPECT_FALSE(ZAAudioManager::sharedManager()->enabled());
    EXPECT_EQ(audio()->playEffect(m_files.tone("a.wav").c_str()), 0xFEEDBABu);
    auto source = engine->soundSourceForFile(m_files.tone("b.wav"));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(engine->soundSourceForFile("missing.wav"), nullptr);
}

TEST_F(SimpleAudioEngineTest, aStormOfMusicAndEffectCallsEndsInTheLastCallsState)
{
    const std::string first = m_files.tone("first.wav", 0.3);
    const std::string second = m_files.tone("second.wav", 0.2);
    const std::string effect = m_files.tone("effect.wav", 0.05);
    std::mt19937 random(200);
    for (int round = 0; round < 200; ++round) {
        switch (random() % 7) {
        case 0:
            audio()->playBackgroundMusic((random() % 2 ? first : second).c_str(), random() % 2 == 0);
            break;
        case 1:
            audio()->pauseBackgroundMusic();
            break;
        case 2:
            audio()->resumeBackgroundMusic();
            break;
        case 3:
            audio()->stopBackgroundMusic();
            break;
        case 4:
            audio()->preloadBackgroundMusic((random() % 2 ? first : second).c_str());
            break;
        case 5:
            audio()->playEffect(effect.c_str());
            break;
        default:
            audio()->pauseAllEffects();
            audio()->resumeAllEffects();
            break;
        }
        if (round % 10 == 0)
            QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 3));
    }
    audio()->playBackgroundMusic(first.c_str(), true);
    audio()->pauseBackgroundMusic();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(audio()->isBackgroundMusicPlaying());
    audio()->resumeBackgroundMusic();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_TRUE(audio()->isBackgroundMusicPlaying());
    audio()->stopBackgroundMusic();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(audio()->isBackgroundMusicPlaying());
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    return AudioCapture::runTests(argc, argv);
}
