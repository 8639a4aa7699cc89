#include <gtest/gtest.h>

#include "CountedObject.h"
#include "cocoa/ZTAutoreleasePool.h"

using namespace zanth2d;

class AutoreleasePoolTest : public ::testing::Test
{
protected:
    void TearDown() override { ZTPoolManager::purgePoolManager(); }
    ZTPoolManager* manager() { return ZTPoolManager::getInstance(); }
};

TEST_F(AutoreleasePoolTest, autoreleasedObjectDiesAtNextPopUnlessRetained)
{
    int destroyed = 0;
    manager()->push();
    auto* dies = new CountedObject(&destroyed);
    auto* kept = new CountedObject(&destroyed);
    dies->autorelease();
    kept->autorelease();
    kept->retain();
    manager()->pop();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(kept->retainCount(), 1u);
    // The managed flag is cleared: releasing now must not touch the pool.
    kept->release();
    EXPECT_EQ(destroyed, 2);
}

TEST_F(AutoreleasePoolTest, autoreleasedTwiceIsReleasedTwice)
{
    int destroyed = 0;
    manager()->push();
    auto* object = new CountedObject(&destroyed);
    object->retain();
    object->autorelease();
    object->autorelease();
    EXPECT_EQ(manager()->getCurReleasePool()->count(), 2u);
    EXPECT_EQ(object->retainCount(), 2u);
    manager()->pop();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(AutoreleasePoolTest, nestedPoolsReleaseOnlyTheirOwnObjects)
{
    int outerDestroyed = 0;
    int innerDestroyed = 0;
    manager()->push();
    (new CountedObject(&outerDestroyed))->autorelease();
    manager()->push();
    (new CountedObject(&innerDestroyed))->autorelease();
    (new CountedObject(&innerDestroyed))->autorelease();
    EXPECT_EQ(manager()->poolCount(), 2u);
    manager()->pop();
    EXPECT_EQ(innerDestroyed, 2);
    EXPECT_EQ(outerDestroyed, 0);
    EXPECT_EQ(manager()->poolCount(), 1u);
    manager()->pop();
    EXPECT_EQ(outerDestroyed, 1);
    EXPECT_EQ(innerDestroyed, 2);
}

TEST_F(AutoreleasePoolTest, popWithOnePoolEmptiesItAndKeepsItCurrent)
{
    int destroyed = 0;
    manager()->push();
    ZTAutoreleasePool* pool = manager()->getCurReleasePool();
    (new CountedObject(&destroyed))->autorelease();
    manager()->pop();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager()->getCurReleasePool(), pool);
    EXPECT_EQ(pool->count(), 0u);
}

TEST_F(AutoreleasePoolTest, autoreleaseBeforeAnyPushCreatesTheFirstPool)
{
    int destroyed = 0;
    (new CountedObject(&destroyed))->autorelease();
    EXPECT_EQ(manager()->poolCount(), 1u);
    manager()->pop();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(AutoreleasePoolTest, objectDestroyedBeforeThePoolEmptiesLeavesThePool)
{
    int destroyed = 0;
    manager()->push();
    auto* object = new CountedObject(&destroyed);
    object->retain();
    object->autorelease();
    object->release();
    object->release();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager()->getCurReleasePool()->count(), 0u);
    manager()->pop();
    EXPECT_EQ(destroyed, 1);
}

namespace {
// Holds the last reference to another object and drops it when it dies.
class Owner : public CountedObject
{
public:
    Owner(int* destroyed, zanth2d::ZTObject* owned) : CountedObject(destroyed), m_owned(owned) {}
    ~Owner() override { m_owned->release(); }

private:
    zanth2d::ZTObject* m_owned;
};
} // namespace

TEST_F(AutoreleasePoolTest, releaseInsideClearDestroysFurtherObjectsAtOnce)
{
    int destroyed = 0;
    manager()->push();
    auto* owned = new CountedObject(&destroyed);
    owned->retain();
    owned->autorelease(); // pool and owner hold it
    (new Owner(&destroyed, owned))->autorelease();
    manager()->pop();
    EXPECT_EQ(destroyed, 2);
}

TEST_F(AutoreleasePoolTest, purgeReleasesWhatEveryPoolHolds)
{
    int destroyed = 0;
    manager()->push();
    (new CountedObject(&destroyed))->autorelease();
    manager()->push();
    (new CountedObject(&destroyed))->autorelease();
    ZTPoolManager::purgePoolManager();
    EXPECT_EQ(destroyed, 2);
}

TEST(ObjectDeathTest, copyingAClassWithoutCopySupportStops)
{
    EXPECT_DEATH(
        {
            ZTObject object;
            object.copy();
        },
        "Assertion failed: 0");
}

TEST(ObjectTest, uniqueIdsIncreaseAndIdentityIsEquality)
{
    ZTObject a;
    ZTObject b;
    EXPECT_GT(b.m_uID, a.m_uID);
    EXPECT_TRUE(a.isEqual(&a));
    EXPECT_FALSE(a.isEqual(&b));
}
