#include "engine/ZAMusicStream.h"

#include "engine/ZAOpenALDevice.h"

#include <AL/alext.h>

#include <QCoreApplication>
#include <QtDebug>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
// How often the feeder looks at the source while it plays; the queue holds about 370 ms.
constexpr auto kFeedInterval = std::chrono::milliseconds(10);
} // namespace

std::unique_ptr<ZAMusicStream> ZAMusicStream::open(std::shared_ptr<ZAOpenALDevice> device,
                                                   const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        qWarning("ZAMusicStream: WARNING: could not open the music file %s: %s", path.c_str(),
                 sf_strerror(nullptr));
        return nullptr;
    }
    if (info.frames <= 0 || info.channels < 1 || info.channels > 2 || info.samplerate <= 0) {
        qWarning("ZAMusicStream: WARNING: the music file %s holds no mono or stereo sound", path.c_str());
        sf_close(file);
        return nullptr;
    }
    return std::unique_ptr<ZAMusicStream>(new ZAMusicStream(std::move(device), file, info));
}

ZAMusicStream::ZAMusicStream(std::shared_ptr<ZAOpenALDevice> device, SNDFILE* file, const SF_INFO& info)
    : m_device(std::move(device)), m_file(file), m_channels(info.channels), m_sampleRate(info.samplerate),
      m_frames(info.frames), m_decoded(static_cast<size_t>(kChunkFrames * info.channels)),
      m_samples(static_cast<size_t>(kChunkFrames * info.channels)),
      m_alive(std::make_shared<ZAMusicStream*>(this))
{
    if (m_device && m_device->musicContext() && createSource())
        m_feeder = std::thread(&ZAMusicStream::feed, this);
}

bool ZAMusicStream::createSource()
{
    ZAMusicContextScope scope(m_device->musicContext());
    alGetError();
    alGenSources(1, &m_source);
    if (alGetError() != AL_NO_ERROR) {
        m_source = 0;
        return false;
    }
    alGenBuffers(kBufferCount, m_buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &m_source);
        m_source = 0;
        return false;
    }
    // Music sits on the listener: no distance or direction changes it.
    alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(m_source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(m_source, AL_GAIN, m_volume);
    m_freeBuffers.assign(m_buffers.begin(), m_buffers.end());
    m_context = m_device->musicContext();
    alGetError();
    return true;
}

ZAMusicStream::~ZAMusicStream()
{
    if (m_feeder.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_feeder.join();
    }
    if (m_source) {
        ZAMusicContextScope scope(m_context);
        alSourceStop(m_source);
        alSourcei(m_source, AL_BUFFER, 0);
        alDeleteSources(1, &m_source);
        alDeleteBuffers(kBufferCount, m_buffers.data());
        alGetError();
    }
    sf_close(m_file);
    m_alive.reset();
}

void ZAMusicStream::feed()
{
    alcSetThreadContext(m_context);
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_quit) {
        if (m_state == kPlaying) {
            service();
            m_wake.wait_for(lock, kFeedInterval);
        } else {
            m_wake.wait(lock, [this] { return m_quit || m_state == kPlaying; });
        }
    }
    alcSetThreadContext(nullptr);
}

void ZAMusicStream::service()
{
    ALint processed = 0;
    alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0 && !m_queued.empty(); --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(m_source, 1, &buffer);
        m_queued.pop_front();
        m_freeBuffers.push_back(buffer);
    }
    fillFreeBuffers();
    ALint state = AL_STOPPED;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) {
        // The queue ran dry before it was refilled: carry on rather than fall silent.
        if (!m_queued.empty())
            alSourcePlay(m_source);
        else if (m_endOfFile)
            finish();
    }
    alGetError();
}

bool ZAMusicStream::fillBuffer(ALuint buffer)
{
    const sf_count_t startFrame = m_decodePosition;
    sf_count_t filled = 0;
    while (filled < kChunkFrames) {
        const sf_count_t read =
            sf_readf_float(m_file, m_decoded.data() + filled * m_channels, kChunkFrames - filled);
        if (read > 0) {
            filled += read;
            m_decodePosition += read;
            continue;
        }
        // The end of the file, which may come before the frame count its header promised.
        if (m_loops && m_decodePosition > 0) {
            seek(0);
            continue;
        }
        m_endOfFile = true;
        break;
    }
    if (filled == 0)
        return false;
    const size_t count = static_cast<size_t>(filled * m_channels);
    for (size_t i = 0; i < count; ++i) {
        const float sample = std::isfinite(m_decoded[i]) ? m_decoded[i] : 0.0f;
        m_samples[i] = static_cast<short>(std::clamp(std::lround(sample * 32768.0f), -32768L, 32767L));
    }
    alBufferData(buffer, m_channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, m_samples.data(),
                 static_cast<ALsizei>(count * sizeof(short)), m_sampleRate);
    alSourceQueueBuffers(m_source, 1, &buffer);
    m_queued.push_back({buffer, startFrame, filled});
    return true;
}

