#include <gtest/gtest.h>

#include "CountedObject.h"
#include "cocoa/ZTMutableArray.h"
#include "cocoa/ZTMutableDictionary.h"
#include "cocoa/ZTSet.h"
#include "cocoa/ZTString.h"

using namespace zanth2d;

TEST(ZTMutableDictionaryTest, firstValueStoredUnderAKeyStays)
{
    int destroyed = 0;
    auto* first = new CountedObject(&destroyed);
    auto* second = new CountedObject(&destroyed);
    auto* dict = new ZTMutableDictionary<std::string, ZTObject*>();
    EXPECT_TRUE(dict->setObject(first, "key"));
    EXPECT_FALSE(dict->setObject(second, "key"));
    EXPECT_EQ(dict->objectForKey("key"), first);
    EXPECT_EQ(second->retainCount(), 1u);
    EXPECT_EQ(dict->objectForKey("missing"), nullptr);
    dict->release();
    EXPECT_EQ(first->retainCount(), 1u);
    first->release();
    second->release();
    EXPECT_EQ(destroyed, 2);
}

TEST(ZTMutableDictionaryTest, keysAreInByteOrderAndRemovalReleases)
{
    int destroyed = 0;
    auto* value = new CountedObject(&destroyed);
    auto* dict = new ZTMutableDictionary<std::string, ZTObject*>();
    dict->setObject(value, "b");
    dict->setObject(value, "ab");
    dict->setObject(value, "a");
    dict->setObject(value, "B");
    EXPECT_EQ(dict->allKeys(), (std::vector<std::string>{"B", "a", "ab", "b"}));
    EXPECT_EQ(dict->allKeysForObject(value).size(), 4u);
    dict->removeObjectForKey("a");
    EXPECT_EQ(value->retainCount(), 4u);
    value->release();
    dict->release();
    EXPECT_EQ(destroyed, 1);
}

TEST(ZTSetTest, membersAreHeldOnceAndOrderedByAddress)
{
    int destroyed = 0;
    auto* p = new CountedObject(&destroyed);
    auto* q = new CountedObject(&destroyed);
    ZTObject* low = std::less<ZTObject*>()(p, q) ? static_cast<ZTObject*>(p) : q;
    auto* set = new ZTSet();
    EXPECT_EQ(set->anyObject(), nullptr);
    set->addObject(q);
    set->addObject(p);
    set->addObject(p);
    EXPECT_EQ(p->retainCount(), 2u);
    EXPECT_EQ(set->anyObject(), low);
    ZTSet* copy = set->copy();
    EXPECT_EQ(p->retainCount(), 3u);
    set->removeObject(p);
    set->removeObject(p);
    EXPECT_EQ(p->retainCount(), 2u);
    EXPECT_FALSE(set->containsObject(p));
    EXPECT_TRUE(copy->containsObject(p));
    set->release();
    copy->release();
    p->release();
    q->release();
    EXPECT_EQ(destroyed, 2);
}

TEST(ZTMutableArrayTest, removalWithoutReleaseAndCopy)
{
    int destroyed = 0;
    auto* a = new CountedObject(&destroyed);
    auto* b = new CountedObject(&destroyed);
    auto* array = new ZTMutableArray<ZTObject*>();
    array->addObject(a);
    array->insertObjectAtIndex(b, 0);
    EXPECT_EQ(array->getObjectAtIndex(0), b);
    ZTMutableArray<ZTObject*>* copy = array->copy();
    EXPECT_EQ(a->retainCount(), 3u);
    array->removeObject(a, false);
    EXPECT_EQ(a->retainCount(), 3u);
    a->release();
    array->release();
    copy->release();
    EXPECT_EQ(b->retainCount(), 1u);
    a->release();
    b->release();
    EXPECT_EQ(destroyed, 2);
}

TEST(ZTStringTest, equalityIsByText)
{
    ZTString a("x");
    ZTString b("x");
    ZTString c("y");
    ZTObject other;
    EXPECT_TRUE(a.isEqual(&b));
    EXPECT_FALSE(a.isEqual(&c));
    EXPECT_FALSE(a.isEqual(&other));
}
