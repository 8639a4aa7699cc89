#include "audio.h"

#include "qmltyperegistry.h"
#include "soundsource.h"

#include "SimpleAudioEngine.h"

#include <QQmlEngine>
#include <QtDebug>
#include <QtMath>

namespace {
const QmlTypeRegistrar audioRow(QmlTypeRows::Audio, [] { qmlRegisterType<Audio>("Zanth", 1, 0, "Audio"); });

ZanthAudio::SimpleAudioEngine* audio()
{
    return ZanthAudio::SimpleAudioEngine::sharedEngine();
}
} // namespace

Audio::Audio(QObject* parent) : QObject(parent) {}

Audio::~Audio()
{
    // Whoever started it: the music stops. An engine already ended (or never started) has none.
    if (ZanthAudio::SimpleAudioEngine::hasSharedEngine())
        audio()->stopBackgroundMusic(true);
}

QUrl Audio::source() const
{
    return QUrl::fromLocalFile(m_path);
}

void Audio::setSource(const QUrl& url)
{
    const SoundSource source = SoundSource::fromUrl(url, this);
    if (source.kind != SoundSource::File) {
        m_path = source.path;
        stop();
        if (source.kind == SoundSource::Empty) {
            setStatus(Null);
        } else {
            setStatus(Error);
            qWarning() << "WARNING: BackgroundMusic: the url for Audio object" << url.toString()
                       << "is not a file, no loading possible!";
        }
        return;
    }
    if (source.path == m_path)
        return;
    m_path = source.path;
    bool opened = true;
    if (m_autoLoad) {
        opened = audio()->preloadBackgroundMusic(m_path.toLocal8Bit().constData());
        emit loadedChanged();
    }
    setStatus(opened ? Ready : Error);
    if (m_playing) {
        stop();
        play();
    }
    emit sourceChanged();
}

void Audio::setVolume(qreal volume)
{
    if (qFuzzyCompare(volume, m_volume))
        return;
    m_volume = volume;
    audio()->setBackgroundMusicVolume(static_cast<float>(volume));
    emit volumeChanged();
}

bool Audio::isMuted() const
{
    return audio()->getBackgroundMusicVolume() == 0.0f;
}

void Audio::setMuted(bool muted)
{
    audio()->setBackgroundMusicVolume(muted ? 0.0f : static_cast<float>(m_volume));
    emit mutedChanged();
}

void Audio::setAutoLoad(bool autoLoad)
{
    if (autoLoad == m_autoLoad)
        return;
    m_autoLoad = autoLoad;
    emit autoLoadChanged();
}

void Audio::play()
{
    if (m_status != Loading && m_status != Ready)
        return;
    // Another Audio owns the music channel.
    if (!m_playing && audio()->isBackgroundMusicPlaying())
        return;
    if (m_paused) {
        m_paused = false;
        if (m_playing) {
            audio()->resumeBackgroundMusic();
            emit resumed();
            emit pausedChanged();
            return;
        }
        emit pausedChanged();
    }
    if (m_playing || !startMusic())
        return;
    m_playing = true;
    emit started();
    emit playingChanged();
}

bool Audio::startMusic()
{
    const QByteArray path = m_path.toLocal8Bit();
    if (!audio()->preloadBackgroundMusic(path.constData())) {
        setStatus(Error);
        return false;
    }
    audio()->playBackgroundMusic(path.constData(), true);
    return audio()->isBackgroundMusicPlaying();
}

void Audio::pause()
{
    if (!m_playing || m_paused)
        return;
    m_paused = true;
    audio()->pauseBackgroundMusic();
    emit paused();
    emit pausedChanged();
}

void Audio::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (m_playing) {
        if (paused) {
            audio()->pauseBackgroundMusic();
            emit this->paused();
        } else {
            audio()->resumeBackgroundMusic();
            emit resumed();
        }
    }
    emit pausedChanged();
}

void Audio::stop()
{
    if (!m_playing)
        return;
    audio()->stopBackgroundMusic(false);
    m_playing = false;
    emit stopped();
    emit playingChanged();
    if (m_paused) {
        m_paused = false;
        emit pausedChanged();
    }
}

void Audio::setStatus(Status status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged();
}
