#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <dirent.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "support/ZTUserDefault.h"

using namespace zanth2d;

namespace {

std::string g_selfPath;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

int countLines(const std::string& text, const std::string& needle)
{
    int n = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        n += line.find(needle) != std::string::npos ? 1 : 0;
    }
    return n;
}

// Runs this test program again in read-back mode: a fresh process with the same HOME.
// Its exit status is 0 when the key holds the expected integer.
int readIntegerInNewProcess(const char* key, int expected)
{
    const std::string command = "'" + g_selfPath + "' --read-integer " + key + " " + std::to_string(expected);
    return std::system(command.c_str());
}

int filesIn(const std::string& folder)
{
    int count = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            count += entry->d_name[0] != '.' ? 1 : 0;
        }
        closedir(dir);
    }
    return count;
}

// Root reads and writes files whatever their mode; without these two capabilities it obeys the mode too.
void ignoreFileModes(bool ignore)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    syscall(SYS_capget, &header, data);
    const unsigned int bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective =
        ignore ? (data[0].effective | (data[0].permitted & bits)) : (data[0].effective & ~bits);
    syscall(SYS_capset, &header, data);
}

class UserDefaultTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::remove(path().c_str());
        std::remove((path() + ".damaged").c_str());
        for (int number = 2; number < 20; ++number) {
            std::remove((path() + ".damaged." + std::to_string(number)).c_str());
        }
    }
    void TearDown() override { ZTUserDefault::purgeSharedUserDefault(); }
    static std::string path() { return ZTUserDefault::getXMLFilePath(); }
    static ZTUserDefault* store() { return ZTUserDefault::sharedUserDefault(); }
    static void reload()
    {
        ZTUserDefault::purgeSharedUserDefault();
        ASSERT_NE(store(), nullptr);
    }
};

} // namespace

TEST_F(UserDefaultTest, fileIsCreatedInTheDocumentsFolderOfHome)
{
    EXPECT_EQ(path(), std::string(std::getenv("HOME")) + "/Documents/UserDefault.xml");
    ASSERT_NE(store(), nullptr);
    const std::string text = readFile(path());
    EXPECT_NE(text.find("<?xml version=\"1.0\"?>"), std::string::npos);
    EXPECT_NE(text.find("<userDefaultRoot/>"), std::string::npos);
}

TEST_F(UserDefaultTest, everyTypeReadsBackBeforeAndAfterAReload)
{
    store()->setBoolForKey("sound", true);
    store()->setIntegerForKey("n", 5);
    store()->setFloatForKey("f", 1.5f);
    store()->setDoubleForKey("d", -2.25);
    store()->setStringForKey("name", "Ember");
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(store()->getBoolForKey("sound", false));
        EXPECT_EQ(store()->getIntegerForKey("n", 0), 5);
        EXPECT_FLOAT_EQ(store()->getFloatForKey("f", 0.0f), 1.5f);
        EXPECT_DOUBLE_EQ(store()->getDoubleForKey("d", 0.0), -2.25);
        EXPECT_EQ(store()->getStringForKey("name", ""), "Ember");
        reload();
    }
    const std::string text = readFile(path());
    EXPECT_NE(text.find("<f>1.500000</f>"), std::string::npos) << text;
    EXPECT_NE(text.find("<d>-2.250000</d>"), std::string::npos) << text;
    EXPECT_NE(text.find("<sound>true</sound>"), std::string::npos) << text;
}

TEST_F(UserDefaultTest, settingAKeyAgainReplacesItsValue)
{
    store()->setIntegerForKey("n", 5);
    store()->setIntegerForKey("n", 7);
    reload();
    EXPECT_EQ(store()->getIntegerForKey("n", 0), 7);
    EXPECT_EQ(countLines(readFile(path()), "<n>"), 1);
}

TEST_F(UserDefaultTest, missingOrNullKeysAndEmptyElementsGiveTheDefault)
{
    writeFile(path(),
              "<?xml version=\"1.0\"?>\n<userDefaultRoot><empty/><n>12</n><n>99</n></userDefaultRoot>\n");
    EXPECT_EQ(store()->getIntegerForKey("missing", 42), 42);
    EXPECT_EQ(store()->getIntegerForKey(nullptr, 42), 42);
    EXPECT_EQ(store()->getStringForKey("empty", "fallback"), "fallback");
    EXPECT_EQ(store()->getIntegerForKey("n", 0), 12) << "the first element of a name wins";
    store()->setIntegerForKey(nullptr, 3);
    EXPECT_EQ(store()->getIntegerForKey(nullptr, 42), 42);
}

