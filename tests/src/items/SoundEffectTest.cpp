// SoundEffect and the Sound component on OpenAL Soft's silent device: loading states, loop counts,
// engine-wide volume and mute, stopping only what is still one's own, and obeying soundEnabled.

#include "SoundScene.h"

#include "AudioCapture.h"
#include "MessageLog.h"
#include "QtPrinters.h"
#include "SimpleAudioEngine.h"
#include "ToneFile.h"
#include "items/soundeffect.h"

#include <QSignalSpy>

#include <AL/al.h>

namespace {

using Facade = ZanthAudio::SimpleAudioEngine;

class SoundEffectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tone tone;
        tone.seconds = 2.0;
        writeToneWav((SoundScene::folder() + "/tone.wav").toStdString(), tone);
        writeTestFile(SoundScene::folder() + "/broken.wav", "RIFF but not a sound");
    }

    void TearDown() override { Facade::end(); }
};

SoundEffect* effectOf(QObject* object)
{
    return qobject_cast<SoundEffect*>(object);
}

TEST_F(SoundEffectTest, aFileSourceIsReadyOnceAndOthersGiveErrorOrNull)
{
    SoundScene scene;
    auto* effect = effectOf(scene.add("SoundEffect {}"));
    QSignalSpy sourceChanged(effect, &SoundEffect::sourceChanged);
    QSignalSpy loadedChanged(effect, &SoundEffect::loadedChanged);
    EXPECT_EQ(effect->status(), SoundEffect::Null);
    effect->setSource(SoundScene::file("tone.wav"));
    EXPECT_EQ(effect->status(), SoundEffect::Ready);
    EXPECT_TRUE(effect->isLoaded());
    EXPECT_EQ(effect->source(), SoundScene::file("tone.wav"));
    effect->setSource(SoundScene::file("tone.wav"));
    EXPECT_EQ(sourceChanged.count(), 1);
    EXPECT_EQ(loadedChanged.count(), 2);

    effect->setSource(QUrl(QStringLiteral("qrc:/sounds/tone.wav")));
    EXPECT_EQ(effect->status(), SoundEffect::Error);
    EXPECT_EQ(sourceChanged.count(), 1);
    effect->setSource(QUrl());
    EXPECT_EQ(effect->status(), SoundEffect::Null);
    EXPECT_EQ(effect->source(), QUrl::fromLocalFile(QString()));
    {
        MessageLog log;
        effect->setSource(SoundScene::file("broken.wav"));
        EXPECT_EQ(effect->status(), SoundEffect::Error);
        EXPECT_EQ(log.lines().size(), 1);
    }
    effect->setSource(SoundScene::file("missing.wav"));
    EXPECT_EQ(effect->status(), SoundEffect::Error);
    effect->play();
    EXPECT_FALSE(effect->isPlaying());
}

TEST_F(SoundEffectTest, aRelativeSourceIsTakenFromTheQmlFilesFolder)
{
    SoundScene scene;
    QObject* effect = scene.add("SoundEffect { source: \"tone.wav\" }");
    EXPECT_EQ(effect->property("status").toInt(), SoundEffect::Ready);
    EXPECT_EQ(effect->property("source").toUrl(), SoundScene::file("tone.wav"));
}

TEST_F(SoundEffectTest, loopCountsKeepTheirMeaning)
{
    SoundScene scene;
    auto* effect = effectOf(scene.add("SoundEffect { source: \"tone.wav\" }"));
    effect->setLoopCount(0);
    EXPECT_EQ(effect->loopCount(), 1);
    {
        MessageLog log;
        effect->setLoopCount(-1);
        EXPECT_TRUE(log.contains("SoundEffect: loops should be SoundEffect.Infinite, 0 or positive integer"));
    }
    EXPECT_EQ(effect->loopCount(), 1);
    QSignalSpy loopCountChanged(effect, &SoundEffect::loopCountChanged);
    effect->setLoopCount(3);
    effect->setLoopCount(3);
    EXPECT_EQ(loopCountChanged.count(), 1);
}

TEST_F(SoundEffectTest, loopsAboveOneAndInfiniteLoopUntilStopped)
{
    SoundScene scene;
    QObject* looping = scene.add("SoundEffect { source: \"tone.wav\"; loops: SoundEffect.Infinite }");
    QObject* three = scene.add("SoundEffect { source: \"tone.wav\"; loops: 3 }");
    QObject* once = scene.add("SoundEffect { source: \"tone.wav\" }");
    EXPECT_EQ(looping->property("loops").toInt(), -2);
    for (QObject* object : {looping, three, once})
        QMetaObject::invokeMethod(object, "play");
    // The sources were handed out in turn: the first three of the engine.
    ALint loop = 0;
    alGetSourcei(1, AL_LOOPING, &loop);
    EXPECT_EQ(loop, AL_TRUE);
    alGetSourcei(2, AL_LOOPING, &loop);
    EXPECT_EQ(loop, AL_TRUE);
    alGetSourcei(3, AL_LOOPING, &loop);
    EXPECT_EQ(loop, AL_FALSE);
    EXPECT_TRUE(once->property("playing").toBool());
    QMetaObject::invokeMethod(looping, "stop");
    EXPECT_EQ(AudioCapture::sourceState(1), AL_STOPPED);
    EXPECT_FALSE(looping->property("playing").toBool());
}

