#pragma once

#include <cstdint>

#include "cocoa/ZTObject.h"

namespace zanth2d {

// The storage record of ZTArray, on the C heap.
struct ztArray
{
    unsigned int num;
    unsigned int max;
    ZTObject** arr;
};

// Growable array of objects (node children); each occurrence of an element holds one reference.
class ZTArray : public ZTObject
{
public:
    static constexpr unsigned int kNotFound = UINT32_MAX;

    ZTArray();
    ~ZTArray() override;

    static ZTArray* array();
    static ZTArray* arrayWithCapacity(unsigned int capacity);
    static ZTArray* arrayWithArray(ZTArray* otherArray);

    bool init();
    bool initWithCapacity(unsigned int capacity);
    bool initWithArray(ZTArray* otherArray);

    unsigned int count() const;
    unsigned int capacity() const;
    // Index of the first element equal by address, or kNotFound.
    unsigned int indexOfObject(ZTObject* object) const;
    bool containsObject(ZTObject* object) const;
    ZTObject* objectAtIndex(unsigned int index) const;
    ZTObject* lastObject() const;
    ZTObject* randomObject() const;

    void addObject(ZTObject* object);
    void addObjectsFromArray(ZTArray* otherArray);
    void insertObject(ZTObject* object, unsigned int index);

    void removeLastObject();
    void removeObject(ZTObject* object);
    void removeObjectAtIndex(unsigned int index);
    void removeObjectsInArray(ZTArray* otherArray);
    void removeAllObjects();
    void fastRemoveObject(ZTObject* object);
    void fastRemoveObjectAtIndex(unsigned int index);

    void exchangeObject(ZTObject* object1, ZTObject* object2);
    void exchangeObjectAtIndex(unsigned int index1, unsigned int index2);
    void reverseObjects();
    void reduceMemoryFootprint();

    // Direct access for tight loops (node visits); valid until the array changes.
    ZTObject** begin() const { return data ? data->arr : nullptr; }
    ZTObject** end() const { return data ? data->arr + data->num : nullptr; }

    ztArray* data = nullptr;

private:
    void ensureCapacity(unsigned int needed);
};

} // namespace zanth2d
