#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

#include "FixtureDir.h"
#include "GLTestContext.h"
#include "ZTConfiguration.h"
#include "cocoa/ZTAutoreleasePool.h"
#include "textures/ZTTexture2D.h"
#include "textures/ZTTexturePVR.h"

using namespace zanth2d;

namespace {

// pvr(name, w, h, type, bpp, levels, ...) writes a version 2 file whose levels hold random bytes of the
// block size each (at least 2 x 2 pixels); levels -1 means every level down to 1 x 1.
const char* kPythonPVR = R"PY(
import gzip, random, struct, zlib
random.seed(5)
def level_sizes(w, h, bpp, count):
    sizes = []
    while len(sizes) < count:
        sizes.append(max(w, 2) * max(h, 2) * bpp // 8)
        if w == 1 and h == 1:
            break
        w, h = max(w // 2, 1), max(h // 2, 1)
    return sizes
def pvr(name, w, h, ptype, bpp, count=-1, alpha=0xFF000000, tag=b"PVR!", stated=None, cut=0, extra=b""):
    sizes = level_sizes(w, h, bpp, count if count > 0 else 99)
    data = b"".join(bytes(random.getrandbits(8) for _ in range(s)) for s in sizes) + extra
    if cut:
        data = data[:-cut]
    length = len(data) if stated is None else stated
    head = struct.pack("<11I", 52, h, w, len(sizes) - 1, 0x8000 | ptype, length, bpp, 0xFF, 0xFF00, 0xFF0000, alpha)
    body = head + tag + struct.pack("<I", 1) + data
    open(name, "wb").write(body)
    open(name + ".levels", "wb").write(data)
    return body
body = pvr("big.pvr", 256, 128, 0x12, 32)
open("big.pvr.ccz", "wb").write(b"CCZ!" + struct.pack(">HHII", 0, 2, 0, len(body)) + zlib.compress(body))
open("big.pvr.gz", "wb").write(gzip.compress(body))
pvr("rgba4444.pvr", 4, 8, 0x10, 16)
pvr("rgb5a1.pvr", 2, 2, 0x11, 16, alpha=0)
pvr("rgb565.pvr", 8, 4, 0x13, 16)
pvr("a8.pvr", 8, 2, 0x1B, 8)
pvr("i8.pvr", 4, 4, 0x16, 8, alpha=0)
pvr("ai88.pvr", 2, 4, 0x17, 16)
pvr("onelevel.pvr", 64, 64, 0x12, 32, count=1)
pvr("shortfirst.pvr", 64, 64, 0x12, 32, count=1, cut=1)
pvr("shortlater.pvr", 64, 64, 0x12, 32, count=3, cut=4)
pvr("liar.pvr", 64, 64, 0x12, 32, count=1, stated=64 * 64 * 4 + 1)
pvr("npot.pvr", 100, 100, 0x12, 32, count=1)
pvr("pvrtc.pvr", 64, 64, 0x19, 32, count=1)
pvr("bgra.pvr", 64, 64, 0x1A, 32, count=1)
pvr("badtag.pvr", 64, 64, 0x12, 32, count=1, tag=b"PVR?")
pvr("empty.pvr", 64, 64, 0x12, 32, count=1, stated=0)
pvr("toomany.pvr", 1, 1, 0x12, 32, count=1, extra=bytes(16 * 20))
open("tiny.pvr", "wb").write(b"PVR!" * 3)
)PY";

class ZTTexturePVRTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_context = new GLTestContext();
        s_dir = new FixtureDir();
        ASSERT_TRUE(s_dir->python(kPythonPVR));
    }
    static void TearDownTestSuite()
    {
        ZTPoolManager::getInstance()->pop();
        delete s_dir;
        delete s_context;
    }
    static std::string file(const std::string& name) { return s_dir->path(name); }
    static std::string levels(const std::string& name) { return s_dir->read(name + ".levels"); }

    static GLTestContext* s_context;
    static FixtureDir* s_dir;
};

GLTestContext* ZTTexturePVRTest::s_context = nullptr;
FixtureDir* ZTTexturePVRTest::s_dir = nullptr;

std::string readLevel(GLuint name, GLint level, GLenum format, GLenum type, size_t bytesPerPixel, GLint* w,
                      GLint* h)
{
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, h);
    std::string texels(static_cast<size_t>(*w) * static_cast<size_t>(*h) * bytesPerPixel, '\0');
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, format, type, &texels[0]);
    return texels;
}