TEST_F(UserDefaultTest, valuesAreConvertedAsTheStoredTextSays)
{
    writeFile(path(), "<?xml version=\"1.0\"?>\n<userDefaultRoot><b>TRUE</b><i>12abc</i><x>abc</x>"
                      "<big>99999999999</big><f> 2.5e1</f></userDefaultRoot>\n");
    EXPECT_FALSE(store()->getBoolForKey("b", true)) << "only the exact text \"true\" is true";
    EXPECT_EQ(store()->getIntegerForKey("i", 0), 12);
    EXPECT_EQ(store()->getIntegerForKey("x", 7), 0);
    EXPECT_EQ(store()->getIntegerForKey("big", 0), 2147483647);
    EXPECT_DOUBLE_EQ(store()->getDoubleForKey("f", 0.0), 25.0);
    EXPECT_DOUBLE_EQ(store()->getDoubleForKey("x", 3.0), 0.0);
}

TEST_F(UserDefaultTest, markupCharactersInValuesSurviveTheFile)
{
    const std::string value = "a<b & c>\"d' &amp;";
    store()->setStringForKey("text", value);
    store()->setStringForKey("text", value);
    store()->setStringForKey("other", value);
    reload();
    EXPECT_EQ(store()->getStringForKey("text", ""), value);
    EXPECT_EQ(store()->getStringForKey("other", ""), value);
}

TEST_F(UserDefaultTest, keysAndValuesTheFileCantHoldAreRefusedAndTheFileStaysReadable)
{
    store()->setIntegerForKey("good", 1);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    store()->setIntegerForKey("two words", 2);
    store()->setIntegerForKey("1st", 3);
    store()->setIntegerForKey("key\xc7", 4);
    store()->setStringForKey("control", "a\x01z");
    store()->setStringForKey("bytes", "caf\xe9");
    store()->setStringForKey("after", "kept");
    store()->flush();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(countLines(log, "ZTUserDefault: WARNING:"), 5) << log;
    testing::internal::CaptureStdout();
    reload();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(store()->getIntegerForKey("good", 0), 1);
    EXPECT_EQ(store()->getIntegerForKey("two words", -1), -1);
    EXPECT_EQ(store()->getStringForKey("control", "none"), "none");
    EXPECT_EQ(store()->getStringForKey("bytes", "none"), "none");
    EXPECT_EQ(store()->getStringForKey("after", ""), "kept");
}

TEST_F(UserDefaultTest, onlyAFlushedValueReachesTheNextProcess)
{
    store()->setIntegerForKey("n", 5);
    store()->flush();
    store()->setIntegerForKey("unflushed", 9);
    EXPECT_EQ(store()->getIntegerForKey("unflushed", 0), 9);
    EXPECT_EQ(readIntegerInNewProcess("n", 5), 0);
    EXPECT_EQ(readIntegerInNewProcess("unflushed", 0), 0);
}

TEST_F(UserDefaultTest, flushRecreatesAFileRemovedMeanwhile)
{
    store()->setIntegerForKey("n", 5);
    std::remove(path().c_str());
    store()->flush();
    EXPECT_EQ(readIntegerInNewProcess("n", 5), 0);
}

TEST_F(UserDefaultTest, malformedFileGivesTheDefaultsAndOneLogLine)
{
    writeFile(path(), "\x01\x02 this is not XML <<<");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ASSERT_NE(store(), nullptr);
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(countLines(out, ""), 1) << out;
    EXPECT_EQ(countLines(out, "ZTUserDefault: WARNING:"), 1) << out;
    EXPECT_EQ(err, "");
    EXPECT_EQ(store()->getIntegerForKey("n", 42), 42);
    EXPECT_EQ(store()->getStringForKey("s", "dflt"), "dflt");

    // Values set afterwards are kept, and the flush repairs the file.
    store()->setIntegerForKey("n", 5);
    store()->flush();
    EXPECT_EQ(readIntegerInNewProcess("n", 5), 0);
}

