#pragma once

#include "engine/ZAAudioInterruptTarget.h"
#include "engine/ZALongAudioSource.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class ZASoundEngine;

// What the audio manager lets play.
enum ZAAudioManagerMode
{
    kZAModeEffectsOnly = 0,
    kZAModeEffectsAndMusic = 1,
    // Music unless other audio plays (on the desktop none ever does); also every unknown mode.
    kZAModeEffectsAndMusicUnlessOtherAudio = 2,
    kZAModeMediaPlayback = 3,
    kZAModePlayAndRecord = 4,
};

// What the manager does with its channels when the application resigns active.
enum ZAResignBehavior
{
    kZAResignDoNothing = 0,
    kZAResignStopAndResume = 1,
    kZAResignStop = 2,
};

// The process-wide owner of the sound engine: the effect engine and two long-sound channels, of which
// channel 0 plays background music. Its mode decides whether music may play; mute and enable switches
// fan out to everything it owns. Main thread only, apart from the asynchronous start.
class ZAAudioManager : public ZAAudioInterruptTarget, public ZALongAudioSourceDelegate
{
public:
    enum State
    {
        kStateUninitialised = 0,
        kStateInitialising = 1,
        kStateInitialised = 2
    };
    static constexpr int kBackgroundMusicChannel = 0;

    // The manager, built (in the configured mode, 2 when none) on first use; posts
    // kZAN_AudioManagerInitialised when it builds it.
    static ZAAudioManager* sharedManager();
    static State sharedManagerState();
    // The mode of the manager built next.
    static void configure(int mode);
    // Builds the manager in the mode on a background thread, when none was built or started yet.
    static void initAsynchronously(int mode);
    // Destroys the manager; the state stays initialised and a later sharedManager builds a new one.
    static void end();

    ~ZAAudioManager() override;
    ZAAudioManager(const ZAAudioManager&) = delete;
    ZAAudioManager& operator=(const ZAAudioManager&) = delete;

    void setMode(int mode);
    int mode() const { return m_mode; }
    const std::string& audioSessionCategory() const { return m_audioSessionCategory; }
    // The desktop has no audio session to activate or categorise: both answer false.
    bool audioSessionSetActive(bool active);
    bool audioSessionSetCategory(const std::string& category);
    bool isOtherAudioPlaying() const;
    // The desktop reports no audio route, which counts as muted.
    bool isDeviceMuted() const;

    // The channel at the index, or null.
    std::shared_ptr<ZALongAudioSource> audioSourceForChannel(int channel) const;
    // Loads the file into the channel; returns the channel (null for an index without one).
    std::shared_ptr<ZALongAudioSource> audioSourceLoad(const std::string& filePath, int channel);
    // Whether the file opened.
    bool preloadBackgroundMusic(const std::string& filePath);
    // Loads the file and plays it, endlessly when loop is set, unless the mode forbids music or the
    // manager is muted.
    void playBackgroundMusic(const std::string& filePath, bool loop);
    void stopBackgroundMusic();
    void pauseBackgroundMusic();
    void resumeBackgroundMusic();
    void rewindBackgroundMusic();
    bool isBackgroundMusicPlaying() const;
    // Called with no argument when the music ends by itself.
    void setBackgroundMusicCompletionListener(std::function<void()> listener);

    void setMute(bool mute) override;
    bool mute() const { return m_mute; }
    void setEnabled(bool enabled) override;
    bool enabled() const { return m_enabled; }

    // With autoHandle, follows the application's resign, become-active and terminate notifications.
    void setResignBehavior(int behavior, bool autoHandle);
    void applicationWillResignActive();
    void applicationDidBecomeActive();
    void applicationWillTerminate();
    void beginInterruption();
    void endInterruption();
    void audioSessionInterrupted();
    void audioSessionResumed();

    ZASoundEngine* soundEngine() const { return m_soundEngine.get(); }
    const std::shared_ptr<ZASoundEngine>& sharedSoundEngine() const { return m_soundEngine; }
    ZALongAudioSource* backgroundMusic() const { return m_backgroundMusic; }
    bool willPlayBackgroundMusic() const { return m_willPlayBackgroundMusic; }

    void zaAudioSourceDidFinishPlaying(ZALongAudioSource* source) override;

private:
    explicit ZAAudioManager(int mode);
    void badAlContextHandler();

    static std::recursive_mutex s_classLock;
    static ZAAudioManager* s_sharedManager;
    static State s_sharedManagerState;
    static bool s_configured;
    static int s_configuredMode;

    std::shared_ptr<ZASoundEngine> m_soundEngine;
    std::vector<std::shared_ptr<ZALongAudioSource>> m_audioSourceChannels;
    ZALongAudioSource* m_backgroundMusic = nullptr;
    int m_mode = kZAModeEffectsAndMusicUnlessOtherAudio;
    std::string m_audioSessionCategory;
    bool m_willPlayBackgroundMusic = false;
    bool m_mute = false;
    bool m_enabled = true;
    bool m_resigned = false;
    bool m_interrupted = false;
    bool m_audioSessionActive = false;
    bool m_isObservingAppEvents = false;
    int m_resignBehavior = kZAResignDoNothing;
    std::function<void()> m_backgroundMusicCompletionListener;
};
