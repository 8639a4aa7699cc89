#pragma once

#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

// Holds one reference per entry for objects autoreleased into it; clear() releases them.
class ZTAutoreleasePool : public ZTObject
{
public:
    ZTAutoreleasePool();
    ~ZTAutoreleasePool() override;

    // Takes over the caller's reference (the count is unchanged).
    void addObject(ZTObject* pObject);
    // Forgets the first entry of pObject without releasing it.
    void removeObject(ZTObject* pObject);
    void clear();

    unsigned int count() const { return m_pManagedObjectArray->count(); }

private:
    ZTMutableArray<ZTObject*>* m_pManagedObjectArray;
};

// The process-wide stack of autorelease pools. The director pushes the first pool and pops once per
// frame; purgePoolManager() shuts it down explicitly at the end of the process.
class ZTPoolManager
{
public:
    static ZTPoolManager* getInstance();
    // Releases what the pools still hold and destroys the manager; a later getInstance() makes a new one.
    static void purgePoolManager();

    void finalize();
    void push();
    void pop();
    void removeObject(ZTObject* pObject);
    void addObject(ZTObject* pObject);

    ZTAutoreleasePool* getCurReleasePool();
    unsigned int poolCount() const { return m_pReleasePoolStack->count(); }

private:
    ZTPoolManager();
    ~ZTPoolManager();

    ZTMutableArray<ZTAutoreleasePool*>* m_pReleasePoolStack;
    ZTAutoreleasePool* m_pCurReleasePool = nullptr;
};

} // namespace zanth2d
