#include "cocoa/ZTSet.h"

namespace zanth2d {

ZTSet::ZTSet() : m_pSet(new std::set<ZTObject*>()) {}

ZTSet::ZTSet(const ZTSet& other) : ZTObject(), m_pSet(new std::set<ZTObject*>(*other.m_pSet))
{
    for (ZTObject* pObject : *m_pSet) {
        pObject->retain();
    }
}

ZTSet::~ZTSet()
{
    for (ZTObject* pObject : *m_pSet) {
        pObject->release();
    }
    delete m_pSet;
}

ZTSet* ZTSet::copy() const
{
    return new ZTSet(*this);
}

ZTSet* ZTSet::mutableCopy() const
{
    return copy();
}

void ZTSet::addObject(ZTObject* pObject)
{
    if (m_pSet->insert(pObject).second) {
        pObject->retain();
    }
}

void ZTSet::removeObject(ZTObject* pObject)
{
    if (m_pSet->erase(pObject) > 0) {
        pObject->release();
    }
}

bool ZTSet::containsObject(ZTObject* pObject) const
{
    return m_pSet->count(pObject) > 0;
}

unsigned int ZTSet::count() const
{
    return static_cast<unsigned int>(m_pSet->size());
}

ZTObject* ZTSet::anyObject() const
{
    for (ZTObject* pObject : *m_pSet) {
        if (pObject) {
            return pObject;
        }
    }
    return nullptr;
}

} // namespace zanth2d
