// The audio manager on OpenAL Soft's silent device: its life as a singleton, modes, the music channel,
// mute and enable switches, the music's completion, resign and interruption handling.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>

#include "AudioCapture.h"
#include "SoundFiles.h"
#include "engine/ZAAudioManager.h"
#include "engine/ZAConstants.h"
#include "engine/ZAMusicStream.h"
#include "engine/ZANotificationCenter.h"
#include "engine/ZAOpenALDevice.h"
#include "engine/ZASoundEngine.h"

namespace {

class ZAAudioManagerTest : public ::testing::Test
{
protected:
    void TearDown() override { ZAAudioManager::end(); }

    ToneFiles m_files;
};

// Runs first, while the process has built no manager yet.
TEST_F(ZAAudioManagerTest, anAsynchronousStartBuildsTheManagerOnAnotherThreadOnce)
{
    ASSERT_EQ(ZAAudioManager::sharedManagerState(), ZAAudioManager::kStateUninitialised);
    std::atomic<QThread*> builtOn{nullptr};
    ZANotificationCenter::defaultCenter().addObserver(this, kZAN_AudioManagerInitialised,
                                                      [&] { builtOn = QThread::currentThread(); });
    ZAAudioManager::initAsynchronously(kZAModeEffectsOnly);
    EXPECT_NE(ZAAudioManager::sharedManagerState(), ZAAudioManager::kStateUninitialised);
    QElapsedTimer timer;
    timer.start();
    while (!builtOn && timer.elapsed() < 5000)
        QThread::msleep(5);
    EXPECT_NE(builtOn.load(), nullptr);
    EXPECT_NE(builtOn.load(), QThread::currentThread());
    EXPECT_EQ(ZAAudioManager::sharedManager()->mode(), kZAModeEffectsOnly);
    builtOn = nullptr;
    ZAAudioManager::initAsynchronously(kZAModeEffectsAndMusic);
    EXPECT_EQ(ZAAudioManager::sharedManager()->mode(), kZAModeEffectsOnly);
    EXPECT_EQ(builtOn.load(), nullptr);
    ZANotificationCenter::defaultCenter().removeObserver(this);
    ZAAudioManager::configure(kZAModeEffectsAndMusicUnlessOtherAudio);
}

TEST_F(ZAAudioManagerTest, theSharedManagerIsBuiltOnceAndRebuiltAfterEnd)
{
    int initialised = 0;
    ZANotificationCenter::defaultCenter().addObserver(this, kZAN_AudioManagerInitialised,
                                                      [&] { ++initialised; });
    ZAAudioManager* manager = ZAAudioManager::sharedManager();
    EXPECT_EQ(ZAAudioManager::sharedManager(), manager);
    EXPECT_EQ(ZAAudioManager::sharedManagerState(), ZAAudioManager::kStateInitialised);
    EXPECT_EQ(initialised, 1);
    EXPECT_EQ(manager->mode(), kZAModeEffectsAndMusicUnlessOtherAudio);
    EXPECT_TRUE(manager->willPlayBackgroundMusic());
    EXPECT_TRUE(manager->soundEngine()->functioning());
    EXPECT_EQ(manager->backgroundMusic(), manager->audioSourceForChannel(0).get());
    EXPECT_TRUE(manager->backgroundMusic()->backgroundMusic());
    EXPECT_FALSE(manager->audioSourceForChannel(1)->backgroundMusic());
    EXPECT_EQ(manager->audioSourceForChannel(2), nullptr);
    ZAAudioManager::end();
    EXPECT_EQ(ZAAudioManager::sharedManagerState(), ZAAudioManager::kStateInitialised);
    ZAAudioManager::configure(kZAModeEffectsOnly);
    EXPECT_EQ(ZAAudioManager::sharedManager()->mode(), kZAModeEffectsOnly);
    EXPECT_EQ(initialised, 2);
    ZANotificationCenter::defaultCenter().removeObserver(this);
    ZAAudioManager::configure(kZAModeEffectsAndMusicUnlessOtherAudio);
}

TEST_F(ZAAudioManagerTest, modesNameTheirCategoryAndDecideOnMusic)
{
    ZAAudioManager* manager = ZAAudioManager::sharedManager();
    const struct
    {
        int mode;
        const char* category;
        bool music;
    } modes[] = {
        {0, "AVAudioSessionCategoryAmbient", false},      {1, "AVAudioSessionCategorySoloAmbient", true},
        {2, "AVAudioSessionCategorySoloAmbient", true},   {3, "AVAudioSessionCategoryPlayback", true},
        {4, "AVAudioSessionCategoryPlayAndRecord", true}, {17, "AVAudioSessionCategorySoloAmbient", true}};
    for (const auto& expected : modes) {
        manager->setMode(expected.mode);
        EXPECT_EQ(manager->audioSessionCategory(), expected.category) << expected.mode;
        EXPECT_EQ(manager->willPlayBackgroundMusic(), expected.music) << expected.mode;
    }
    EXPECT_FALSE(manager->isOtherAudioPlaying());
}

TEST_F(ZAAudioManagerTest, effectsOnlyLoadsMusicButNeverPlaysIt)
{
    ZAAudioManager* manager = ZAAudioManager::sharedManager();
    manager->setMode(kZAModeEffectsOnly);
    const std::string music = m_files.tone("music.wav");
    manager->playBackgroundMusic(music, true);
    EXPECT_EQ(manager->backgroundMusic()->audioSourceFilePath(), music);
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
    manager->resumeBackgroundMusic();
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
    manager->setMode(kZAModeEffectsAndMusic);
    manager->playBackgroundMusic(music, true);
    EXPECT_TRUE(manager->isBackgroundMusicPlaying());
    EXPECT_EQ(manager->backgroundMusic()->numberOfLoops(), -1);
    manager->pauseBackgroundMusic();
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
    manager->resumeBackgroundMusic();
    EXPECT_TRUE(manager->isBackgroundMusicPlaying());
    manager->stopBackgroundMusic();
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
    EXPECT_TRUE(manager->preloadBackgroundMusic(music));
    EXPECT_FALSE(manager->preloadBackgroundMusic(m_files.tone("x.wav") + ".missing"));
}

TEST_F(ZAAudioManagerTest, muteAndEnableReachTheEffectEngineAndEveryChannel)
{
    ZAAudioManager* manager = ZAAudioManager::sharedManager();
    manager->setMute(true);
    EXPECT_TRUE(manager->soundEngine()->mute());
    EXPECT_TRUE(manager->audioSourceForChannel(0)->mute());
    EXPECT_TRUE(manager->audioSourceForChannel(1)->mute());
    // Muted, music is loaded but not started.
    manager->playBackgroundMusic(m_files.tone("music.wav"), true);
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
    manager->setMute(false);
    EXPECT_FALSE(manager->audioSourceForChannel(1)->mute());
    manager->setEnabled(false);
    EXPECT_FALSE(manager->soundEngine()->enabled());
    EXPECT_FALSE(manager->audioSourceForChannel(0)->enabled());
    manager->setEnabled(true);
    EXPECT_TRUE(manager->audioSourceForChannel(1)->enabled());
}

TEST_F(ZAAudioManagerTest, musicThatEndsByItselfCallsTheCompletionListener)
{
    ZAAudioManager* manager = ZAAudioManager::sharedManager();
    int completions = 0;
    manager->setBackgroundMusicCompletionListener([&] { ++completions; });
    manager->playBackgroundMusic(m_files.tone("short.wav", 0.2), false);
    QElapsedTimer timer;
    timer.start();
    while (completions == 0 && timer.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
}

TEST_F(ZAAudioManagerTest, resignStopsWhatPlayedAndBecomingActiveResumesIt)
{
    ZAAudioManager* manager = ZAAudioManager::sharedManager();
    manager->setResignBehavior(kZAResignStopAndResume, true);
    manager->playBackgroundMusic(m_files.tone("music.wav"), true);
    ZANotificationCenter::defaultCenter().postNotification(UIApplicationWillResignActiveNotification);
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
    EXPECT_TRUE(manager->backgroundMusic()->systemPaused());
    EXPECT_FALSE(manager->audioSourceForChannel(1)->systemPaused());
    ZANotificationCenter::defaultCenter().postNotification(UIApplicationDidBecomeActiveNotification);
    EXPECT_TRUE(manager->isBackgroundMusicPlaying());
    EXPECT_FALSE(manager->backgroundMusic()->systemPaused());
    manager->setResignBehavior(kZAResignStop, false);
    manager->applicationWillResignActive();
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
    manager->applicationDidBecomeActive();
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
    manager->playBackgroundMusic(m_files.tone("music.wav"), true);
    ZANotificationCenter::defaultCenter().postNotification(UIApplicationWillTerminateNotification);
    EXPECT_FALSE(manager->isBackgroundMusicPlaying());
}

TEST_F(ZAAudioManagerTest, anInterruptionLeavesNoContextAndItsEndRestoresTheEngines)
{
    ZAAudioManager* manager = ZAAudioManager::sharedManager();
    ALCcontext* context = manager->soundEngine()->openALContext();
    ASSERT_EQ(alcGetCurrentContext(), context);
    ASSERT_TRUE(manager->soundEngine()->loadBuffer(0, m_files.tone("effect.wav", 0.1)));
    manager->beginInterruption();
    EXPECT_EQ(alcGetCurrentContext(), nullptr);
    // A play that fails for want of a context ends the interruption through the notification.
    EXPECT_EQ(manager->soundEngine()->playSound(0, 0, 1.0f, 0.0f, 1.0f, false), kZA_NoSourceAvailable);
    EXPECT_EQ(alcGetCurrentContext(), context);
    manager->beginInterruption();
    manager->endInterruption();
    EXPECT_EQ(alcGetCurrentContext(), context);
    EXPECT_NE(manager->soundEngine()->playSound(0, 0, 1.0f, 0.0f, 1.0f, false), kZA_NoSourceAvailable);
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    return AudioCapture::runTests(argc, argv);
}
