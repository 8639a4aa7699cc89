#include "soundeffect.h"

#include "qmltyperegistry.h"
#include "soundsource.h"

#include "SimpleAudioEngine.h"

#include <QQmlEngine>
#include <QtMath>

namespace {
const QmlTypeRegistrar soundEffectRow(QmlTypeRows::SoundEffect,
                                      [] { qmlRegisterType<SoundEffect>("Zanth", 1, 0, "SoundEffect"); });

ZanthAudio::SimpleAudioEngine* audio()
{
    return ZanthAudio::SimpleAudioEngine::sharedEngine();
}
} // namespace

SoundEffect::SoundEffect(QObject* parent) : QObject(parent) {}

QUrl SoundEffect::source() const
{
    return QUrl::fromLocalFile(m_path);
}

void SoundEffect::setSource(const QUrl& url)
{
    const SoundSource source = SoundSource::fromUrl(url, this);
    switch (source.kind) {
    case SoundSource::Empty:
        m_path.clear();
        setStatus(Null);
        return;
    case SoundSource::NotAFile:
        m_path = source.path;
        setStatus(Error);
        return;
    case SoundSource::File:
        break;
    }
    if (source.path == m_path)
        return;
    m_path = source.path;
    const bool loaded = audio()->preloadEffect(m_path.toLocal8Bit().constData());
    emit loadedChanged();
    setStatus(loaded ? Ready : Error);
    emit sourceChanged();
}

void SoundEffect::setLoopCount(int loopCount)
{
    if (loopCount < 0 && loopCount != Infinite) {
        qWarning("SoundEffect: loops should be SoundEffect.Infinite, 0 or positive integer");
        return;
    }
    if (loopCount == 0)
        loopCount = 1;
    if (loopCount == m_loops)
        return;
    m_loops = loopCount;
    emit loopCountChanged();
}

void SoundEffect::setVolume(qreal volume)
{
    if (qFuzzyCompare(volume, m_volume))
        return;
    m_volume = volume;
    audio()->setEffectsVolume(static_cast<float>(volume));
    emit volumeChanged();
}

bool SoundEffect::isMuted() const
{
    return audio()->getEffectsVolume() == 0.0f;
}

void SoundEffect::setMuted(bool muted)
{
    audio()->setEffectsVolume(muted ? 0.0f : static_cast<float>(m_volume));
    emit mutedChanged();
}

void SoundEffect::play()
{
    if (m_status != Loading && m_status != Ready)
        return;
    const bool loop = m_loops > 1 || m_loops == Infinite;
    m_soundId = audio()->playEffect(m_path.toLocal8Bit().constData(), loop);
    m_playCount = audio()->effectPlayCount(m_soundId);
    setPlaying(true);
}

void SoundEffect::stop()
{
    if (audio()->effectPlayCount(m_soundId) == m_playCount)
        audio()->stopEffect(m_soundId);
    setPlaying(false);
}

void SoundEffect::setStatus(Status status)
{
    if (status == m_status)
        return;
    const bool wasReady = m_status == Ready;
    m_status = status;
    emit statusChanged();
    if (wasReady || status == Ready)
        emit loadedChanged();
}

void SoundEffect::setPlaying(bool playing)
{
    if (playing == m_playing)
        return;
    m_playing = playing;
    emit playingChanged();
}
