// Timed property changes: the three curves at the points that define them, the exact end value, and
// each modifier acting on its target's property and stopping (or, for music, pausing) it at the end.

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "AudioCapture.h"
#include "SoundFiles.h"
#include "engine/ZAFloatInterpolator.h"
#include "engine/ZALongAudioSource.h"
#include "engine/ZALongAudioSourceFader.h"
#include "engine/ZAOpenALDevice.h"
#include "engine/ZASoundEngine.h"
#include "engine/ZASoundEngineFader.h"
#include "engine/ZASoundSource.h"
#include "engine/ZASoundSourceFader.h"
#include "engine/ZASoundSourcePanner.h"
#include "engine/ZASoundSourcePitchBender.h"

namespace {

TEST(ZAFloatInterpolatorTest, halfwayValuesFollowEachCurve)
{
    EXPECT_FLOAT_EQ(ZAFloatInterpolator(ZAFloatInterpolator::kLinear, 0.0f, 1.0f).interpolate(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(ZAFloatInterpolator(ZAFloatInterpolator::kSCurve, 0.0f, 1.0f).interpolate(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(ZAFloatInterpolator(ZAFloatInterpolator::kSCurve, 0.0f, 1.0f).interpolate(0.25f),
                    0.15625f);
    EXPECT_NEAR(ZAFloatInterpolator(ZAFloatInterpolator::kExponential, 0.0f, 1.0f).interpolate(0.5f),
                0.030250f, 1e-6);
    EXPECT_NEAR(ZAFloatInterpolator(ZAFloatInterpolator::kExponential, 1.0f, 0.0f).interpolate(0.5f),
                0.03125f, 1e-6);
    EXPECT_FLOAT_EQ(ZAFloatInterpolator(ZAFloatInterpolator::kExponential, 2.0f, 4.0f).interpolate(0.0f),
                    2.0f);
    EXPECT_FLOAT_EQ(ZAFloatInterpolator(ZAFloatInterpolator::kLinear, 0.0f, 1.0f).interpolate(-0.5f), -0.5f);
    EXPECT_FLOAT_EQ(ZAFloatInterpolator(7, 0.3f, 1.0f).interpolate(0.5f), 0.0f);
}

TEST(ZAFloatInterpolatorTest, progressAtOrPastOneGivesExactlyTheEnd)
{
    for (const int type : {0, 1, 2, 7}) {
        for (const float t : {1.0f, 1.5f}) {
            EXPECT_EQ(ZAFloatInterpolator(type, 0.2f, 0.7f).interpolate(t), 0.7f) << type << " at " << t;
            EXPECT_EQ(ZAFloatInterpolator(type, 0.9f, 0.1f).interpolate(t), 0.1f) << type << " at " << t;
        }
    }
    // Just before the end the exponential rise is still 0.001 of the span short.
    EXPECT_NEAR(ZAFloatInterpolator(ZAFloatInterpolator::kExponential, 0.0f, 1.0f).interpolate(0.99999f),
                0.999f, 1e-4);
}

class ZAPropertyModifierTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_engine->loadBuffer(0, m_files.tone("tone.wav")));
        m_source = m_engine->soundSourceForSound(0, 0);
        ASSERT_NE(m_source, nullptr);
        m_source->setLooping(true);
        ASSERT_TRUE(m_source->play());
    }

    ToneFiles m_files;
    std::shared_ptr<ZASoundEngine> m_engine = ZASoundEngine::create();
    std::shared_ptr<ZASoundSource> m_source;
};

TEST_F(ZAPropertyModifierTest, aSourceFaderSetsTheGainAndStopsTheSourceAtTheEndWhenAsked)
{
    ZASoundSourceFader fader(m_source, ZAFloatInterpolator::kLinear, 1.0f, 0.0f);
    EXPECT_FALSE(fader.stopTargetWhenComplete());
    fader.modify(0.5f);
    EXPECT_FLOAT_EQ(m_source->gain(), 0.5f);
    EXPECT_FLOAT_EQ(fader.targetProperty(), 0.5f);
    fader.modify(1.0f);
    EXPECT_FLOAT_EQ(m_source->gain(), 0.0f);
    EXPECT_TRUE(m_source->isPlaying());
    fader.setStopTargetWhenComplete(true);
    fader.modify(2.0f);
    EXPECT_FALSE(m_source->isPlaying());
}

TEST_F(ZAPropertyModifierTest, aFaderThatOvershootsBelowZeroSilencesTheSource)
{
    ZASoundSourceFader fader(m_source, ZAFloatInterpolator::kLinear, 0.5f, -1.0f);
    fader.modify(0.9f);
    EXPECT_FLOAT_EQ(m_source->gain(), 0.0f);
}

TEST_F(ZAPropertyModifierTest, pannerAndPitchBenderActOnTheirProperties)
{
    ZASoundSourcePanner panner(m_source, ZAFloatInterpolator::kLinear, -1.0f, 1.0f);
    panner.modify(0.25f);
    EXPECT_FLOAT_EQ(m_source->pan(), -0.5f);
    ZASoundSourcePitchBender bender(m_source, ZAFloatInterpolator::kSCurve, 1.0f, 2.0f);
    bender.modify(0.5f);
    EXPECT_FLOAT_EQ(m_source->pitch(), 1.5f);
    bender.setStopTargetWhenComplete(true);
    bender.modify(1.0f);
    EXPECT_FLOAT_EQ(m_source->pitch(), 2.0f);
    EXPECT_FALSE(m_source->isPlaying());
}

TEST_F(ZAPropertyModifierTest, aChangedStartIsWhereTheCurveStarts)
{
    ZASoundSourceFader fader(m_source, ZAFloatInterpolator::kLinear, 1.0f, 0.0f);
    fader.setStartValue(0.6f);
    EXPECT_FLOAT_EQ(fader.startValue(), 0.6f);
    fader.modify(0.5f);
    EXPECT_FLOAT_EQ(m_source->gain(), 0.3f);
    fader.setEndValue(0.2f);
    fader.modify(0.5f);
    EXPECT_FLOAT_EQ(m_source->gain(), 0.4f);
    fader.setInterpolationType(ZAFloatInterpolator::kExponential);
    EXPECT_EQ(fader.interpolationType(), ZAFloatInterpolator::kExponential);
    fader.modify(1.0f);
    EXPECT_FLOAT_EQ(m_source->gain(), 0.2f);
}

TEST_F(ZAPropertyModifierTest, anEngineFaderFadesEveryEffectAndStopsThemAll)
{
    ZASoundEngineFader fader(m_engine, ZAFloatInterpolator::kLinear, 1.0f, 0.0f);
    fader.modify(0.5f);
    EXPECT_FLOAT_EQ(m_engine->masterGain(), 0.5f);
    fader.setStopTargetWhenComplete(true);
    fader.modify(1.0f);
    EXPECT_FLOAT_EQ(m_engine->masterGain(), 0.0f);
    EXPECT_FALSE(m_source->isPlaying());
}

TEST_F(ZAPropertyModifierTest, aMusicFaderPausesItsChannelAtTheEnd)
{
    auto channel = std::make_shared<ZALongAudioSource>(m_engine->device(), true);
    channel->load(m_files.tone("music.wav", 3.0));
    channel->play();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ZALongAudioSourceFader fader(channel, ZAFloatInterpolator::kLinear, 1.0f, 0.0f);
    fader.modify(0.5f);
    EXPECT_FLOAT_EQ(channel->volume(), 0.5f);
    EXPECT_FLOAT_EQ(channel->audioSourcePlayer()->volume(), 0.5f);
    fader.setStopTargetWhenComplete(true);
    fader.modify(1.0f);
    EXPECT_FALSE(channel->isPlaying());
    // Paused, not stopped: it carries on from where it was.
    EXPECT_GT(channel->audioSourcePlayer()->currentTime(), 0.1);
}

} // namespace

int main(int argc, char** argv)
{
    AudioCapture::runWithSilentDevice();
    return AudioCapture::runTests(argc, argv);
}
