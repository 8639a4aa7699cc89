// The effect engine on OpenAL Soft's silent device: buffers and their table, sources handed out by
// group, pausing and resuming, gains, locked sources and loading on another thread.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <set>
#include <thread>
#include <vector>

#include "AudioCapture.h"
#include "Deadline.h"
#include "FixtureDir.h"
#include "ToneFile.h"
#include "engine/ZAAsynchBufferLoader.h"
#include "engine/ZAConstants.h"
#include "engine/ZANotificationCenter.h"
#include "engine/ZASoundEngine.h"
#include "engine/ZASoundSource.h"

namespace {

class ZASoundEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_engine = ZASoundEngine::create();
        ASSERT_TRUE(m_engine->functioning());
    }

    // Loads a tone of the given length into the sound id.
    void loadTone(int soundId, double seconds = 1.0)
    {
        Tone tone;
        tone.seconds = seconds;
        const std::string file = m_dir.path("tone" + std::to_string(soundId) + ".wav");
        writeToneWav(file, tone);
        ASSERT_TRUE(m_engine->loadBuffer(soundId, file));
    }

    FixtureDir m_dir;
    std::shared_ptr<ZASoundEngine> m_engine;
};

TEST_F(ZASoundEngineTest, startsWithThirtyTwoSourcesInOneGroupAndSixtyFourBuffers)
{
    EXPECT_EQ(m_engine->sourceTotal(), 32);
    EXPECT_EQ(m_engine->sourceGroupTotal(), 1);
    EXPECT_EQ(m_engine->bufferTotal(), 64);
    EXPECT_TRUE(m_engine->getGainWorks());
    EXPECT_FLOAT_EQ(m_engine->masterGain(), 1.0f);
    EXPECT_NE(m_engine->openALContext(), nullptr);
    EXPECT_TRUE(m_engine->device() != nullptr);
}

TEST_F(ZASoundEngineTest, theMixerRateSetBeforeAnEngineStartsIsTheDevicesRate)
{
    const auto deviceRate = [](const std::shared_ptr<ZASoundEngine>& engine) {
        ALCint rate = 0;
        alcGetIntegerv(alcGetContextsDevice(engine->openALContext()), ALC_FREQUENCY, 1, &rate);
        return rate;
    };
    EXPECT_EQ(deviceRate(m_engine), 44100);
    m_engine.reset();
    ZASoundEngine::setMixerSampleRate(22050.0f);
    m_engine = ZASoundEngine::create();
    EXPECT_EQ(deviceRate(m_engine), 22050);
    ZASoundEngine::setMixerSampleRate(44100.0f);
}

TEST_F(ZASoundEngineTest, loadingPastTheTableGrowsItBySixteensJustEnough)
{
    const unsigned char data[4] = {128, 128, 128, 128};
    ASSERT_TRUE(m_engine->loadBufferFromData(64, data, AL_FORMAT_MONO8, 4, 8000));
    EXPECT_EQ(m_engine->bufferTotal(), 80);
    ASSERT_TRUE(m_engine->loadBufferFromData(100, data, AL_FORMAT_MONO8, 4, 8000));
    EXPECT_EQ(m_engine->bufferTotal(), 112);
    EXPECT_TRUE(m_engine->validateBufferId(100));
    EXPECT_FALSE(m_engine->validateBufferId(99));
    EXPECT_FALSE(m_engine->loadBufferFromData(-1, data, AL_FORMAT_MONO8, 4, 8000));
    EXPECT_FALSE(m_engine->loadBufferFromData(5, nullptr, AL_FORMAT_MONO8, 4, 8000));
    EXPECT_FALSE(m_engine->validateBufferId(5));
}

