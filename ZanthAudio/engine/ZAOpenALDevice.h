#pragma once

#include <AL/alc.h>

#include <memory>

// The OpenAL output device and the music's own context on it. The effect engine keeps its context on
// the same device; music plays in this second one so that the effects' listener gain leaves it alone.
// Shared by the effect engine and every music stream: the device closes when the last of them lets
// go, after the music context is gone.
class ZAOpenALDevice
{
public:
    // Opens the default device mixing at mixerRate hertz; null when no device opens.
    static std::shared_ptr<ZAOpenALDevice> open(int mixerRate);
    ~ZAOpenALDevice();
    ZAOpenALDevice(const ZAOpenALDevice&) = delete;
    ZAOpenALDevice& operator=(const ZAOpenALDevice&) = delete;

    ALCdevice* device() const { return m_device; }
    // Null when the device gave no second context: music then stays silent.
    ALCcontext* musicContext() const { return m_musicContext; }
    int mixerRate() const { return m_mixerRate; }

private:
    ZAOpenALDevice(ALCdevice* device, int mixerRate);

    ALCdevice* m_device;
    ALCcontext* m_musicContext = nullptr;
    int m_mixerRate;
};

// Makes the music context current on the calling thread for its lifetime (OpenAL names sources from 1
// in every context, so a music call made in the effects' context would reach an effect's source).
class ZAMusicContextScope
{
public:
    explicit ZAMusicContextScope(ALCcontext* musicContext);
    ~ZAMusicContextScope();
    ZAMusicContextScope(const ZAMusicContextScope&) = delete;
    ZAMusicContextScope& operator=(const ZAMusicContextScope&) = delete;

private:
    ALCcontext* m_previous;
};
