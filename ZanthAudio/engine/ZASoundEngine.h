#pragma once

#include "engine/ZAAudioInterruptTarget.h"
#include "engine/ZAConstants.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class ZAOpenALDevice;
class ZASoundSource;
struct ZABufferLoadRequest;

// Plays short sounds through OpenAL: a table of buffers (one decoded sound each, addressed by its sound
// id), up to 32 sources, and source groups that decide which source a new sound may take. Without an
// OpenAL device the engine is not functioning: every play answers kZA_NothingPlayed and the rest does
// nothing. Buffers may be loaded on another thread; everything else runs on the main thread.
class ZASoundEngine : public ZAAudioInterruptTarget, public std::enable_shared_from_this<ZASoundEngine>
{
public:
    static constexpr int kMaxSources = 32;
    static constexpr int kInitialBufferTotal = 64;
    static constexpr int kBufferGrowth = 16;

    enum BufferState
    {
        kBufferEmpty = 0,
        kBufferLoaded = 1,
        kBufferFailed = 2
    };

    // Opens the default OpenAL device and makes the engine's context current.
    static std::shared_ptr<ZASoundEngine> create();
    ~ZASoundEngine() override;
    ZASoundEngine(const ZASoundEngine&) = delete;
    ZASoundEngine& operator=(const ZASoundEngine&) = delete;

    // The mixing rate in hertz of the next engine created (44100 until set).
    static void setMixerSampleRate(float rate);

    // Plays the sound on a source of the group; returns the source's OpenAL name, which stopSound,
    // pauseSound and resumeSound take, or kZA_NothingPlayed / kZA_NoSourceAvailable. pan is -1.0 (left)
    // to 1.0 (right).
    ALuint playSound(int soundId, int sourceGroupId, float pitch, float pan, float gain, bool loop);
    void stopSound(ALuint sourceId);
    void pauseSound(ALuint sourceId);
    // Plays the source again; a source that had stopped starts its sound from the beginning.
    void resumeSound(ALuint sourceId);
    void stopAllSounds();
    void pauseAllSounds();
    // Resumes the paused sources only: sounds that had ended stay silent.
    void resumeAllSounds();
    // How many sounds the source has been given to play; a caller that remembers this number can tell
    // whether its sound still owns the source. 0 for a name that is no source of the engine.
    unsigned sourcePlayCount(ALuint sourceId) const;

    void stopSourceGroup(int sourceGroupId);
    void setSourceGroupNonInterruptible(int sourceGroupId, bool isNonInterruptible);
    // false silences the group (and stops it) until it is enabled again.
    void setSourceGroupEnabled(int sourceGroupId, bool enabled);
    bool sourceGroupEnabled(int sourceGroupId) const;
    // Replaces the groups: each takes as many of the following sources as its entry says. Refused
    // (false, groups unchanged, one log line) when a size is negative or the sizes add up to more
    // sources than exist.
    bool defineSourceGroups(const std::vector<int>& sourceGroupDefinitions);

    // Decodes the file (a relative path is looked up beside the program first) into the sound id's
    // buffer; false, with one log line, when it can't be decoded or loaded.
    bool loadBuffer(int soundId, const std::string& filePath);
    // Loads PCM data into the sound id's buffer, growing the table when the id lies past its end.
    // OpenAL copies the data.
    bool loadBufferFromData(int soundId, const unsigned char* soundData, ALenum format, ALsizei size,
                            ALsizei freq);
    // Loads the requests on a background thread; progress in asynchLoadProgress, then
    // kZAN_AsynchLoadComplete is posted on the main thread.
    void loadBuffersAsynchronously(std::vector<ZABufferLoadRequest> loadRequests);
    // Stops and detaches every source playing the sound and empties its buffer.
    bool unloadBuffer(int soundId);
    bool validateBufferId(int soundId) const;
    // Seconds of sound in the buffer; -1.0 for a buffer that isn't loaded.
    float bufferDurationInSeconds(int soundId) const;
    // -1 for a buffer that isn't loaded.
    ALsizei bufferSizeInBytes(int soundId) const;
    ALsizei bufferFrequencyInHertz(int soundId) const;
    int bufferTotal() const;

