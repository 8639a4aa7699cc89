#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "cocoa/ZTMutableDictionary.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTImage;
class ZTTexture2D;

typedef void (ZTObject::*SEL_CallFuncO)(ZTObject*);

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
    // JPEG; anything else PNG). Null when the file cannot be read, decoded or uploaded; nothing is cached
    // then. A path spelt as in an earlier call that found its texture is answered from memory, without
    // resolving it again: one hash look-up, no system call, no allocation.
    ZTTexture2D* addImage(const char* path);
    // The cached or new texture of a PVR file; the key is not resolved to a full path.
    ZTTexture2D* addPVRImage(const char* path);
    // Whether addImage reads the file as PVR: its texture has the file's own pixel format, whatever the
    // default alpha pixel format says.
    static bool isPVRFile(const char* path);
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

    // Decodes a PNG or JPEG file on a loader thread; in a later frame the main thread caches its
    // texture and calls (target->*selector)(texture). A cached texture is handed over at once. The
    // target is retained until its call (or until the file turns out unreadable: then no call).
    void addImageAsync(const char* path, ZTObject* target, SEL_CallFuncO selector);
    // Scheduled every frame while background loads are pending; delivers at most one per frame.
    void addImageAsyncCallBack(float dt);

    // GL textures survive on this platform; nothing to do.
    static void reloadAllTextures();

    // A new[] text the caller deletes.
    char* description();

private:
    static std::string keyFor(const char* path);
    ZTTexture2D* addImageForKey(const char* path, const std::string& key);
    ZTTexture2D* store(ZTTexture2D* texture, const std::string& key);
    void rememberPath(const char* path, ZTTexture2D* texture, float scaleFactor);

    // A path as a caller spelt it, the texture it led to and the content scale factor it was resolved at
    // (which decides whether "-hd" is dropped). The text lives on the heap, so the map's key can view it.
    struct SeenPath
    {
        std::unique_ptr<std::string> text;
        ZTTexture2D* texture;
        float scaleFactor;
    };

    struct AsyncLoader;

    ZTMutableDictionary<std::string, ZTTexture2D*>* m_pTextures;
    // Not owning: emptied whenever a texture leaves the dictionary.
    std::unordered_map<std::string_view, SeenPath> m_seenPaths;
    std::unique_ptr<AsyncLoader> m_pLoader; // made by the first addImageAsync
};

} // namespace zanth2d
