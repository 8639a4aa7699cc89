#include "engine/ZAAudioManager.h"

#include "engine/ZAConstants.h"
#include "engine/ZANotificationCenter.h"
#include "engine/ZASoundEngine.h"

#include <AL/alc.h>

#include <QThreadPool>

std::recursive_mutex ZAAudioManager::s_classLock;
ZAAudioManager* ZAAudioManager::s_sharedManager = nullptr;
ZAAudioManager::State ZAAudioManager::s_sharedManagerState = ZAAudioManager::kStateUninitialised;
bool ZAAudioManager::s_configured = false;
int ZAAudioManager::s_configuredMode = kZAModeEffectsAndMusicUnlessOtherAudio;

// The class lock is recursive: a handler of the initialised notification may ask for the manager again.
using ClassLock = std::lock_guard<std::recursive_mutex>;

ZAAudioManager* ZAAudioManager::sharedManager()
{
    ClassLock lock(s_classLock);
    if (!s_sharedManager) {
        if (!s_configured)
            s_configuredMode = kZAModeEffectsAndMusicUnlessOtherAudio;
        s_sharedManager = new ZAAudioManager(s_configuredMode);
        s_sharedManagerState = kStateInitialised;
        ZANotificationCenter::defaultCenter().postNotification(kZAN_AudioManagerInitialised);
    }
    return s_sharedManager;
}

ZAAudioManager::State ZAAudioManager::sharedManagerState()
{
    ClassLock lock(s_classLock);
    return s_sharedManagerState;
}

void ZAAudioManager::configure(int mode)
{
    ClassLock lock(s_classLock);
    s_configuredMode = mode;
    s_configured = true;
}

void ZAAudioManager::initAsynchronously(int mode)
{
    ClassLock lock(s_classLock);
    if (s_sharedManagerState != kStateUninitialised)
        return;
    s_sharedManagerState = kStateInitialising;
    configure(mode);
    QThreadPool::globalInstance()->start([] { sharedManager(); });
}

void ZAAudioManager::end()
{
    ClassLock lock(s_classLock);
    delete s_sharedManager;
    s_sharedManager = nullptr;
}

ZAAudioManager::ZAAudioManager(int mode)
{
    setMode(mode);
    m_soundEngine = ZASoundEngine::create();
    m_audioSourceChannels.push_back(std::make_shared<ZALongAudioSource>(m_soundEngine->device(), true));
    m_audioSourceChannels.push_back(std::make_shared<ZALongAudioSource>(m_soundEngine->device(), false));
    m_backgroundMusic = m_audioSourceChannels[kBackgroundMusicChannel].get();
    m_backgroundMusic->setDelegate(this);
    ZANotificationCenter::defaultCenter().addObserver(this, kZAN_BadAlContext,
                                                      [this] { badAlContextHandler(); });
}

ZAAudioManager::~ZAAudioManager()
{
    stopBackgroundMusic();
    ZANotificationCenter::defaultCenter().removeObserver(this);
    audioSessionSetActive(false);
    // The music streams stop their feeders and leave the music context before the effect engine lets
    // the device close.
    m_backgroundMusic->setDelegate(nullptr);
    m_backgroundMusic = nullptr;
    m_audioSourceChannels.clear();
    m_soundEngine.reset();
}

void ZAAudioManager::setMode(int mode)
{
    m_mode = mode;
    switch (mode) {
    case kZAModeEffectsOnly:
        m_audioSessionCategory = AVAudioSessionCategoryAmbient;
        m_willPlayBackgroundMusic = false;
        break;
    case kZAModeEffectsAndMusic:
        m_audioSessionCategory = AVAudioSessionCategorySoloAmbient;
        m_willPlayBackgroundMusic = true;
        break;
    case kZAModeMediaPlayback:
        m_audioSessionCategory = AVAudioSessionCategoryPlayback;
        m_willPlayBackgroundMusic = true;
        break;
    case kZAModePlayAndRecord:
        m_audioSessionCategory = AVAudioSessionCategoryPlayAndRecord;
        m_willPlayBackgroundMusic = true;
        break;
    default:
        if (isOtherAudioPlaying()) {
            m_audioSessionCategory = AVAudioSessionCategoryAmbient;
            m_willPlayBackgroundMusic = false;
        } else {
            m_audioSessionCategory = AVAudioSessionCategorySoloAmbient;
            m_willPlayBackgroundMusic = true;
        }
        break;
    }
    audioSessionSetCategory(m_audioSessionCategory);
}

bool ZAAudioManager::audioSessionSetActive(bool)
{
    return false;
}

bool ZAAudioManager::audioSessionSetCategory(const std::string&)
{
    return false;
}

bool ZAAudioManager::isOtherAudioPlaying() const
{
    return false;
}

bool ZAAudioManager::isDeviceMuted() const
{
    return true;
}

std::shared_ptr<ZALongAudioSource> ZAAudioManager::audioSourceForChannel(int channel) const
{
    if (channel < 0 || channel >= static_cast<int>(m_audioSourceChannels.size()))
        return nullptr;
    return m_audioSourceChannels[channel];
}

