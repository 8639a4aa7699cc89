#pragma once

#include <AL/al.h>

#include <string>
#include <vector>

// Decoded PCM data in a form OpenAL takes: unsigned 8-bit or signed 16-bit samples, channels
// interleaved, in the machine's byte order. Empty data means the file could not be decoded.
struct ZAAudioData
{
    std::vector<unsigned char> data;
    ALenum format = 0;
    ALsizei frequency = 0;
    // Why decoding failed, for the caller's log line; empty on success.
    std::string error;
};

// Decodes a sound file for an effect. A ".wav" file (any case) or one without an extension must hold
// mono or stereo 8- or 16-bit linear PCM in the machine's byte order and keeps that sample size; any
// other file the decoder can read (AIFF, FLAC, Ogg Vorbis, MP3, ...) with one or two channels becomes
// 16-bit. Files without frames, or too big for one OpenAL buffer, are refused.
ZAAudioData ZAGetOpenALAudioData(const std::string& path);
// The wave path of ZAGetOpenALAudioData.
ZAAudioData CDloadWaveAudioData(const std::string& path);
// The converting path of ZAGetOpenALAudioData.
ZAAudioData CDloadCafAudioData(const std::string& path);
