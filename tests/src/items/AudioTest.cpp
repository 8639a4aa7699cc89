// Audio and the BackgroundMusic component: loading states, the one music channel, pausing and stopping
// with their signals, following the game window and its settings, and what the music sounds like,
// captured by OpenAL Soft's wave backend and measured.

#include "SoundScene.h"

#include "AudioCapture.h"
#include "MessageLog.h"
#include "QtPrinters.h"
#include "SimpleAudioEngine.h"
#include "ToneFile.h"
#include "engine/AVAudioPlayer.h"
#include "engine/ZAAudioManager.h"
#include "engine/ZALongAudioSource.h"
#include "engine/ZAOpenALDevice.h"
#include "engine/ZASoundEngine.h"
#include "items/audio.h"

#include <AL/alc.h>
#include <AL/alext.h>
#include <QSignalSpy>
#include <QTest>

#include <random>
#include <string>

namespace {

using Facade = ZanthAudio::SimpleAudioEngine;

std::string capturePath()
{
    static const std::string path = AudioCapture::temporaryCapturePath();
    return path;
}

class AudioTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeTone("tone.wav", 2.0, 0.5);
        writeTone("other.wav", 2.0, 0.5);
        writeTestFile(SoundScene::folder() + "/broken.ogg", "not music");
    }

    void TearDown() override { Facade::end(); }

    static void writeTone(const char* name, double seconds, double amplitude, double endAmplitude = -1.0)
    {
        Tone tone;
        tone.seconds = seconds;
        tone.amplitude = amplitude;
        tone.endAmplitude = endAmplitude;
        writeToneWav((SoundScene::folder() + "/" + name).toStdString(), tone);
    }

    // Where the mixer is in the background music, in seconds of the sound. The capture's timeline is the
    // mixer's: a stall of the machine between starting the sound and a change moves the wall clock away
    // from it, not this position.
    static double musicPlayedSeconds()
    {
        ZALongAudioSource* music = ZAAudioManager::sharedManager()->backgroundMusic();
        AVAudioPlayer* player = music ? music->audioSourcePlayer() : nullptr;
        EXPECT_NE(player, nullptr);
        return player ? player->currentTime() : 0.0;
    }

    // Seconds of output the device has mixed: the capture's own clock, which falls behind the wall clock
    // while the machine keeps the mixer from running and catches up after.
    static double mixedSeconds()
    {
        ZASoundEngine* engine = ZAAudioManager::sharedManager()->soundEngine();
        ALCdevice* device = engine && engine->device() ? engine->device()->device() : nullptr;
        const auto deviceClock = reinterpret_cast<LPALCGETINTEGER64VSOFT>(
            alcGetProcAddress(device, "alcGetInteger64vSOFT"));
        const bool hasClock = device && deviceClock && alcIsExtensionPresent(device, "ALC_SOFT_device_clock");
        EXPECT_TRUE(hasClock);
        ALCint64SOFT nanoseconds = 0;
        if (hasClock)
            deviceClock(device, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
        return static_cast<double>(nanoseconds) / 1e9;
    }

    // The music's position when a call is made, and the mixer's clock then: the call's effect reaches the
    // output no earlier than at played, and no later than a tenth of a second after where the music was
    // when the call returned (played plus what the mixer mixed meanwhile, stalls included).
    struct Moment
    {
        double latest() const { return played + (mixedSeconds() - mixed) + 0.1; }
        // The clock first, so that what is mixed between the two readings counts towards latest.
        double mixed = mixedSeconds();
        double played = musicPlayedSeconds();
    };

    // Handles the Qt events meanwhile; a generous deadline, for a loaded machine.
    static constexpr int kWaitMs = 60000;

    // Until the music has played the given seconds of its sound.
    static bool waitForMusicAt(double seconds)
    {
        return QTest::qWaitFor([seconds] { return musicPlayedSeconds() >= seconds; }, kWaitMs);
    }

    // Until the device has mixed the given seconds more: what follows a call is in the capture, however
    // far behind the mixer was.
    static bool waitForMixed(double seconds)
    {
        const double from = mixedSeconds();
        return QTest::qWaitFor([from, seconds] { return mixedSeconds() - from >= seconds; }, kWaitMs);
    }

    // Ends the engine, which closes the device, and reads what it played.
    static AudioCapture::Wave capture()
    {
        Facade::end();
        AudioCapture::Wave wave = AudioCapture::read(capturePath());
        EXPECT_TRUE(wave.headerConsistent);
        return wave;
    }

    // The first 10 ms window from frame from on whose level is below (or, with above set, above) the
    // threshold; the wave's end when there is none.
    static size_t firstWindow(const AudioCapture::Wave& wave, size_t from, double threshold, bool above)
    {
        const size_t window = wave.frame(0.01);
        for (size_t at = from; at + window <= wave.left.size(); at += window) {
            const double level = AudioCapture::rms(wave.left, at, at + window);
            if (above ? level > threshold : level < threshold)
                return at;
        }
        return wave.left.size();
    }
};

