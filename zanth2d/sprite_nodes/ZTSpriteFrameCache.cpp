#include "sprite_nodes/ZTSpriteFrameCache.h"

#include <cmath>
#include <cstdlib>

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "cocoa/ZTGeometryFromString.h"
#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTString.h"
#include "platform/ZTFileUtils.h"
#include "platform/ZTCommon.h"
#include "sprite_nodes/ZTSpriteFrame.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

namespace zanth2d {

namespace {

ZTSpriteFrameCache* s_pSharedSpriteFrameCache = nullptr;

using PropertyList = ZTSpriteFrameCache::PropertyList;

// The text of a leaf; "" for a missing key or a container, which atoi/atof and the brace readers read as 0.
const char* valueText(PropertyList* dict, const char* key)
{
    auto* pString = dynamic_cast<ZTString*>(dict->objectForKey(key));
    return pString ? pString->getCString() : "";
}

PropertyList* subDictionary(PropertyList* dict, const char* key)
{
    return dynamic_cast<PropertyList*>(dict->objectForKey(key));
}

ZTRect makeRect(float x, float y, float width, float height)
{
    ZTRect rect;
    rect.origin = ZTPoint(x, y);
    rect.size = ZTSize(width, height);
    return rect;
}

// The texture beside the list: everything from the last "." of the list's path replaced by ".png".
std::string defaultTexturePath(const std::string& plistPath)
{
    const size_t dot = plistPath.find_last_of('.');
    const size_t slash = plistPath.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return plistPath + ".png";
    }
    return plistPath.substr(0, dot) + ".png";
}

void purgeHook()
{
    ZTSpriteFrameCache::purgeSharedSpriteFrameCache();
}

} // namespace

ZTSpriteFrameCache* ZTSpriteFrameCache::sharedSpriteFrameCache()
{
    if (!s_pSharedSpriteFrameCache) {
        s_pSharedSpriteFrameCache = new ZTSpriteFrameCache();
        s_pSharedSpriteFrameCache->init();
        ZTDirector::setPurgeHook(kZTPurgeSpriteFrameCache, purgeHook);
    }
    return s_pSharedSpriteFrameCache;
}

void ZTSpriteFrameCache::purgeSharedSpriteFrameCache()
{
    ZT_SAFE_RELEASE_NULL(s_pSharedSpriteFrameCache);
}

ZTSpriteFrameCache::~ZTSpriteFrameCache()
{
    ZT_SAFE_RELEASE(m_pSpriteFrames);
    ZT_SAFE_RELEASE(m_pSpriteFramesAliases);
}

bool ZTSpriteFrameCache::init()
{
    ZT_SAFE_RELEASE(m_pSpriteFrames);
    ZT_SAFE_RELEASE(m_pSpriteFramesAliases);
    m_pSpriteFrames = new FrameDictionary();
    m_pSpriteFramesAliases = new ZTMutableDictionary<std::string, ZTString*>();
    return true;
}

