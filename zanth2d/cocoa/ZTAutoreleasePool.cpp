#include "cocoa/ZTAutoreleasePool.h"

#include "ZTMacros.h"

namespace zanth2d {

namespace {
ZTPoolManager* s_pPoolManager = nullptr;
}

ZTAutoreleasePool::ZTAutoreleasePool() : m_pManagedObjectArray(new ZTMutableArray<ZTObject*>()) {}

ZTAutoreleasePool::~ZTAutoreleasePool()
{
    m_pManagedObjectArray->release();
}

void ZTAutoreleasePool::addObject(ZTObject* pObject)
{
    m_pManagedObjectArray->addObject(pObject);
    ZTAssert(pObject->m_uReference > 1, "pObject->m_uReference > 1");
    pObject->release();
}

void ZTAutoreleasePool::removeObject(ZTObject* pObject)
{
    if (pObject) {
        m_pManagedObjectArray->removeObject(pObject, false);
    }
}

void ZTAutoreleasePool::clear()
{
    if (m_pManagedObjectArray->count() == 0) {
        return;
    }
    // Flags first, so that destructors running in the second walk do not touch the array.
    for (unsigned int i = m_pManagedObjectArray->count(); i-- > 0;) {
        m_pManagedObjectArray->getObjectAtIndex(i)->m_bManaged = false;
    }
    m_pManagedObjectArray->removeAllObjects();
}

ZTPoolManager* ZTPoolManager::getInstance()
{
    if (!s_pPoolManager) {
        s_pPoolManager = new ZTPoolManager();
    }
    return s_pPoolManager;
}

void ZTPoolManager::purgePoolManager()
{
    delete s_pPoolManager;
    s_pPoolManager = nullptr;
}

ZTPoolManager::ZTPoolManager() : m_pReleasePoolStack(new ZTMutableArray<ZTAutoreleasePool*>()) {}

ZTPoolManager::~ZTPoolManager()
{
    finalize();
    m_pCurReleasePool = nullptr;
    if (m_pReleasePoolStack->count() > 0) {
        m_pReleasePoolStack->removeObjectAtIndex(0);
    }
    m_pReleasePoolStack->release();
}

void ZTPoolManager::finalize()
{
    for (unsigned int i = 0; i < m_pReleasePoolStack->count(); ++i) {
        m_pReleasePoolStack->getObjectAtIndex(i)->clear();
    }
}

void ZTPoolManager::push()
{
    auto* pool = new ZTAutoreleasePool();
    m_pCurReleasePool = pool;
    m_pReleasePoolStack->addObject(pool);
    pool->release();
}

void ZTPoolManager::pop()
{
    if (!m_pCurReleasePool) {
        return;
    }
    m_pCurReleasePool->clear();
    const unsigned int count = m_pReleasePoolStack->count();
    if (count > 1) {
        m_pReleasePoolStack->removeObjectAtIndex(count - 1);
        m_pCurReleasePool = m_pReleasePoolStack->getObjectAtIndex(count - 2);
    }
}

void ZTPoolManager::removeObject(ZTObject* pObject)
{
    ZTAssert(m_pCurReleasePool, "m_pCurReleasePool");
    m_pCurReleasePool->removeObject(pObject);
}

void ZTPoolManager::addObject(ZTObject* pObject)
{
    getCurReleasePool()->addObject(pObject);
}

ZTAutoreleasePool* ZTPoolManager::getCurReleasePool()
{
    if (!m_pCurReleasePool) {
        push();
    }
    ZTAssert(m_pCurReleasePool, "m_pCurReleasePool");
    return m_pCurReleasePool;
}

} // namespace zanth2d
