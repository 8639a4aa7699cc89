#pragma once

#include "engine/ZAAudioInterruptTarget.h"

#include <AL/al.h>

#include <memory>

class ZASoundEngine;

// One source of the effect engine, locked to its holder for control after the sound starts (from
// ZASoundEngine::soundSourceForSound); the source is unlocked when the object goes. Once the engine is
// gone every operation does nothing and answers false or 0.
class ZASoundSource : public ZAAudioInterruptTarget
{
public:
    ZASoundSource(ALuint sourceId, int sourceIndex, std::weak_ptr<ZASoundEngine> engine);
    ~ZASoundSource() override;
    ZASoundSource(const ZASoundSource&) = delete;
    ZASoundSource& operator=(const ZASoundSource&) = delete;

    void setPitch(float pitch);
    float pitch() const;
    // -1.0 full left, 0.0 centre, 1.0 full right.
    void setPan(float pan);
    float pan() const;
    // While muted the gain is kept for unmuting.
    void setGain(float gain);
    float gain() const;
    void setLooping(bool looping);
    bool looping() const;
    bool isPlaying() const;

    // false when disabled or OpenAL refuses (a missing context is then reported as kZAN_BadAlContext).
    bool play();
    bool stop();
    bool pause();
    bool rewind();

    // Attaches the sound's buffer; false when the sound id is not valid or OpenAL refuses.
    bool setSoundId(int soundId);
    int soundId() const { return m_soundId; }
    // Seconds of the attached sound, -1.0 when it is not loaded.
    float durationInSeconds() const;
    int lastError() const { return m_lastError; }
    ALuint sourceId() const { return m_sourceId; }
    int sourceIndex() const { return m_sourceIndex; }

    void setMute(bool mute) override;
    bool mute() const { return m_mute; }
    // Disabling stops the source; a disabled source does not play.
    void setEnabled(bool enabled) override;
    bool enabled() const { return m_enabled; }

private:
    // The engine when it still exists; errors of the last call are read into lastError.
    std::shared_ptr<ZASoundEngine> engine() const { return m_engine.lock(); }
    bool recordError();

    ALuint m_sourceId;
    int m_sourceIndex;
    std::weak_ptr<ZASoundEngine> m_engine;
    int m_soundId = -1;
    float m_preMuteGain = 1.0f;
    bool m_enabled = true;
    bool m_mute = false;
    int m_lastError = AL_NO_ERROR;
};
