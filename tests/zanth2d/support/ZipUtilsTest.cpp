#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <zlib.h>

#include "FixtureDir.h"
#include "support/base64.h"
#include "support/zip_support/ZipUtils.h"

using namespace zanth2d;

namespace {

const char* kPythonFixture = R"PY(
import base64, gzip, random, struct, zlib
random.seed(11)
sizes = [0, 1, 2, 3, 57, 1000, 262143, 262144, 262145, 700001, 1048576]
for n in sizes:
    half = n // 2
    data = bytes(random.getrandbits(8) for _ in range(half)) + bytes([random.choice(b"ab")]) * (n - half)
    open("raw_%d.bin" % n, "wb").write(data)
    open("b64_%d.txt" % n, "wb").write(base64.encodebytes(data).replace(b"\n", b"\r\n"))
    open("b64plain_%d.txt" % n, "wb").write(base64.b64encode(data))
    open("zlib_%d.bin" % n, "wb").write(zlib.compress(data, random.choice([1, 6, 9])))
    open("gz_%d.gz" % n, "wb").write(gzip.compress(data))
    open("ccz_%d.ccz" % n, "wb").write(b"CCZ!" + struct.pack(">HHII", 0, 2, 0, n) + zlib.compress(data))
exact = bytes(random.getrandbits(8) for _ in range(524288))
open("exact.bin", "wb").write(exact)
open("exact.gz", "wb").write(gzip.compress(exact))
open("members.gz", "wb").write(gzip.compress(b"first ") + gzip.compress(b"second"))
open("garbage.bin", "wb").write(bytes(random.getrandbits(8) for _ in range(4096)))
body = zlib.compress(b"x" * 100)
open("v3.ccz", "wb").write(b"CCZ!" + struct.pack(">HHII", 0, 3, 0, 100) + body)
open("type1.ccz", "wb").write(b"CCZ!" + struct.pack(">HHII", 1, 2, 0, 100) + body)
open("liar.ccz", "wb").write(b"CCZ!" + struct.pack(">HHII", 0, 2, 0, 0xFFFFFFF0) + body)
open("short.ccz", "wb").write(b"CCZ!" + struct.pack(">HHI", 0, 2, 0))
open("long.ccz", "wb").write(b"CCZ!" + struct.pack(">HHII", 0, 2, 0, 200) + body)
open("bomb.gz", "wb").write(gzip.compress(b"\0" * (300 * 1024 * 1024), 9))
)PY";

const int kSizes[] = {0, 1, 2, 3, 57, 1000, 262143, 262144, 262145, 700001, 1048576};

class ZipUtilsTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new FixtureDir();
        ASSERT_TRUE(s_dir->python(kPythonFixture));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static std::string file(const std::string& name) { return s_dir->path(name); }
    static std::string read(const std::string& name) { return s_dir->read(name); }

    static FixtureDir* s_dir;
};

FixtureDir* ZipUtilsTest::s_dir = nullptr;

std::string n(const char* prefix, int size, const char* suffix)
{
    return prefix + std::to_string(size) + suffix;
}

const unsigned char* bytes(const std::string& s)
{
    return reinterpret_cast<const unsigned char*>(s.data());
}

} // namespace

TEST_F(ZipUtilsTest, base64DecodesWhatPythonEncoded)
{
    for (int size : kSizes) {
        std::string expected = read(n("raw_", size, ".bin"));
        for (const char* prefix : {"b64_", "b64plain_"}) {
            std::string text = read(n(prefix, size, ".txt"));
            unsigned char* out = nullptr;
            int length = base64Decode(bytes(text), static_cast<unsigned int>(text.size()), &out);
            ASSERT_NE(out, nullptr) << prefix << size;
            EXPECT_EQ(std::string(reinterpret_cast<char*>(out), static_cast<size_t>(length)), expected)
                << prefix << size;
            delete[] out;
        }
    }
}

TEST_F(ZipUtilsTest, base64PaddingAndSkippedCharacters)
{
    struct Case
    {
        const char* in;
        const char* out;
    } cases[] = {{"YWJj", "abc"},  {"YWI=", "ab"},    {"YQ==", "a"},
                 {"YW Jj", "abc"}, {"YWJjZA", "abc"}, {"", ""}};
    for (const Case& c : cases) {
        unsigned char* out = nullptr;
        int length = base64Decode(reinterpret_cast<const unsigned char*>(c.in),
                                  static_cast<unsigned int>(strlen(c.in)), &out);
        ASSERT_NE(out, nullptr) << c.in;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), static_cast<size_t>(length)), c.out) << c.in;
        delete[] out;
    }
    unsigned char* out = reinterpret_cast<unsigned char*>(1);
    EXPECT_EQ(base64Decode(reinterpret_cast<const unsigned char*>("Y==="), 4, &out), 0);
    EXPECT_EQ(out, nullptr);
}

