#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class ZASoundEngine;

// Maps effect file paths, exactly as given, to the engine's sound ids, loading a file on first use.
// Ids of released files are reused. Main thread only.
class ZABufferManager
{
public:
    // The engine is not owned; once it is gone every file answers -1.
    explicit ZABufferManager(std::weak_ptr<ZASoundEngine> soundEngine);

    // The file's sound id; a file not loaded yet is loaded when create is set. -1 when it is not loaded
    // (or fails to load, which frees its id again).
    int bufferForFile(const std::string& filePath, bool create);
    // Unloads the file's buffer and frees its id.
    void releaseBufferForFile(const std::string& filePath);

private:
    std::weak_ptr<ZASoundEngine> m_soundEngine;
    std::map<std::string, int> m_loadedBuffers;
    std::vector<int> m_freedBuffers;
    int m_nextBufferId = 0;
};
