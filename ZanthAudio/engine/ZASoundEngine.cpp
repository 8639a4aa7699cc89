#include "engine/ZASoundEngine.h"

#include "engine/ZAAsynchBufferLoader.h"
#include "engine/ZAAudioDecoding.h"
#include "engine/ZANotificationCenter.h"
#include "engine/ZAOpenALDevice.h"
#include "engine/ZASoundSource.h"
#include "engine/ZAUtilities.h"

#include <QThreadPool>
#include <QtDebug>

#include <new>

bool ZASoundEngine::s_mixerRateSet = false;
float ZASoundEngine::s_mixerSampleRate = 44100.0f;

using BufferLock = std::lock_guard<std::recursive_mutex>;

std::shared_ptr<ZASoundEngine> ZASoundEngine::create()
{
    std::shared_ptr<ZASoundEngine> engine(new ZASoundEngine());
    engine->init();
    return engine;
}

void ZASoundEngine::setMixerSampleRate(float rate)
{
    s_mixerRateSet = true;
    s_mixerSampleRate = rate;
}

ZASoundEngine::ZASoundEngine() = default;

void ZASoundEngine::init()
{
    m_buffers.resize(kInitialBufferTotal);
    if (!initOpenAL()) {
        m_functioning = false;
        return;
    }
    setUpSourceGroups({m_sourceTotal});
    m_functioning = true;
    m_preMuteGain = masterGain();
    m_mute = false;
    m_enabled = true;
    testGetGain();
}

bool ZASoundEngine::initOpenAL()
{
    m_context = nullptr;
    const int rate = static_cast<int>(s_mixerSampleRate);
    m_device = ZAOpenALDevice::open(rate);
    if (!m_device) {
        qWarning("ZASoundEngine: WARNING: no OpenAL device could be opened, sounds stay silent");
        return false;
    }
    const ALCint attributes[] = {ALC_FREQUENCY, rate, 0};
    m_context = alcCreateContext(m_device->device(), attributes);
    if (!m_context) {
        // Without a context there are no sources to play on: the engine is as good as deviceless.
        qWarning("ZASoundEngine: WARNING: no OpenAL context could be created, sounds stay silent");
        m_device.reset();
        return false;
    }
    alcMakeContextCurrent(m_context);
    generateBuffers(0, static_cast<int>(m_buffers.size()) - 1);
    generateSources();
    alGetError();
    return true;
}

void ZASoundEngine::generateSources()
{
    m_sourceTotal = 0;
    for (SourceInfo& source : m_sources) {
        alGetError();
        alGenSources(1, &source.sourceId);
        if (alGetError() != AL_NO_ERROR)
            break;
        alSourcei(source.sourceId, AL_BUFFER, 0);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteSources(1, &source.sourceId);
            break;
        }
        source.usable = true;
        ++m_sourceTotal;
    }
    for (int i = m_sourceTotal; i < kMaxSources; ++i)
        m_sources[i] = SourceInfo();
}

void ZASoundEngine::generateBuffers(int startIndex, int endIndex)
{
    for (int i = startIndex; i <= endIndex; ++i) {
        BufferInfo& buffer = m_buffers[i];
        alGetError();
        alGenBuffers(1, &buffer.bufferId);
        buffer.state = alGetError() == AL_NO_ERROR ? kBufferEmpty : kBufferFailed;
    }
}

bool ZASoundEngine::resizeBuffers(int total)
{
    const int oldTotal = static_cast<int>(m_buffers.size());
    try {
        m_buffers.resize(total);
    } catch (const std::bad_alloc&) {
        return false;
    }
    generateBuffers(oldTotal, total - 1);
    return true;
}

void ZASoundEngine::setUpSourceGroups(const std::vector<int>& definitions)
{
    m_sourceGroups.clear();
    int sourceIndex = 0;
    for (const int size : definitions) {
        SourceGroup group;
        group.totalSources = size;
        for (int i = 0; i < size; ++i)
            group.statuses.push_back((sourceIndex++) << 1);
        m_sourceGroups.push_back(std::move(group));
    }
}

