#pragma once

#include <QRunnable>

#include <string>
#include <vector>

class ZASoundEngine;

// One sound to load in the background: the file goes into the buffer of that sound id.
struct ZABufferLoadRequest
{
    int soundId;
    std::string filePath;
};

// Loads its requests in order on a thread of the global pool, advancing the engine's load progress
// after each, then sets it to 1.0 and posts kZAN_AsynchLoadComplete on the main thread. Failures are
// not reported. The engine waits for its loaders before it goes.
class ZAAsynchBufferLoader : public QRunnable
{
public:
    ZAAsynchBufferLoader(std::vector<ZABufferLoadRequest> loadRequests, ZASoundEngine* soundEngine);
    void run() override;

private:
    std::vector<ZABufferLoadRequest> m_loadRequests;
    ZASoundEngine* m_soundEngine;
};
