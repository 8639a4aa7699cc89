#pragma once

#include <string>
#include <vector>

#include "cocoa/ZTMutableDictionary.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTSpriteFrame;
class ZTString;
class ZTTexture2D;

// The process-wide map from frame names to sprite frames, with a second map from alias names to frame
// names; it fills itself from sprite-sheet property lists (formats 0 to 3). The first frame stored under
// a name stays.
class ZTSpriteFrameCache : public ZTObject
{
public:
    using FrameDictionary = ZTMutableDictionary<std::string, ZTSpriteFrame*>;
    using PropertyList = ZTMutableDictionary<std::string, ZTObject*>;

    ~ZTSpriteFrameCache() override;

    static ZTSpriteFrameCache* sharedSpriteFrameCache();
    static void purgeSharedSpriteFrameCache();

    bool init();

    // Frames of the sheet; the texture is the metadata's "textureFileName" beside the list, else the
    // list's own name with ".png". A list or image that cannot be read adds nothing.
    void addSpriteFramesWithFile(const char* pszPlist);
    void addSpriteFramesWithFile(const char* pszPlist, const char* textureFileName);
    void addSpriteFramesWithFile(const char* pszPlist, ZTTexture2D* pobTexture);
    // A sheet in an unknown format, or a frame with a negative size, is logged and skipped.
    void addSpriteFramesWithDictionary(PropertyList* pobDictionary, ZTTexture2D* pobTexture);

    // Keeps the frame already stored under the name.
    void addSpriteFrame(ZTSpriteFrame* pobFrame, const char* pszFrameName);
    // The frame of that name or alias; null without a message.
    ZTSpriteFrame* spriteFrameByName(const char* pszName);

    void removeSpriteFrames();
    // Removes the frames that only the cache holds.
    void removeUnusedSpriteFrames();
    // A name or an alias; null does nothing.
    void removeSpriteFrameByName(const char* pszName);
    void removeSpriteFramesFromFile(const char* plist);
    void removeSpriteFramesFromDictionary(PropertyList* dictionary);
    void removeSpriteFramesFromTexture(ZTTexture2D* texture);

    unsigned int getFrameCount() const { return m_pSpriteFrames ? m_pSpriteFrames->count() : 0; }
    unsigned int getAliasCount() const { return m_pSpriteFramesAliases ? m_pSpriteFramesAliases->count() : 0; }

private:
    ZTSpriteFrameCache() = default;

    void removeFramesNamed(const std::vector<std::string>& names);

    FrameDictionary* m_pSpriteFrames = nullptr;
    ZTMutableDictionary<std::string, ZTString*>* m_pSpriteFramesAliases = nullptr;
};

} // namespace zanth2d
