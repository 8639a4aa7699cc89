#include "engine/ZALongAudioSource.h"

#include "engine/ZAMusicStream.h"
#include "engine/ZAOpenALDevice.h"
#include "engine/ZAUtilities.h"

#include <algorithm>

ZALongAudioSource::ZALongAudioSource(std::shared_ptr<ZAOpenALDevice> device, bool backgroundMusic)
    : m_device(std::move(device)), m_backgroundMusic(backgroundMusic)
{
}

ZALongAudioSource::~ZALongAudioSource() = default;

void ZALongAudioSource::load(const std::string& filePath)
{
    if (m_state != 0 && filePath == m_audioSourceFilePath) {
        pause();
        rewind();
    } else {
        m_audioSourcePlayer.reset();
        m_audioSourceFilePath = filePath;
        const std::string fullPath = ZAUtilities::fullPathFromRelativePath(filePath);
        m_audioSourcePlayer = std::make_unique<AVAudioPlayer>(m_device, fullPath);
        m_audioSourcePlayer->prepareToPlay();
        m_audioSourcePlayer->setDelegate(this);
        if (m_delegate)
            m_delegate->zaAudioSourceFileDidChange(this);
    }
    // A muted channel stays silent with its new file.
    m_audioSourcePlayer->setVolume(m_mute ? 0.0f : m_volume);
    m_audioSourcePlayer->setNumberOfLoops(m_numberOfLoops);
    m_state = 1;
}

void ZALongAudioSource::play()
{
    if (!m_enabled || !m_audioSourcePlayer)
        return;
    m_systemPaused = false;
    m_audioSourcePlayer->play();
}

void ZALongAudioSource::resume()
{
    if (m_audioSourcePlayer)
        m_audioSourcePlayer->play();
}

void ZALongAudioSource::stop()
{
    if (m_audioSourcePlayer)
        m_audioSourcePlayer->stop();
}

void ZALongAudioSource::pause()
{
    if (m_audioSourcePlayer)
        m_audioSourcePlayer->pause();
}

void ZALongAudioSource::rewind()
{
    if (m_audioSourcePlayer)
        m_audioSourcePlayer->setCurrentTime(0.0);
}

bool ZALongAudioSource::isPlaying() const
{
    return m_state != 0 && m_audioSourcePlayer->isPlaying();
}

bool ZALongAudioSource::isPlayable() const
{
    return m_audioSourcePlayer && m_audioSourcePlayer->sound();
}

void ZALongAudioSource::setVolume(float volume)
{
    m_volume = std::min(ZAUtilities::validGain(volume), 1.0f);
    if (m_state != 0 && !m_mute)
        m_audioSourcePlayer->setVolume(m_volume);
}

void ZALongAudioSource::setMute(bool mute)
{
    if (mute == m_mute)
        return;
    if (m_audioSourcePlayer)
        m_audioSourcePlayer->setVolume(mute ? 0.0f : m_volume);
    m_mute = mute;
}

void ZALongAudioSource::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (!enabled) {
        pause();
        rewind();
    }
}

void ZALongAudioSource::setNumberOfLoops(long long numberOfLoops)
{
    if (m_audioSourcePlayer)
        m_audioSourcePlayer->setNumberOfLoops(numberOfLoops);
    m_numberOfLoops = numberOfLoops;
}

void ZALongAudioSource::audioPlayerDidFinishPlaying(AVAudioPlayer*, bool)
{
    if (m_delegate)
        m_delegate->zaAudioSourceDidFinishPlaying(this);
}
