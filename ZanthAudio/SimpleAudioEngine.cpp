#include "SimpleAudioEngine.h"

#include "engine/SimpleAudioEngine.h"

#include <string>

namespace ZanthAudio {

namespace {

SimpleAudioEngine* s_pEngine = nullptr;

// The engine side, built on first use.
::SimpleAudioEngine* engine()
{
    return ::SimpleAudioEngine::sharedEngine();
}

std::string pathText(const char* path)
{
    return path ? std::string(path) : std::string();
}

// Not below 1.0 (a NaN included) becomes 1.0, then below 0.0 becomes 0.0.
float clampVolume(float volume)
{
    if (!(volume < 1.0f))
        return 1.0f;
    return volume < 0.0f ? 0.0f : volume;
}

} // namespace

SimpleAudioEngine* SimpleAudioEngine::sharedEngine()
{
    if (!s_pEngine)
        s_pEngine = new SimpleAudioEngine();
    return s_pEngine;
}

bool SimpleAudioEngine::hasSharedEngine()
{
    return s_pEngine != nullptr;
}

void SimpleAudioEngine::end()
{
    delete s_pEngine;
    s_pEngine = nullptr;
    ::SimpleAudioEngine::end();
}

void SimpleAudioEngine::setResource(const char*) {}

bool SimpleAudioEngine::preloadBackgroundMusic(const char* path)
{
    return engine()->preloadBackgroundMusic(pathText(path));
}

void SimpleAudioEngine::playBackgroundMusic(const char* path, bool loop)
{
    engine()->playBackgroundMusic(pathText(path), loop);
}

void SimpleAudioEngine::stopBackgroundMusic(bool)
{
    engine()->stopBackgroundMusic();
}

void SimpleAudioEngine::pauseBackgroundMusic()
{
    engine()->pauseBackgroundMusic();
}

void SimpleAudioEngine::resumeBackgroundMusic()
{
    engine()->resumeBackgroundMusic();
}

void SimpleAudioEngine::rewindBackgroundMusic()
{
    engine()->rewindBackgroundMusic();
}

bool SimpleAudioEngine::willPlayBackgroundMusic()
{
    return engine()->willPlayBackgroundMusic();
}

bool SimpleAudioEngine::isBackgroundMusicPlaying()
{
    return engine()->isBackgroundMusicPlaying();
}

float SimpleAudioEngine::getBackgroundMusicVolume()
{
    return engine()->backgroundMusicVolume();
}

void SimpleAudioEngine::setBackgroundMusicVolume(float volume)
{
    engine()->setBackgroundMusicVolume(clampVolume(volume));
}

float SimpleAudioEngine::getEffectsVolume()
{
    return engine()->effectsVolume();
}

void SimpleAudioEngine::setEffectsVolume(float volume)
{
    engine()->setEffectsVolume(clampVolume(volume));
}

unsigned int SimpleAudioEngine::playEffect(const char* path, bool loop)
{
    return engine()->playEffect(pathText(path), loop);
}

void SimpleAudioEngine::stopEffect(unsigned int soundId)
{
    engine()->stopEffect(soundId);
}

void SimpleAudioEngine::pauseEffect(unsigned int soundId)
{
    engine()->pauseEffect(soundId);
}

void SimpleAudioEngine::resumeEffect(unsigned int soundId)
{
    engine()->resumeEffect(soundId);
}

unsigned int SimpleAudioEngine::effectPlayCount(unsigned int soundId)
{
    return engine()->effectPlayCount(soundId);
}

bool SimpleAudioEngine::preloadEffect(const char* path)
{
    return engine()->preloadEffect(pathText(path));
}

void SimpleAudioEngine::unloadEffect(const char* path)
{
    engine()->unloadEffect(pathText(path));
}

void SimpleAudioEngine::pauseAllEffects()
{
    engine()->pauseAllEffects();
}

void SimpleAudioEngine::resumeAllEffects()
{
    engine()->resumeAllEffects();
}

void SimpleAudioEngine::stopAllEffects()
{
    engine()->stopAllEffects();
}

} // namespace ZanthAudio
