#pragma once

#include <AL/al.h>

#include <memory>
#include <string>

class ZAAudioManager;
class ZABufferManager;
class ZASoundEngine;
class ZASoundSource;

// The engine side of the sound facade: a singleton that plays effects on the audio manager's effect
// engine (files mapped to sound ids by its buffer manager) and music on the manager's music channel.
// It owns only the buffer manager. Main thread only; creation is locked.
class SimpleAudioEngine
{
public:
    // The singleton, built with the whole engine on first use.
    static SimpleAudioEngine* sharedEngine();
    // Whether the singleton exists (nothing is built by asking).
    static bool hasSharedEngine();
    // Tears the engine down (effects, music, the OpenAL device); a later sharedEngine builds a new one.
    static void end();

    // Whether the file opened.
    bool preloadBackgroundMusic(const std::string& filePath);
    void playBackgroundMusic(const std::string& filePath);
    void playBackgroundMusic(const std::string& filePath, bool loop);
    void stopBackgroundMusic();
    void pauseBackgroundMusic();
    void resumeBackgroundMusic();
    void rewindBackgroundMusic();
    bool isBackgroundMusicPlaying() const;
    bool willPlayBackgroundMusic() const;

    // The effect's id (its source's OpenAL name), 0xFEEDBAB when the file can't be loaded or nothing
    // plays, 0xFEEDFAC when no source is free.
    ALuint playEffect(const std::string& filePath, bool loop);
    ALuint playEffect(const std::string& filePath, bool loop, float pitch, float pan, float gain);
    void stopEffect(ALuint soundId);
    void pauseEffect(ALuint soundId);
    void resumeEffect(ALuint soundId);
    // How many effects the id's source has started; see ZASoundEngine::sourcePlayCount.
    unsigned effectPlayCount(ALuint soundId) const;
    // Whether the file is loaded (now or before); without a device, whether it could be.
    bool preloadEffect(const std::string& filePath);
    void unloadEffect(const std::string& filePath);
    void pauseAllEffects();
    void resumeAllEffects();
    void stopAllEffects();

    bool mute() const { return m_mute; }
    void setMute(bool mute);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    float backgroundMusicVolume() const;
    void setBackgroundMusicVolume(float volume);
    float effectsVolume() const;
    void setEffectsVolume(float volume);
    // A source locked to the file's sound for the caller's control; null when the file can't be loaded
    // or no source is free.
    std::shared_ptr<ZASoundSource> soundSourceForFile(const std::string& filePath);

private:
    SimpleAudioEngine();
    ~SimpleAudioEngine();

    static SimpleAudioEngine* s_sharedEngine;
    static ZAAudioManager* s_am;
    static ZASoundEngine* s_soundEngine;
    static std::unique_ptr<ZABufferManager> s_bufferManager;

    bool m_mute = false;
    bool m_enabled = true;
};
