// With no output device the engine runs silent: effects answer the failure id, volumes answer what was
// set, music never plays, and nothing fails.

#include <gtest/gtest.h>

#include "AudioCapture.h"
#include "MessageLog.h"
#include "SimpleAudioEngine.h"
#include "SoundFiles.h"
#include "engine/ZAAudioManager.h"
#include "engine/ZASoundEngine.h"

using Facade = ZanthAudio::SimpleAudioEngine;

namespace {

class NoDeviceTest : public ::testing::Test
{
protected:
    void TearDown() override { Facade::end(); }

    ToneFiles m_files;
};

TEST_F(NoDeviceTest, theEffectEngineIsNotFunctioningAndSaysSoOnce)
{
    MessageLog log;
    auto engine = ZASoundEngine::create();
    EXPECT_FALSE(engine->functioning());
    EXPECT_EQ(engine->sourceTotal(), 0);
    EXPECT_EQ(engine->device(), nullptr);
    EXPECT_EQ(log.lines().size(), 1);
    EXPECT_FALSE(engine->loadBuffer(0, m_files.tone("a.wav")));
    EXPECT_EQ(engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, false), 0xFEEDBABu);
    EXPECT_EQ(engine->soundSourceForSound(0, 0), nullptr);
    engine->pauseAllSounds();
    engine->resumeAllSounds();
    engine->stopSound(1);
}

TEST_F(NoDeviceTest, effectsAnswerNothingPlayedAndTheVolumeIsWhatWasSet)
{
    Facade* audio = Facade::sharedEngine();
    EXPECT_FLOAT_EQ(audio->getEffectsVolume(), 1.0f);
    const std::string tone = m_files.tone("a.wav");
    EXPECT_TRUE(audio->preloadEffect(tone.c_str()));
    EXPECT_FALSE(audio->preloadEffect("missing.wav"));
    EXPECT_EQ(audio->playEffect(tone.c_str(), true), 0xFEEDBABu);
    audio->setEffectsVolume(0.5f);
    EXPECT_FLOAT_EQ(audio->getEffectsVolume(), 0.5f);
    ZAAudioManager::sharedManager()->setMute(true);
    EXPECT_FLOAT_EQ(audio->getEffectsVolume(), 0.5f);
    ZAAudioManager::sharedManager()->setMute(false);
    EXPECT_FLOAT_EQ(audio->getEffectsVolume(), 0.5f);
    audio->pauseAllEffects();
    audio->resumeAllEffects();
    audio->stopEffect(0xFEEDBAB);
    audio->unloadEffect(tone.c_str());
}

TEST_F(NoDeviceTest, musicLoadsButNeverPlays)
{
    Facade* audio = Facade::sharedEngine();
    const std::string music = m_files.tone("music.wav");
    EXPECT_TRUE(audio->preloadBackgroundMusic(music.c_str()));
    audio->playBackgroundMusic(music.c_str(), true);
    EXPECT_FALSE(audio->isBackgroundMusicPlaying());
    audio->setBackgroundMusicVolume(0.5f);
    EXPECT_FLOAT_EQ(audio->getBackgroundMusicVolume(), 0.5f);
    audio->pauseBackgroundMusic();
    audio->resumeBackgroundMusic();
    audio->stopBackgroundMusic(true);
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithoutDevice();
    return AudioCapture::runTests(argc, argv);
}
