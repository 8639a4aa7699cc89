#include "cocoa/ZTArray.h"

#include <cstdlib>
#include <cstring>

#include "ZTMacros.h"

namespace zanth2d {

ZTArray::ZTArray() = default;

ZTArray::~ZTArray()
{
    if (data) {
        removeAllObjects();
        std::free(data->arr);
        std::free(data);
    }
}

ZTArray* ZTArray::array()
{
    auto* pArray = new ZTArray();
    pArray->init();
    pArray->autorelease();
    return pArray;
}

ZTArray* ZTArray::arrayWithCapacity(unsigned int capacity)
{
    auto* pArray = new ZTArray();
    pArray->initWithCapacity(capacity);
    pArray->autorelease();
    return pArray;
}

ZTArray* ZTArray::arrayWithArray(ZTArray* otherArray)
{
    auto* pArray = new ZTArray();
    pArray->initWithArray(otherArray);
    pArray->autorelease();
    return pArray;
}

bool ZTArray::init()
{
    return initWithCapacity(1);
}

bool ZTArray::initWithCapacity(unsigned int capacity)
{
    if (capacity == 0) {
        capacity = 1;
    }
    if (data) {
        removeAllObjects();
        std::free(data->arr);
        std::free(data);
    }
    data = static_cast<ztArray*>(std::malloc(sizeof(ztArray)));
    ZTAssert(data != nullptr, "newArr != __null");
    data->num = 0;
    data->max = capacity;
    data->arr = static_cast<ZTObject**>(std::malloc(capacity * sizeof(ZTObject*)));
    ZTAssert(data->arr != nullptr, "newArr != __null");
    return true;
}

bool ZTArray::initWithArray(ZTArray* otherArray)
{
    initWithCapacity(otherArray->count());
    addObjectsFromArray(otherArray);
    return true;
}

unsigned int ZTArray::count() const
{
    return data->num;
}

unsigned int ZTArray::capacity() const
{
    return data->max;
}

unsigned int ZTArray::indexOfObject(ZTObject* object) const
{
    for (unsigned int i = 0; i < data->num; ++i) {
        if (data->arr[i] == object) {
            return i;
        }
    }
    return kNotFound;
}

bool ZTArray::containsObject(ZTObject* object) const
{
    return indexOfObject(object) != kNotFound;
}

ZTObject* ZTArray::objectAtIndex(unsigned int index) const
{
    ZTAssert(index < data->num, "index < data->num");
    return data->arr[index];
}

ZTObject* ZTArray::lastObject() const
{
    return data->num > 0 ? data->arr[data->num - 1] : nullptr;
}

ZTObject* ZTArray::randomObject() const
{
    if (data->num == 0) {
        return nullptr;
    }
    float r = static_cast<float>(std::rand()) * 4.656613e-10f;
    auto index = static_cast<unsigned int>(r * static_cast<float>(data->num));
    if (index >= data->num) {
        index = data->num - 1;
    }
    return data->arr[index];
}

void ZTArray::ensureCapacity(unsigned int needed)
{
    if (needed <= data->max) {
        return;
    }
    unsigned int newMax = data->max;
    while (newMax < needed) {
        newMax *= 2;
    }
    auto** newArr = static_cast<ZTObject**>(std::realloc(data->arr, newMax * sizeof(ZTObject*)));
    ZTAssert(newArr != nullptr, "newArr != __null");
    data->arr = newArr;
    data->max = newMax;
}

void ZTArray::addObject(ZTObject* object)
{
    ensureCapacity(data->num + 1);
    object->retain();
    data->arr[data->num++] = object;
}

void ZTArray::addObjectsFromArray(ZTArray* otherArray)
{
    const unsigned int otherCount = otherArray->count();
    ensureCapacity(data->num + otherCount);
    for (unsigned int i = 0; i < otherCount; ++i) {
        ZTObject* object = otherArray->data->arr[i];
        object->retain();
        data->arr[data->num++] = object;
    }
}

void ZTArray::insertObject(ZTObject* object, unsigned int index)
{
    ZTAssert(index <= data->num, "index<=arr->num");
    ensureCapacity(data->num + 1);
    std::memmove(data->arr + index + 1, data->arr + index, (data->num - index) * sizeof(ZTObject*));
    object->retain();
    data->arr[index] = object;
    ++data->num;
}

void ZTArray::removeLastObject()
{
    ZTAssert(data->num, "data->num");
    ZTObject* object = data->arr[--data->num];
    object->release();
}

void ZTArray::removeObject(ZTObject* object)
{
    unsigned int index = indexOfObject(object);
    if (index != kNotFound) {
        removeObjectAtIndex(index);
    }
}

void ZTArray::removeObjectAtIndex(unsigned int index)
{
    ZTAssert(index < data->num, "index < data->num");
    ZTObject* object = data->arr[index];
    --data->num;
    std::memmove(data->arr + index, data->arr + index + 1, (data->num - index) * sizeof(ZTObject*));
    // Released after the slot is gone, so a destructor that looks at this array sees it consistent.
    object->release();
}

void ZTArray::removeObjectsInArray(ZTArray* otherArray)
{
    for (unsigned int i = 0; i < otherArray->count(); ++i) {
        removeObject(otherArray->data->arr[i]);
    }
}

void ZTArray::removeAllObjects()
{
    while (data->num > 0) {
        ZTObject* object = data->arr[--data->num];
        object->release();
    }
}

void ZTArray::fastRemoveObjectAtIndex(unsigned int index)
{
    ZTAssert(index < data->num, "index < data->num");
    ZTObject* object = data->arr[index];
    --data->num;
    data->arr[index] = data->arr[data->num];
    object->release();
}

void ZTArray::fastRemoveObject(ZTObject* object)
{
    unsigned int index = indexOfObject(object);
    if (index != kNotFound) {
        fastRemoveObjectAtIndex(index);
    }
}

void ZTArray::exchangeObject(ZTObject* object1, ZTObject* object2)
{
    unsigned int index1 = indexOfObject(object1);
    if (index1 == kNotFound) {
        return;
    }
    unsigned int index2 = indexOfObject(object2);
    if (index2 == kNotFound) {
        return;
    }
    exchangeObjectAtIndex(index1, index2);
}

void ZTArray::exchangeObjectAtIndex(unsigned int index1, unsigned int index2)
{
    ZTAssert(index1 < data->num, "index1 < arr->num");
    ZTAssert(index2 < data->num, "index2 < arr->num");
    ZTObject* tmp = data->arr[index1];
    data->arr[index1] = data->arr[index2];
    data->arr[index2] = tmp;
}

void ZTArray::reverseObjects()
{
    if (data->num < 2) {
        return;
    }
    const unsigned int half = static_cast<unsigned int>(data->num * 0.5f);
    for (unsigned int k = 0; k < half; ++k) {
        exchangeObjectAtIndex(k, data->num - 1 - k);
    }
}

void ZTArray::reduceMemoryFootprint()
{
    if (data->max <= data->num || (data->max == 1 && data->num == 0)) {
        return;
    }
    const unsigned int newMax = data->num > 0 ? data->num : 1;
    auto** newArr = static_cast<ZTObject**>(std::realloc(data->arr, newMax * sizeof(ZTObject*)));
    ZTAssert(newArr != nullptr, "arr->arr != __null");
    data->arr = newArr;
    data->max = newMax;
}

} // namespace zanth2d
