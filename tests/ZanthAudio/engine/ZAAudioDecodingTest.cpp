// Decoding of effect files: the wave path keeps 8- and 16-bit PCM as it is and refuses the rest, every
// other file is converted to 16 bit, and broken or empty files give no data.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "FixtureDir.h"
#include "SoundFiles.h"
#include "engine/ZAAudioDecoding.h"

namespace {

class ZAAudioDecodingTest : public ::testing::Test
{
protected:
    std::string path(const std::string& name) const { return m_dir.path(name); }

    int16_t sample16(const ZAAudioData& audio, size_t index) const
    {
        int16_t value = 0;
        std::memcpy(&value, audio.data.data() + index * 2, 2);
        return value;
    }

    // The largest magnitude among the 16-bit samples, relative to full scale.
    double peak16(const ZAAudioData& audio) const
    {
        double peak = 0.0;
        for (size_t i = 0; i < audio.data.size() / 2; ++i)
            peak = std::max(peak, std::fabs(sample16(audio, i)) / 32768.0);
        return peak;
    }

    FixtureDir m_dir;
};

TEST_F(ZAAudioDecodingTest, sixteenBitWaveKeepsItsSamplesAndRate)
{
    Tone tone;
    tone.sampleRate = 22050;
    writeToneWav(path("tone.wav"), tone);
    const ZAAudioData audio = ZAGetOpenALAudioData(path("tone.wav"));
    ASSERT_EQ(audio.format, AL_FORMAT_MONO16) << audio.error;
    EXPECT_EQ(audio.frequency, 22050);
    EXPECT_EQ(audio.data.size(), 22050u * 2);
    const std::vector<double> expected = toneSamples(tone);
    for (size_t i : {1u, 17u, 1000u, 22049u})
        EXPECT_EQ(sample16(audio, i), std::lround(expected[i] * 32767.0)) << "sample " << i;
}

TEST_F(ZAAudioDecodingTest, eightBitStereoWaveStaysUnsignedEightBit)
{
    Tone tone;
    tone.channels = 2;
    tone.bitsPerSample = 8;
    tone.seconds = 0.1;
    writeToneWav(path("tone8.wav"), tone);
    const ZAAudioData audio = ZAGetOpenALAudioData(path("tone8.wav"));
    ASSERT_EQ(audio.format, AL_FORMAT_STEREO8) << audio.error;
    ASSERT_EQ(audio.data.size(), 4410u * 2);
    const std::vector<double> expected = toneSamples(tone);
    for (size_t i : {0u, 5u, 33u, 4409u}) {
        EXPECT_EQ(audio.data[i * 2], std::lround(expected[i] * 127.0) + 128) << "frame " << i;
        EXPECT_EQ(audio.data[i * 2 + 1], audio.data[i * 2]);
    }
}

TEST_F(ZAAudioDecodingTest, wavePathRefusesWhatItCannotPassOn)
{
    Tone stereo24;
    stereo24.channels = 2;
    stereo24.bitsPerSample = 24;
    writeToneWav(path("deep.wav"), stereo24);
    EXPECT_TRUE(ZAGetOpenALAudioData(path("deep.wav")).data.empty());
    // The extension is compared without case: the same file named "A.WAV" takes the wave path too,
    // while the converting path would have taken it.
    std::filesystem::copy_file(path("deep.wav"), path("A.WAV"));
    EXPECT_TRUE(ZAGetOpenALAudioData(path("A.WAV")).data.empty());
    std::filesystem::copy_file(path("deep.wav"), path("deep.flac.aiff"));
    EXPECT_EQ(ZAGetOpenALAudioData(path("deep.flac.aiff")).format, AL_FORMAT_STEREO16);

    ASSERT_TRUE(writeToneFile(path("float.wav"), Tone(), SF_FORMAT_WAV | SF_FORMAT_FLOAT));
    EXPECT_TRUE(ZAGetOpenALAudioData(path("float.wav")).data.empty());
    // AIFF stores its samples big-endian: named .wav it is refused rather than played byte-swapped.
    ASSERT_TRUE(writeToneFile(path("big.wav"), Tone(), SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
    EXPECT_TRUE(ZAGetOpenALAudioData(path("big.wav")).data.empty());
}

TEST_F(ZAAudioDecodingTest, aFileWithoutExtensionTakesTheWavePath)
{
    Tone tone;
    tone.bitsPerSample = 8;
    writeToneWav(path("noextension"), tone);
    EXPECT_EQ(ZAGetOpenALAudioData(path("noextension")).format, AL_FORMAT_MONO8);
}

TEST_F(ZAAudioDecodingTest, otherFormatsAreConvertedToSixteenBit)
{
    Tone tone;
    tone.seconds = 0.5;
    tone.channels = 2;
    struct Case
    {
        const char* name;
        int format;
    };
    for (const Case& c : {Case{"tone.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8},
                          Case{"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
                          Case{"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
                          Case{"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
                          Case{"tone.caf", SF_FORMAT_CAF | SF_FORMAT_FLOAT}}) {
        ASSERT_TRUE(writeToneFile(path(c.name), tone, c.format)) << c.name;
        const ZAAudioData audio = ZAGetOpenALAudioData(path(c.name));
        ASSERT_EQ(audio.format, AL_FORMAT_STEREO16) << c.name << ": " << audio.error;
        EXPECT_EQ(audio.frequency, 44100) << c.name;
        // Lossy encoders pad or trim a little; the tone's level survives.
        EXPECT_NEAR(static_cast<double>(audio.data.size()) / 4, 22050, 3000) << c.name;
        EXPECT_NEAR(peak16(audio), 0.5, 0.06) << c.name;
    }
}

TEST_F(ZAAudioDecodingTest, truncatedFilesGiveOnlyTheFramesTheyHold)
{
    Tone tone;
    for (const char* name : {"cut.flac", "cut.mp3", "cut.wav"}) {
        const int format =
            std::string(name).find(".flac") != std::string::npos  ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16
            : std::string(name).find(".mp3") != std::string::npos ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III
                                                                  : SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        ASSERT_TRUE(writeToneFile(path(name), tone, format)) << name;
        std::filesystem::resize_file(path(name), std::filesystem::file_size(path(name)) / 2);
        const ZAAudioData audio = ZAGetOpenALAudioData(path(name));
        ASSERT_FALSE(audio.data.empty()) << name << ": " << audio.error;
        EXPECT_LT(audio.data.size(), 44100u * 2) << name;
        EXPECT_GT(audio.data.size(), 44100u / 4) << name;
        EXPECT_LE(peak16(audio), 0.56) << name;
    }
}

TEST_F(ZAAudioDecodingTest, emptyUnreadableAndManyChannelFilesGiveNoData)
{
    Tone tone;
    ASSERT_TRUE(writeToneFile(path("empty.wav"), tone, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0));
    ASSERT_TRUE(writeToneFile(path("empty.flac"), tone, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0));
    Tone surround = tone;
    surround.channels = 3;
    ASSERT_TRUE(writeToneFile(path("three.flac"), surround, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    m_dir.write("text.ogg", "not a sound at all\n");
    for (const char* name :
         {"empty.wav", "empty.flac", "three.flac", "text.ogg", "missing.wav", "missing.mp3"}) {
        const ZAAudioData audio = ZAGetOpenALAudioData(path(name));
        EXPECT_TRUE(audio.data.empty()) << name;
        EXPECT_FALSE(audio.error.empty()) << name;
    }
}

} // namespace
