#include <QResource>
#include <gtest/gtest.h>
#include <unistd.h>

#include "FixtureDir.h"
#include "platform/ZTContentScale.h"
#include "platform/ZTFileUtils.h"

using namespace zanth2d;

namespace {

std::string readAll(const char* path, const char* mode = "rb")
{
    unsigned long size = 0;
    unsigned char* data = ZTFileUtils::getFileData(path, mode, &size);
    std::string result = data ? std::string(reinterpret_cast<char*>(data), size) : std::string("<null>");
    delete[] data;
    return result;
}

// Builds a binary resource file with Qt's resource compiler and registers it, so that ":/" + path works.
bool registerResources(const FixtureDir& dir, const std::string& relative, const std::string& content)
{
    dir.write("res/" + relative, content);
    dir.write("res/res.qrc", "<RCC><qresource prefix=\"/\"><file>" + relative + "</file></qresource></RCC>");
    std::string command =
        "cd '" + dir.path() + "/res' && /usr/lib/qt6/libexec/rcc -binary res.qrc -o ../res.rcc";
    return std::system(command.c_str()) == 0 &&
           QResource::registerResource(QString::fromStdString(dir.path("res.rcc")));
}

} // namespace

TEST(ZTFileUtilsTest, diskFilesAreReadWholeAndMissingFilesNotifyOnce)
{
    FixtureDir dir;
    dir.write("a.bin", std::string("x\0y\r\n", 5));
    EXPECT_EQ(readAll(dir.path("a.bin").c_str()), std::string("x\0y\r\n", 5));
    EXPECT_EQ(readAll(dir.path("a.bin").c_str(), "rt"), std::string("x\0y\r\n", 5));
    dir.write("empty.bin", "");
    EXPECT_EQ(readAll(dir.path("empty.bin").c_str()), "");

    unsigned long size = 7;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ZTFileUtils::getFileData(dir.path("missing.bin").c_str(), "rb", &size), nullptr);
    EXPECT_EQ(ZTFileUtils::getFileData(dir.path().c_str(), "rb", &size), nullptr) << "a folder is not a file";
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Notification: Get data from file(" + dir.path("missing.bin") +
                  ") failed!\nNotification: Get data from file(" + dir.path() + ") failed!\n");
    EXPECT_EQ(size, 0u);

    ZTFileUtils::setIsPopupNotify(false);
    testing::internal::CaptureStdout();
    EXPECT_EQ(ZTFileUtils::getFileData("missing.bin", "rb", &size), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(ZTFileUtils::getIsPopupNotify());
    ZTFileUtils::setIsPopupNotify(true);

    unsigned char* out = nullptr;
    EXPECT_EQ(ztLoadFileIntoMemory(dir.path("a.bin").c_str(), &out), 5);
    std::free(out);
}

TEST(ZTFileUtilsTest, compiledInResourcesAreReadWhenNoDiskFileExists)
{
    FixtureDir dir;
    ASSERT_TRUE(registerResources(dir, "zt-files-test/only-in-resources.txt", "from resources"));
    EXPECT_EQ(readAll(":/zt-files-test/only-in-resources.txt"), "from resources");
    EXPECT_EQ(readAll("zt-files-test/only-in-resources.txt"), "from resources");

    // A file with the same relative path on disk wins.
    FixtureDir cwd;
    char* working = get_current_dir_name();
    std::string previous = working;
    std::free(working);
    ASSERT_EQ(chdir(cwd.path().c_str()), 0);
    cwd.write("zt-files-test/only-in-resources.txt", "from disk");
    EXPECT_EQ(readAll("zt-files-test/only-in-resources.txt"), "from disk");
    EXPECT_EQ(readAll(":/zt-files-test/only-in-resources.txt"), "from resources");
    ASSERT_EQ(chdir(previous.c_str()), 0);
}

TEST(ZTFileUtilsTest, resourcesFolderBesideTheExecutableComesFirst)
{
    if (std::getenv("ZT_FILES_CHILD")) {
        // Runs inside a copy of this program at <root>/bin with <root>/Resources beside it.
        std::string root = std::getenv("ZT_FILES_CHILD");
        EXPECT_EQ(std::string(ZTFileUtils::fullPathFromRelativePath("data/f.txt")),
                  root + "/Resources/data/f.txt");
        EXPECT_EQ(readAll("data/f.txt"), "bundled");
        EXPECT_EQ(readAll("data/g.txt"), "working folder");
        EXPECT_EQ(std::string(ZTFileUtils::fullPathFromRelativePath("data/g.txt")), "data/g.txt");
        return;
    }
    FixtureDir dir;
    dir.write("x", "");
    std::string root = dir.path();
    std::string setup =
        "cd '" + root + "' && mkdir -p bin Resources/data work/data && cp /proc/" + std::to_string(getpid()) +
        "/exe bin/copy && printf bundled > Resources/data/f.txt" +
        " && printf 'working folder' > work/data/f.txt && printf 'working folder' > work/data/g.txt";
    ASSERT_EQ(std::system(setup.c_str()), 0);
    std::string run = "cd '" + root + "/work' && ZT_FILES_CHILD='" + root + "' ../bin/copy --gtest_filter=" +
                      "ZTFileUtilsTest.resourcesFolderBesideTheExecutableComesFirst > child.log 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0) << dir.read("work/child.log");
}

