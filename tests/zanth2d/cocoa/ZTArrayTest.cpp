#include <gtest/gtest.h>

#include "CountedObject.h"
#include "cocoa/ZTArray.h"
#include "cocoa/ZTAutoreleasePool.h"

using namespace zanth2d;

namespace {
struct Objects
{
    explicit Objects(int n)
    {
        for (int i = 0; i < n; ++i) {
            items.push_back(new CountedObject(&destroyed));
        }
    }
    ~Objects()
    {
        for (auto* item : items) {
            item->release();
        }
    }
    int destroyed = 0;
    std::vector<CountedObject*> items;
};

ZTArray* newArray(unsigned int capacity)
{
    auto* array = new ZTArray();
    array->initWithCapacity(capacity);
    return array;
}
} // namespace

TEST(ZTArrayTest, capacityZeroBecomesOneAndGrowsByDoubling)
{
    Objects objects(3);
    ZTArray* array = newArray(0);
    EXPECT_EQ(array->capacity(), 1u);
    array->addObject(objects.items[0]);
    EXPECT_EQ(array->capacity(), 1u);
    array->addObject(objects.items[1]);
    EXPECT_EQ(array->capacity(), 2u);
    array->addObject(objects.items[2]);
    EXPECT_EQ(array->capacity(), 4u);
    EXPECT_EQ(objects.items[0]->retainCount(), 2u);
    array->release();
    EXPECT_EQ(objects.items[0]->retainCount(), 1u);
}

TEST(ZTArrayTest, removeObjectTakesOnlyTheFirstOccurrence)
{
    Objects objects(2);
    ZTArray* array = newArray(4);
    array->addObject(objects.items[0]);
    array->addObject(objects.items[1]);
    array->addObject(objects.items[0]);
    EXPECT_EQ(objects.items[0]->retainCount(), 3u);
    array->removeObject(objects.items[0]);
    EXPECT_EQ(objects.items[0]->retainCount(), 2u);
    ASSERT_EQ(array->count(), 2u);
    EXPECT_EQ(array->objectAtIndex(0), objects.items[1]);
    EXPECT_EQ(array->objectAtIndex(1), objects.items[0]);
    array->release();
}

TEST(ZTArrayTest, lookupsOfAbsentObjects)
{
    Objects objects(2);
    ZTArray* array = newArray(1);
    EXPECT_EQ(array->lastObject(), nullptr);
    EXPECT_EQ(array->randomObject(), nullptr);
    array->addObject(objects.items[0]);
    EXPECT_EQ(array->indexOfObject(objects.items[1]), 4294967295u);
    EXPECT_FALSE(array->containsObject(objects.items[1]));
    array->removeObject(objects.items[1]);
    array->fastRemoveObject(objects.items[1]);
    array->exchangeObject(objects.items[0], objects.items[1]);
    EXPECT_EQ(array->count(), 1u);
    EXPECT_EQ(array->randomObject(), objects.items[0]);
    array->release();
}

TEST(ZTArrayTest, reverseSwapsAroundTheMiddle)
{
    Objects objects(5);
    ZTArray* array = newArray(1);
    for (auto* item : objects.items) {
        array->addObject(item);
    }
    array->reverseObjects();
    for (unsigned int i = 0; i < 5; ++i) {
        EXPECT_EQ(array->objectAtIndex(i), objects.items[4 - i]);
    }
    array->release();
}

TEST(ZTArrayTest, insertFastRemoveAndExchangeKeepCounts)
{
    Objects objects(4);
    ZTArray* array = newArray(1);
    array->addObject(objects.items[0]);
    array->addObject(objects.items[1]);
    array->insertObject(objects.items[2], 0);
    array->insertObject(objects.items[3], 3);
    // order: 2 0 1 3
    EXPECT_EQ(array->indexOfObject(objects.items[3]), 3u);
    array->fastRemoveObjectAtIndex(0); // 3 0 1
    EXPECT_EQ(array->objectAtIndex(0), objects.items[3]);
    EXPECT_EQ(objects.items[2]->retainCount(), 1u);
    array->exchangeObject(objects.items[3], objects.items[1]); // 1 0 3
    EXPECT_EQ(array->objectAtIndex(0), objects.items[1]);
    EXPECT_EQ(array->lastObject(), objects.items[3]);
    array->removeLastObject();
    EXPECT_EQ(objects.items[3]->retainCount(), 1u);
    array->release();
    EXPECT_EQ(objects.destroyed, 0);
}

TEST(ZTArrayTest, removeAllKeepsCapacityAndReduceShrinksIt)
{
    Objects objects(5);
    ZTArray* array = newArray(1);
    for (auto* item : objects.items) {
        array->addObject(item);
    }
    EXPECT_EQ(array->capacity(), 8u);
    array->removeAllObjects();
    EXPECT_EQ(array->count(), 0u);
    EXPECT_EQ(array->capacity(), 8u);
    array->addObject(objects.items[0]);
    EXPECT_EQ(array->capacity(), 8u);
    array->reduceMemoryFootprint();
    EXPECT_EQ(array->capacity(), 1u);
    array->removeAllObjects();
    array->reduceMemoryFootprint();
    EXPECT_EQ(array->capacity(), 1u);
    array->release();
}

TEST(ZTArrayTest, arrayWithArrayAndRemoveObjectsInArray)
{
    Objects objects(3);
    ZTArray* source = newArray(1);
    for (auto* item : objects.items) {
        source->addObject(item);
    }
    ZTArray* copy = ZTArray::arrayWithArray(source);
    EXPECT_EQ(copy->capacity(), 3u);
    EXPECT_EQ(objects.items[1]->retainCount(), 3u);
    ZTArray* some = newArray(1);
    some->addObject(objects.items[0]);
    some->addObject(objects.items[2]);
    copy->removeObjectsInArray(some);
    ASSERT_EQ(copy->count(), 1u);
    EXPECT_EQ(copy->objectAtIndex(0), objects.items[1]);
    some->release();
    source->release();
    ZTPoolManager::purgePoolManager();
    EXPECT_EQ(objects.items[1]->retainCount(), 1u);
}
