#include "textures/ZTTextureCache.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

#include "ZTMacros.h"
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
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

} // namespace

ZTTextureCache::ZTTextureCache() : m_pTextures(new ZTMutableDictionary<std::string, ZTTexture2D*>())
{
    ZTAssert(g_sharedTextureCache == nullptr, "g_sharedTextureCache == __null");
}

ZTTextureCache::~ZTTextureCache()
{
    m_pTextures->release();
}

ZTTextureCache* ZTTextureCache::sharedTextureCache()
{
    if (!g_sharedTextureCache) {
        g_sharedTextureCache = new ZTTextureCache();
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

ZTTexture2D* ZTTextureCache::addImage(const char* path)
{
    ZTAssert(path != nullptr, "path != __null");
    std::string key = keyFor(path);
    if (ZTTexture2D* cached = m_pTextures->objectForKey(key)) {
        return cached;
    }
    std::string lower = lowerCase(path);
    if (lower.find(".pvr") != std::string::npos) {
        return addPVRImage(key.c_str());
    }
    ZTImage::EImageFormat format = (lower.find(".jpg") != std::string::npos || lower.find(".jpeg") != std::string::npos)
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
    m_pTextures->removeAllObjects();
}

void ZTTextureCache::removeUnusedTextures()
{
    for (const std::string& key : m_pTextures->allKeys()) {
        ZTTexture2D* texture = m_pTextures->objectForKey(key);
        if (texture && texture->retainCount() == 1) {
            m_pTextures->removeObjectForKey(key);
        }
    }
}

void ZTTextureCache::removeTexture(ZTTexture2D* texture)
{
    if (!texture) {
        return;
    }
    for (const std::string& key : m_pTextures->allKeysForObject(texture)) {
        m_pTextures->removeObjectForKey(key);
    }
}

void ZTTextureCache::removeTextureForKey(const char* textureKeyName)
{
    if (textureKeyName) {
        m_pTextures->removeObjectForKey(ZTFileUtils::fullPathFromRelativePath(textureKeyName));
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