TEST(ZTFileUtilsTest, fullPathsAreCleanedAndRelativeFilesShareTheFolder)
{
    EXPECT_STREQ(ZTFileUtils::fullPathFromRelativePath("/abs/./x.png"), "/abs/./x.png");
    EXPECT_STREQ(ZTFileUtils::fullPathFromRelativePath(":/img/x.png"), ":/img/x.png");
    EXPECT_STREQ(ZTFileUtils::fullPathFromRelativePath("./ship.png"), "ship.png");
    EXPECT_STREQ(ZTFileUtils::fullPathFromRelativePath("a//b/../ship.png"), "a/ship.png");
    EXPECT_STREQ(ZTFileUtils::fullPathFromRelativeFile("tex.png", "/x/y/fire.plist"), "/x/y/tex.png");
    EXPECT_STREQ(ZTFileUtils::fullPathFromRelativeFile("tex.png", "fire.plist"), "tex.png");
    EXPECT_EQ(ZTFileUtils::getWriteablePath(), std::string(std::getenv("HOME")) + "/Documents/");
}

TEST(ZTFileUtilsTest, hdSuffixIsRemovedOnlyFromTheFileNameAtScaleTwo)
{
    struct Case
    {
        const char* in;
        const char* atTwo;
    } cases[] = {{"images/ship-hd.png", "images/ship.png"},
                 {"-hd/ship.png", "-hd/ship.png"},
                 {"x/-hdship.png", "x/-hdship.png"},
                 {"ship-hd.png", "ship.png"},
                 {"-hd.png", "-hd.png"},
                 {"a-hd/ship.png", "a-hd/ship.png"}};
    for (const Case& c : cases) {
        std::string path = c.in;
        ZTFileUtils::ztRemoveHDSuffixFromFile(path);
        EXPECT_EQ(path, c.in) << "factor 1";
        ztSetContentScaleFactor(2.0f);
        testing::internal::CaptureStdout();
        ZTFileUtils::ztRemoveHDSuffixFromFile(path);
        std::string log = testing::internal::GetCapturedStdout();
        ztSetContentScaleFactor(1.0f);
        EXPECT_EQ(path, c.atTwo);
        EXPECT_EQ(log.empty(), path == c.in) << log;
    }
}

TEST(ZTFileUtilsTest, zipEntriesAreReadByExactName)
{
    FixtureDir dir;
    ASSERT_TRUE(dir.python(R"PY(
import zipfile
with zipfile.ZipFile("a.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("dir/Data.txt", "hello zip" * 1000)
    z.writestr("empty.txt", "")
    z.writestr("stored.txt", "plain stored text", zipfile.ZIP_STORED)
raw = bytearray(open("a.zip", "rb").read())
i = raw.find(b"plain stored")
raw[i:i + 5] = b"PLAIN"
open("corrupt.zip", "wb").write(bytes(raw))
open("junk.zip", "wb").write(b"PK\x03\x04 not really")
)PY"));
    unsigned long size = 99;
    unsigned char* data = ZTFileUtils::getFileDataFromZip(dir.path("a.zip").c_str(), "dir/Data.txt", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 9000u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 9), "hello zip");
    delete[] data;
    data = ZTFileUtils::getFileDataFromZip(dir.path("a.zip").c_str(), "empty.txt", &size);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(size, 0u);
    delete[] data;

    testing::internal::CaptureStdout();
    EXPECT_EQ(ZTFileUtils::getFileDataFromZip(dir.path("a.zip").c_str(), "dir/data.txt", &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(ZTFileUtils::getFileDataFromZip(dir.path("a.zip").c_str(), nullptr, &size), nullptr);
    EXPECT_EQ(ZTFileUtils::getFileDataFromZip("", "dir/Data.txt", &size), nullptr);
    EXPECT_EQ(ZTFileUtils::getFileDataFromZip(dir.path("junk.zip").c_str(), "dir/Data.txt", &size), nullptr);
    EXPECT_EQ(ZTFileUtils::getFileDataFromZip(dir.path("corrupt.zip").c_str(), "stored.txt", &size), nullptr)
        << "the damaged entry fails its checksum";
    testing::internal::GetCapturedStdout();
}