    // The listener's gain: the master volume of every effect (the gain to restore while muted).
    float masterGain() const;
    void setMasterGain(float gain);
    void setMute(bool mute) override;
    bool mute() const { return m_mute; }
    // Disabling stops every sound and refuses new ones until enabled again.
    void setEnabled(bool enabled) override;
    bool enabled() const { return m_enabled; }

    // A source of the group locked to the sound for the caller's control, or null; the source is
    // unlocked when the last reference goes.
    std::shared_ptr<ZASoundSource> soundSourceForSound(int soundId, int sourceGroupId);

    ALCcontext* openALContext() const { return m_context; }
    // The device the music streams share; null without a device.
    const std::shared_ptr<ZAOpenALDevice>& device() const { return m_device; }
    int lastErrorCode() const { return m_lastErrorCode; }
    bool functioning() const { return m_functioning; }
    float asynchLoadProgress() const { return m_asynchLoadProgress; }
    void setAsynchLoadProgress(float progress) { m_asynchLoadProgress = progress; }
    bool getGainWorks() const { return m_getGainWorks; }
    int sourceTotal() const { return m_sourceTotal; }
    int sourceGroupTotal() const { return static_cast<int>(m_sourceGroups.size()); }

private:
    friend class ZASoundSource;
    friend class ZAAsynchBufferLoader;

    struct BufferInfo
    {
        ALuint bufferId = 0;
        int state = kBufferEmpty;
        ALenum format = 0;
        ALsizei size = 0;
        ALsizei frequency = 0;
    };

    struct SourceInfo
    {
        bool usable = false;
        ALuint sourceId = 0;
        ALuint attachedBufferId = 0;
        unsigned playCount = 0;
    };

    struct SourceGroup
    {
        int startIndex = 0;
        int currentIndex = 0;
        int totalSources = 0;
        bool silenced = false;
        bool nonInterruptible = false;
        // Per member: its source index shifted left by one, bit 0 set while locked to a ZASoundSource.
        std::vector<int> statuses;
    };

    ZASoundEngine();
    void init();
    bool initOpenAL();
    void generateSources();
    void generateBuffers(int startIndex, int endIndex);
    bool resizeBuffers(int total);
    void setUpSourceGroups(const std::vector<int>& definitions);
    void testGetGain();
    void setListenerGain(float gain);
    bool validGroup(int sourceGroupId) const;
    bool validSoundId(int soundId) const;
    // The source index for a new sound in the group, or kZA_NoSourceAvailable.
    ALuint getSourceIndexForSourceGroup(int sourceGroupId);
    void lockSource(int sourceIndex, bool lock);
    bool soundSourceAttachToBuffer(int sourceIndex, int soundId);
    void soundSourcePreRelease(int sourceIndex);
    void asynchLoaderFinished();

    static bool s_mixerRateSet;
    static float s_mixerSampleRate;

    // Guards the buffer table, which a background load may grow while the main thread plays.
    mutable std::recursive_mutex m_mutexBufferLoad;
    std::vector<BufferInfo> m_buffers;
    std::array<SourceInfo, kMaxSources> m_sources{};
    int m_sourceTotal = 0;
    std::vector<SourceGroup> m_sourceGroups;
    std::shared_ptr<ZAOpenALDevice> m_device;
    ALCcontext* m_context = nullptr;
    float m_preMuteGain = kZA_GainDefault;
    // The listener gain last set: what the engine answers without a device.
    float m_listenerGain = kZA_GainDefault;
    bool m_mute = false;
    bool m_enabled = true;
    bool m_functioning = false;
    std::atomic<int> m_lastErrorCode{AL_NO_ERROR};
    std::atomic<float> m_asynchLoadProgress{0.0f};
    bool m_getGainWorks = false;

    std::mutex m_loaderMutex;
    std::condition_variable m_loadersDone;
    int m_runningLoaders = 0;
};
