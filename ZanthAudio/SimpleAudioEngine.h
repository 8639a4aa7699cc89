#pragma once

namespace ZanthAudio {

// The sound engine as the rest of the program sees it: effects and one background music. Every call
// forwards to the engine-side singleton, which is built (opening the OpenAL device) on the first call
// that needs it. Paths are file paths in the local 8-bit encoding; a relative path is looked up in the
// Resources folder beside the program first. Main thread only.
class SimpleAudioEngine
{
public:
    // The facade, made on first use.
    static SimpleAudioEngine* sharedEngine();
    // Whether the facade exists; asking makes nothing.
    static bool hasSharedEngine();
    // Destroys the facade and tears the engine down (a later sharedEngine makes both again).
    static void end();

    // Does nothing: paths are given whole.
    void setResource(const char* path);

    // Loads the music; false when the file can't be opened.
    bool preloadBackgroundMusic(const char* path);
    // Plays the music (endlessly with loop) unless music is not allowed or the engine is muted.
    void playBackgroundMusic(const char* path, bool loop = false);
    // Stops the music and goes back to its start; releaseData changes nothing.
    void stopBackgroundMusic(bool releaseData = false);
    void pauseBackgroundMusic();
    void resumeBackgroundMusic();
    void rewindBackgroundMusic();
    bool willPlayBackgroundMusic();
    bool isBackgroundMusicPlaying();
    float getBackgroundMusicVolume();
    // Clamped to 0.0..1.0 (a value that is not a number becomes 1.0).
    void setBackgroundMusicVolume(float volume);
    // The master gain of every effect.
    float getEffectsVolume();
    // Clamped to 0.0..1.0 (a value that is not a number becomes 1.0).
    void setEffectsVolume(float volume);

    // Plays the effect file (loaded on first use); the id the stop, pause and resume calls take, or
    // 0xFEEDBAB (nothing played: file not loadable, no device, engine disabled) or 0xFEEDFAC (no
    // source). An id names a source, which a later effect may take over.
    unsigned int playEffect(const char* path, bool loop = false);
    void stopEffect(unsigned int soundId);
    void pauseEffect(unsigned int soundId);
    void resumeEffect(unsigned int soundId);
    // How many effects the id's source has started so far: when this moves on after a play, another
    // effect has taken the source over.
    unsigned int effectPlayCount(unsigned int soundId);
    // Loads the effect; false when the file can't be decoded.
    bool preloadEffect(const char* path);
    void unloadEffect(const char* path);
    void pauseAllEffects();
    // Resumes the effects paused by pauseAllEffects; effects that had ended stay silent.
    void resumeAllEffects();
    void stopAllEffects();

private:
    SimpleAudioEngine() = default;
};

} // namespace ZanthAudio