Audio* audioOf(QObject* object)
{
    return qobject_cast<Audio*>(object);
}

TEST_F(AudioTest, aFileSourceIsReadyAndOthersGiveErrorOrNull)
{
    SoundScene scene;
    Audio* audio = audioOf(scene.add("Audio {}"));
    QSignalSpy sourceChanged(audio, &Audio::sourceChanged);
    QSignalSpy loadedChanged(audio, &Audio::loadedChanged);
    audio->setSource(SoundScene::file("tone.wav"));
    audio->setSource(SoundScene::file("tone.wav"));
    EXPECT_EQ(audio->status(), Audio::Ready);
    EXPECT_EQ(audio->source(), SoundScene::file("tone.wav"));
    EXPECT_EQ(sourceChanged.count(), 1);
    EXPECT_EQ(loadedChanged.count(), 1);
    {
        MessageLog log;
        audio->setSource(QUrl(QStringLiteral("qrc:/music/tone.wav")));
        EXPECT_EQ(audio->status(), Audio::Error);
        EXPECT_EQ(log.lines(),
                  QStringList{"WARNING: BackgroundMusic: the url for Audio object \"qrc:/music/tone.wav\" "
                              "is not a file, no loading possible!"});
    }
    audio->setSource(QUrl());
    EXPECT_EQ(audio->status(), Audio::Null);
    audio->setSource(SoundScene::file("broken.ogg"));
    EXPECT_EQ(audio->status(), Audio::Error);
    audio->play();
    EXPECT_FALSE(audio->isPlaying());
    audio->setSource(SoundScene::file("missing.ogg"));
    EXPECT_EQ(audio->status(), Audio::Error);
}

TEST_F(AudioTest, withoutAutoLoadAFileThatWontOpenFailsAtPlayWithoutStarting)
{
    SoundScene scene;
    Audio* audio = audioOf(scene.add("Audio { autoLoad: false }"));
    audio->setSource(SoundScene::file("missing.ogg"));
    EXPECT_EQ(audio->status(), Audio::Ready);
    QSignalSpy started(audio, &Audio::started);
    audio->play();
    EXPECT_EQ(started.count(), 0);
    EXPECT_FALSE(audio->isPlaying());
    EXPECT_EQ(audio->status(), Audio::Error);
}

