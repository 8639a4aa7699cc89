#pragma once

#include "engine/AVAudioPlayer.h"
#include "engine/ZAAudioInterruptTarget.h"

#include <memory>
#include <string>

class ZALongAudioSource;
class ZAOpenALDevice;

// Told when a long source's file changes or its sound ends by itself.
class ZALongAudioSourceDelegate
{
public:
    virtual ~ZALongAudioSourceDelegate() = default;
    virtual void zaAudioSourceDidFinishPlaying(ZALongAudioSource*) {}
    virtual void zaAudioSourceFileDidChange(ZALongAudioSource*) {}
};

// A channel for one long sound (music): loads a file into a player and keeps its volume, mute, enabled
// state and loop count across files.
class ZALongAudioSource : public ZAAudioInterruptTarget, public AVAudioPlayerDelegate
{
public:
    // device may be null: the channel then loads files but stays silent.
    ZALongAudioSource(std::shared_ptr<ZAOpenALDevice> device, bool backgroundMusic);
    ~ZALongAudioSource() override;

    // Loads the file (a relative path is looked up beside the program first). The file loaded last is
    // only paused and rewound; another one replaces the player.
    void load(const std::string& filePath);
    // Only while enabled.
    void play();
    // Plays even while disabled.
    void resume();
    void stop();
    void pause();
    void rewind();
    bool isPlaying() const;
    // Whether a file was loaded and could be opened.
    bool isPlayable() const;

    // 0.0 to 1.0; kept while muted and applied at the next load.
    void setVolume(float volume);
    float volume() const { return m_volume; }
    void setMute(bool mute) override;
    bool mute() const { return m_mute; }
    // Disabling pauses and rewinds.
    void setEnabled(bool enabled) override;
    bool enabled() const { return m_enabled; }
    // -1 loops endlessly.
    void setNumberOfLoops(long long numberOfLoops);
    long long numberOfLoops() const { return m_numberOfLoops; }
    // Not owned.
    void setDelegate(ZALongAudioSourceDelegate* delegate) { m_delegate = delegate; }
    ZALongAudioSourceDelegate* delegate() const { return m_delegate; }

    int state() const { return m_state; }
    bool backgroundMusic() const { return m_backgroundMusic; }
    const std::string& audioSourceFilePath() const { return m_audioSourceFilePath; }
    AVAudioPlayer* audioSourcePlayer() const { return m_audioSourcePlayer.get(); }
    // Set while stopped by the manager's resign handling, to be resumed when the application returns.
    bool systemPaused() const { return m_systemPaused; }
    void setSystemPaused(bool paused) { m_systemPaused = paused; }
    double systemPauseLocation() const { return m_systemPauseLocation; }
    void setSystemPauseLocation(double seconds) { m_systemPauseLocation = seconds; }

    void audioPlayerDidFinishPlaying(AVAudioPlayer* player, bool successfully) override;

private:
    std::shared_ptr<ZAOpenALDevice> m_device;
    int m_state = 0;
    std::unique_ptr<AVAudioPlayer> m_audioSourcePlayer;
    std::string m_audioSourceFilePath;
    float m_volume = 1.0f;
    bool m_mute = false;
    bool m_enabled = true;
    long long m_numberOfLoops = 0;
    ZALongAudioSourceDelegate* m_delegate = nullptr;
    bool m_backgroundMusic;
    bool m_systemPaused = false;
    double m_systemPauseLocation = 0.0;
};
