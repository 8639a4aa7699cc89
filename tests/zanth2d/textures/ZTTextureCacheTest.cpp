#include <QGuiApplication>
#include <QImage>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <new>
#include <thread>

#include "CountedObject.h"
#include "FixtureDir.h"
#include "GLTestContext.h"
#include "PngFixture.h"
#include "ZTDirector.h"
#include "ZTScheduler.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "platform/ZTImage.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTextureCache.h"

using namespace zanth2d;

// The program's allocations and stat calls are counted, so that a cache hit can be shown to make neither.
namespace {
long g_allocations = 0;
long g_stats = 0;
} // namespace

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

extern "C" int stat(const char* __restrict path, struct stat* __restrict info) noexcept
{
    static const auto real = reinterpret_cast<int (*)(const char*, struct stat*)>(dlsym(RTLD_NEXT, "stat"));
    ++g_stats;
    return real(path, info);
}

namespace {

// Each case works in a fresh folder (also the working folder) with a fresh shared cache.
class ZTTextureCacheTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.python(std::string(kPythonPngWriter) +
                                 "png('ship.png', 10, 10, lambda x, y: bytes([255, 0, 0, 255]))\n"
                                 "png('other.png', 3, 5, lambda x, y: bytes([0, 255, 0, 255]))\n"
                                 "png('image.dat', 2, 2, lambda x, y: bytes([0, 0, 255, 255]))\n"
                                 "open('broken.dat', 'wb').write(b'not an image')\n"));
        QImage jpeg(8, 8, QImage::Format_RGB32);
        jpeg.fill(Qt::white);
        ASSERT_TRUE(jpeg.save(QString::fromStdString(m_dir.path("photo.JPEG")), "JPG"));
        ASSERT_EQ(chdir(m_dir.path().c_str()), 0);
        m_cache = ZTTextureCache::sharedTextureCache();
    }
    void TearDown() override
    {
        ZTPoolManager::getInstance()->pop();
        ZTTextureCache::purgeSharedTextureCache();
        ZTDirector::sharedDirector()->setContentScaleFactor(1.0f);
        ASSERT_EQ(chdir("/"), 0);
    }
    // Ends the frame: the autoreleased references go, the cache's stay.
    static void endFrame() { ZTPoolManager::getInstance()->pop(); }

    FixtureDir m_dir;
    ZTTextureCache* m_cache = nullptr;
};

// Receives background loads and counts its own destruction.
class LoadReceiver : public CountedObject
{
public:
    using CountedObject::CountedObject;
    void loaded(ZTObject* texture)
    {
        ++calls;
        last = texture;
    }
    int calls = 0;
    ZTObject* last = nullptr;
};

// Runs frames until the scheduler lets go of the cache (all loads delivered) or two seconds pass.
void runFramesUntilIdle(ZTTextureCache* cache)
{
    cache->retain();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (cache->retainCount() > 1 && std::chrono::steady_clock::now() < deadline) {
        ZTScheduler::sharedScheduler()->tick(0.016f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    cache->release();
}

} // namespace

TEST_F(ZTTextureCacheTest, samePathGivesTheSameTexture)
{
    ZTTexture2D* first = m_cache->addImage("ship.png");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_cache->addImage("./ship.png"), first);
    EXPECT_EQ(m_cache->textureForKey("ship.png"), first);
    EXPECT_EQ(first->getPixelsWide(), 16u);
    endFrame();
    EXPECT_EQ(first->retainCount(), 1u) << "the cache holds exactly one reference";
}

TEST_F(ZTTextureCacheTest, hitOnAPathSeenBeforeNeitherAllocatesNorLooksAtTheDisk)
{
    ZTTexture2D* texture = m_cache->addImage("ship.png");
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(m_cache->addImage("./ship.png"), texture);
    const long allocations = g_allocations;
    const long stats = g_stats;
    bool same = true;
    for (int i = 0; i < 100; ++i) {
        same = same && m_cache->addImage("ship.png") == texture && m_cache->addImage("./ship.png") == texture;
    }
    EXPECT_TRUE(same);
    EXPECT_EQ(g_allocations - allocations, 0);
    EXPECT_EQ(g_stats - stats, 0);
}