// Compares every uploaded level with the start of its block in the file.
void expectLevels(ZTTexturePVR* pvr, const std::string& data, GLenum format, GLenum type,
                  size_t bytesPerPixel, const std::vector<size_t>& blockSizes)
{
    ASSERT_EQ(pvr->getNumberOfMipmaps(), blockSizes.size());
    size_t offset = 0;
    for (size_t i = 0; i < blockSizes.size(); ++i) {
        GLint w = 0, h = 0;
        std::string texels =
            readLevel(pvr->getName(), static_cast<GLint>(i), format, type, bytesPerPixel, &w, &h);
        EXPECT_EQ(w, std::max<GLint>(static_cast<GLint>(pvr->getWidth()) >> i, 1)) << "level " << i;
        EXPECT_EQ(h, std::max<GLint>(static_cast<GLint>(pvr->getHeight()) >> i, 1)) << "level " << i;
        EXPECT_EQ(texels, data.substr(offset, texels.size())) << "level " << i;
        offset += blockSizes[i];
    }
    EXPECT_EQ(offset, data.size());
}

} // namespace

TEST_F(ZTTexturePVRTest, everyLevelOfPlainAndCompressedFilesIsUploaded)
{
    const std::vector<size_t> sizes = {131072, 32768, 8192, 2048, 512, 128, 32, 16, 16};
    for (const char* name : {"big.pvr", "big.pvr.ccz", "big.pvr.gz"}) {
        ZTTexturePVR* pvr = ZTTexturePVR::pvrTextureWithContentsOfFile(file(name).c_str());
        ASSERT_NE(pvr, nullptr) << name;
        EXPECT_EQ(pvr->getWidth(), 256u);
        EXPECT_EQ(pvr->getHeight(), 128u);
        EXPECT_EQ(pvr->getFormat(), kZTTexture2DPixelFormat_RGBA8888);
        EXPECT_TRUE(pvr->getHasAlpha());
        expectLevels(pvr, levels("big.pvr"), GL_RGBA, GL_UNSIGNED_BYTE, 4, sizes);
    }
}