void ZASoundEngine::testGetGain()
{
    if (m_sourceTotal == 0)
        return;
    const ALuint source = m_sources[0].sourceId;
    alSourcef(source, AL_GAIN, 0.0f);
    alSourcef(source, AL_GAIN, 0.7f);
    ALfloat gain = 0.0f;
    alGetSourcef(source, AL_GAIN, &gain);
    m_getGainWorks = gain == 0.7f;
}

ZASoundEngine::~ZASoundEngine()
{
    {
        std::unique_lock<std::mutex> lock(m_loaderMutex);
        m_loadersDone.wait(lock, [this] { return m_runningLoaders == 0; });
    }
    if (!m_functioning)
        return;
    stopAllSounds();
    m_sourceGroups.clear();
    for (SourceInfo& source : m_sources) {
        if (!source.usable)
            continue;
        alSourcei(source.sourceId, AL_BUFFER, 0);
        alDeleteSources(1, &source.sourceId);
        m_lastErrorCode = alGetError();
    }
    for (BufferInfo& buffer : m_buffers)
        alDeleteBuffers(1, &buffer.bufferId);
    alGetError();
    if (alcGetCurrentContext() == m_context)
        alcMakeContextCurrent(nullptr);
    alcDestroyContext(m_context);
}

bool ZASoundEngine::validGroup(int sourceGroupId) const
{
    return sourceGroupId >= 0 && sourceGroupId < static_cast<int>(m_sourceGroups.size());
}

bool ZASoundEngine::validSoundId(int soundId) const
{
    return soundId >= 0 && soundId < static_cast<int>(m_buffers.size());
}

ALuint ZASoundEngine::getSourceIndexForSourceGroup(int sourceGroupId)
{
    if (!validGroup(sourceGroupId))
        return kZA_NoSourceAvailable;
    SourceGroup& group = m_sourceGroups[sourceGroupId];
    if (group.totalSources <= 0)
        return kZA_NoSourceAvailable;
    group.currentIndex = group.startIndex;
    do {
        const int member = group.statuses[group.currentIndex];
        const int sourceIndex = member >> 1;
        bool take = (member & 1) == 0;
        if (take && group.nonInterruptible) {
            ALint state = AL_STOPPED;
            alGetSourcei(m_sources[sourceIndex].sourceId, AL_SOURCE_STATE, &state);
            take = state != AL_PLAYING;
        }
        if (take) {
            group.startIndex = group.currentIndex + 1 < group.totalSources ? group.currentIndex + 1 : 0;
            return static_cast<ALuint>(sourceIndex);
        }
        group.currentIndex = group.currentIndex + 1 < group.totalSources ? group.currentIndex + 1 : 0;
    } while (group.currentIndex != group.startIndex);
    return kZA_NoSourceAvailable;
}

