#pragma once

#include <set>

#include "cocoa/ZTObject.h"

namespace zanth2d {

// Ordered set of objects (by address), each member held with one reference; passes touches around.
class ZTSet : public ZTObject
{
public:
    using const_iterator = std::set<ZTObject*>::const_iterator;

    ZTSet();
    ZTSet(const ZTSet& other);
    ZTSet& operator=(const ZTSet&) = delete;
    ~ZTSet() override;

    // A new set (count 1, owned by the caller) with the same members, each retained again.
    ZTSet* copy() const;
    ZTSet* mutableCopy() const;

    void addObject(ZTObject* pObject);
    void removeObject(ZTObject* pObject);
    bool containsObject(ZTObject* pObject) const;
    unsigned int count() const;
    // The first non-null member in address order, or null.
    ZTObject* anyObject() const;

    const_iterator begin() const { return m_pSet->begin(); }
    const_iterator end() const { return m_pSet->end(); }

private:
    std::set<ZTObject*>* m_pSet;
};

} // namespace zanth2d