TEST_F(AudioTest, playPauseAndStopGiveTheirSignals)
{
    SoundScene scene;
    Audio* audio = audioOf(scene.add("Audio { source: \"tone.wav\" }"));
    QSignalSpy started(audio, &Audio::started);
    QSignalSpy paused(audio, &Audio::paused);
    QSignalSpy resumed(audio, &Audio::resumed);
    QSignalSpy stopped(audio, &Audio::stopped);
    QSignalSpy pausedChanged(audio, &Audio::pausedChanged);
    audio->play();
    EXPECT_TRUE(audio->isPlaying());
    EXPECT_TRUE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    audio->play();
    EXPECT_EQ(started.count(), 1);
    audio->pause();
    audio->pause();
    EXPECT_TRUE(audio->isPaused());
    EXPECT_EQ(paused.count(), 1);
    EXPECT_FALSE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    audio->play();
    EXPECT_EQ(resumed.count(), 1);
    EXPECT_FALSE(audio->isPaused());
    EXPECT_TRUE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    audio->setPaused(true);
    EXPECT_EQ(paused.count(), 2);
    audio->setPaused(false);
    EXPECT_EQ(resumed.count(), 2);
    audio->setPaused(true);
    pausedChanged.clear();
    audio->stop();
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(pausedChanged.count(), 1);
    EXPECT_EQ(resumed.count(), 2);
    EXPECT_FALSE(audio->isPlaying());
    EXPECT_FALSE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    audio->stop();
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(AudioTest, qmlReadsPausedAsTheStateAndHandlesPausedAsTheSignal)
{
    SoundScene scene;
    QObject* holder = scene.add("Item {\n"
                                "    property alias audio: audio\n"
                                "    property bool pausedState: audio.paused\n"
                                "    property int pauses: 0\n"
                                "    Audio { id: audio; source: \"tone.wav\"; onPaused: pauses += 1 }\n"
                                "}\n");
    auto* audio = audioOf(holder->property("audio").value<QObject*>());
    ASSERT_NE(audio, nullptr);
    audio->play();
    audio->pause();
    EXPECT_TRUE(holder->property("pausedState").toBool());
    EXPECT_EQ(holder->property("pauses").toInt(), 1);
}

TEST_F(AudioTest, playingAfterPausedWasSetStartsTheMusic)
{
    SoundScene scene;
    Audio* audio = audioOf(scene.add("Audio { source: \"tone.wav\"; paused: true }"));
    QSignalSpy started(audio, &Audio::started);
    QSignalSpy resumed(audio, &Audio::resumed);
    audio->play();
    EXPECT_FALSE(audio->isPaused());
    EXPECT_TRUE(audio->isPlaying());
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(resumed.count(), 0);
    EXPECT_TRUE(Facade::sharedEngine()->isBackgroundMusicPlaying());
}

TEST_F(AudioTest, theMusicChannelBelongsToOneAudioAtATime)
{
    SoundScene scene;
    Audio* first = audioOf(scene.add("Audio { source: \"tone.wav\" }"));
    Audio* second = audioOf(scene.add("Audio { source: \"other.wav\" }"));
    first->play();
    second->play();
    EXPECT_FALSE(second->isPlaying());
    EXPECT_TRUE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    // Destroying any Audio stops the music, whoever plays it.
    scene.take(second).reset();
    EXPECT_FALSE(Facade::sharedEngine()->isBackgroundMusicPlaying());
}

TEST_F(AudioTest, anAudioThatLosesItsSourceStopsItsMusic)
{
    SoundScene scene;
    Audio* audio = audioOf(scene.add("Audio { source: \"tone.wav\" }"));
    QSignalSpy stopped(audio, &Audio::stopped);
    audio->play();
    audio->setSource(QUrl());
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_FALSE(audio->isPlaying());
    EXPECT_FALSE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    audio->setSource(SoundScene::file("tone.wav"));
    audio->play();
    MessageLog log;
    audio->setSource(QUrl(QStringLiteral("http://example.com/tone.wav")));
    EXPECT_FALSE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    EXPECT_EQ(stopped.count(), 2);
}

TEST_F(AudioTest, aNewSourceWhilePlayingRestartsWithTheNewFile)
{
    SoundScene scene;
    Audio* audio = audioOf(scene.add("Audio { source: \"tone.wav\" }"));
    QSignalSpy started(audio, &Audio::started);
    QSignalSpy stopped(audio, &Audio::stopped);
    audio->play();
    audio->setSource(SoundScene::file("other.wav"));
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(started.count(), 2);
    EXPECT_TRUE(audio->isPlaying());
    EXPECT_TRUE(Facade::sharedEngine()->isBackgroundMusicPlaying());
}

TEST_F(AudioTest, volumeAndMuteBelongToTheMusicChannel)
{
    SoundScene scene;
    Audio* audio = audioOf(scene.add("Audio { source: \"tone.wav\"; volume: 0.6 }"));
    EXPECT_FLOAT_EQ(Facade::sharedEngine()->getBackgroundMusicVolume(), 0.6f);
    EXPECT_FLOAT_EQ(Facade::sharedEngine()->getEffectsVolume(), 1.0f);
    audio->setMuted(true);
    EXPECT_TRUE(audio->isMuted());
    audio->setMuted(false);
    EXPECT_FLOAT_EQ(Facade::sharedEngine()->getBackgroundMusicVolume(), 0.6f);
}

TEST_F(AudioTest, aStormOfPausesResumesStopsAndSourceChangesLeavesAConsistentAudio)
{
    writeTone("short.wav", 0.2, 0.5);
    SoundScene scene;
    Audio* audio = audioOf(scene.add("Audio { source: \"tone.wav\" }"));
    const QUrl sources[] = {SoundScene::file("tone.wav"), SoundScene::file("short.wav"), QUrl(),
                            SoundScene::file("missing.ogg")};
    std::mt19937 random(16);
    MessageLog quiet;
    for (int round = 0; round < 200; ++round) {
        switch (random() % 6) {
        case 0:
            audio->play();
            break;
        case 1:
            audio->pause();
            break;
        case 2:
            audio->setPaused(random() % 2 == 0);
            break;
        case 3:
            audio->stop();
            break;
        case 4:
            audio->setSource(sources[random() % 4]);
            break;
        default:
            audio->setVolume(static_cast<qreal>(random() % 100) / 100.0);
            break;
        }
        if (round % 10 == 0)
            QCoreApplication::processEvents();
        // The music sounds exactly while the object plays and is not paused.
        ASSERT_EQ(Facade::sharedEngine()->isBackgroundMusicPlaying(),
                  audio->isPlaying() && !audio->isPaused())
            << "round " << round;
    }
}

TEST_F(AudioTest, backgroundMusicPausesWithTheApplicationAndPlaysWhenItReturns)
{
    SoundScene scene(true);
    QObject* music = scene.add("BackgroundMusic { source: \"tone.wav\" }");
    // The settings were read already: autoPlay starts at once.
    EXPECT_TRUE(music->property("playing").toBool());
    QSignalSpy paused(music, SIGNAL(paused()));
    QSignalSpy resumed(music, SIGNAL(resumed()));
    QMetaObject::invokeMethod(scene.gameWindow(), "applicationPaused");
    EXPECT_EQ(paused.count(), 1);
    EXPECT_FALSE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    QMetaObject::invokeMethod(scene.gameWindow(), "applicationResumed");
    EXPECT_EQ(resumed.count(), 1);
    EXPECT_TRUE(Facade::sharedEngine()->isBackgroundMusicPlaying());
}

struct ResumeCase
{
    const char* name;
    bool autoPlay;
    bool musicEnabled;
    // What the game calls on the music before the application leaves: "", "stop" or "pause".
    const char* gameCall;
    bool soundsAfterReturn;
};

void PrintTo(const ResumeCase& c, std::ostream* out)
{
    *out << c.name;
}

class BackgroundMusicReturn : public AudioTest, public ::testing::WithParamInterface<ResumeCase>
{
};

// Heard in the captured output: only music that was playing when the application left plays again when
// it returns.
TEST_P(BackgroundMusicReturn, onlyMusicPlayingWhenTheApplicationLeftPlaysWhenItReturns)
{
    const ResumeCase& c = GetParam();
    SoundScene scene(true);
    scene.settings()->setProperty("musicEnabled", c.musicEnabled);
    QObject* music = scene.add(QByteArray("BackgroundMusic { source: \"tone.wav\"; autoPlay: ") +
                               (c.autoPlay ? "true" : "false") + " }");
    if (*c.gameCall)
        QMetaObject::invokeMethod(music, c.gameCall);
    QMetaObject::invokeMethod(scene.gameWindow(), "applicationPaused");
    QMetaObject::invokeMethod(scene.gameWindow(), "applicationResumed");
    EXPECT_EQ(Facade::sharedEngine()->isBackgroundMusicPlaying(), c.soundsAfterReturn);
    ASSERT_TRUE(AudioCapture::waitForOutput(capturePath(), 0.5));

    const AudioCapture::Wave wave = capture();
    ASSERT_GT(wave.left.size(), wave.frame(0.5));
    // The last 0.3 s were all played after the return.
    const double level = AudioCapture::rms(wave.left, wave.left.size() - wave.frame(0.3), wave.left.size());
    if (c.soundsAfterReturn)
        EXPECT_GT(level, 0.1);
    else
        EXPECT_LT(level, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Cases, BackgroundMusicReturn,
                         ::testing::Values(ResumeCase{"neverStarted", false, true, "", false},
                                           ResumeCase{"playing", true, true, "", true},
                                           ResumeCase{"stoppedByTheGame", true, true, "stop", false},
                                           ResumeCase{"pausedByTheGame", true, true, "pause", false},
                                           ResumeCase{"musicDisabled", true, false, "", false}),
                         [](const ::testing::TestParamInfo<ResumeCase>& info) { return info.param.name; });

TEST_F(AudioTest, backgroundMusicFollowsMusicEnabledAndStartsWhenTheSettingsAreRead)
{
    SoundScene scene(true);
    QObject* settings = scene.settings();
    settings->setProperty("fullyCompleted", false);
    QObject* music = scene.add("BackgroundMusic { source: \"tone.wav\" }");
    EXPECT_FALSE(music->property("playing").toBool());
    QMetaObject::invokeMethod(music, "play");
    EXPECT_FALSE(music->property("playing").toBool());
    settings->setProperty("fullyCompleted", true);
    EXPECT_TRUE(music->property("playing").toBool());
    settings->setProperty("musicEnabled", false);
    EXPECT_FALSE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    EXPECT_TRUE(music->property("playing").toBool());
    settings->setProperty("musicEnabled", true);
    EXPECT_TRUE(Facade::sharedEngine()->isBackgroundMusicPlaying());
    settings->setProperty("musicEnabled", false);
    QMetaObject::invokeMethod(music, "playIfEnabled");
    EXPECT_FALSE(music->property("playing").toBool());
}

TEST_F(AudioTest, backgroundMusicWithoutAGameWindowPlaysWhenAskedOnly)
{
    SoundScene scene;
    QObject* music = scene.add("BackgroundMusic { source: \"tone.wav\" }");
    EXPECT_FALSE(music->property("playing").toBool());
    EXPECT_EQ(music->property("source").toUrl(), QUrl(QStringLiteral("tone.wav")));
    QMetaObject::invokeMethod(music, "play");
    EXPECT_TRUE(music->property("playing").toBool());
    QMetaObject::invokeMethod(music, "stop");
    EXPECT_FALSE(Facade::sharedEngine()->isBackgroundMusicPlaying());
}

TEST_F(AudioTest, backgroundMusicLoopsWithoutAGapAndIgnoresTheEffectsVolume)
{
    writeTone("second.wav", 1.0, 0.5);
    SoundScene scene;
    Facade::sharedEngine()->setEffectsVolume(0.0f);
    QObject* music = scene.add("BackgroundMusic { source: \"second.wav\" }");
    QMetaObject::invokeMethod(music, "play");
    processEventsFor(2900);
    const AudioCapture::Wave wave = capture();
    const AudioCapture::Span span = AudioCapture::activeSpan(wave.left);
    EXPECT_GE(wave.seconds(span.length()), 2.5);
    const size_t window = wave.frame(0.01);
    // Whole windows inside the sound; the last one may be cut short by the stop.
    const std::vector<double> levels = AudioCapture::windowedRms(
        std::vector<float>(wave.left.begin() + span.begin, wave.left.begin() + span.end - window), window);
    ASSERT_GE(levels.size(), 250u);
    for (size_t i = 0; i < levels.size(); ++i)
        ASSERT_NEAR(levels[i], 0.21, 0.03) << "at " << i * 0.01 << " s";
}

TEST_F(AudioTest, pauseIsSilentWithinATenthOfASecondAndPlayContinuesWhereItPaused)
{
    writeTone("rising.wav", 3.0, 0.1, 0.9);
    SoundScene scene;
    QObject* music = scene.add("BackgroundMusic { source: \"rising.wav\" }");
    const double playStarted = mixedSeconds();
    QMetaObject::invokeMethod(music, "play");
    ASSERT_TRUE(waitForMusicAt(0.9));
    const Moment paused;
    // The position is within the first time through the sound, not past a loop.
    ASSERT_LT(paused.mixed - playStarted, 3.0);
    QMetaObject::invokeMethod(music, "pause");
    const double pausedBy = paused.latest();
    const double pauseReturned = mixedSeconds();
    ASSERT_TRUE(waitForMixed(0.5));
    // The silence lasts as long as the pause did on the mixer's clock, between the calls' starts and
    // their ends (the wall clock's pause can run over, or the mixer fall behind, on a busy machine).
    const double playCalled = mixedSeconds();
    QMetaObject::invokeMethod(music, "play");
    const double playReturned = mixedSeconds();
    ASSERT_TRUE(waitForMixed(0.5));
    const AudioCapture::Wave wave = capture();

    const size_t begin = AudioCapture::activeSpan(wave.left).begin;
    const size_t silent = firstWindow(wave, begin, 1e-3, false);
    const size_t again = firstWindow(wave, silent, 1e-3, true);
    EXPECT_LE(wave.seconds(silent - begin), pausedBy);
    EXPECT_GE(wave.seconds(silent - begin), paused.played - 0.05);
    EXPECT_GE(wave.seconds(again - silent), playCalled - pauseReturned - 0.05);
    EXPECT_LE(wave.seconds(again - silent), playReturned - paused.mixed + 0.05);
    const double before = AudioCapture::rms(wave.left, silent - wave.frame(0.06), silent - wave.frame(0.01));
    const double after = AudioCapture::rms(wave.left, again + wave.frame(0.01), again + wave.frame(0.06));
    EXPECT_NEAR(after / before, 1.0, 0.1) << "before " << before << ", after " << after;
}

TEST_F(AudioTest, destroyingTheBackgroundMusicStopsIt)
{
    SoundScene scene;
    QObject* music = scene.add("BackgroundMusic { source: \"tone.wav\" }");
    const double playStarted = mixedSeconds();
    QMetaObject::invokeMethod(music, "play");
    ASSERT_TRUE(waitForMusicAt(0.6));
    const Moment destroyed;
    ASSERT_LT(destroyed.mixed - playStarted, 2.0);
    scene.take(music).reset();
    const double destroyedBy = destroyed.latest();
    ASSERT_TRUE(waitForMixed(0.4));
    const AudioCapture::Wave wave = capture();
    const AudioCapture::Span span = AudioCapture::activeSpan(wave.left);
    EXPECT_LE(wave.seconds(span.length()), destroyedBy);
    EXPECT_GE(wave.seconds(span.length()), destroyed.played - 0.05);
}

TEST_F(AudioTest, aVolumeChangeReachesTheOutputWithinATenthOfASecond)
{
    SoundScene scene;
    QObject* music = scene.add("BackgroundMusic { source: \"tone.wav\" }");
    const double playStarted = mixedSeconds();
    QMetaObject::invokeMethod(music, "play");
    ASSERT_TRUE(waitForMusicAt(0.6));
    const Moment changed;
    ASSERT_LT(changed.mixed - playStarted, 2.0);
    music->setProperty("volume", 0.5);
    const double changedBy = changed.latest();
    ASSERT_TRUE(waitForMixed(0.4));
    const AudioCapture::Wave wave = capture();
    const size_t begin = AudioCapture::activeSpan(wave.left).begin;
    const size_t quieter = firstWindow(wave, begin, 0.16, false);
    EXPECT_LE(wave.seconds(quieter - begin), changedBy);
    EXPECT_GE(wave.seconds(quieter - begin), changed.played - 0.05);
    EXPECT_NEAR(AudioCapture::rms(wave.left, quieter + wave.frame(0.05), quieter + wave.frame(0.25)), 0.105,
                0.015);
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::routeOutputTo(capturePath());
    return runSoundTests(argc, argv);
}
