#include "textures/ZTTextureCache.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "ZTScheduler.h"
#include "platform/ZTFileData.h"
#include "platform/ZTFileUtils.h"
#include "platform/ZTImage.h"
#include "textures/ZTTexture2D.h"

namespace zanth2d {

namespace {

ZTTextureCache* g_sharedTextureCache = nullptr;

std::string lowerCase(const char* text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return lower;
}

} // namespace

// Requests go to the loader thread and decoded images come back, each queue under its own mutex.
// The loader touches nothing else: textures, targets and the dictionary stay on the main thread.
struct ZTTextureCache::AsyncLoader
{
    struct Request
    {
        std::string filename;
        ZTObject* target;
        SEL_CallFuncO selector;
    };
    struct Result
    {
        Request request;
        std::unique_ptr<ZTImage> image; // null when the file could not be decoded
    };

    std::mutex requestMutex;
    std::deque<Request> requests;
    std::condition_variable wake;
    bool quit = false;
    std::mutex resultMutex;
    std::deque<Result> results;
    unsigned int pending = 0; // main thread only: requests not yet delivered
    std::thread thread;

    AsyncLoader() : thread([this] { run(); }) {}

    ~AsyncLoader()
    {
        {
            std::lock_guard<std::mutex> lock(requestMutex);
            quit = true;
        }
        wake.notify_one();
        thread.join();
        for (Request& request : requests) {
            ZT_SAFE_RELEASE(request.target);
        }
        for (Result& result : results) {
            ZT_SAFE_RELEASE(result.request.target);
        }
    }