TEST_F(UserDefaultTest, truncatedFileKeepsTheValuesBeforeTheDamage)
{
    writeFile(path(), "<?xml version=\"1.0\"?>\n<userDefaultRoot><a>5</a><b>6");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ASSERT_NE(store(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(countLines(testing::internal::GetCapturedStdout(), "ZTUserDefault: WARNING:"), 1);
    EXPECT_EQ(store()->getIntegerForKey("a", 0), 5);
}

// Each damaged file gets a copy of its own: a second damage never writes over the first one's copy,
// and of many the five newest stay, the oldest going with a line each.
TEST_F(UserDefaultTest, everyDamagedFileIsKeptBesideAndTheFiveNewestCopiesStay)
{
    const auto damaged = [](int number) {
        return "<?xml version=\"1.0\"?>\n<userDefaultRoot><a>" + std::to_string(number) + "</a><b>";
    };
    const auto copy = [](int number) {
        return path() + ".damaged" + (number == 1 ? std::string() : "." + std::to_string(number));
    };
    for (int number = 1; number <= 7; ++number) {
        ZTUserDefault::purgeSharedUserDefault();
        writeFile(path(), damaged(number));
        testing::internal::CaptureStdout();
        ASSERT_NE(store(), nullptr);
        EXPECT_EQ(store()->getIntegerForKey("a", 0), number);
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(countLines(log, "is damaged, it is kept as " + copy(number) + " "), 1) << log;
        EXPECT_EQ(countLines(log, "the oldest, " + copy(number - 5) + ", was removed"), number > 5 ? 1 : 0)
            << log;
        EXPECT_EQ(countLines(log, ""), number > 5 ? 2 : 1) << log;
    }
    for (int number = 1; number <= 7; ++number) {
        if (number <= 2) {
            EXPECT_NE(access(copy(number).c_str(), F_OK), 0) << number;
        } else {
            EXPECT_EQ(readFile(copy(number)), damaged(number)) << number;
        }
    }
}

// Files beside the store whose names only look like its copies (a number too large for any counter,
// leading zeros) are neither written over nor removed, and a folder where the next copy would go is
// stepped over: each damage still gets a copy of its own, and the store is written again.
TEST_F(UserDefaultTest, damagedCopiesGoOverNothingBesideTheStoreWhateverItsName)
{
    const std::string huge = path() + ".damaged.9223372036854775807";
    const std::string zeros = path() + ".damaged.007";
    const std::string folder = path() + ".damaged.2";
    writeFile(huge, "huge");
    writeFile(zeros, "zeros");
    const std::string first = "<?xml version=\"1.0\"?>\n<userDefaultRoot><a>1</a><b>";
    const std::string second = "<?xml version=\"1.0\"?>\n<userDefaultRoot><a>2</a><b>";
    for (const std::string& damaged : {first, second}) {
        ZTUserDefault::purgeSharedUserDefault();
        writeFile(path(), damaged);
        testing::internal::CaptureStdout();
        ASSERT_NE(store(), nullptr);
        testing::internal::GetCapturedStdout();
        if (damaged == first) {
            ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
        }
    }
    store()->setIntegerForKey("c", 3);
    store()->flush();
    reload();
    EXPECT_EQ(store()->getIntegerForKey("c", 0), 3);
    EXPECT_EQ(readFile(path() + ".damaged"), first);
    EXPECT_EQ(readFile(path() + ".damaged.3"), second);
    EXPECT_EQ(readFile(huge), "huge");
    EXPECT_EQ(readFile(zeros), "zeros");
    std::remove(huge.c_str());
    std::remove(zeros.c_str());
    rmdir(folder.c_str());
}

// The same damage met at two starts (the game ended before writing the store) is copied once: copies of
// it would push older, different ones out.
TEST_F(UserDefaultTest, theSameDamageMetAgainIsNotCopiedAgain)
{
    const std::string damaged = "<?xml version=\"1.0\"?>\n<userDefaultRoot><a>1</a><b>";
    for (int start = 0; start < 2; ++start) {
        ZTUserDefault::purgeSharedUserDefault();
        writeFile(path(), damaged);
        testing::internal::CaptureStdout();
        ASSERT_NE(store(), nullptr);
        const std::string log = testing::internal::GetCapturedStdout();
        EXPECT_EQ(countLines(log, start == 0 ? "is damaged, it is kept as " + path() + ".damaged "
                                             : "is damaged, it is kept already as " + path() + ".damaged "),
                  1)
            << log;
    }
    EXPECT_EQ(readFile(path() + ".damaged"), damaged);
    EXPECT_NE(access((path() + ".damaged.2").c_str(), F_OK), 0);
}

TEST_F(UserDefaultTest, unreadableFileIsLeftAloneAndReportedOnce)
{
    const std::string saved = "<?xml version=\"1.0\"?>\n<userDefaultRoot><n>5</n></userDefaultRoot>\n";
    writeFile(path(), saved);
    chmod(path().c_str(), 0200);
    ignoreFileModes(false);
    testing::internal::CaptureStdout();
    ASSERT_NE(store(), nullptr);
    EXPECT_EQ(store()->getIntegerForKey("n", 42), 42);
    store()->setIntegerForKey("m", 1);
    store()->flush();
    ZTUserDefault::purgeSharedUserDefault();
    const std::string log = testing::internal::GetCapturedStdout();
    ignoreFileModes(true);
    chmod(path().c_str(), 0600);

    EXPECT_EQ(countLines(log, "ZTUserDefault: WARNING:"), 1) << log;
    EXPECT_EQ(readFile(path()), saved);
    reload();
    EXPECT_EQ(store()->getIntegerForKey("n", 0), 5);
}

TEST_F(UserDefaultTest, writeReplacesTheFileInOneStep)
{
    store()->setIntegerForKey("n", 5);
    store()->flush();
    const std::string link = path() + ".previous";
    std::remove(link.c_str());
    ASSERT_EQ(::link(path().c_str(), link.c_str()), 0);
    store()->setIntegerForKey("n", 6);
    store()->flush();
    EXPECT_NE(readFile(link).find("<n>5</n>"), std::string::npos) << "the old file was rewritten in place";
    EXPECT_NE(readFile(path()).find("<n>6</n>"), std::string::npos);
    std::remove(link.c_str());
}

TEST_F(UserDefaultTest, failedWriteKeepsThePreviousFile)
{
    store()->setIntegerForKey("n", 5);
    store()->flush();
    const std::string before = readFile(path());
    store()->setStringForKey("long", std::string(20000, 'x'));

    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{4096, limit.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    testing::internal::CaptureStdout();
    store()->flush();
    const std::string log = testing::internal::GetCapturedStdout();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(countLines(log, "ZTUserDefault: WARNING: could not write"), 1) << log;
    EXPECT_EQ(readFile(path()), before);
    EXPECT_EQ(filesIn(path().substr(0, path().rfind('/'))), 1) << "the half-written copy is removed";
}

TEST_F(UserDefaultTest, recoveredFileIsRepairedByTheNextWrite)
{
    writeFile(path(), "<\xff/\xff\xff");
    testing::internal::CaptureStdout();
    ASSERT_NE(store(), nullptr);
    store()->setStringForKey("k", "v & <w>");
    store()->flush();
    EXPECT_EQ(countLines(testing::internal::GetCapturedStdout(), "ZTUserDefault: WARNING:"), 1);

    for (int pass = 0; pass < 2; ++pass) {
        testing::internal::CaptureStdout();
        reload();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the written file is well-formed";
        EXPECT_EQ(store()->getStringForKey("k", ""), "v & <w>");
        store()->flush();
    }
}

TEST_F(UserDefaultTest, damagedFileKeepsItsKeysAndTextsInTheRepairedFile)
{
    writeFile(path(),
              "<?xml version=\"1.0\"?>\n<userDefaultRoot><a>x &amp; y</a><e/><b>6</b><c>\xff</c><d>7</d>");
    testing::internal::CaptureStdout();
    ASSERT_NE(store(), nullptr);
    testing::internal::GetCapturedStdout();
    const std::string a = store()->getStringForKey("a", "");
    const int b = store()->getIntegerForKey("b", 0);
    EXPECT_EQ(a, "x & y");
    EXPECT_EQ(b, 6);
    EXPECT_EQ(store()->getStringForKey("e", "empty"), "empty");
    store()->flush();
    testing::internal::CaptureStdout();
    reload();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(store()->getStringForKey("a", ""), a);
    EXPECT_EQ(store()->getIntegerForKey("b", 0), b);
    EXPECT_EQ(store()->getStringForKey("e", "empty"), "empty");
}

struct StoredFile
{
    const char* name;
    std::string bytes;
    // Not this store's own well-formed document: kept beside with one warning.
    bool damaged;
};

void PrintTo(const StoredFile& file, std::ostream* out)
{
    *out << file.name;
}

class UserDefaultFileKinds : public UserDefaultTest, public testing::WithParamInterface<StoredFile>
{
};

// Whatever the file held, values set after reading it survive a flush and a fresh start, and a damaged
// file is kept beside the new one.
TEST_P(UserDefaultFileKinds, valuesSetAfterReadingItSurviveAndADamagedFileIsKept)
{
    const StoredFile file = GetParam();
    const std::string kept = path() + ".damaged";
    writeFile(path(), file.bytes);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ASSERT_NE(store(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(countLines(log, ""), file.damaged ? 1 : 0) << log;
    EXPECT_EQ(countLines(log, "ZTUserDefault: WARNING:"), file.damaged ? 1 : 0) << log;
    const int earlier = store()->getIntegerForKey("a", -1);

    const std::string markup = "v & <w> \"q\" 'a' 1.5";
    store()->setStringForKey("text", markup);
    store()->setIntegerForKey("n", 5);
    store()->flush();
    EXPECT_EQ(readIntegerInNewProcess("n", 5), 0);
    testing::internal::CaptureStdout();
    reload();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the written file is sound";
    EXPECT_EQ(store()->getStringForKey("text", ""), markup);
    EXPECT_EQ(store()->getIntegerForKey("n", 0), 5);
    EXPECT_EQ(store()->getIntegerForKey("a", -1), earlier);
    if (file.damaged && !file.bytes.empty()) {
        EXPECT_EQ(readFile(kept), file.bytes);
    } else {
        EXPECT_NE(access(kept.c_str(), F_OK), 0) << "nothing to keep";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UserDefaultFileKinds,
    testing::Values(
        // An XML declaration with encoding "utf-4" inside a broken document, as a player's file was found.
        StoredFile{
            "brokenWithUtf4Declaration",
            "<?<?xml version=ersion=\"1.0\"?>\n<userDefaultRoot>><b>1</userDefaultRooty\">]><userCTYPE r "
            "[<!E\x0eTITY e \"x[<!E\x0eTITY eion=\"1.0\" encoding=\"utf-4\"?>\n\">]><userCTYP\xc7 r ></t>",
            true},
        StoredFile{"truncated", "<?xml version=\"1.0\"?>\n<userDefaultRoot><a>5</a><text>o", true},
        StoredFile{"binaryGarbage",
                   std::string("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\xff\xfe\x00\x01<\xc7>", 23), true},
        StoredFile{"otherRootElement",
                   "<?xml version=\"1.0\"?>\n<settings><text>old</text><a>1</a></settings>\n", true},
        StoredFile{"empty", "", true},
        // Encoding declarations are not followed: the store reads and writes UTF-8 only.
        StoredFile{
            "utf4Declaration",
            "<?xml version=\"1.0\" encoding=\"utf-4\"?>\n<userDefaultRoot><a>1</a></userDefaultRoot>\n",
            false},
        StoredFile{"unknownEncoding",
                   "<?xml version=\"1.0\" encoding=\"x-none\"?><userDefaultRoot><a>2</a></userDefaultRoot>",
                   false},
        StoredFile{"utf16Declaration",
                   "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<userDefaultRoot><a>3</a></userDefaultRoot>",
                   false}),
    [](const testing::TestParamInfo<StoredFile>& info) { return std::string(info.param.name); });

TEST_F(UserDefaultTest, unwritableFolderGivesNoStore)
{
    ZTUserDefault::purgeSharedUserDefault();
    const std::string home = std::getenv("HOME");
    const std::string blockedHome = home + "/blocked";
    mkdir(blockedHome.c_str(), 0700);
    writeFile(blockedHome + "/Documents", "a file where the documents folder should be");
    setenv("HOME", blockedHome.c_str(), 1);
    EXPECT_EQ(ZTUserDefault::sharedUserDefault(), nullptr);
    ZTUserDefault::purgeSharedUserDefault();
    setenv("HOME", home.c_str(), 1);
}

int main(int argc, char** argv)
{
    // Read-back mode: a second process that only reads one key and reports by its exit status.
    if (argc == 4 && std::strcmp(argv[1], "--read-integer") == 0) {
        ZTUserDefault* store = ZTUserDefault::sharedUserDefault();
        const bool ok = store && store->getIntegerForKey(argv[2], 0) == std::atoi(argv[3]);
        ZTUserDefault::purgeSharedUserDefault();
        return ok ? 0 : 1;
    }
    g_selfPath = argv[0];
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
