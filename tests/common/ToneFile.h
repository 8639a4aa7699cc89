#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// A sine tone for sound tests, written as a plain RIFF wave file of linear PCM.
struct Tone
{
    double frequency = 440.0;
    double amplitude = 0.5;
    // The amplitude at the end, reached linearly from amplitude; negative: constant.
    double endAmplitude = -1.0;
    double seconds = 1.0;
    int sampleRate = 44100;
    int channels = 1;
    // 8 (unsigned), 16 or 24 (signed).
    int bitsPerSample = 16;
};

// The tone's samples, -1.0 to 1.0, one per frame (every channel plays the same).
inline std::vector<double> toneSamples(const Tone& tone)
{
    const auto frames = static_cast<size_t>(std::lround(tone.seconds * tone.sampleRate));
    std::vector<double> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        const double amplitude =
            tone.endAmplitude < 0.0
                ? tone.amplitude
                : tone.amplitude + (tone.endAmplitude - tone.amplitude) * static_cast<double>(i) / frames;
        samples[i] =
            amplitude * std::sin(2.0 * M_PI * tone.frequency * static_cast<double>(i) / tone.sampleRate);
    }
    return samples;
}

inline void writeToneWav(const std::string& path, const Tone& tone)
{
    const std::vector<double> samples = toneSamples(tone);
    const uint32_t bytesPerSample = static_cast<uint32_t>(tone.bitsPerSample / 8);
    const uint32_t blockAlign = bytesPerSample * static_cast<uint32_t>(tone.channels);
    const uint32_t dataSize = static_cast<uint32_t>(samples.size()) * blockAlign;
    std::string bytes;
    const auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    bytes += "RIFF";
    put(36 + dataSize, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(static_cast<uint32_t>(tone.channels), 2);
    put(static_cast<uint32_t>(tone.sampleRate), 4);
    put(static_cast<uint32_t>(tone.sampleRate) * blockAlign, 4);
    put(blockAlign, 2);
    put(static_cast<uint32_t>(tone.bitsPerSample), 2);
    bytes += "data";
    put(dataSize, 4);
    for (const double sample : samples) {
        for (int channel = 0; channel < tone.channels; ++channel) {
            if (tone.bitsPerSample == 8) {
                put(static_cast<uint32_t>(std::lround(sample * 127.0) + 128), 1);
            } else {
                const double scale = tone.bitsPerSample == 16 ? 32767.0 : 8388607.0;
                put(static_cast<uint32_t>(static_cast<int32_t>(std::lround(sample * scale))),
                    static_cast<int>(bytesPerSample));
            }
        }
    }
    std::ofstream(path, std::ios::binary) << bytes;
}