std::shared_ptr<ZALongAudioSource> ZAAudioManager::audioSourceLoad(const std::string& filePath, int channel)
{
    std::shared_ptr<ZALongAudioSource> source = audioSourceForChannel(channel);
    if (source)
        source->load(filePath);
    return source;
}

bool ZAAudioManager::preloadBackgroundMusic(const std::string& filePath)
{
    m_backgroundMusic->load(filePath);
    return m_backgroundMusic->isPlayable();
}

void ZAAudioManager::playBackgroundMusic(const std::string& filePath, bool loop)
{
    m_backgroundMusic->load(filePath);
    if (!m_willPlayBackgroundMusic || m_mute)
        return;
    m_backgroundMusic->setNumberOfLoops(loop ? -1 : 0);
    m_backgroundMusic->play();
}

void ZAAudioManager::stopBackgroundMusic()
{
    m_backgroundMusic->stop();
}

void ZAAudioManager::pauseBackgroundMusic()
{
    m_backgroundMusic->pause();
}

void ZAAudioManager::resumeBackgroundMusic()
{
    if (m_willPlayBackgroundMusic && !m_mute)
        m_backgroundMusic->resume();
}

void ZAAudioManager::rewindBackgroundMusic()
{
    m_backgroundMusic->rewind();
}

bool ZAAudioManager::isBackgroundMusicPlaying() const
{
    return m_backgroundMusic->isPlaying();
}

void ZAAudioManager::setBackgroundMusicCompletionListener(std::function<void()> listener)
{
    m_backgroundMusicCompletionListener = std::move(listener);
}

void ZAAudioManager::zaAudioSourceDidFinishPlaying(ZALongAudioSource*)
{
    if (m_backgroundMusicCompletionListener)
        m_backgroundMusicCompletionListener();
}

void ZAAudioManager::setMute(bool mute)
{
    if (mute == m_mute)
        return;
    m_mute = mute;
    m_soundEngine->setMute(mute);
    for (const auto& channel : m_audioSourceChannels)
        channel->setMute(mute);
}

void ZAAudioManager::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_soundEngine->setEnabled(enabled);
    for (const auto& channel : m_audioSourceChannels)
        channel->setEnabled(enabled);
}

void ZAAudioManager::setResignBehavior(int behavior, bool autoHandle)
{
    if (!m_isObservingAppEvents && autoHandle) {
        ZANotificationCenter& center = ZANotificationCenter::defaultCenter();
        center.addObserver(this, UIApplicationWillResignActiveNotification,
                           [this] { applicationWillResignActive(); });
        center.addObserver(this, UIApplicationDidBecomeActiveNotification,
                           [this] { applicationDidBecomeActive(); });
        center.addObserver(this, UIApplicationWillTerminateNotification,
                           [this] { applicationWillTerminate(); });
        m_isObservingAppEvents = true;
    }
    m_resignBehavior = behavior;
}

void ZAAudioManager::applicationWillResignActive()
{
    m_resigned = true;
    audioSessionSetCategory(AVAudioSessionCategoryAmbient);
    if (m_resignBehavior == kZAResignStop) {
        for (const auto& channel : m_audioSourceChannels)
            channel->stop();
    } else if (m_resignBehavior == kZAResignStopAndResume) {
        for (const auto& channel : m_audioSourceChannels) {
            const bool playing = channel->isPlaying();
            channel->setSystemPaused(playing);
            if (playing)
                channel->setSystemPauseLocation(channel->audioSourcePlayer()->currentTime());
            channel->stop();
        }
    }
}

void ZAAudioManager::applicationDidBecomeActive()
{
    if (!m_resigned)
        return;
    m_resigned = false;
    setMode(m_mode);
    if (m_resignBehavior != kZAResignStopAndResume || !m_willPlayBackgroundMusic)
        return;
    for (const auto& channel : m_audioSourceChannels) {
        if (channel->systemPaused()) {
            channel->resume();
            channel->setSystemPaused(false);
        }
    }
}

void ZAAudioManager::applicationWillTerminate()
{
    stopBackgroundMusic();
}

void ZAAudioManager::beginInterruption()
{
    audioSessionInterrupted();
}

void ZAAudioManager::endInterruption()
{
    audioSessionResumed();
}

void ZAAudioManager::audioSessionInterrupted()
{
    if (m_interrupted)
        return;
    m_interrupted = true;
    audioSessionSetActive(false);
    if (alcGetCurrentContext()) {
        alcMakeContextCurrent(nullptr);
        alcGetError(nullptr);
    }
}

void ZAAudioManager::audioSessionResumed()
{
    if (!m_interrupted)
        return;
    m_interrupted = false;
    // There is no audio session on the desktop to wait for: activating it is asked once, not retried.
    audioSessionSetActive(true);
    if (!alcGetCurrentContext()) {
        alcMakeContextCurrent(m_soundEngine->openALContext());
        alcGetError(nullptr);
    }
}

void ZAAudioManager::badAlContextHandler()
{
    if (m_interrupted && !alcGetCurrentContext())
        audioSessionResumed();
}
