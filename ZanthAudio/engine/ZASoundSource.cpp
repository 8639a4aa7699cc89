#include "engine/ZASoundSource.h"

#include "engine/ZAConstants.h"
#include "engine/ZANotificationCenter.h"
#include "engine/ZASoundEngine.h"
#include "engine/ZAUtilities.h"

#include <AL/alc.h>

ZASoundSource::ZASoundSource(ALuint sourceId, int sourceIndex, std::weak_ptr<ZASoundEngine> engine)
    : m_sourceId(sourceId), m_sourceIndex(sourceIndex), m_engine(std::move(engine))
{
    m_preMuteGain = gain();
}

ZASoundSource::~ZASoundSource()
{
    if (auto owner = engine())
        owner->soundSourcePreRelease(m_sourceIndex);
}

bool ZASoundSource::recordError()
{
    m_lastError = alGetError();
    return m_lastError == AL_NO_ERROR;
}

void ZASoundSource::setPitch(float pitch)
{
    if (!engine())
        return;
    alSourcef(m_sourceId, AL_PITCH, pitch);
    recordError();
}

float ZASoundSource::pitch() const
{
    ALfloat value = 0.0f;
    if (engine())
        alGetSourcef(m_sourceId, AL_PITCH, &value);
    return value;
}

void ZASoundSource::setPan(float pan)
{
    if (!engine())
        return;
    alSource3f(m_sourceId, AL_POSITION, pan, 0.0f, 0.0f);
    recordError();
}

float ZASoundSource::pan() const
{
    ALfloat x = 0.0f, y = 0.0f, z = 0.0f;
    if (engine())
        alGetSource3f(m_sourceId, AL_POSITION, &x, &y, &z);
    return x;
}

void ZASoundSource::setGain(float gain)
{
    const float valid = ZAUtilities::validGain(gain);
    if (m_mute) {
        m_preMuteGain = valid;
        return;
    }
    if (!engine())
        return;
    alSourcef(m_sourceId, AL_GAIN, valid);
    recordError();
}

float ZASoundSource::gain() const
{
    if (m_mute)
        return m_preMuteGain;
    ALfloat value = 0.0f;
    if (engine())
        alGetSourcef(m_sourceId, AL_GAIN, &value);
    return value;
}

void ZASoundSource::setLooping(bool looping)
{
    if (!engine())
        return;
    alSourcei(m_sourceId, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    recordError();
}

bool ZASoundSource::looping() const
{
    ALfloat value = 0.0f;
    if (engine())
        alGetSourcef(m_sourceId, AL_LOOPING, &value);
    return static_cast<int>(value) != 0;
}

bool ZASoundSource::isPlaying() const
{
    ALint state = AL_STOPPED;
    if (engine())
        alGetSourcei(m_sourceId, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

bool ZASoundSource::play()
{
    if (!m_enabled || !engine())
        return false;
    alGetError();
    alSourcePlay(m_sourceId);
    if (recordError())
        return true;
    if (!alcGetCurrentContext())
        ZANotificationCenter::defaultCenter().postNotification(kZAN_BadAlContext);
    return false;
}

bool ZASoundSource::stop()
{
    if (!engine())
        return false;
    alSourceStop(m_sourceId);
    return recordError();
}

bool ZASoundSource::pause()
{
    if (!engine())
        return false;
    alSourcePause(m_sourceId);
    return recordError();
}

bool ZASoundSource::rewind()
{
    if (!engine())
        return false;
    alSourceRewind(m_sourceId);
    return recordError();
}

bool ZASoundSource::setSoundId(int soundId)
{
    auto owner = engine();
    if (!owner || !owner->soundSourceAttachToBuffer(m_sourceIndex, soundId))
        return false;
    m_soundId = soundId;
    return true;
}

float ZASoundSource::durationInSeconds() const
{
    auto owner = engine();
    return owner ? owner->bufferDurationInSeconds(m_soundId) : -1.0f;
}

void ZASoundSource::setMute(bool mute)
{
    if (mute == m_mute)
        return;
    if (mute) {
        m_preMuteGain = gain();
        setGain(0.0f);
        m_mute = true;
    } else {
        m_mute = false;
        setGain(m_preMuteGain);
    }
}

void ZASoundSource::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        stop();
}
