#include "engine/ZAAudioDecoding.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>

namespace {

using SoundFile = std::unique_ptr<SNDFILE, int (*)(SNDFILE*)>;

ZAAudioData failure(std::string reason)
{
    ZAAudioData result;
    result.error = std::move(reason);
    return result;
}

// What follows the last "." of the last path component; empty when there is none.
std::string pathExtension(const std::string& path)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const std::string::size_type dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0)
        return std::string();
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// Reads every frame as floats (libsndfile's integer reads of float files come back as zeros) and
// writes them as unsigned 8-bit or signed 16-bit samples. The size comes from the frames actually
// read: a truncated file yields what it holds, never uninitialised memory.
ZAAudioData readSamples(SNDFILE* file, const SF_INFO& info, int bitsPerSample)
{
    const int channels = info.channels;
    const int bytesPerSample = bitsPerSample / 8;
    const sf_count_t chunkFrames = 65536;
    std::vector<float> chunk(static_cast<size_t>(chunkFrames * channels));
    ZAAudioData result;
    for (;;) {
        const sf_count_t frames = sf_readf_float(file, chunk.data(), chunkFrames);
        if (frames <= 0)
            break;
        const size_t samples = static_cast<size_t>(frames * channels);
        if (result.data.size() + samples * bytesPerSample > static_cast<size_t>(INT_MAX))
            return failure("the sound is too long for one buffer");
        const size_t at = result.data.size();
        result.data.resize(at + samples * bytesPerSample);
        unsigned char* out = result.data.data() + at;
        for (size_t i = 0; i < samples; ++i) {
            const float sample = std::isfinite(chunk[i]) ? chunk[i] : 0.0f;
            if (bitsPerSample == 8) {
                out[i] = static_cast<unsigned char>(std::clamp(std::lround(sample * 128.0f) + 128, 0L, 255L));
            } else {
                const auto value =
                    static_cast<int16_t>(std::clamp(std::lround(sample * 32768.0f), -32768L, 32767L));
                std::copy_n(reinterpret_cast<const unsigned char*>(&value), 2, out + i * 2);
            }
        }
    }
    if (result.data.empty())
        return failure("the file holds no sound frames");
    const bool stereo = channels == 2;
    if (bitsPerSample == 8)
        result.format = stereo ? AL_FORMAT_STEREO8 : AL_FORMAT_MONO8;
    else
        result.format = stereo ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    result.frequency = info.samplerate;
    return result;
}

// Opens a mono or stereo sound file; null, with the reason, for anything else.
SoundFile openSoundFile(const std::string& path, SF_INFO* info, std::string* error)
{
    *info = SF_INFO();
    SoundFile file(sf_open(path.c_str(), SFM_READ, info), sf_close);
    if (!file) {
        *error = sf_strerror(nullptr);
    } else if (info->channels < 1 || info->channels > 2) {
        *error = "only mono and stereo sounds are played";
        file.reset();
    }
    return file;
}

} // namespace

ZAAudioData ZAGetOpenALAudioData(const std::string& path)
{
    const std::string extension = pathExtension(path);
    if (extension.empty() || extension == "wav")
        return CDloadWaveAudioData(path);
    return CDloadCafAudioData(path);
}

ZAAudioData CDloadWaveAudioData(const std::string& path)
{
    SF_INFO info;
    std::string error;
    SoundFile file = openSoundFile(path, &info, &error);
    if (!file)
        return failure(error);
    int bits = 0;
    switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        bits = 8;
        break;
    case SF_FORMAT_PCM_16:
        bits = 16;
        break;
    default:
        return failure("a wave file must hold 8- or 16-bit linear PCM");
    }
    if (bits == 16 && sf_command(file.get(), SFC_RAW_DATA_NEEDS_ENDSWAP, nullptr, 0) == SF_TRUE)
        return failure("a wave file must hold its samples in the machine's byte order");
    return readSamples(file.get(), info, bits);
}

ZAAudioData CDloadCafAudioData(const std::string& path)
{
    SF_INFO info;
    std::string error;
    SoundFile file = openSoundFile(path, &info, &error);
    if (!file)
        return failure(error);
    return readSamples(file.get(), info, 16);
}
