#pragma once

#include <string>

#include "cocoa/ZTMutableDictionary.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

class ZTAnimation;

// The process-wide map from names to animations; the first animation stored under a name stays.
class ZTAnimationCache : public ZTObject
{
public:
    ~ZTAnimationCache() override;

    static ZTAnimationCache* sharedAnimationCache();
    static void purgeSharedAnimationCache();

    // A new, empty dictionary.
    bool init();

    void addAnimation(ZTAnimation* animation, const char* name);
    // Null does nothing.
    void removeAnimationByName(const char* name);
    // Null when unknown.
    ZTAnimation* animationByName(const char* name);

private:
    ZTAnimationCache() = default;

    ZTMutableDictionary<std::string, ZTAnimation*>* m_pAnimations = nullptr;
};

} // namespace zanth2d
