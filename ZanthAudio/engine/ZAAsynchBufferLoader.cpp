#include "engine/ZAAsynchBufferLoader.h"

#include "engine/ZAConstants.h"
#include "engine/ZANotificationCenter.h"
#include "engine/ZASoundEngine.h"

#include <QCoreApplication>

ZAAsynchBufferLoader::ZAAsynchBufferLoader(std::vector<ZABufferLoadRequest> loadRequests,
                                           ZASoundEngine* soundEngine)
    : m_loadRequests(std::move(loadRequests)), m_soundEngine(soundEngine)
{
}

void ZAAsynchBufferLoader::run()
{
    m_soundEngine->setAsynchLoadProgress(0.0f);
    if (!m_loadRequests.empty()) {
        const float step = 1.0f / static_cast<float>(m_loadRequests.size());
        for (const ZABufferLoadRequest& request : m_loadRequests) {
            m_soundEngine->loadBuffer(request.soundId, request.filePath);
            m_soundEngine->setAsynchLoadProgress(m_soundEngine->asynchLoadProgress() + step);
        }
    }
    m_soundEngine->setAsynchLoadProgress(1.0f);
    const auto postComplete = [] {
        ZANotificationCenter::defaultCenter().postNotification(kZAN_AsynchLoadComplete);
    };
    if (QCoreApplication* application = QCoreApplication::instance())
        QMetaObject::invokeMethod(application, postComplete, Qt::QueuedConnection);
    else
        postComplete();
    m_soundEngine->asynchLoaderFinished();
}
