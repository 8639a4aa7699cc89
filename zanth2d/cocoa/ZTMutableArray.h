#pragma once

#include <algorithm>
#include <vector>

#include "ZTMacros.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

// Typed array of scene-graph objects over a standard vector; every element is retained once.
template <typename T>
class ZTMutableArray : public ZTObject
{
public:
    using const_iterator = typename std::vector<T>::const_iterator;

    ZTMutableArray() = default;
    ~ZTMutableArray() override { removeAllObjects(); }

    unsigned int count() const { return static_cast<unsigned int>(m_array.size()); }
    bool containsObject(T pObject) const { return std::find(m_array.begin(), m_array.end(), pObject) != m_array.end(); }

    T getObjectAtIndex(unsigned int uIndex) const
    {
        ZTAssert(uIndex < count(), "uIndex < count()");
        return m_array[uIndex];
    }

    T getLastObject() const { return m_array.empty() ? nullptr : m_array.back(); }

    void addObject(T pObject)
    {
        pObject->retain();
        m_array.push_back(pObject);
    }

    void insertObjectAtIndex(T pObject, unsigned int uIndex)
    {
        ZTAssert(uIndex <= count(), "uIndex <= count()");
        pObject->retain();
        m_array.insert(m_array.begin() + uIndex, pObject);
    }

    // Removes the first occurrence; bDeleteObject says whether the array's reference is released.
    void removeObject(T pObject, bool bDeleteObject = true)
    {
        auto it = std::find(m_array.begin(), m_array.end(), pObject);
        if (it == m_array.end()) {
            return;
        }
        m_array.erase(it);
        if (bDeleteObject) {
            pObject->release();
        }
    }

    void removeObjectAtIndex(unsigned int uIndex)
    {
        ZTAssert(uIndex < count(), "uIndex < count()");
        T pObject = m_array[uIndex];
        m_array.erase(m_array.begin() + uIndex);
        pObject->release();
    }

    // Releases from the first element to the last. The elements are taken out first, so destructors
    // that add to or remove from this array during the walk see a consistent, empty array.
    void removeAllObjects()
    {
        std::vector<T> old;
        old.swap(m_array);
        for (T pObject : old) {
            pObject->release();
        }
        if (m_array.empty()) {
            old.clear();
            m_array.swap(old); // keep the storage between frames
        }
    }

    // A new array (count 1, owned by the caller) with the same elements, each retained again.
    ZTMutableArray<T>* copy() const
    {
        auto* pCopy = new ZTMutableArray<T>();
        for (T pObject : m_array) {
            pCopy->addObject(pObject);
        }
        return pCopy;
    }

    const_iterator begin() const { return m_array.begin(); }
    const_iterator end() const { return m_array.end(); }

private:
    std::vector<T> m_array;
};

} // namespace zanth2d