ALuint ZASoundEngine::playSound(int soundId, int sourceGroupId, float pitch, float pan, float gain, bool loop)
{
    BufferLock lock(m_mutexBufferLoad);
    if (!m_enabled || !m_functioning || !validSoundId(soundId) || m_buffers[soundId].state != kBufferLoaded)
        return kZA_NothingPlayed;
    if (validGroup(sourceGroupId) && m_sourceGroups[sourceGroupId].silenced)
        return kZA_NothingPlayed;
    const ALuint sourceIndex = getSourceIndexForSourceGroup(sourceGroupId);
    if (sourceIndex == kZA_NoSourceAvailable)
        return kZA_NoSourceAvailable;

    SourceInfo& source = m_sources[sourceIndex];
    const ALuint bufferId = m_buffers[soundId].bufferId;
    alGetError();
    ALint state = AL_STOPPED;
    alGetSourcei(source.sourceId, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING)
        alSourceStop(source.sourceId);
    alSourcei(source.sourceId, AL_BUFFER, static_cast<ALint>(bufferId));
    alSourcef(source.sourceId, AL_PITCH, pitch);
    alSourcei(source.sourceId, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcef(source.sourceId, AL_GAIN, ZAUtilities::validGain(gain));
    alSource3f(source.sourceId, AL_POSITION, pan, 0.0f, 0.0f);
    alGetError();
    alSourcePlay(source.sourceId);
    m_lastErrorCode = alGetError();
    if (m_lastErrorCode != AL_NO_ERROR) {
        if (!alcGetCurrentContext())
            ZANotificationCenter::defaultCenter().postNotification(kZAN_BadAlContext);
        return kZA_NoSourceAvailable;
    }
    source.attachedBufferId = bufferId;
    ++source.playCount;
    return source.sourceId;
}

void ZASoundEngine::stopSound(ALuint sourceId)
{
    if (!m_functioning)
        return;
    alSourceStop(sourceId);
    alGetError();
}

void ZASoundEngine::pauseSound(ALuint sourceId)
{
    if (!m_functioning)
        return;
    alSourcePause(sourceId);
    alGetError();
}

void ZASoundEngine::resumeSound(ALuint sourceId)
{
    if (!m_functioning)
        return;
    alSourcePlay(sourceId);
    alGetError();
}

void ZASoundEngine::stopAllSounds()
{
    for (const SourceInfo& source : m_sources) {
        if (source.usable)
            alSourceStop(source.sourceId);
    }
    alGetError();
}

void ZASoundEngine::pauseAllSounds()
{
    for (const SourceInfo& source : m_sources) {
        if (source.usable)
            pauseSound(source.sourceId);
    }
    alGetError();
}

void ZASoundEngine::resumeAllSounds()
{
    for (const SourceInfo& source : m_sources) {
        if (!source.usable || !m_functioning)
            continue;
        ALint state = AL_STOPPED;
        alGetSourcei(source.sourceId, AL_SOURCE_STATE, &state);
        if (state == AL_PAUSED)
            resumeSound(source.sourceId);
    }
    alGetError();
}

unsigned ZASoundEngine::sourcePlayCount(ALuint sourceId) const
{
    for (const SourceInfo& source : m_sources) {
        if (source.usable && source.sourceId == sourceId)
            return source.playCount;
    }
    return 0;
}

void ZASoundEngine::stopSourceGroup(int sourceGroupId)
{
    if (!m_functioning || !validGroup(sourceGroupId))
        return;
    for (const int member : m_sourceGroups[sourceGroupId].statuses)
        alSourceStop(m_sources[member >> 1].sourceId);
    alGetError();
}

void ZASoundEngine::setSourceGroupNonInterruptible(int sourceGroupId, bool isNonInterruptible)
{
    if (validGroup(sourceGroupId))
        m_sourceGroups[sourceGroupId].nonInterruptible = isNonInterruptible;
}

void ZASoundEngine::setSourceGroupEnabled(int sourceGroupId, bool enabled)
{
    if (!validGroup(sourceGroupId))
        return;
    m_sourceGroups[sourceGroupId].silenced = !enabled;
    if (!enabled)
        stopSourceGroup(sourceGroupId);
}

bool ZASoundEngine::sourceGroupEnabled(int sourceGroupId) const
{
    return validGroup(sourceGroupId) && !m_sourceGroups[sourceGroupId].silenced;
}

bool ZASoundEngine::defineSourceGroups(const std::vector<int>& sourceGroupDefinitions)
{
    bool valid = true;
    long total = 0;
    for (const int size : sourceGroupDefinitions) {
        valid = valid && size >= 0;
        total += size;
    }
    if (!valid || total > m_sourceTotal) {
        qWarning(
            "ZASoundEngine: WARNING: source group sizes must not be negative and must add up to at most %d "
            "sources; the groups stay as they were",
            m_sourceTotal);
        return false;
    }
    if (!m_sourceGroups.empty())
        stopAllSounds();
    setUpSourceGroups(sourceGroupDefinitions);
    return true;
}

bool ZASoundEngine::loadBuffer(int soundId, const std::string& filePath)
{
    const std::string fullPath = ZAUtilities::fullPathFromRelativePath(filePath);
    const ZAAudioData audio = ZAGetOpenALAudioData(fullPath);
    if (audio.data.empty()) {
        qWarning("ZASoundEngine: WARNING: could not load the sound file %s: %s", fullPath.c_str(),
                 audio.error.c_str());
        return false;
    }
    return loadBufferFromData(soundId, audio.data.data(), audio.format,
                              static_cast<ALsizei>(audio.data.size()), audio.frequency);
}

bool ZASoundEngine::loadBufferFromData(int soundId, const unsigned char* soundData, ALenum format,
                                       ALsizei size, ALsizei freq)
{
    BufferLock lock(m_mutexBufferLoad);
    if (!m_functioning || soundId < 0)
        return false;
    const int total = static_cast<int>(m_buffers.size());
    if (soundId >= total) {
        const int growth = ((soundId - total) / kBufferGrowth + 1) * kBufferGrowth;
        if (!resizeBuffers(total + growth))
            return false;
    }
    BufferInfo& buffer = m_buffers[soundId];
    if (!soundData || size <= 0) {
        buffer.state = kBufferFailed;
        return false;
    }
    if (buffer.state != kBufferEmpty && !unloadBuffer(soundId))
        return false;
    alGetError();
    alBufferData(buffer.bufferId, format, soundData, size, freq);
    m_lastErrorCode = alGetError();
    if (m_lastErrorCode != AL_NO_ERROR) {
        buffer.state = kBufferFailed;
        return false;
    }
    buffer.format = format;
    buffer.size = size;
    buffer.frequency = freq;
    buffer.state = kBufferLoaded;
    return true;
}

void ZASoundEngine::loadBuffersAsynchronously(std::vector<ZABufferLoadRequest> loadRequests)
{
    {
        std::lock_guard<std::mutex> lock(m_loaderMutex);
        ++m_runningLoaders;
    }
    m_asynchLoadProgress = 0.0f;
    QThreadPool::globalInstance()->start(new ZAAsynchBufferLoader(std::move(loadRequests), this));
}

void ZASoundEngine::asynchLoaderFinished()
{
    std::lock_guard<std::mutex> lock(m_loaderMutex);
    --m_runningLoaders;
    m_loadersDone.notify_all();
}

bool ZASoundEngine::unloadBuffer(int soundId)
{
    BufferLock lock(m_mutexBufferLoad);
    if (!validSoundId(soundId))
        return false;
    BufferInfo& buffer = m_buffers[soundId];
    for (SourceInfo& source : m_sources) {
        if (!source.usable || source.attachedBufferId != buffer.bufferId)
            continue;
        alSourceStop(source.sourceId);
        alGetError();
        alSourcei(source.sourceId, AL_BUFFER, 0);
        if (alGetError() == AL_NO_ERROR)
            source.attachedBufferId = 0;
    }
    alGetError();
    alDeleteBuffers(1, &buffer.bufferId);
    const ALenum deleteError = alGetError();
    alGenBuffers(1, &buffer.bufferId);
    const ALenum generateError = alGetError();
    const bool ok = deleteError == AL_NO_ERROR && generateError == AL_NO_ERROR;
    m_lastErrorCode = ok ? AL_NO_ERROR : (deleteError != AL_NO_ERROR ? deleteError : generateError);
    buffer.state = ok ? kBufferEmpty : kBufferFailed;
    return ok;
}

bool ZASoundEngine::validateBufferId(int soundId) const
{
    BufferLock lock(m_mutexBufferLoad);
    return validSoundId(soundId) && m_buffers[soundId].state == kBufferLoaded;
}

float ZASoundEngine::bufferDurationInSeconds(int soundId) const
{
    BufferLock lock(m_mutexBufferLoad);
    if (!validateBufferId(soundId))
        return -1.0f;
    const BufferInfo& buffer = m_buffers[soundId];
    float factor = 0.0f;
    switch (buffer.format) {
    case AL_FORMAT_MONO8:
        factor = 1.0f;
        break;
    case AL_FORMAT_MONO16:
    case AL_FORMAT_STEREO8:
        factor = 0.5f;
        break;
    case AL_FORMAT_STEREO16:
        factor = 0.25f;
        break;
    default:
        break;
    }
    return static_cast<float>(buffer.size) / static_cast<float>(buffer.frequency) * factor;
}

ALsizei ZASoundEngine::bufferSizeInBytes(int soundId) const
{
    BufferLock lock(m_mutexBufferLoad);
    return validateBufferId(soundId) ? m_buffers[soundId].size : -1;
}

ALsizei ZASoundEngine::bufferFrequencyInHertz(int soundId) const
{
    BufferLock lock(m_mutexBufferLoad);
    return validateBufferId(soundId) ? m_buffers[soundId].frequency : -1;
}

int ZASoundEngine::bufferTotal() const
{
    BufferLock lock(m_mutexBufferLoad);
    return static_cast<int>(m_buffers.size());
}

float ZASoundEngine::masterGain() const
{
    if (m_mute)
        return m_preMuteGain;
    if (!m_functioning)
        return m_listenerGain;
    ALfloat gain = m_listenerGain;
    alGetListenerf(AL_GAIN, &gain);
    return gain;
}

void ZASoundEngine::setMasterGain(float gain)
{
    const float valid = ZAUtilities::validGain(gain);
    if (m_mute)
        m_preMuteGain = valid;
    else
        setListenerGain(valid);
}

void ZASoundEngine::setListenerGain(float gain)
{
    m_listenerGain = gain;
    if (m_functioning)
        alListenerf(AL_GAIN, gain);
}

void ZASoundEngine::setMute(bool mute)
{
    if (mute == m_mute)
        return;
    if (mute) {
        m_preMuteGain = masterGain();
        m_mute = true;
        setListenerGain(0.0f);
    } else {
        m_mute = false;
        setMasterGain(m_preMuteGain);
    }
}

void ZASoundEngine::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        stopAllSounds();
}

