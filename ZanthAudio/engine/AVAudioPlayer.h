#pragma once

#include <QUrl>

#include <memory>
#include <string>

class ZAMusicStream;
class ZAOpenALDevice;
class AVAudioPlayer;

// Told when a player's sound ends by itself.
class AVAudioPlayerDelegate
{
public:
    virtual ~AVAudioPlayerDelegate() = default;
    virtual void audioPlayerDidFinishPlaying(AVAudioPlayer* player, bool successfully) = 0;
};

// The desktop music player: one file played through a music stream (its sound). A file that can't be
// opened leaves the player without a sound; every operation then does nothing and answers false or 0.
class AVAudioPlayer
{
public:
    // Opens the file for the device's music context (there may be no device: the player stays silent).
    AVAudioPlayer(std::shared_ptr<ZAOpenALDevice> device, const std::string& filePath);
    ~AVAudioPlayer();
    AVAudioPlayer(const AVAudioPlayer&) = delete;
    AVAudioPlayer& operator=(const AVAudioPlayer&) = delete;

    bool prepareToPlay() { return true; }
    // Plays from the current position, or continues where a pause left off.
    bool play();
    void pause();
    // Stops and goes back to the start.
    void stop();
    bool isPlaying() const;
    float volume() const;
    // 0.0 to 1.0.
    void setVolume(float volume);
    // Seconds from the start.
    double currentTime() const;
    void setCurrentTime(double seconds);
    double duration() const;
    // A negative count loops endlessly, any other plays once.
    void setNumberOfLoops(long long numberOfLoops);
    // -1 while looping, else 0.
    long long numberOfLoops() const;
    // Not owned.
    void setDelegate(AVAudioPlayerDelegate* delegate) { m_delegate = delegate; }
    AVAudioPlayerDelegate* delegate() const { return m_delegate; }
    // Kept only: the stream has no pan.
    void setPan(float pan) { m_pan = pan; }
    float pan() const { return m_pan; }
    QUrl url() const { return m_url; }
    // The stream, or null when the file could not be opened.
    ZAMusicStream* sound() const { return m_player.get(); }

private:
    std::unique_ptr<ZAMusicStream> m_player;
    AVAudioPlayerDelegate* m_delegate = nullptr;
    float m_pan = 0.0f;
    QUrl m_url;
};