TEST_F(ZASoundEngineTest, bufferFiguresFollowTheFormat)
{
    std::vector<unsigned char> data(44100 * 2);
    ASSERT_TRUE(m_engine->loadBufferFromData(0, data.data(), AL_FORMAT_MONO16, 88200, 44100));
    EXPECT_FLOAT_EQ(m_engine->bufferDurationInSeconds(0), 1.0f);
    ASSERT_TRUE(m_engine->loadBufferFromData(1, data.data(), AL_FORMAT_STEREO16, 88200, 44100));
    EXPECT_FLOAT_EQ(m_engine->bufferDurationInSeconds(1), 0.5f);
    ASSERT_TRUE(m_engine->loadBufferFromData(2, data.data(), AL_FORMAT_MONO8, 22050, 22050));
    EXPECT_FLOAT_EQ(m_engine->bufferDurationInSeconds(2), 1.0f);
    EXPECT_EQ(m_engine->bufferSizeInBytes(1), 88200);
    EXPECT_EQ(m_engine->bufferFrequencyInHertz(2), 22050);
    EXPECT_FLOAT_EQ(m_engine->bufferDurationInSeconds(3), -1.0f);
    EXPECT_EQ(m_engine->bufferSizeInBytes(3), -1);
    EXPECT_EQ(m_engine->bufferFrequencyInHertz(999), -1);
}

TEST_F(ZASoundEngineTest, sourcesAreHandedOutRoundRobinAndTheOldestIsCutOff)
{
    loadTone(0);
    std::vector<ALuint> ids;
    for (int i = 0; i < 33; ++i)
        ids.push_back(m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, true));
    EXPECT_EQ(std::set<ALuint>(ids.begin(), ids.begin() + 32).size(), 32u);
    for (int i = 1; i < 32; ++i)
        EXPECT_EQ(ids[i], ids[i - 1] + 1);
    // Every source plays: the 33rd sound takes the first source again.
    EXPECT_EQ(ids[32], ids[0]);
    EXPECT_EQ(AudioCapture::sourceState(ids[0]), AL_PLAYING);
    EXPECT_EQ(m_engine->sourcePlayCount(ids[0]), 2u);
    EXPECT_EQ(m_engine->sourcePlayCount(ids[1]), 1u);
    EXPECT_EQ(m_engine->sourcePlayCount(kZA_NothingPlayed), 0u);
    m_engine->stopAllSounds();
    EXPECT_EQ(AudioCapture::sourceState(ids[5]), AL_STOPPED);
}

TEST_F(ZASoundEngineTest, aBusyNonInterruptibleGroupAnswersNoSource)
{
    loadTone(0);
    ASSERT_TRUE(m_engine->defineSourceGroups({2, 30}));
    EXPECT_EQ(m_engine->sourceGroupTotal(), 2);
    m_engine->setSourceGroupNonInterruptible(0, true);
    const ALuint first = m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, true);
    const ALuint second = m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, true);
    EXPECT_NE(first, second);
    EXPECT_EQ(m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, true), kZA_NoSourceAvailable);
    // The other group still has sources of its own.
    const ALuint other = m_engine->playSound(0, 1, 1.0f, 0.0f, 1.0f, false);
    EXPECT_NE(other, kZA_NoSourceAvailable);
    EXPECT_NE(other, first);
    EXPECT_NE(other, second);
    m_engine->stopSound(first);
    EXPECT_EQ(m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, true), first);
    EXPECT_EQ(m_engine->playSound(0, 7, 1.0f, 0.0f, 1.0f, true), kZA_NoSourceAvailable);
    EXPECT_EQ(m_engine->playSound(0, -1, 1.0f, 0.0f, 1.0f, true), kZA_NoSourceAvailable);
}

TEST_F(ZASoundEngineTest, groupDefinitionsBeyondTheSourcesAreRefused)
{
    EXPECT_FALSE(m_engine->defineSourceGroups({20, 13}));
    EXPECT_FALSE(m_engine->defineSourceGroups({4, -1}));
    EXPECT_EQ(m_engine->sourceGroupTotal(), 1);
    loadTone(0);
    ASSERT_TRUE(m_engine->defineSourceGroups({0, 32}));
    EXPECT_EQ(m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, false), kZA_NoSourceAvailable);
    EXPECT_NE(m_engine->playSound(0, 1, 1.0f, 0.0f, 1.0f, false), kZA_NoSourceAvailable);
}

