#include "sprite_nodes/ZTAnimationCache.h"

#include "ZTDirector.h"
#include "ZTMacros.h"
#include "sprite_nodes/ZTAnimation.h"

namespace zanth2d {

namespace {

ZTAnimationCache* s_pSharedAnimationCache = nullptr;

void purgeHook()
{
    ZTAnimationCache::purgeSharedAnimationCache();
}

} // namespace

ZTAnimationCache* ZTAnimationCache::sharedAnimationCache()
{
    if (!s_pSharedAnimationCache) {
        s_pSharedAnimationCache = new ZTAnimationCache();
        s_pSharedAnimationCache->init();
        ZTDirector::setPurgeHook(kZTPurgeAnimationCache, purgeHook);
    }
    return s_pSharedAnimationCache;
}

void ZTAnimationCache::purgeSharedAnimationCache()
{
    ZT_SAFE_RELEASE_NULL(s_pSharedAnimationCache);
}

ZTAnimationCache::~ZTAnimationCache()
{
    ZT_SAFE_RELEASE(m_pAnimations);
}

bool ZTAnimationCache::init()
{
    ZT_SAFE_RELEASE(m_pAnimations);
    m_pAnimations = new ZTMutableDictionary<std::string, ZTAnimation*>();
    return true;
}

void ZTAnimationCache::addAnimation(ZTAnimation* animation, const char* name)
{
    m_pAnimations->setObject(animation, name);
}

void ZTAnimationCache::removeAnimationByName(const char* name)
{
    if (name) {
        m_pAnimations->removeObjectForKey(name);
    }
}

ZTAnimation* ZTAnimationCache::animationByName(const char* name)
{
    return name ? m_pAnimations->objectForKey(name) : nullptr;
}

} // namespace zanth2d