TEST_F(ZTTextureCacheTest, pathSeenBeforeIsResolvedAgainOnceItsTextureLeftTheCache)
{
    const std::function<void()> removals[] = {
        [this] { m_cache->removeAllTextures(); },
        [this] { m_cache->removeUnusedTextures(); },
        [this] { m_cache->removeTexture(m_cache->textureForKey("ship.png")); },
        [this] { m_cache->removeTextureForKey("ship.png"); },
    };
    for (const auto& remove : removals) {
        ASSERT_NE(m_cache->addImage("ship.png"), nullptr);
        endFrame();
        remove();
        ZTTexture2D* again = m_cache->addImage("ship.png");
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(m_cache->textureForKey("ship.png"), again);
        EXPECT_EQ(again->getPixelsWide(), 16u);
        endFrame();
        m_cache->removeAllTextures();
    }
}

TEST_F(ZTTextureCacheTest, pathSeenAtOneScaleIsResolvedAgainAtAnother)
{
    QImage hd(32, 32, QImage::Format_ARGB32);
    hd.fill(Qt::blue);
    ASSERT_TRUE(hd.save(QString::fromStdString(m_dir.path("ship-hd.png"))));
    ZTTexture2D* hdTexture = m_cache->addImage("ship-hd.png");
    ASSERT_NE(hdTexture, nullptr);
    ZTDirector::sharedDirector()->setContentScaleFactor(2.0f);
    testing::internal::CaptureStdout();
    ZTTexture2D* texture = m_cache->addImage("ship-hd.png");
    testing::internal::GetCapturedStdout();
    EXPECT_NE(texture, hdTexture);
    EXPECT_EQ(texture, m_cache->addImage("ship.png"));
}

TEST_F(ZTTextureCacheTest, hdSuffixSharesTheKeyOnlyAtScaleTwo)
{
    ZTDirector::sharedDirector()->setContentScaleFactor(2.0f);
    testing::internal::CaptureStdout();
    ZTTexture2D* texture = m_cache->addImage("ship-hd.png");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(texture, m_cache->addImage("ship.png"));
    ASSERT_NE(texture, nullptr);
    EXPECT_FLOAT_EQ(texture->getContentSize().width, 5.0f);
}

TEST_F(ZTTextureCacheTest, decoderFollowsTheName)
{
    ZTTexture2D* jpeg = m_cache->addImage("photo.JPEG");
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(jpeg->getPixelsWide(), 8u);
    EXPECT_NE(m_cache->addImage("image.dat"), nullptr) << "an unknown extension is read as PNG";
    testing::internal::CaptureStdout();
    EXPECT_EQ(m_cache->addImage("broken.dat"), nullptr);
    EXPECT_EQ(m_cache->addImage("missing.png"), nullptr);
    EXPECT_EQ(m_cache->addImage("missing.pvr.ccz"), nullptr);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(m_cache->textureForKey("broken.dat"), nullptr);
    EXPECT_EQ(m_cache->textureForKey("missing.png"), nullptr);
    char* text = m_cache->description();
    EXPECT_STREQ(text, "<ZTTextureCache | Number of textures = 2>");
    delete[] text;
}

TEST_F(ZTTextureCacheTest, removeUnusedTexturesFreesOnlyThoseNobodyElseHolds)
{
    ZTTexture2D* held = m_cache->addImage("ship.png");
    ZTTexture2D* unused = m_cache->addImage("other.png");
    ASSERT_NE(held, nullptr);
    ASSERT_NE(unused, nullptr);
    held->retain(); // a sprite using it
    endFrame();
    GLuint unusedName = unused->getName();
    m_cache->removeUnusedTextures();
    EXPECT_EQ(m_cache->textureForKey("other.png"), nullptr);
    EXPECT_FALSE(glIsTexture(unusedName)) << "the GL texture goes with it";
    EXPECT_EQ(m_cache->textureForKey("ship.png"), held);
    EXPECT_EQ(held->retainCount(), 2u);
    held->release();
    m_cache->removeUnusedTextures();
    EXPECT_EQ(m_cache->textureForKey("ship.png"), nullptr);
}

TEST_F(ZTTextureCacheTest, directorPurgeOfCachedDataRemovesUnusedTextures)
{
    ZTTexture2D* held = m_cache->addImage("ship.png");
    held->retain();
    m_cache->addImage("other.png");
    endFrame();
    ZTDirector::sharedDirector()->purgeCachedData();
    EXPECT_EQ(m_cache->textureForKey("other.png"), nullptr);
    EXPECT_EQ(m_cache->textureForKey("ship.png"), held);
    held->release();
}