void ZTSpriteFrameCache::addSpriteFramesWithDictionary(PropertyList* dictionary, ZTTexture2D* pobTexture)
{
    PropertyList* metadata = subDictionary(dictionary, "metadata");
    PropertyList* frames = subDictionary(dictionary, "frames");
    const int format = metadata ? std::atoi(valueText(metadata, "format")) : 0;
    if (format < 0 || format > 3) {
        ZTLog("ZTSpriteFrameCache: ERROR: unsupported sprite sheet format %d\n", format);
        return;
    }
    if (!frames) {
        return;
    }

    for (const auto& entry : *frames) {
        const std::string& frameName = entry.first;
        auto* frameDict = dynamic_cast<PropertyList*>(entry.second);
        if (!frameDict || m_pSpriteFrames->objectForKey(frameName)) {
            continue;
        }

        ZTRect rect;
        bool rotated = false;
        ZTPoint offset;
        ZTSize originalSize;
        if (format == 0) {
            rect = makeRect(static_cast<float>(std::atof(valueText(frameDict, "x"))),
                            static_cast<float>(std::atof(valueText(frameDict, "y"))),
                            static_cast<float>(std::atof(valueText(frameDict, "width"))),
                            static_cast<float>(std::atof(valueText(frameDict, "height"))));
            offset = ZTPoint(static_cast<float>(std::atof(valueText(frameDict, "offsetX"))),
                             static_cast<float>(std::atof(valueText(frameDict, "offsetY"))));
            const int originalWidth = std::atoi(valueText(frameDict, "originalWidth"));
            const int originalHeight = std::atoi(valueText(frameDict, "originalHeight"));
            originalSize = ZTSize(static_cast<float>(std::abs(originalWidth)), static_cast<float>(std::abs(originalHeight)));
        } else if (format == 1 || format == 2) {
            rect = ZTRectFromString(valueText(frameDict, "frame"));
            rotated = format == 2 && std::atoi(valueText(frameDict, "rotated")) != 0;
            offset = ZTPointFromString(valueText(frameDict, "offset"));
            originalSize = ZTSizeFromString(valueText(frameDict, "sourceSize"));
        } else {
            const ZTSize spriteSize = ZTSizeFromString(valueText(frameDict, "spriteSize"));
            const ZTRect textureRect = ZTRectFromString(valueText(frameDict, "textureRect"));
            rect = makeRect(textureRect.origin.x, textureRect.origin.y, spriteSize.width, spriteSize.height);
            rotated = std::atoi(valueText(frameDict, "textureRotated")) != 0;
            offset = ZTPointFromString(valueText(frameDict, "spriteOffset"));
            originalSize = ZTSizeFromString(valueText(frameDict, "spriteSourceSize"));
            if (auto* aliases = dynamic_cast<ZTMutableArray<ZTObject*>*>(frameDict->objectForKey("aliases"))) {
                for (ZTObject* pAlias : *aliases) {
                    if (auto* pAliasName = dynamic_cast<ZTString*>(pAlias)) {
                        m_pSpriteFramesAliases->setObject(ZTString::stringWithString(frameName),
                                                          pAliasName->getString());
                    }
                }
            }
        }

        if (!(rect.size.width >= 0 && rect.size.height >= 0)) {
            ZTLog("ZTSpriteFrameCache: ERROR: frame %s has a negative size\n", frameName.c_str());
            continue;
        }
        auto* pFrame = new ZTSpriteFrame();
        pFrame->initWithTexture(pobTexture, rect, rotated, offset, originalSize);
        m_pSpriteFrames->setObject(pFrame, frameName);
        pFrame->release();
    }
}

void ZTSpriteFrameCache::addSpriteFramesWithFile(const char* pszPlist, ZTTexture2D* pobTexture)
{
    const char* pszPath = ZTFileUtils::fullPathFromRelativePath(pszPlist);
    PropertyList* dict = ZTFileUtils::dictionaryWithContentsOfFileThreadSafe(pszPath);
    if (!dict) {
        return;
    }
    addSpriteFramesWithDictionary(dict, pobTexture);
    dict->release();
}

void ZTSpriteFrameCache::addSpriteFramesWithFile(const char* pszPlist, const char* textureFileName)
{
    ZTAssert(textureFileName, "textureFileName");
    ZTTexture2D* pTexture = ZTTextureCache::sharedTextureCache()->addImage(textureFileName);
    if (pTexture) {
        addSpriteFramesWithFile(pszPlist, pTexture);
    } else {
        ZTLog("ZTSpriteFrameCache: ERROR: could not load texture %s\n", textureFileName);
    }
}