TEST_F(ZASoundEngineTest, nothingPlaysFromASilencedGroupADisabledEngineOrAnEmptyBuffer)
{
    loadTone(0);
    EXPECT_EQ(m_engine->playSound(1, 0, 1.0f, 0.0f, 1.0f, false), kZA_NothingPlayed);
    EXPECT_EQ(m_engine->playSound(5000, 0, 1.0f, 0.0f, 1.0f, false), kZA_NothingPlayed);
    const ALuint playing = m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, true);
    m_engine->setSourceGroupEnabled(0, false);
    EXPECT_FALSE(m_engine->sourceGroupEnabled(0));
    EXPECT_EQ(AudioCapture::sourceState(playing), AL_STOPPED);
    EXPECT_EQ(m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, false), kZA_NothingPlayed);
    m_engine->setSourceGroupEnabled(0, true);
    const ALuint again = m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, true);
    ASSERT_NE(again, kZA_NothingPlayed);
    m_engine->setEnabled(false);
    EXPECT_EQ(AudioCapture::sourceState(again), AL_STOPPED);
    EXPECT_EQ(m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, false), kZA_NothingPlayed);
    m_engine->setEnabled(true);
    EXPECT_NE(m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, false), kZA_NothingPlayed);
}

TEST_F(ZASoundEngineTest, resumingAllResumesOnlyWhatWasPaused)
{
    loadTone(0, 0.05);
    loadTone(1);
    const ALuint shortSound = m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, false);
    const ALuint looping = m_engine->playSound(1, 0, 1.0f, 0.0f, 1.0f, true);
    QElapsedTimer timer;
    timer.start();
    while (AudioCapture::sourceState(shortSound) == AL_PLAYING && timer.elapsed() < 2000)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(AudioCapture::sourceState(shortSound), AL_STOPPED);
    m_engine->pauseAllSounds();
    EXPECT_EQ(AudioCapture::sourceState(looping), AL_PAUSED);
    m_engine->resumeAllSounds();
    EXPECT_EQ(AudioCapture::sourceState(looping), AL_PLAYING);
    EXPECT_EQ(AudioCapture::sourceState(shortSound), AL_STOPPED);
    // One source resumed by name plays again, even one that had ended: the caller asked for it.
    m_engine->resumeSound(shortSound);
    EXPECT_EQ(AudioCapture::sourceState(shortSound), AL_PLAYING);
    m_engine->pauseSound(looping);
    EXPECT_EQ(AudioCapture::sourceState(looping), AL_PAUSED);
    m_engine->stopSound(kZA_NothingPlayed);
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(ZASoundEngineTest, mutingKeepsTheGainAChangeWhileMutedWins)
{
    m_engine->setMasterGain(0.8f);
    m_engine->setMute(true);
    ALfloat listener = 1.0f;
    alGetListenerf(AL_GAIN, &listener);
    EXPECT_FLOAT_EQ(listener, 0.0f);
    EXPECT_FLOAT_EQ(m_engine->masterGain(), 0.8f);
    m_engine->setMasterGain(0.3f);
    alGetListenerf(AL_GAIN, &listener);
    EXPECT_FLOAT_EQ(listener, 0.0f);
    m_engine->setMute(false);
    EXPECT_FLOAT_EQ(m_engine->masterGain(), 0.3f);
    alGetListenerf(AL_GAIN, &listener);
    EXPECT_FLOAT_EQ(listener, 0.3f);
}

