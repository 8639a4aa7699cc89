#include "engine/ZABufferManager.h"

#include "engine/ZASoundEngine.h"

ZABufferManager::ZABufferManager(std::weak_ptr<ZASoundEngine> soundEngine)
    : m_soundEngine(std::move(soundEngine))
{
}

int ZABufferManager::bufferForFile(const std::string& filePath, bool create)
{
    const auto loaded = m_loadedBuffers.find(filePath);
    if (loaded != m_loadedBuffers.end())
        return loaded->second;
    auto engine = m_soundEngine.lock();
    if (!create || !engine)
        return -1;
    int soundId;
    if (!m_freedBuffers.empty()) {
        soundId = m_freedBuffers.back();
        m_freedBuffers.pop_back();
    } else {
        soundId = m_nextBufferId++;
    }
    if (!engine->loadBuffer(soundId, filePath)) {
        m_freedBuffers.push_back(soundId);
        return -1;
    }
    m_loadedBuffers.emplace(filePath, soundId);
    return soundId;
}

void ZABufferManager::releaseBufferForFile(const std::string& filePath)
{
    const int soundId = bufferForFile(filePath, false);
    if (soundId == -1)
        return;
    if (auto engine = m_soundEngine.lock())
        engine->unloadBuffer(soundId);
    m_loadedBuffers.erase(filePath);
    m_freedBuffers.push_back(soundId);
}
