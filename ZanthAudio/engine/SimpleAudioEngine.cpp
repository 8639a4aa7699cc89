#include "engine/SimpleAudioEngine.h"

#include "engine/ZAAudioDecoding.h"
#include "engine/ZAAudioManager.h"
#include "engine/ZABufferManager.h"
#include "engine/ZAConstants.h"
#include "engine/ZASoundEngine.h"
#include "engine/ZASoundSource.h"
#include "engine/ZAUtilities.h"

#include <QtGlobal>

#include <mutex>

SimpleAudioEngine* SimpleAudioEngine::s_sharedEngine = nullptr;
ZAAudioManager* SimpleAudioEngine::s_am = nullptr;
ZASoundEngine* SimpleAudioEngine::s_soundEngine = nullptr;
std::unique_ptr<ZABufferManager> SimpleAudioEngine::s_bufferManager;

namespace {
// Recursive: building the singleton runs code that may ask for it again.
std::recursive_mutex& classLock()
{
    static std::recursive_mutex lock;
    return lock;
}
} // namespace

SimpleAudioEngine* SimpleAudioEngine::sharedEngine()
{
    std::lock_guard<std::recursive_mutex> lock(classLock());
    if (!s_sharedEngine)
        s_sharedEngine = new SimpleAudioEngine();
    return s_sharedEngine;
}

bool SimpleAudioEngine::hasSharedEngine()
{
    std::lock_guard<std::recursive_mutex> lock(classLock());
    return s_sharedEngine != nullptr;
}

SimpleAudioEngine::SimpleAudioEngine()
{
    Q_ASSERT_X(!s_sharedEngine, "SimpleAudioEngine",
               "Attempted to allocate a second instance of a singleton.");
    s_am = ZAAudioManager::sharedManager();
    s_soundEngine = s_am->soundEngine();
    s_bufferManager = std::make_unique<ZABufferManager>(s_am->sharedSoundEngine());
}

SimpleAudioEngine::~SimpleAudioEngine() = default;

void SimpleAudioEngine::end()
{
    std::lock_guard<std::recursive_mutex> lock(classLock());
    s_am = nullptr;
    s_soundEngine = nullptr;
    ZAAudioManager::end();
    s_bufferManager.reset();
    delete s_sharedEngine;
    s_sharedEngine = nullptr;
}

bool SimpleAudioEngine::preloadBackgroundMusic(const std::string& filePath)
{
    return s_am->preloadBackgroundMusic(filePath);
}

void SimpleAudioEngine::playBackgroundMusic(const std::string& filePath)
{
    s_am->playBackgroundMusic(filePath, true);
}

void SimpleAudioEngine::playBackgroundMusic(const std::string& filePath, bool loop)
{
    s_am->playBackgroundMusic(filePath, loop);
}

void SimpleAudioEngine::stopBackgroundMusic()
{
    s_am->stopBackgroundMusic();
}

void SimpleAudioEngine::pauseBackgroundMusic()
{
    s_am->pauseBackgroundMusic();
}

void SimpleAudioEngine::resumeBackgroundMusic()
{
    s_am->resumeBackgroundMusic();
}

void SimpleAudioEngine::rewindBackgroundMusic()
{
    s_am->rewindBackgroundMusic();
}

bool SimpleAudioEngine::isBackgroundMusicPlaying() const
{
    return s_am->isBackgroundMusicPlaying();
}

bool SimpleAudioEngine::willPlayBackgroundMusic() const
{
    return s_am->willPlayBackgroundMusic();
}

ALuint SimpleAudioEngine::playEffect(const std::string& filePath, bool loop)
{
    return playEffect(filePath, loop, kZA_PitchDefault, kZA_PanDefault, kZA_GainDefault);
}

ALuint SimpleAudioEngine::playEffect(const std::string& filePath, bool loop, float pitch, float pan,
                                     float gain)
{
    const int soundId = s_bufferManager->bufferForFile(filePath, true);
    if (soundId == -1)
        return kZA_NothingPlayed;
    return s_soundEngine->playSound(soundId, 0, pitch, pan, gain, loop);
}

void SimpleAudioEngine::stopEffect(ALuint soundId)
{
    s_soundEngine->stopSound(soundId);
}

void SimpleAudioEngine::pauseEffect(ALuint soundId)
{
    s_soundEngine->pauseSound(soundId);
}

void SimpleAudioEngine::resumeEffect(ALuint soundId)
{
    s_soundEngine->resumeSound(soundId);
}

unsigned SimpleAudioEngine::effectPlayCount(ALuint soundId) const
{
    return s_soundEngine->sourcePlayCount(soundId);
}

bool SimpleAudioEngine::preloadEffect(const std::string& filePath)
{
    // Without a device nothing loads; the answer is then about the file alone.
    if (!s_soundEngine->functioning())
        return !ZAGetOpenALAudioData(ZAUtilities::fullPathFromRelativePath(filePath)).data.empty();
    return s_bufferManager->bufferForFile(filePath, true) != -1;
}

void SimpleAudioEngine::unloadEffect(const std::string& filePath)
{
    s_bufferManager->releaseBufferForFile(filePath);
}

void SimpleAudioEngine::pauseAllEffects()
{
    s_soundEngine->pauseAllSounds();
}

void SimpleAudioEngine::resumeAllEffects()
{
    s_soundEngine->resumeAllSounds();
}

void SimpleAudioEngine::stopAllEffects()
{
    s_soundEngine->stopAllSounds();
}

void SimpleAudioEngine::setMute(bool mute)
{
    if (mute == m_mute)
        return;
    m_mute = mute;
    s_am->setMute(mute);
}

void SimpleAudioEngine::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    s_am->setEnabled(enabled);
}

float SimpleAudioEngine::backgroundMusicVolume() const
{
    return s_am->backgroundMusic()->volume();
}

void SimpleAudioEngine::setBackgroundMusicVolume(float volume)
{
    s_am->backgroundMusic()->setVolume(volume);
}

float SimpleAudioEngine::effectsVolume() const
{
    return s_soundEngine->masterGain();
}

void SimpleAudioEngine::setEffectsVolume(float volume)
{
    s_soundEngine->setMasterGain(volume);
}

std::shared_ptr<ZASoundSource> SimpleAudioEngine::soundSourceForFile(const std::string& filePath)
{
    const int soundId = s_bufferManager->bufferForFile(filePath, true);
    if (soundId == -1)
        return nullptr;
    return s_soundEngine->soundSourceForSound(soundId, 0);
}