TEST_F(ZASoundEngineTest, negativeAndNotANumberGainsBecomeSilence)
{
    m_engine->setMasterGain(0.6f);
    m_engine->setMasterGain(-0.5f);
    EXPECT_FLOAT_EQ(m_engine->masterGain(), 0.0f);
    m_engine->setMasterGain(0.6f);
    m_engine->setMasterGain(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(m_engine->masterGain(), 0.0f);
    loadTone(0);
    const ALuint source = m_engine->playSound(0, 0, 1.0f, 0.0f, -2.0f, true);
    ALfloat gain = 1.0f;
    alGetSourcef(source, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.0f);
}

TEST_F(ZASoundEngineTest, unloadingABufferStopsTheSourcesPlayingIt)
{
    loadTone(0);
    const ALuint source = m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, true);
    ASSERT_EQ(AudioCapture::sourceState(source), AL_PLAYING);
    EXPECT_TRUE(m_engine->unloadBuffer(0));
    EXPECT_EQ(AudioCapture::sourceState(source), AL_STOPPED);
    ALint buffer = -1;
    alGetSourcei(source, AL_BUFFER, &buffer);
    EXPECT_EQ(buffer, 0);
    EXPECT_FALSE(m_engine->validateBufferId(0));
    EXPECT_EQ(m_engine->playSound(0, 0, 1.0f, 0.0f, 1.0f, false), kZA_NothingPlayed);
    EXPECT_FALSE(m_engine->unloadBuffer(64));
    // A reload into a loaded buffer replaces it.
    loadTone(0, 0.5);
    loadTone(0, 0.25);
    EXPECT_NEAR(m_engine->bufferDurationInSeconds(0), 0.25f, 1e-4);
}

TEST_F(ZASoundEngineTest, aLockedSourceIsNeverGivenToAnotherSoundUntilReleased)
{
    loadTone(0);
    loadTone(1, 0.5);
    auto locked = m_engine->soundSourceForSound(0, 0);
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(locked->soundId(), 0);
    EXPECT_NEAR(locked->durationInSeconds(), 1.0f, 1e-4);
    EXPECT_FLOAT_EQ(locked->gain(), 1.0f);
    EXPECT_FALSE(locked->looping());
    std::set<ALuint> others;
    for (int i = 0; i < 40; ++i)
        others.insert(m_engine->playSound(1, 0, 1.0f, 0.0f, 1.0f, false));
    EXPECT_EQ(others.count(locked->sourceId()), 0u);
    EXPECT_EQ(others.size(), 31u);

    EXPECT_TRUE(locked->play());
    EXPECT_TRUE(locked->isPlaying());
    locked->setPan(kZA_PanFullLeft);
    EXPECT_FLOAT_EQ(locked->pan(), -1.0f);
    locked->setPitch(kZA_PitchHigherOneOctave);
    EXPECT_FLOAT_EQ(locked->pitch(), 2.0f);
    locked->setLooping(true);
    EXPECT_TRUE(locked->looping());
    locked->setMute(true);
    locked->setGain(0.4f);
    EXPECT_FLOAT_EQ(locked->gain(), 0.4f);
    ALfloat heard = 1.0f;
    alGetSourcef(locked->sourceId(), AL_GAIN, &heard);
    EXPECT_FLOAT_EQ(heard, 0.0f);
    locked->setMute(false);
    alGetSourcef(locked->sourceId(), AL_GAIN, &heard);
    EXPECT_FLOAT_EQ(heard, 0.4f);
    locked->setEnabled(false);
    EXPECT_FALSE(locked->isPlaying());
    EXPECT_FALSE(locked->play());
    EXPECT_FALSE(locked->setSoundId(4000));

    const ALuint lockedId = locked->sourceId();
    locked.reset();
    others.clear();
    for (int i = 0; i < 32; ++i)
        others.insert(m_engine->playSound(1, 0, 1.0f, 0.0f, 1.0f, false));
    EXPECT_EQ(others.count(lockedId), 1u);
}

TEST_F(ZASoundEngineTest, aSourceOutlivingItsEngineDoesNothing)
{
    loadTone(0);
    auto source = m_engine->soundSourceForSound(0, 0);
    ASSERT_NE(source, nullptr);
    m_engine.reset();
    EXPECT_FALSE(source->play());
    EXPECT_FALSE(source->isPlaying());
    EXPECT_FLOAT_EQ(source->durationInSeconds(), -1.0f);
    source->setGain(0.5f);
    source.reset();
    m_engine = ZASoundEngine::create();
}

