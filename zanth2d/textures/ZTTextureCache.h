#pragma once

#include <string>

#include "cocoa/ZTMutableDictionary.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTImage;
class ZTTexture2D;

// The process-wide map from an image's full path to its texture, so that every user of the same file
// shares one GL texture. Keys are paths with the "-hd" suffix removed (at content scale factor 2),
// resolved by ZTFileUtils::fullPathFromRelativePath. The cache holds one reference per texture.
class ZTTextureCache : public ZTObject
{
public:
    ZTTextureCache();
    ~ZTTextureCache() override;

    static ZTTextureCache* sharedTextureCache();
    // Releases the shared cache and every texture nobody else holds.
    static void purgeSharedTextureCache();

    // The cached or new texture of an image file (".pvr" anywhere in the name: PVR; ".jpg"/".jpeg":
    // JPEG; anything else PNG). Null when the file cannot be read, decoded or uploaded; nothing is cached then.
    ZTTexture2D* addImage(const char* path);
    // The cached or new texture of a PVR file; the key is not resolved to a full path.
    ZTTexture2D* addPVRImage(const char* path);
    // A texture from a decoded image. With a key it is cached (the first texture under a key stays);
    // without one the caller owns its one reference.
    ZTTexture2D* addUIImage(ZTImage* image, const char* key);
    // Stores a texture the caller created and hands the caller's reference to the autorelease pool.
    void addTextureForKey(ZTTexture2D* texture, const char* key);
    // Null when nothing is cached under the key.
    ZTTexture2D* textureForKey(const char* key);

    void removeAllTextures();
    // Removes every texture that only the cache holds.
    void removeUnusedTextures();
    // Removes every key that maps to texture.
    void removeTexture(ZTTexture2D* texture);
    void removeTextureForKey(const char* textureKeyName);

    // GL textures survive on this platform; nothing to do.
    static void reloadAllTextures();

    // A new[] text the caller deletes.
    char* description();

private:
    static std::string keyFor(const char* path);
    ZTTexture2D* store(ZTTexture2D* texture, const std::string& key);

    ZTMutableDictionary<std::string, ZTTexture2D*>* m_pTextures;
};

} // namespace zanth2d