TEST_F(ZTTexturePVRTest, everyAcceptedPixelTypeUploads)
{
    struct Case
    {
        const char* name;
        ZTTexture2DPixelFormat format;
        GLenum glFormat, type;
        size_t bytes;
        bool alpha;
        std::vector<size_t> sizes;
    } cases[] = {
        {"rgba4444.pvr",
         kZTTexture2DPixelFormat_RGBA4444,
         GL_RGBA,
         GL_UNSIGNED_SHORT_4_4_4_4,
         2,
         true,
         {64, 16, 8, 8}},
        {"rgb5a1.pvr", kZTTexture2DPixelFormat_RGB5A1, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, 2, false, {8, 8}},
        {"rgb565.pvr",
         kZTTexture2DPixelFormat_RGB565,
         GL_RGB,
         GL_UNSIGNED_SHORT_5_6_5,
         2,
         true,
         {64, 16, 8, 8}},
        {"a8.pvr", kZTTexture2DPixelFormat_A8, GL_ALPHA, GL_UNSIGNED_BYTE, 1, true, {16, 8, 4, 4}},
        {"i8.pvr", kZTTexture2DPixelFormat_I8, GL_LUMINANCE, GL_UNSIGNED_BYTE, 1, false, {16, 4, 4}},
        {"ai88.pvr", kZTTexture2DPixelFormat_AI88, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 2, true, {16, 8, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZTTexturePVR* pvr = ZTTexturePVR::pvrTextureWithContentsOfFile(file(c.name).c_str());
        ASSERT_NE(pvr, nullptr);
        EXPECT_EQ(pvr->getFormat(), c.format);
        EXPECT_EQ(pvr->getHasAlpha(), c.alpha) << "the alpha flag follows the mask, not the type";
        expectLevels(pvr, levels(c.name), c.glFormat, c.type, c.bytes, c.sizes);
    }
}

TEST_F(ZTTexturePVRTest, badFilesAreRefusedWithoutReadingPastTheirData)
{
    testing::internal::CaptureStdout();
    for (const char* name : {"shortfirst.pvr", "liar.pvr", "npot.pvr", "pvrtc.pvr", "bgra.pvr", "badtag.pvr",
                             "toomany.pvr", "tiny.pvr", "missing.pvr", "missing.pvr.ccz", "big.pvr.levels"}) {
        EXPECT_EQ(ZTTexturePVR::pvrTextureWithContentsOfFile(file(name).c_str()), nullptr) << name;
    }
    std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("ZTTexturePVR: WARNING: mipmap level 0 is 1 bytes short"), std::string::npos) << log;
}

// A version 2 RGBA8888 file of the given size whose pixel data is the given bytes.
std::string writeRGBA8888(const std::string& path, uint32_t width, uint32_t height, const std::string& pixels)
{
    std::string body;
    const auto field = [&body](uint32_t value) { body.append(reinterpret_cast<const char*>(&value), 4); };
    for (uint32_t value : {52u, height, width, 0u, 0x8012u, static_cast<uint32_t>(pixels.size()), 32u, 0xFFu,
                           0xFF00u, 0xFF0000u, 0xFF000000u}) {
        field(value);
    }
    body += "PVR!";
    field(1);
    body += pixels;
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(body.data(), 1, body.size(), out);
    std::fclose(out);
    return path;
}

TEST_F(ZTTexturePVRTest, sizeAboveTheLargestTextureIsRefusedBeforeLevelsAreMeasured)
{
    const uint32_t largest =
        static_cast<uint32_t>(ZTConfiguration::sharedConfiguration()->getMaxTextureSize());
    ASSERT_GT(largest, 1u);
    const std::string huge = writeRGBA8888(file("huge.pvr"), 1u << 31, 1u << 31, std::string(64, '\x7f'));
    const std::string wide = writeRGBA8888(file("wide.pvr"), largest * 2, 1, std::string(64, '\x7f'));
    testing::internal::CaptureStdout();
    EXPECT_EQ(ZTTexturePVR::pvrTextureWithContentsOfFile(huge.c_str()), nullptr);
    EXPECT_EQ(ZTTexturePVR::pvrTextureWithContentsOfFile(wide.c_str()), nullptr);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(log, "ZTTexturePVR: WARNING: 2147483648 x 2147483648 is above the largest texture size (" +
                       std::to_string(largest) + ")\n" +
                       "ZTTexturePVR: WARNING: " + std::to_string(largest * 2) +
                       " x 1 is above the largest texture size (" + std::to_string(largest) + ")\n");

    const std::string widest =
        writeRGBA8888(file("widest.pvr"), largest, 1, std::string(largest * 2 * 4, '\x7f'));
    ZTTexturePVR* pvr = ZTTexturePVR::pvrTextureWithContentsOfFile(widest.c_str());
    ASSERT_NE(pvr, nullptr);
    EXPECT_EQ(pvr->getWidth(), largest);
    EXPECT_EQ(pvr->getNumberOfMipmaps(), 1u);
}

TEST_F(ZTTexturePVRTest, shortLaterLevelIsDroppedAndEarlierLevelsStay)
{
    testing::internal::CaptureStdout();
    ZTTexturePVR* pvr = ZTTexturePVR::pvrTextureWithContentsOfFile(file("shortlater.pvr").c_str());
    testing::internal::GetCapturedStdout();
    ASSERT_NE(pvr, nullptr);
    std::string data = levels("shortlater.pvr");
    expectLevels(pvr, data.substr(0, 16384 + 4096), GL_RGBA, GL_UNSIGNED_BYTE, 4, {16384, 4096});
}

TEST_F(ZTTexturePVRTest, emptyDataLoadsWithoutATexture)
{
    ZTTexturePVR* pvr = ZTTexturePVR::pvrTextureWithContentsOfFile(file("empty.pvr").c_str());
    ASSERT_NE(pvr, nullptr);
    EXPECT_EQ(pvr->getNumberOfMipmaps(), 0u);
    EXPECT_EQ(pvr->getName(), 0u);
}

TEST_F(ZTTexturePVRTest, textureAdoptsTheNameAndDeletesItOnce)
{
    ZTTexture2D::PVRImagesHavePremultipliedAlpha(true);
    auto* texture = new ZTTexture2D();
    ASSERT_TRUE(texture->initWithPVRFile(file("onelevel.pvr").c_str()));
    ZTTexture2D::PVRImagesHavePremultipliedAlpha(false);
    GLuint name = texture->getName();
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_FLOAT_EQ(texture->getMaxS(), 1.0f);
    EXPECT_FLOAT_EQ(texture->getContentSizeInPixels().width, 64.0f);
    EXPECT_TRUE(texture->getHasPremultipliedAlpha());
    EXPECT_EQ(texture->getPixelFormat(), kZTTexture2DPixelFormat_RGBA8888);
    texture->release();
    EXPECT_FALSE(glIsTexture(name));

    testing::internal::CaptureStdout();
    texture = new ZTTexture2D();
    EXPECT_FALSE(texture->initWithPVRFile(file("npot.pvr").c_str()));
    EXPECT_EQ(texture->getName(), 0u);
    EXPECT_EQ(texture->retainCount(), 1u);
    texture->release();
    testing::internal::GetCapturedStdout();
}