TEST_F(SoundEffectTest, stopLeavesAnEffectThatTookOverTheSourceAlone)
{
    SoundScene scene;
    auto* first = effectOf(scene.add("SoundEffect { source: \"tone.wav\" }"));
    auto* other = effectOf(scene.add("SoundEffect { source: \"tone.wav\"; loops: SoundEffect.Infinite }"));
    first->play();
    // 32 sources: the 33rd effect takes the first one's source over.
    for (int i = 0; i < 31; ++i)
        Facade::sharedEngine()->playEffect((SoundScene::folder() + "/tone.wav").toLocal8Bit().constData());
    other->play();
    EXPECT_EQ(AudioCapture::sourceState(1), AL_PLAYING);
    first->stop();
    EXPECT_EQ(AudioCapture::sourceState(1), AL_PLAYING);
    EXPECT_FALSE(first->isPlaying());
    other->stop();
    EXPECT_EQ(AudioCapture::sourceState(1), AL_STOPPED);
}

TEST_F(SoundEffectTest, volumeAndMuteAreTheEnginesForEveryEffect)
{
    SoundScene scene;
    auto* a = effectOf(scene.add("SoundEffect { source: \"tone.wav\" }"));
    auto* b = effectOf(scene.add("SoundEffect { source: \"tone.wav\" }"));
    QSignalSpy volumeChanged(a, &SoundEffect::volumeChanged);
    a->setVolume(0.4);
    a->setVolume(0.4 + 1e-15);
    EXPECT_EQ(volumeChanged.count(), 1);
    EXPECT_FLOAT_EQ(Facade::sharedEngine()->getEffectsVolume(), 0.4f);
    QSignalSpy mutedChanged(a, &SoundEffect::mutedChanged);
    a->setMuted(true);
    EXPECT_TRUE(b->isMuted());
    b->setVolume(0.7);
    a->setMuted(false);
    EXPECT_FALSE(b->isMuted());
    EXPECT_FLOAT_EQ(Facade::sharedEngine()->getEffectsVolume(), 0.4f);
    a->setMuted(false);
    EXPECT_EQ(mutedChanged.count(), 3);
}

TEST_F(SoundEffectTest, soundPlaysOnlyWhileSoundIsEnabledAndRemembersAnEndlessRequest)
{
    SoundScene scene(true);
    QObject* sound = scene.add("Sound { source: \"tone.wav\"; loops: SoundEffect.Infinite }");
    QObject* settings = scene.settings();
    settings->setProperty("soundEnabled", false);
    QMetaObject::invokeMethod(sound, "play");
    EXPECT_FALSE(sound->property("playing").toBool());
    settings->setProperty("soundEnabled", true);
    EXPECT_TRUE(sound->property("playing").toBool());
    EXPECT_EQ(AudioCapture::sourceState(1), AL_PLAYING);
    settings->setProperty("soundEnabled", false);
    EXPECT_EQ(AudioCapture::sourceState(1), AL_STOPPED);
    QMetaObject::invokeMethod(sound, "stop");
    settings->setProperty("soundEnabled", true);
    EXPECT_FALSE(sound->property("playing").toBool());
    settings->setProperty("fullyCompleted", false);
    QMetaObject::invokeMethod(sound, "playIfEnabled");
    EXPECT_FALSE(sound->property("playing").toBool());
}

TEST_F(SoundEffectTest, aOneShotSoundIsNotStartedBySwitchingSoundOn)
{
    SoundScene scene(true);
    QObject* sound = scene.add("Sound { source: \"tone.wav\" }");
    scene.settings()->setProperty("soundEnabled", false);
    QMetaObject::invokeMethod(sound, "play");
    scene.settings()->setProperty("soundEnabled", true);
    EXPECT_FALSE(sound->property("playing").toBool());
}

TEST_F(SoundEffectTest, withoutAGameWindowASoundAlwaysPlays)
{
    SoundScene scene;
    QObject* sound = scene.add("Sound { source: \"tone.wav\" }");
    EXPECT_EQ(sound->property("status").toInt(), SoundEffect::Ready);
    QMetaObject::invokeMethod(sound, "play");
    EXPECT_TRUE(sound->property("playing").toBool());
    EXPECT_EQ(AudioCapture::sourceState(1), AL_PLAYING);
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    return runSoundTests(argc, argv);
}
