#pragma once

#include "FixtureDir.h"
#include "ToneFile.h"

#include <sndfile.h>

#include <string>
#include <vector>

// Sound files in the formats libsndfile writes (AIFF, FLAC, Ogg Vorbis, MP3, ...), for the converting
// decoder. format is a libsndfile major format and subtype, e.g. SF_FORMAT_FLAC | SF_FORMAT_PCM_16.
inline bool writeToneFile(const std::string& path, const Tone& tone, int format, int frames = -1)
{
    SF_INFO info{};
    info.samplerate = tone.sampleRate;
    info.channels = tone.channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    const std::vector<double> samples = toneSamples(tone);
    std::vector<double> interleaved;
    for (const double sample : samples)
        interleaved.insert(interleaved.end(), static_cast<size_t>(tone.channels), sample);
    const sf_count_t count = frames < 0 ? static_cast<sf_count_t>(samples.size()) : frames;
    const bool written = sf_writef_double(file, interleaved.data(), count) == count;
    sf_close(file);
    return written;
}

// Tone files in a temporary folder, made on demand.
class ToneFiles
{
public:
    // A mono 16-bit 440 Hz tone of the given length.
    std::string tone(const std::string& name, double seconds = 2.0)
    {
        Tone tone;
        tone.seconds = seconds;
        writeToneWav(m_dir.path(name), tone);
        return m_dir.path(name);
    }

private:
    FixtureDir m_dir;
};