    void run()
    {
        for (;;) {
            Request request;
            {
                std::unique_lock<std::mutex> lock(requestMutex);
                wake.wait(lock, [this] { return quit || !requests.empty(); });
                if (quit) {
                    return;
                }
                request = requests.front();
                requests.pop_front();
            }
            Result result{request, nullptr};
            const std::string& name = request.filename;
            bool jpeg = name.find(".jpg") != std::string::npos || name.find(".jpeg") != std::string::npos;
            bool png = name.find(".png") != std::string::npos || name.find(".PNG") != std::string::npos;
            if (jpeg || png) {
                auto image = std::make_unique<ZTImage>();
                if (image->initWithImageFileThreadSafe(name.c_str(),
                                                       jpeg ? ZTImage::kFmtJpg : ZTImage::kFmtPng)) {
                    result.image = std::move(image);
                }
            }
            std::lock_guard<std::mutex> lock(resultMutex);
            results.push_back(std::move(result));
        }
    }
};

ZTTextureCache::ZTTextureCache() : m_pTextures(new ZTMutableDictionary<std::string, ZTTexture2D*>())
{
    ZTAssert(g_sharedTextureCache == nullptr, "g_sharedTextureCache == __null");
}

ZTTextureCache::~ZTTextureCache()
{
    m_pLoader.reset();
    m_pTextures->release();
}

ZTTextureCache* ZTTextureCache::sharedTextureCache()
{
    if (!g_sharedTextureCache) {
        g_sharedTextureCache = new ZTTextureCache();
        // The director purges the cache through hooks, so that it needs no texture code itself.
        ZTDirector::setPurgeHook(kZTPurgeTextureCache, &ZTTextureCache::purgeSharedTextureCache);
        ZTDirector::setPurgeHook(kZTRemoveUnusedTextures, [] {
            if (g_sharedTextureCache) {
                g_sharedTextureCache->removeUnusedTextures();
            }
        });
    }
    return g_sharedTextureCache;
}

void ZTTextureCache::purgeSharedTextureCache()
{
    ZT_SAFE_RELEASE_NULL(g_sharedTextureCache);
}

std::string ZTTextureCache::keyFor(const char* path)
{
    std::string key = path;
    ZTFileUtils::ztRemoveHDSuffixFromFile(key);
    return ZTFileUtils::fullPathFromRelativePath(key.c_str());
}

ZTTexture2D* ZTTextureCache::store(ZTTexture2D* texture, const std::string& key)
{
    m_pTextures->setObject(texture, key);
    texture->autorelease();
    return texture;
}

void ZTTextureCache::rememberPath(const char* path, ZTTexture2D* texture, float scaleFactor)
{
    // Callers name a handful of files; a flood of different spellings must not grow without end.
    constexpr size_t kMaxSeenPaths = 4096;
    const auto seen = m_seenPaths.find(std::string_view(path));
    if (seen != m_seenPaths.end()) {
        seen->second.texture = texture;
        seen->second.scaleFactor = scaleFactor;
        return;
    }
    if (m_seenPaths.size() >= kMaxSeenPaths) {
        m_seenPaths.clear();
    }
    auto text = std::make_unique<std::string>(path);
    const std::string_view view = *text;
    m_seenPaths.emplace(view, SeenPath{std::move(text), texture, scaleFactor});
}

ZTTexture2D* ZTTextureCache::addImage(const char* path)
{
    ZTAssert(path != nullptr, "path != __null");
    const float scaleFactor = ZTDirector::sharedDirector()->getContentScaleFactor();
    const auto seen = m_seenPaths.find(std::string_view(path));
    if (seen != m_seenPaths.end() && seen->second.scaleFactor == scaleFactor) {
        return seen->second.texture;
    }
    ZTTexture2D* texture = addImageForKey(path, keyFor(path));
    if (texture) {
        rememberPath(path, texture, scaleFactor);
    }
    return texture;
}

ZTTexture2D* ZTTextureCache::addImageForKey(const char* path, const std::string& key)
{
    if (ZTTexture2D* cached = m_pTextures->objectForKey(key)) {
        return cached;
    }
    if (isPVRFile(path)) {
        return addPVRImage(key.c_str());
    }
    std::string lower = lowerCase(path);
    ZTImage::EImageFormat format =
        (lower.find(".jpg") != std::string::npos || lower.find(".jpeg") != std::string::npos)
            ? ZTImage::kFmtJpg
            : ZTImage::kFmtPng;
    ZTFileData data(key.c_str(), "rb");
    if (!data.getBuffer() || data.getSize() > static_cast<unsigned long>(INT_MAX)) {
        return nullptr;
    }
    ZTImage image;
    if (!image.initWithImageData(data.getBuffer(), static_cast<int>(data.getSize()), format, 0, 0, 8)) {
        return nullptr;
    }
    auto* texture = new ZTTexture2D();
    if (!texture->initWithImage(&image)) {
        texture->release();
        return nullptr;
    }
    return store(texture, key);
}

bool ZTTextureCache::isPVRFile(const char* path)
{
    return lowerCase(path).find(".pvr") != std::string::npos;
}

ZTTexture2D* ZTTextureCache::addPVRImage(const char* path)
{
    ZTAssert(path != nullptr, "path != __null");
    std::string key = path;
    ZTFileUtils::ztRemoveHDSuffixFromFile(key);
    if (ZTTexture2D* cached = m_pTextures->objectForKey(key)) {
        return cached;
    }
    auto* texture = new ZTTexture2D();
    if (!texture->initWithPVRFile(ZTFileUtils::fullPathFromRelativePath(key.c_str()))) {
        texture->release();
        return nullptr;
    }
    return store(texture, key);
}

ZTTexture2D* ZTTextureCache::addUIImage(ZTImage* image, const char* key)
{
    ZTAssert(image != nullptr, "image != __null");
    std::string fullKey;
    if (key) {
        fullKey = ZTFileUtils::fullPathFromRelativePath(key);
        if (ZTTexture2D* cached = m_pTextures->objectForKey(fullKey)) {
            return cached;
        }
    }
    auto* texture = new ZTTexture2D();
    if (!texture->initWithImage(image)) {
        texture->release();
        return nullptr;
    }
    return key ? store(texture, fullKey) : texture;
}

void ZTTextureCache::addTextureForKey(ZTTexture2D* texture, const char* key)
{
    ZTAssert(texture != nullptr && key != nullptr, "texture != __null && key != __null");
    store(texture, ZTFileUtils::fullPathFromRelativePath(key));
}

ZTTexture2D* ZTTextureCache::textureForKey(const char* key)
{
    return key ? m_pTextures->objectForKey(ZTFileUtils::fullPathFromRelativePath(key)) : nullptr;
}

void ZTTextureCache::removeAllTextures()
{
    m_seenPaths.clear();
    m_pTextures->removeAllObjects();
}

void ZTTextureCache::removeUnusedTextures()
{
    for (const std::string& key : m_pTextures->allKeys()) {
        ZTTexture2D* texture = m_pTextures->objectForKey(key);
        if (texture && texture->retainCount() == 1) {
            m_seenPaths.clear();
            m_pTextures->removeObjectForKey(key);
        }
    }
}

void ZTTextureCache::removeTexture(ZTTexture2D* texture)
{
    if (!texture) {
        return;
    }
    m_seenPaths.clear();
    for (const std::string& key : m_pTextures->allKeysForObject(texture)) {
        m_pTextures->removeObjectForKey(key);
    }
}

void ZTTextureCache::removeTextureForKey(const char* textureKeyName)
{
    if (textureKeyName) {
        m_seenPaths.clear();
        m_pTextures->removeObjectForKey(ZTFileUtils::fullPathFromRelativePath(textureKeyName));
    }
}

void ZTTextureCache::addImageAsync(const char* path, ZTObject* target, SEL_CallFuncO selector)
{
    ZTAssert(path != nullptr, "path != __null");
    std::string key = keyFor(path);
    if (ZTTexture2D* cached = m_pTextures->objectForKey(key)) {
        if (target && selector) {
            (target->*selector)(cached);
        }
        return;
    }
    ZT_SAFE_RETAIN(target);
    if (!m_pLoader) {
        m_pLoader = std::make_unique<AsyncLoader>();
    }
    if (m_pLoader->pending++ == 0) {
        ZTScheduler::sharedScheduler()->scheduleSelector(
            schedule_selector(ZTTextureCache::addImageAsyncCallBack), this, 0, false);
    }
    {
        std::lock_guard<std::mutex> lock(m_pLoader->requestMutex);
        m_pLoader->requests.push_back(AsyncLoader::Request{key, target, selector});
    }
    m_pLoader->wake.notify_one();
}

void ZTTextureCache::addImageAsyncCallBack(float)
{
    AsyncLoader::Result result;
    {
        std::lock_guard<std::mutex> lock(m_pLoader->resultMutex);
        if (m_pLoader->results.empty()) {
            return;
        }
        result = std::move(m_pLoader->results.front());
        m_pLoader->results.pop_front();
    }
    AsyncLoader::Request& request = result.request;
    if (result.image) {
        ZTTexture2D* texture = m_pTextures->objectForKey(request.filename);
        if (!texture) {
            texture = new ZTTexture2D();
            if (texture->initWithImage(result.image.get())) {
                store(texture, request.filename);
            } else {
                texture->release();
                texture = nullptr;
            }
        }
        if (texture && request.target && request.selector) {
            (request.target->*request.selector)(texture);
        }
    }
    ZT_SAFE_RELEASE(request.target);
    if (--m_pLoader->pending == 0) {
        // The scheduler holds the cache while it is scheduled; let go once nothing is pending.
        ZTScheduler::sharedScheduler()->unscheduleSelector(
            schedule_selector(ZTTextureCache::addImageAsyncCallBack), this);
    }
}

void ZTTextureCache::reloadAllTextures() {}

char* ZTTextureCache::description()
{
    char* text = new char[100];
    std::snprintf(text, 100, "<ZTTextureCache | Number of textures = %u>", m_pTextures->count());
    return text;
}

} // namespace zanth2d
