#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <array>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sndfile.h>

class ZAOpenALDevice;

// One music file streamed into an OpenAL source of the device's music context: a feeder thread decodes
// the file in chunks and keeps the source's queue full, wrapping to the start when the stream loops.
// Every call takes the stream's one lock, so the feeder never undoes a pause or stop. Without a device
// (or music context) the stream never plays.
class ZAMusicStream
{
public:
    // Opens the file; null when libsndfile can't decode it, it has no frames or more than two channels.
    static std::unique_ptr<ZAMusicStream> open(std::shared_ptr<ZAOpenALDevice> device,
                                               const std::string& path);
    ~ZAMusicStream();
    ZAMusicStream(const ZAMusicStream&) = delete;
    ZAMusicStream& operator=(const ZAMusicStream&) = delete;

    // Starts from the current position; false when it already plays or is paused, or there is no device.
    bool play();
    // Continues a paused stream; false when it is not paused.
    bool resume();
    // false when it is not playing.
    bool pause();
    // Stops and goes back to the start; false when it was stopped already.
    bool stop();
    // Playing and not paused.
    bool isPlaying() const;
    // 0.0 to 1.0; other values are clamped (a value that is not a number becomes 0.0).
    void setVolume(float volume);
    float volume() const;
    // Seconds from the start of the file.
    double currentTime() const;
    void setCurrentTime(double seconds);
    double duration() const;
    void setLoops(bool loops);
    bool loops() const;
    // Called on the application's main thread, through its event loop, when a play reaches the end of
    // a file that does not loop; a play that was stopped or restarted meanwhile is not reported. Streams
    // are driven from the main thread; the handler may destroy the stream.
    void setFinishedHandler(std::function<void()> handler);

private:
    enum State
    {
        kStopped,
        kPlaying,
        kPaused
    };

    struct Chunk
    {
        ALuint buffer;
        sf_count_t startFrame;
        sf_count_t frames;
    };

    static constexpr int kBufferCount = 4;
    static constexpr sf_count_t kChunkFrames = 4096;

    ZAMusicStream(std::shared_ptr<ZAOpenALDevice> device, SNDFILE* file, const SF_INFO& info);
    bool createSource();
    void feed();
    // The helpers below run under m_mutex with the music context current.
    void service();
    bool fillBuffer(ALuint buffer);
    void fillFreeBuffers();
    void clearQueue();
    void seek(sf_count_t frame);
    void finish();
    void deliverFinished(unsigned generation);

    std::shared_ptr<ZAOpenALDevice> m_device;
    ALCcontext* m_context = nullptr;
    SNDFILE* m_file;
    int m_channels;
    int m_sampleRate;
    sf_count_t m_frames;

    ALuint m_source = 0;
    std::array<ALuint, kBufferCount> m_buffers{};
    std::vector<ALuint> m_freeBuffers;
    std::deque<Chunk> m_queued;
    std::vector<float> m_decoded;
    std::vector<short> m_samples;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    State m_state = kStopped;
    sf_count_t m_decodePosition = 0;
    bool m_endOfFile = false;
    bool m_loops = false;
    float m_volume = 1.0f;
    // Counts plays and stops, so that a finish reported for an earlier play is dropped.
    unsigned m_generation = 0;
    bool m_quit = false;
    std::function<void()> m_finishedHandler;
    // Queued finishes reach the stream through this, and are dropped once the stream is gone.
    std::shared_ptr<ZAMusicStream*> m_alive;
    std::thread m_feeder;
};