void ZAMusicStream::fillFreeBuffers()
{
    while (!m_freeBuffers.empty() && !m_endOfFile) {
        if (!fillBuffer(m_freeBuffers.back()))
            break;
        m_freeBuffers.pop_back();
    }
}

void ZAMusicStream::clearQueue()
{
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    for (const Chunk& chunk : m_queued)
        m_freeBuffers.push_back(chunk.buffer);
    m_queued.clear();
    alGetError();
}

void ZAMusicStream::seek(sf_count_t frame)
{
    const sf_count_t position = sf_seek(m_file, frame, SEEK_SET);
    m_decodePosition = position < 0 ? 0 : position;
    m_endOfFile = false;
}

void ZAMusicStream::finish()
{
    m_state = kStopped;
    seek(0);
    const unsigned generation = ++m_generation;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    std::weak_ptr<ZAMusicStream*> alive = m_alive;
    QMetaObject::invokeMethod(
        application,
        [alive, generation] {
            if (const auto stream = alive.lock())
                (*stream)->deliverFinished(generation);
        },
        Qt::QueuedConnection);
}

void ZAMusicStream::deliverFinished(unsigned generation)
{
    std::function<void()> handler;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (generation != m_generation || m_state != kStopped)
            return;
        handler = m_finishedHandler;
    }
    if (handler)
        handler();
}

bool ZAMusicStream::play()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_source || m_state != kStopped)
        return false;
    ZAMusicContextScope scope(m_context);
    clearQueue();
    m_endOfFile = false;
    fillFreeBuffers();
    if (m_queued.empty())
        return false;
    alSourcePlay(m_source);
    alGetError();
    m_state = kPlaying;
    ++m_generation;
    m_wake.notify_all();
    return true;
}

bool ZAMusicStream::resume()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != kPaused)
        return false;
    ZAMusicContextScope scope(m_context);
    alSourcePlay(m_source);
    alGetError();
    m_state = kPlaying;
    m_wake.notify_all();
    return true;
}

bool ZAMusicStream::pause()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != kPlaying)
        return false;
    ZAMusicContextScope scope(m_context);
    alSourcePause(m_source);
    alGetError();
    m_state = kPaused;
    return true;
}

bool ZAMusicStream::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state == kStopped)
        return false;
    ZAMusicContextScope scope(m_context);
    clearQueue();
    seek(0);
    m_state = kStopped;
    ++m_generation;
    return true;
}

bool ZAMusicStream::isPlaying() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state == kPlaying;
}

void ZAMusicStream::setVolume(float volume)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_volume = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
    if (!m_source)
        return;
    ZAMusicContextScope scope(m_context);
    alSourcef(m_source, AL_GAIN, m_volume);
    alGetError();
}

float ZAMusicStream::volume() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_volume;
}

double ZAMusicStream::currentTime() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    sf_count_t frame = m_decodePosition;
    if (m_state != kStopped && !m_queued.empty()) {
        ZAMusicContextScope scope(m_context);
        ALint offset = 0;
        alGetSourcei(m_source, AL_SAMPLE_OFFSET, &offset);
        alGetError();
        frame = m_queued.front().startFrame;
        sf_count_t remaining = offset;
        for (const Chunk& chunk : m_queued) {
            if (remaining < chunk.frames) {
                frame = chunk.startFrame + remaining;
                break;
            }
            remaining -= chunk.frames;
        }
    }
    return static_cast<double>(frame % m_frames) / m_sampleRate;
}

void ZAMusicStream::setCurrentTime(double seconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const double wanted = std::isfinite(seconds) ? seconds * m_sampleRate : 0.0;
    const auto frame = static_cast<sf_count_t>(std::clamp(wanted, 0.0, static_cast<double>(m_frames)));
    if (m_state == kStopped || !m_source) {
        seek(frame);
        return;
    }
    ZAMusicContextScope scope(m_context);
    clearQueue();
    seek(frame);
    fillFreeBuffers();
    // A paused stream keeps its new queue unplayed until it resumes.
    if (m_state == kPlaying)
        alSourcePlay(m_source);
    alGetError();
}

double ZAMusicStream::duration() const
{
    return static_cast<double>(m_frames) / m_sampleRate;
}

void ZAMusicStream::setLoops(bool loops)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_loops = loops;
    if (loops)
        m_endOfFile = false;
}

bool ZAMusicStream::loops() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_loops;
}

void ZAMusicStream::setFinishedHandler(std::function<void()> handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_finishedHandler = std::move(handler);
}