TEST_F(ZASoundEngineTest, backgroundLoadingReportsProgressAndCompletesOnTheMainThread)
{
    std::vector<ZABufferLoadRequest> requests;
    for (int id : {3, 70, 71}) {
        Tone tone;
        tone.seconds = 0.2;
        const std::string file = m_dir.path("async" + std::to_string(id) + ".wav");
        writeToneWav(file, tone);
        requests.push_back({id, file});
    }
    requests.push_back({4, m_dir.path("missing.wav")});
    std::atomic<int> completions{0};
    QThread* completedOn = nullptr;
    int tag = 0;
    ZANotificationCenter::defaultCenter().addObserver(&tag, kZAN_AsynchLoadComplete, [&] {
        ++completions;
        completedOn = QThread::currentThread();
    });
    m_engine->loadBuffersAsynchronously(requests);
    QElapsedTimer timer;
    timer.start();
    while (completions == 0 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ZANotificationCenter::defaultCenter().removeObserver(&tag);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(completedOn, QCoreApplication::instance()->thread());
    EXPECT_FLOAT_EQ(m_engine->asynchLoadProgress(), 1.0f);
    EXPECT_TRUE(m_engine->validateBufferId(3));
    EXPECT_TRUE(m_engine->validateBufferId(71));
    EXPECT_FALSE(m_engine->validateBufferId(4));
    EXPECT_EQ(m_engine->bufferTotal(), 80);
}

TEST_F(ZASoundEngineTest, playingWhileAnotherThreadGrowsTheTableIsSafe)
{
    loadTone(0, 0.05);
    std::vector<ZABufferLoadRequest> requests;
    Tone tone;
    tone.seconds = 0.01;
    const std::string file = m_dir.path("tiny.wav");
    writeToneWav(file, tone);
    // Every sixteenth id: each one past the table's end makes the loader grow it while sounds play.
    for (int id = 64; id < 64 + 40 * 16; id += 16)
        requests.push_back({id, file});
    const int lastId = requests.back().soundId;
    m_engine->loadBuffersAsynchronously(requests);
    int played = 0;
    int refused = 0;
    const auto play = [&](int soundId) {
        const ALuint source = m_engine->playSound(soundId, 0, 1.0f, 0.0f, 0.0f, false);
        ++(source == kZA_NothingPlayed || source == kZA_NoSourceAvailable ? refused : played);
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10) * deadlineScale();
    while (m_engine->asynchLoadProgress() < 1.0f && std::chrono::steady_clock::now() < deadline) {
        play(0);
        // Whatever the loader has finished already plays too.
        for (const ZABufferLoadRequest& request : requests) {
            if (m_engine->validateBufferId(request.soundId))
                play(request.soundId);
        }
        EXPECT_FLOAT_EQ(m_engine->bufferDurationInSeconds(0), 0.05f);
    }
    ASSERT_FLOAT_EQ(m_engine->asynchLoadProgress(), 1.0f) << "the loader never finished";
    EXPECT_GT(played, 0);
    EXPECT_EQ(refused, 0) << "of " << played + refused << " sounds played while the table grew";

    // The table holds what was added, just large enough for the last id.
    EXPECT_EQ(m_engine->bufferTotal(), (lastId / 16 + 1) * 16);
    EXPECT_FLOAT_EQ(m_engine->bufferDurationInSeconds(0), 0.05f);
    for (const ZABufferLoadRequest& request : requests) {
        SCOPED_TRACE(request.soundId);
        EXPECT_TRUE(m_engine->validateBufferId(request.soundId));
        EXPECT_NEAR(m_engine->bufferDurationInSeconds(request.soundId), 0.01f, 0.001f);
        EXPECT_FALSE(m_engine->validateBufferId(request.soundId + 1)) << "only the asked ids are loaded";
        const ALuint source = m_engine->playSound(request.soundId, 0, 1.0f, 0.0f, 1.0f, false);
        EXPECT_NE(source, kZA_NothingPlayed);
        EXPECT_NE(source, kZA_NoSourceAvailable);
    }
    m_engine.reset();
    m_engine = ZASoundEngine::create();
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    return AudioCapture::runTests(argc, argv);
}