std::shared_ptr<ZASoundSource> ZASoundEngine::soundSourceForSound(int soundId, int sourceGroupId)
{
    if (!m_functioning)
        return nullptr;
    BufferLock lock(m_mutexBufferLoad);
    const ALuint sourceIndex = getSourceIndexForSourceGroup(sourceGroupId);
    if (sourceIndex == kZA_NoSourceAvailable)
        return nullptr;
    const int index = static_cast<int>(sourceIndex);
    auto source = std::make_shared<ZASoundSource>(m_sources[index].sourceId, index, weak_from_this());
    lockSource(index, true);
    if (!source->setSoundId(soundId))
        return nullptr;
    source->setPitch(kZA_PitchDefault);
    source->setPan(kZA_PanDefault);
    source->setGain(kZA_GainDefault);
    source->setLooping(false);
    return source;
}

void ZASoundEngine::lockSource(int sourceIndex, bool lock)
{
    for (SourceGroup& group : m_sourceGroups) {
        for (int& member : group.statuses) {
            if ((member >> 1) == sourceIndex) {
                member = lock ? (member | 1) : (member & ~1);
                return;
            }
        }
    }
}

bool ZASoundEngine::soundSourceAttachToBuffer(int sourceIndex, int soundId)
{
    BufferLock lock(m_mutexBufferLoad);
    if (!validSoundId(soundId) || sourceIndex < 0 || sourceIndex >= m_sourceTotal)
        return false;
    SourceInfo& source = m_sources[sourceIndex];
    ALint state = AL_STOPPED;
    alGetSourcei(source.sourceId, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING)
        alSourceStop(source.sourceId);
    alGetError();
    alSourcei(source.sourceId, AL_BUFFER, static_cast<ALint>(m_buffers[soundId].bufferId));
    m_lastErrorCode = alGetError();
    if (m_lastErrorCode != AL_NO_ERROR)
        return false;
    source.attachedBufferId = m_buffers[soundId].bufferId;
    return true;
}

void ZASoundEngine::soundSourcePreRelease(int sourceIndex)
{
    lockSource(sourceIndex, false);
}
