#include "engine/AVAudioPlayer.h"

#include "engine/ZAMusicStream.h"
#include "engine/ZAOpenALDevice.h"

#include <QtDebug>

AVAudioPlayer::AVAudioPlayer(std::shared_ptr<ZAOpenALDevice> device, const std::string& filePath)
    : m_player(ZAMusicStream::open(std::move(device), filePath)),
      m_url(QUrl::fromLocalFile(QString::fromLocal8Bit(filePath.c_str())))
{
    if (!m_player)
        return;
    m_player->setFinishedHandler([this] {
        if (m_delegate)
            m_delegate->audioPlayerDidFinishPlaying(this, true);
    });
    qDebug().noquote() << "ZanthAudio::ZAXMacOSXSupport - NSSound allocated for" << m_url.toString();
}

AVAudioPlayer::~AVAudioPlayer() = default;

bool AVAudioPlayer::play()
{
    if (!m_player)
        return false;
    return m_player->play() || m_player->resume();
}

void AVAudioPlayer::pause()
{
    if (m_player)
        m_player->pause();
}

void AVAudioPlayer::stop()
{
    if (m_player)
        m_player->stop();
}

bool AVAudioPlayer::isPlaying() const
{
    return m_player && m_player->isPlaying();
}

float AVAudioPlayer::volume() const
{
    return m_player ? m_player->volume() : 0.0f;
}

void AVAudioPlayer::setVolume(float volume)
{
    if (m_player)
        m_player->setVolume(volume);
}

double AVAudioPlayer::currentTime() const
{
    return m_player ? m_player->currentTime() : 0.0;
}

void AVAudioPlayer::setCurrentTime(double seconds)
{
    if (m_player)
        m_player->setCurrentTime(seconds);
}

double AVAudioPlayer::duration() const
{
    return m_player ? m_player->duration() : 0.0;
}

void AVAudioPlayer::setNumberOfLoops(long long numberOfLoops)
{
    if (m_player)
        m_player->setLoops(numberOfLoops < 0);
}

long long AVAudioPlayer::numberOfLoops() const
{
    return m_player && m_player->loops() ? -1 : 0;
}