void ZTSpriteFrameCache::addSpriteFramesWithFile(const char* pszPlist)
{
    const std::string plistPath = ZTFileUtils::fullPathFromRelativePath(pszPlist);
    PropertyList* dict = ZTFileUtils::dictionaryWithContentsOfFileThreadSafe(plistPath.c_str());
    if (!dict) {
        return;
    }

    std::string texturePath;
    if (PropertyList* metadata = subDictionary(dict, "metadata")) {
        const std::string textureFileName = valueText(metadata, "textureFileName");
        if (!textureFileName.empty()) {
            texturePath = ZTFileUtils::fullPathFromRelativeFile(textureFileName.c_str(), plistPath.c_str());
        }
    }
    if (texturePath.empty()) {
        texturePath = defaultTexturePath(plistPath);
    }

    if (ZTTexture2D* pTexture = ZTTextureCache::sharedTextureCache()->addImage(texturePath.c_str())) {
        addSpriteFramesWithDictionary(dict, pTexture);
    } else {
        ZTLog("ZTSpriteFrameCache: ERROR: could not load texture %s\n", texturePath.c_str());
    }
    dict->release();
}

void ZTSpriteFrameCache::addSpriteFrame(ZTSpriteFrame* pobFrame, const char* pszFrameName)
{
    m_pSpriteFrames->setObject(pobFrame, pszFrameName);
}

ZTSpriteFrame* ZTSpriteFrameCache::spriteFrameByName(const char* pszName)
{
    if (!pszName) {
        return nullptr;
    }
    if (ZTSpriteFrame* pFrame = m_pSpriteFrames->objectForKey(pszName)) {
        return pFrame;
    }
    if (ZTString* pFrameName = m_pSpriteFramesAliases->objectForKey(pszName)) {
        return m_pSpriteFrames->objectForKey(pFrameName->getString());
    }
    return nullptr;
}

void ZTSpriteFrameCache::removeSpriteFrames()
{
    m_pSpriteFrames->removeAllObjects();
    m_pSpriteFramesAliases->removeAllObjects();
}

void ZTSpriteFrameCache::removeFramesNamed(const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        m_pSpriteFrames->removeObjectForKey(name);
    }
}

void ZTSpriteFrameCache::removeUnusedSpriteFrames()
{
    std::vector<std::string> unused;
    for (const auto& entry : *m_pSpriteFrames) {
        if (entry.second->retainCount() == 1) {
            unused.push_back(entry.first);
        }
    }
    removeFramesNamed(unused);
}

void ZTSpriteFrameCache::removeSpriteFrameByName(const char* pszName)
{
    if (!pszName) {
        return;
    }
    if (ZTString* pFrameName = m_pSpriteFramesAliases->objectForKey(pszName)) {
        const std::string frameName = pFrameName->getString();
        m_pSpriteFrames->removeObjectForKey(frameName);
        // The alias goes with its frame, so that it cannot name a later frame of the same name.
        m_pSpriteFramesAliases->removeObjectForKey(pszName);
    } else {
        m_pSpriteFrames->removeObjectForKey(pszName);
    }
}

void ZTSpriteFrameCache::removeSpriteFramesFromFile(const char* plist)
{
    const char* pszPath = ZTFileUtils::fullPathFromRelativePath(plist);
    PropertyList* dict = ZTFileUtils::dictionaryWithContentsOfFileThreadSafe(pszPath);
    if (!dict) {
        return;
    }
    removeSpriteFramesFromDictionary(dict);
    dict->release();
}

void ZTSpriteFrameCache::removeSpriteFramesFromDictionary(PropertyList* dictionary)
{
    PropertyList* frames = subDictionary(dictionary, "frames");
    if (!frames) {
        return;
    }
    std::vector<std::string> names;
    for (const auto& entry : *frames) {
        if (m_pSpriteFrames->objectForKey(entry.first)) {
            names.push_back(entry.first);
        }
    }
    removeFramesNamed(names);
}

void ZTSpriteFrameCache::removeSpriteFramesFromTexture(ZTTexture2D* texture)
{
    std::vector<std::string> names;
    for (const auto& entry : *m_pSpriteFrames) {
        if (entry.second->getTexture() == texture) {
            names.push_back(entry.first);
        }
    }
    removeFramesNamed(names);
}

} // namespace zanth2d