TEST_F(ZTTextureCacheTest, uiImagesKeepTheFirstTextureUnderAKey)
{
    ZTImage red, green;
    ASSERT_TRUE(red.initWithImageFile("ship.png"));
    ASSERT_TRUE(green.initWithImageFile("other.png"));
    ZTTexture2D* first = m_cache->addUIImage(&red, "generated");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_cache->addUIImage(&green, "generated"), first);
    EXPECT_EQ(first->getContentSizeInPixels().width, 10.0f);

    ZTTexture2D* owned = m_cache->addUIImage(&green, nullptr);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(owned->retainCount(), 1u) << "without a key the caller owns the texture";
    owned->release();

    ZTImage empty;
    EXPECT_EQ(m_cache->addUIImage(&empty, "nothing"), nullptr);
    EXPECT_EQ(m_cache->textureForKey("nothing"), nullptr);
}

TEST_F(ZTTextureCacheTest, removalByTextureClearsEveryKey)
{
    auto* texture = new ZTTexture2D();
    ZTImage image;
    ASSERT_TRUE(image.initWithImageFile("ship.png"));
    ASSERT_TRUE(texture->initWithImage(&image));
    texture->retain();
    m_cache->addTextureForKey(texture, "a");
    texture->retain();
    m_cache->addTextureForKey(texture, "b");
    endFrame();
    EXPECT_EQ(texture->retainCount(), 3u);
    m_cache->removeTexture(texture);
    m_cache->removeTexture(nullptr);
    EXPECT_EQ(m_cache->textureForKey("a"), nullptr);
    EXPECT_EQ(m_cache->textureForKey("b"), nullptr);
    EXPECT_EQ(texture->retainCount(), 1u);
    texture->release();

    m_cache->addImage("ship.png");
    m_cache->addImage("other.png");
    m_cache->removeTextureForKey("ship.png");
    m_cache->removeTextureForKey(nullptr);
    EXPECT_EQ(m_cache->textureForKey("ship.png"), nullptr);
    m_cache->removeAllTextures();
    EXPECT_EQ(m_cache->textureForKey("other.png"), nullptr);
}

TEST_F(ZTTextureCacheTest, purgingFreesTexturesNobodyHolds)
{
    ZTTexture2D* kept = m_cache->addImage("ship.png");
    kept->retain();
    ZTTexture2D* dropped = m_cache->addImage("other.png");
    GLuint droppedName = dropped->getName();
    endFrame();
    ZTTextureCache::purgeSharedTextureCache();
    EXPECT_FALSE(glIsTexture(droppedName));
    EXPECT_EQ(kept->retainCount(), 1u);
    kept->release();
    EXPECT_NE(ZTTextureCache::sharedTextureCache(), nullptr) << "a new cache is made on demand";
}

TEST_F(ZTTextureCacheTest, backgroundLoadsDeliverOnTheMainThreadAndReleaseTheirTargets)
{
    int destroyed = 0;
    auto* receiver = new LoadReceiver(&destroyed);
    auto selector = static_cast<SEL_CallFuncO>(&LoadReceiver::loaded);
    m_cache->addImageAsync("ship.png", receiver, selector);
    m_cache->addImageAsync("photo.JPEG", receiver, selector);
    m_cache->addImageAsync("broken.png", receiver, selector);
    m_cache->addImageAsync("image.dat", receiver, selector);
    EXPECT_EQ(receiver->retainCount(), 5u) << "each pending load holds its target";
    EXPECT_EQ(receiver->calls, 0) << "nothing is delivered before a frame runs";
    runFramesUntilIdle(m_cache);
    EXPECT_EQ(receiver->calls, 1)
        << "photo.JPEG is not named .jpeg in lower case, broken and .dat files give no call";
    EXPECT_EQ(receiver->last, m_cache->textureForKey("ship.png"));
    EXPECT_EQ(receiver->retainCount(), 1u);
    EXPECT_EQ(m_cache->retainCount(), 1u) << "the scheduler let go of the cache";

    m_cache->addImageAsync("ship.png", receiver, selector);
    EXPECT_EQ(receiver->calls, 2) << "a cached texture is handed over at once";
    receiver->release();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(ZTTextureCacheTest, purgingWithLoadsPendingReleasesEverything)
{
    int destroyed = 0;
    auto* receiver = new LoadReceiver(&destroyed);
    m_cache->addImageAsync("other.png", receiver, static_cast<SEL_CallFuncO>(&LoadReceiver::loaded));
    ZTTextureCache::purgeSharedTextureCache();
    ZTScheduler::purgeSharedScheduler();
    EXPECT_EQ(receiver->retainCount(), 1u);
    receiver->release();
    EXPECT_EQ(destroyed, 1);
    m_cache = ZTTextureCache::sharedTextureCache();
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    GLTestContext context;
    return RUN_ALL_TESTS();
}
