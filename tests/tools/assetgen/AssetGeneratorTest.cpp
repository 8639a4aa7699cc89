// The generator program as the build runs it: it writes the files it is asked for, knows every file the
// application's resource tree lists, and fails with one log line on a name it has no drawing for.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace {

struct GeneratorRun
{
    int exitCode;
    QString out;
    QString err;
};

GeneratorRun generate(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(ZANTH_ASSETGEN), arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList warnings(const QString& err)
{
    QStringList lines = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.startsWith(QLatin1String("QStandardPaths")); });
    return lines;
}

} // namespace

TEST(AssetGenerator, listsEachFileOnceWithItsSize)
{
    const GeneratorRun run = generate({QStringLiteral("--list")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QSet<QString> paths;
    for (const QString& line : lines) {
        paths.insert(line.section(QLatin1Char(' '), 0, 0));
    }
    EXPECT_EQ(paths.size(), lines.size()) << "no path twice";
    EXPECT_EQ(lines.size(), 110);
    EXPECT_TRUE(lines.contains(QStringLiteral("qml/particles/point.png 32x32")));
    EXPECT_TRUE(lines.contains(QStringLiteral("qml/particles/particleFire_16.png 16x16")));
    EXPECT_TRUE(lines.contains(QStringLiteral("qml/img/aboutscreen-hd2.png 2048x4096")));
    EXPECT_TRUE(lines.contains(QStringLiteral("qml/img/aboutscreen-sd.json")));
    EXPECT_TRUE(lines.contains(QStringLiteral("qml/img/zanth-logo-hd.png 417x89")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("plugins/generic/Zanth/gui/skins/images/button-pullup-hd2.png 216x80")));
}

TEST(AssetGenerator, writesExactlyTheFilesItIsAskedFor)
{
    QTemporaryDir output;
    const GeneratorRun run = generate({output.path(), QStringLiteral("qml/particles/heart.png"),
                                       QStringLiteral("qml/img/aboutscreen-sd.json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(warnings(run.err).isEmpty()) << run.err.toStdString();
    EXPECT_EQ(QImage(output.filePath("qml/particles/heart.png")).size(), QSize(32, 32));
    EXPECT_GT(QFileInfo(output.filePath("qml/img/aboutscreen-sd.json")).size(), 0);
    EXPECT_EQ(QDir(output.filePath("qml/particles")).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(QDir(output.filePath("qml/img")).entryList(QDir::Files).size(), 1);
}

TEST(AssetGenerator, aNameWithoutDrawingFailsWithOneLogLine)
{
    QTemporaryDir output;
    const GeneratorRun run = generate({output.path(), QStringLiteral("qml/particles/unicorn.png")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(warnings(run.err),
              QStringList{QStringLiteral("assetgen: ERROR: no drawing for qml/particles/unicorn.png")});
    EXPECT_FALSE(QFileInfo::exists(output.filePath("qml/particles/unicorn.png")));
}

TEST(AssetGenerator, anUnwritableFolderFailsWithOneLogLine)
{
    QTemporaryDir output;
    QFile blocker(output.filePath("qml"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should go
    blocker.close();
    const GeneratorRun run = generate({output.path(), QStringLiteral("qml/particles/point.png")});
    EXPECT_EQ(run.exitCode, 1);
    const QStringList lines = warnings(run.err);
    ASSERT_EQ(lines.size(), 1) << run.err.toStdString();
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("assetgen: ERROR: cannot create the folder of ")));
}

TEST(AssetGenerator, missingArgumentsPrintTheUsage)
{
    const GeneratorRun run = generate({});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("usage: zanth_assetgen")));
}
