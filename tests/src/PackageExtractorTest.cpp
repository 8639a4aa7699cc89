#include <gtest/gtest.h>

#include "FixtureDir.h"
#include "packageextractor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kLimit = 1 << 20;

TEST(PackageExtractorNames, refusesNamesThatLeaveTheFolder)
{
    for (const QByteArray& name : {QByteArray(""), QByteArray("/etc/passwd"), QByteArray("\\\\server\\x"),
                                   QByteArray("C:\\x.txt"), QByteArray(".."), QByteArray("../x"), QByteArray("a/../../x"),
                                   QByteArray("a\\..\\..\\x"), QByteArray("a/..")})
        EXPECT_FALSE(PackageExtractor::isSafeEntryName(name)) << name.constData();
    EXPECT_FALSE(PackageExtractor::isSafeEntryName(QByteArray("a\0b", 3)));
    for (const QByteArray& name : {QByteArray("a.txt"), QByteArray("levels/"), QByteArray("a..b/c...txt"),
                                   QByteArray("./a/./b"), QByteArray(".hidden")})
        EXPECT_TRUE(PackageExtractor::isSafeEntryName(name)) << name.constData();
}

class PackageExtractorRun : public ::testing::Test
{
protected:
    // Extracts the archive the Python lines write as z (a ZipFile) and gives the reported percents.
    QList<int> extract(const std::string& zipLines, bool& success, qint64 limit = kLimit)
    {
        dir.python("import zipfile\nwith zipfile.ZipFile('p.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n" +
                   zipLines);
        QList<int> percents;
        PackageExtractor extractor(QString::fromStdString(dir.path("p.zip")), package(), nullptr, limit);
        success = extractor.extract([&percents](int percent) { percents.append(percent); });
        return percents;
    }
    QString package() const { return QString::fromStdString(dir.path("pkg")); }

    FixtureDir dir;
};

TEST_F(PackageExtractorRun, oneEntryReportsZeroTwiceAndNeverHundred)
{
    bool success = false;
    EXPECT_EQ(extract("    z.writestr('only.txt', 'x')\n", success), (QList<int>{0, 0}));
    EXPECT_TRUE(success);
    EXPECT_EQ(dir.read("pkg/only.txt"), "x");
}

TEST_F(PackageExtractorRun, foldersOnlyArchiveMakesTheFolders)
{
    bool success = false;
    extract("    z.writestr('a/', '')\n    z.writestr('a/b/c/', '')\n", success);
    EXPECT_TRUE(success);
    EXPECT_TRUE(QDir(package() + "/a/b/c").exists());
}

TEST_F(PackageExtractorRun, entriesInflatingPastTheLimitInAllAreRefusedBeforeAnythingIsWritten)
{
    const std::string twoEntries =
        "    z.writestr('a.bin', bytes(600000))\n    z.writestr('b.bin', bytes(600000))\n";
    bool success = true;
    EXPECT_TRUE(extract(twoEntries, success, 1199999).isEmpty());
    EXPECT_FALSE(success);
    EXPECT_FALSE(QFile::exists(package()));
    EXPECT_FALSE(QFile::exists(PackageExtractor::temporaryFolderPath(package())));

    extract(twoEntries, success, 1200000);
    EXPECT_TRUE(success);
    EXPECT_EQ(QFileInfo(package() + "/b.bin").size(), 600000);
}

TEST_F(PackageExtractorRun, failureLeavesAnEarlierPackageFolderAloneAndNoTemporaryFolder)
{
    dir.write("pkg/old.txt", "old");
    dir.write("p.zip", "PK\x03\x04 not really an archive");
    PackageExtractor extractor(QString::fromStdString(dir.path("p.zip")), package(), nullptr, kLimit);
    EXPECT_FALSE(extractor.extract([](int) {}));
    EXPECT_FALSE(QFile::exists(PackageExtractor::temporaryFolderPath(package())));
    EXPECT_EQ(dir.read("pkg/old.txt"), "old");
}

TEST_F(PackageExtractorRun, cancelledExtractionLeavesNothing)
{
    auto cancelled = std::make_shared<std::atomic_bool>(true);
    dir.python("import zipfile\nwith zipfile.ZipFile('p.zip', 'w') as z:\n    z.writestr('a.txt', 'a')\n");
    PackageExtractor extractor(QString::fromStdString(dir.path("p.zip")), package(), cancelled, kLimit);
    EXPECT_FALSE(extractor.extract([](int) {}));
    EXPECT_FALSE(QFile::exists(package()));
    EXPECT_FALSE(QFile::exists(PackageExtractor::temporaryFolderPath(package())));
}

} // namespace