TEST_F(ZipUtilsTest, memoryInflaterReadsZlibAndGzipOfAnySize)
{
    for (int size : kSizes) {
        std::string expected = read(n("raw_", size, ".bin"));
        for (const std::string& name : {n("zlib_", size, ".bin"), n("gz_", size, ".gz")}) {
            std::string packed = read(name);
            unsigned char* out = nullptr;
            int length =
                ZipUtils::ztInflateMemory(bytes(packed), static_cast<unsigned int>(packed.size()), &out);
            ASSERT_NE(out, nullptr) << name;
            EXPECT_EQ(std::string(reinterpret_cast<char*>(out), static_cast<size_t>(length)), expected)
                << name;
            delete[] out;
        }
    }
    std::string packed = read("zlib_1000.bin");
    unsigned char* out = nullptr;
    unsigned int length = 0;
    EXPECT_EQ(ZipUtils::ztInflateMemoryWithHint(bytes(packed), static_cast<unsigned int>(packed.size()), &out,
                                                &length, 1),
              Z_OK);
    EXPECT_EQ(length, 1000u) << "a one-byte first buffer grows to fit";
    delete[] out;
}

TEST_F(ZipUtilsTest, gzipAndCCZFilesEqualPythonResults)
{
    for (int size : kSizes) {
        std::string expected = read(n("raw_", size, ".bin"));
        unsigned char* out = nullptr;
        int length = ZipUtils::ztInflateGZipFile(file(n("gz_", size, ".gz")).c_str(), &out);
        ASSERT_EQ(length, size);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), static_cast<size_t>(length)), expected) << size;
        std::free(out);
        length = ZipUtils::ztInflateCCZFile(file(n("ccz_", size, ".ccz")).c_str(), &out);
        ASSERT_EQ(length, size);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), static_cast<size_t>(length)), expected) << size;
        std::free(out);
    }
    unsigned char* out = nullptr;
    ASSERT_EQ(ZipUtils::ztInflateGZipFile(file("exact.gz").c_str(), &out), 524288);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 524288), read("exact.bin"));
    std::free(out);
    ASSERT_EQ(ZipUtils::ztInflateGZipFile(file("members.gz").c_str(), &out), 12);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 12), "first second");
    std::free(out);
}

TEST_F(ZipUtilsTest, cczHeaderChecksRefuseBadFiles)
{
    for (const char* name :
         {"v3.ccz", "type1.ccz", "liar.ccz", "short.ccz", "long.ccz", "garbage.bin", "missing.ccz"}) {
        unsigned char* out = reinterpret_cast<unsigned char*>(1);
        testing::internal::CaptureStdout();
        EXPECT_EQ(ZipUtils::ztInflateCCZFile(file(name).c_str(), &out), -1) << name;
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, nullptr) << name;
    }
}

TEST_F(ZipUtilsTest, truncatedAndGarbageInputsFailCleanly)
{
    std::string garbage = read("garbage.bin");
    for (int size : {1000, 262145, 1048576}) {
        for (const std::string& name :
             {n("zlib_", size, ".bin"), n("gz_", size, ".gz"), n("ccz_", size, ".ccz")}) {
            std::string packed = read(name);
            for (size_t cut : {size_t(1), size_t(9), size_t(17), packed.size() / 2, packed.size() - 1}) {
                std::string part = packed.substr(0, cut);
                unsigned char* out = reinterpret_cast<unsigned char*>(1);
                EXPECT_EQ(
                    ZipUtils::ztInflateMemory(bytes(part), static_cast<unsigned int>(part.size()), &out), 0)
                    << name << " cut " << cut;
                EXPECT_EQ(out, nullptr);
                out = reinterpret_cast<unsigned char*>(1);
                int length = name.find(".ccz") != std::string::npos
                                 ? ZipUtils::ztInflateCCZData(bytes(part), part.size(), &out)
                                 : ZipUtils::ztInflateGZipData(bytes(part), part.size(), &out);
                if (name.find("zlib_") == 0 && cut >= 18) {
                    // Not gzip: read as it is, like gzread does.
                    EXPECT_EQ(length, static_cast<int>(cut));
                    std::free(out);
                } else {
                    EXPECT_EQ(length, -1) << name << " cut " << cut;
                    EXPECT_EQ(out, nullptr);
                }
            }
        }
    }
    unsigned char* out = reinterpret_cast<unsigned char*>(1);
    EXPECT_EQ(ZipUtils::ztInflateMemory(bytes(garbage), static_cast<unsigned int>(garbage.size()), &out), 0);
    EXPECT_EQ(out, nullptr);
    std::string corrupt = read("gz_1000.gz");
    corrupt[corrupt.size() - 6] ^= 0x55; // the CRC no longer matches
    EXPECT_EQ(ZipUtils::ztInflateGZipData(bytes(corrupt), corrupt.size(), &out), -1);
    EXPECT_EQ(ZipUtils::ztInflateMemory(bytes(corrupt), static_cast<unsigned int>(corrupt.size()), &out), 0);
}

TEST_F(ZipUtilsTest, inflationStopsAtTheSizeLimit)
{
    std::string bomb = read("bomb.gz");
    ASSERT_LT(bomb.size(), 1024u * 1024u);
    unsigned char* out = reinterpret_cast<unsigned char*>(1);
    EXPECT_EQ(ZipUtils::ztInflateGZipData(bytes(bomb), bomb.size(), &out), -1);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ZipUtils::ztInflateMemory(bytes(bomb), static_cast<unsigned int>(bomb.size()), &out), 0);
    EXPECT_EQ(out, nullptr);
}
