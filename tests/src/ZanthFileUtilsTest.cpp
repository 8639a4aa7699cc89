#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>

#include <csignal>
#include <memory>
#include <sys/resource.h>

#include "zanthfileutils.h"

namespace {

QString documents()
{
    return QDir::homePath() + QStringLiteral("/Documents/");
}

bool put(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Runs the test inside a fresh working directory, so relative names resolve to files it made itself.
class InTemporaryWorkingDir : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = QDir::currentPath();
        ASSERT_TRUE(m_dir.isValid());
        QDir::setCurrent(m_dir.path());
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    QString m_previous;
    QTemporaryDir m_dir;
};

using ZanthFileUtilsLookup = InTemporaryWorkingDir;
using ZanthFileUtilsWrite = InTemporaryWorkingDir;

} // namespace

TEST_F(ZanthFileUtilsLookup, diskBesideProgramWinsOverResources)
{
    const QString name = QStringLiteral("qml/probe.json");
    EXPECT_EQ(ZanthFileUtils::findFileOrDirectoryIncludingResources(name), QStringLiteral(":/qml/probe.json"));
    EXPECT_EQ(ZanthFileUtils::getFileData(name), QByteArray("{ \"from\" : \"resource\" }\n"));

    const QString resources = QCoreApplication::applicationDirPath() + QStringLiteral("/../Resources");
    ASSERT_FALSE(QFileInfo::exists(resources)) << "left over from an earlier run";
    struct RemoveOnExit
    {
        QString path;
        ~RemoveOnExit() { QDir(path).removeRecursively(); }
    } cleanup{resources};
    ASSERT_TRUE(put(resources + QStringLiteral("/qml/probe.json"), "beside"));
    EXPECT_EQ(QFileInfo(ZanthFileUtils::findFileOrDirectoryIncludingResources(name)).canonicalFilePath(),
              QFileInfo(resources + QStringLiteral("/qml/probe.json")).canonicalFilePath());
    EXPECT_EQ(ZanthFileUtils::getFileData(name), QByteArray("beside"));

    ASSERT_TRUE(put(name, "working dir"));
    EXPECT_EQ(ZanthFileUtils::findFileOrDirectoryIncludingResources(name), name);
    EXPECT_EQ(ZanthFileUtils::getFileData(QStringLiteral("only.txt")), QByteArray());
    EXPECT_EQ(ZanthFileUtils::getFileData(QStringLiteral("qml/only.txt")), QByteArray("resource only\n"));
}

TEST_F(ZanthFileUtilsLookup, resourcePathFallsBackToWorkingDirAndMissingGivesEmpty)
{
    EXPECT_EQ(ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral(":/qml/only.txt")),
              QStringLiteral(":/qml/only.txt"));
    ASSERT_TRUE(put(QStringLiteral("extra/x.qml"), "x"));
    EXPECT_EQ(ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral(":/extra/x.qml")),
              QStringLiteral("extra/x.qml"));
    EXPECT_EQ(ZanthFileUtils::findFileOrDirectoryIncludingResources(QStringLiteral("nothing/here.qml")), QString());
    EXPECT_TRUE(ZanthFileUtils::existsFile(QStringLiteral("qml")));
    EXPECT_FALSE(ZanthFileUtils::existsFile(QStringLiteral("nothing/here.qml")));
    EXPECT_FALSE(ZanthFileUtils::existsFileWithoutAdoptions(QStringLiteral("qml/only.txt")));
}

TEST(ZanthFileUtilsNames, schemesAndCropping)
{
    EXPECT_EQ(ZanthFileUtils::stripSchemeFromUrl(QStringLiteral("qrc:/a/b.png")), QStringLiteral(":/a/b.png"));
    EXPECT_EQ(ZanthFileUtils::stripSchemeFromUrl(QUrl(QStringLiteral("file:///tmp/x.json"))), QStringLiteral("/tmp/x.json"));
    EXPECT_EQ(ZanthFileUtils::stripSchemeFromUrl(QStringLiteral("file:rel.txt")), QStringLiteral("rel.txt"));
    EXPECT_EQ(ZanthFileUtils::getFilenameWithoutSchemeAndResourcePath(QUrl(QStringLiteral("qrc:/img/a.png"))),
              QStringLiteral("img/a.png"));

    EXPECT_EQ(ZanthFileUtils::getUrlByAddingSchemeToFilename(QStringLiteral(":/img/a.png")).toString(),
              QStringLiteral("qrc:/img/a.png"));
    EXPECT_EQ(ZanthFileUtils::getUrlByAddingSchemeToFilename(QStringLiteral("file::/img/a.png")).toString(),
              QStringLiteral("qrc:/img/a.png"));
    EXPECT_EQ(ZanthFileUtils::getUrlByAddingSchemeToFilename(QStringLiteral("/Users/u/a.png")).toString(),
              QStringLiteral("file:///Users/u/a.png"));
    EXPECT_EQ(ZanthFileUtils::getUrlByAddingSchemeToFilename(QStringLiteral("qrc:/x")).toString(), QStringLiteral("qrc:/x"));

    EXPECT_EQ(ZanthFileUtils::cropPathAndKeepFilename(QStringLiteral("a/b/c.json")), QStringLiteral("c.json"));
    EXPECT_EQ(ZanthFileUtils::cropPathAndKeepFilename(QStringLiteral("a/b/c.json"), true), QStringLiteral("c"));
    EXPECT_EQ(ZanthFileUtils::cropPathAndKeepFilename(QStringLiteral("/c.json")), QStringLiteral("/c.json"));
    EXPECT_EQ(ZanthFileUtils::cropPathAndKeepFilename(QStringLiteral(".hidden"), true), QStringLiteral(".hidden"));
    EXPECT_EQ(ZanthFileUtils::cropPathAndKeepFilename(QStringLiteral("dir/")), QStringLiteral("dir/"));

    EXPECT_EQ(ZanthFileUtils::getAbsolutePathFromUrlString(QStringLiteral("file:///a/b/c.json")), QStringLiteral("/a/b/"));
    EXPECT_EQ(ZanthFileUtils::getAbsolutePathFromUrlString(QStringLiteral("file:///a/b")), QStringLiteral("/a/b"));
    EXPECT_EQ(ZanthFileUtils::getPathUrl(QStringLiteral("fire.png"), QUrl(QStringLiteral("file:///fx/Fire.json"))),
              QUrl(QStringLiteral("file:///fx/fire.png")));
}

TEST(ZanthFileUtilsNames, writablePathsAndStorage)
{
    EXPECT_EQ(ZanthFileUtils::defaultWritablePath(), documents());
    EXPECT_EQ(ZanthFileUtils::prependDefaultWritablePathIfFileIsRelative(QStringLiteral("a.txt")), documents() + "a.txt");
    EXPECT_EQ(ZanthFileUtils::prependDefaultWritablePathIfFileIsRelative(QStringLiteral(":/a.txt")), QStringLiteral(":/a.txt"));
    EXPECT_EQ(ZanthFileUtils::getDataStorageUrl(QStringLiteral("./Embervale\\particles/")),
              QUrl::fromLocalFile(documents() + QStringLiteral("/Embervale/particles/")));

    const QString cache = ZanthFileUtils::storageLocation(ZanthFileUtils::CacheLocation);
    EXPECT_TRUE(cache.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(cache.startsWith(QDir::homePath()));
    EXPECT_TRUE(QFileInfo(cache).isDir());
    EXPECT_EQ(ZanthFileUtils::storageLocation(static_cast<ZanthFileUtils::StorageLocation>(7)), QString());
}

TEST(ZanthFileUtilsQml, basePathAndPathUrlFollowTheQmlFile)
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nQtObject {}", QUrl(QStringLiteral("qrc:/qml/Main.qml")));
    const std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object);
    EXPECT_EQ(ZanthFileUtils::getBasePath(object.get()), QStringLiteral("qrc:/qml/"));
    EXPECT_EQ(ZanthFileUtils::getPathUrl(QStringLiteral("img/a.png"), object.get()), QUrl(QStringLiteral("qrc:/qml/img/a.png")));
    EXPECT_EQ(ZanthFileUtils::getPathUrl(QStringLiteral(":/other.png"), object.get()), QUrl(QStringLiteral("qrc:/other.png")));

    QObject plain;
    EXPECT_EQ(ZanthFileUtils::getBasePath(&plain), QString());
    EXPECT_EQ(ZanthFileUtils::getBasePath(nullptr), QString());
}

TEST(ZanthFileUtilsQml, slotsAreCallableFromScript)
{
    QQmlEngine engine;
    ZanthFileUtils utils;
    engine.rootContext()->setContextProperty(QStringLiteral("fileUtils"), &utils);
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nQtObject {\n"
                      "  property bool written: fileUtils.writeFile(\"qml/w.json\", \"[ 1 ]\")\n"
                      "  property string read: written ? fileUtils.readFile(\"qml/w.json\") : \"\"\n"
                      "  property string cache: fileUtils.storageLocation(3)\n"
                      "  property var names: fileUtils.listFiles(fileUtils.getDataStorageUrl(\"qml/\"), \"*.json\")\n"
                      "}",
                      QUrl(QStringLiteral("qrc:/qml/Main.qml")));
    const std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object) << component.errorString().toStdString();
    EXPECT_TRUE(object->property("written").toBool());
    EXPECT_EQ(object->property("read").toString(), QStringLiteral("[ 1 ]"));
    EXPECT_EQ(object->property("cache").toString(), ZanthFileUtils::storageLocation(ZanthFileUtils::CacheLocation));
    EXPECT_EQ(object->property("names").toStringList(), QStringList{QStringLiteral("w.json")});
}

TEST_F(ZanthFileUtilsWrite, relativeNamesLandInDocumentsWithFolders)
{
    EXPECT_TRUE(ZanthFileUtils::writeFile(QStringLiteral("a/b/c.json"), QStringLiteral("{ \"\u00e9\" : 1 }")));
    EXPECT_EQ(contents(documents() + QStringLiteral("a/b/c.json")), QByteArray("{ \"\xc3\xa9\" : 1 }"));
    EXPECT_EQ(ZanthFileUtils::readFile(QStringLiteral("a/b/c.json")), QStringLiteral("{ \"\u00e9\" : 1 }"));

    const QString absolute = m_dir.path() + QStringLiteral("/x.json");
    EXPECT_TRUE(ZanthFileUtils::writeFile(QUrl::fromLocalFile(absolute).toString(), QByteArray("[  ]")));
    EXPECT_EQ(contents(absolute), QByteArray("[  ]"));

    EXPECT_TRUE(ZanthFileUtils::writeFile(absolute, QByteArray()));
    EXPECT_EQ(contents(absolute), QByteArray());
    EXPECT_FALSE(ZanthFileUtils::writeFile(QString(), QByteArray("x")));
}

TEST_F(ZanthFileUtilsWrite, failedWriteKeepsThePreviousFile)
{
    const QString path = m_dir.path() + QStringLiteral("/keep.json");
    ASSERT_TRUE(ZanthFileUtils::writeFile(path, QByteArray("previous")));

    ASSERT_TRUE(put(m_dir.path() + QStringLiteral("/plain"), "a file, not a folder"));
    EXPECT_FALSE(ZanthFileUtils::writeFile(m_dir.path() + QStringLiteral("/plain/inner.json"), QByteArray("x")));

    // A file size limit makes the write itself fail half way, as a full disk would.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = ZanthFileUtils::writeFile(path, QByteArray(1 << 20, 'x'));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(contents(path), QByteArray("previous"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file left";
}

TEST_F(ZanthFileUtilsWrite, readFileFailureValuesAndSources)
{
    EXPECT_TRUE(ZanthFileUtils::readFile(QStringLiteral("missing.json")).isNull());
    ASSERT_TRUE(put(QStringLiteral("data.bin"), "binary"));
    EXPECT_TRUE(ZanthFileUtils::readFile(QStringLiteral("data.bin")).isNull());
    EXPECT_TRUE(ZanthFileUtils::readFile(QString()).isNull());

    ASSERT_TRUE(put(documents() + QStringLiteral("notes.txt"), "from documents"));
    EXPECT_EQ(ZanthFileUtils::readFile(QStringLiteral("notes.txt")), QStringLiteral("from documents"));
    ASSERT_TRUE(put(QStringLiteral("notes.txt"), "from working dir"));
    EXPECT_EQ(ZanthFileUtils::readFile(QStringLiteral("notes.txt")), QStringLiteral("from working dir"));

    ASSERT_TRUE(put(QStringLiteral("empty.txt"), QByteArray()));
    const QString empty = ZanthFileUtils::readFile(QStringLiteral("empty.txt"));
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());

    EXPECT_EQ(ZanthFileUtils::readFile(QStringLiteral("qrc:/qml/only.txt")), QStringLiteral("resource only\n"));
}

TEST_F(ZanthFileUtilsWrite, copyFileTextBinaryAndUnreadableSource)
{
    ASSERT_TRUE(put(QStringLiteral("src.json"), "{ }"));
    EXPECT_TRUE(ZanthFileUtils::copyFile(QStringLiteral("src.json"), QStringLiteral("copies/dst.json")));
    EXPECT_EQ(contents(documents() + QStringLiteral("copies/dst.json")), QByteArray("{ }"));

    const QByteArray binary("\x89PNG\0\x01\x02", 7);
    ASSERT_TRUE(put(QStringLiteral("img.png"), binary));
    EXPECT_TRUE(ZanthFileUtils::copyFile(QStringLiteral("img.png"), QStringLiteral("copies/img.png")));
    EXPECT_EQ(contents(documents() + QStringLiteral("copies/img.png")), binary);

    EXPECT_FALSE(ZanthFileUtils::copyFile(QStringLiteral("missing.png"), QStringLiteral("copies/img.png")));
    EXPECT_EQ(contents(documents() + QStringLiteral("copies/img.png")), binary);
}

TEST_F(ZanthFileUtilsWrite, listFilesOfFolderOrFileUrl)
{
    const QString folder = m_dir.path() + QStringLiteral("/fx/");
    ASSERT_TRUE(put(folder + QStringLiteral("a.json"), "1"));
    ASSERT_TRUE(put(folder + QStringLiteral(".hidden.json"), "2"));
    ASSERT_TRUE(put(folder + QStringLiteral("b.png"), "3"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("sub.json")));

    QStringList names = ZanthFileUtils::listFiles(QUrl::fromLocalFile(folder), {QStringLiteral("*.json")});
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral(".hidden.json"), QStringLiteral("a.json")}));
    EXPECT_EQ(ZanthFileUtils::listFiles(QUrl::fromLocalFile(folder + QStringLiteral("a.json"))).size(), 3);
    EXPECT_TRUE(ZanthFileUtils::listFiles(QUrl::fromLocalFile(m_dir.path() + QStringLiteral("/none/"))).isEmpty());

    ASSERT_TRUE(put(documents() + QStringLiteral("saved/e.json"), "4"));
    EXPECT_EQ(ZanthFileUtils::listFiles(QUrl(QStringLiteral("saved/"))), QStringList{QStringLiteral("e.json")});
}

TEST_F(ZanthFileUtilsWrite, removeDirRemovesTreeButNeverFollowsLinks)
{
    EXPECT_FALSE(ZanthFileUtils::removeDir(QString()));
    EXPECT_TRUE(ZanthFileUtils::removeDir(QStringLiteral("does-not-exist")));

    const QString outside = m_dir.path() + QStringLiteral("/outside");
    ASSERT_TRUE(put(outside + QStringLiteral("/precious.txt"), "keep"));
    const QString tree = documents() + QStringLiteral("tree");
    ASSERT_TRUE(put(tree + QStringLiteral("/a/b/.hidden"), "x"));
    ASSERT_TRUE(put(tree + QStringLiteral("/top.txt"), "x"));
    ASSERT_TRUE(QFile::link(outside, tree + QStringLiteral("/a/linkToOutside")));
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/precious.txt"), tree + QStringLiteral("/fileLink")));
    ASSERT_TRUE(QFile::link(m_dir.path() + QStringLiteral("/gone"), tree + QStringLiteral("/dangling")));

    EXPECT_TRUE(ZanthFileUtils::removeDir(QStringLiteral("tree")));
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_EQ(contents(outside + QStringLiteral("/precious.txt")), QByteArray("keep"));

    const QString link = m_dir.path() + QStringLiteral("/link");
    ASSERT_TRUE(QFile::link(outside, link));
    EXPECT_TRUE(ZanthFileUtils::removeDir(link));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(outside + QStringLiteral("/precious.txt")), QByteArray("keep"));
}

TEST(ZanthFileUtilsSearch, searchPathsAndMultiPathLookup)
{
    ZanthFileUtils utils;
    utils.addSearchPath(QStringLiteral("/tmp/p"));
    utils.addSearchPath(QStringLiteral("/tmp/p/"));
    EXPECT_EQ(utils.searchPaths(), QStringList{QStringLiteral("/tmp/p/")});
    utils.addSearchPath(QStringLiteral("/tmp/q"), 0);
    utils.addSearchPath(QStringLiteral("/tmp/r"), 9);
    EXPECT_EQ(utils.searchPaths(), (QStringList{QStringLiteral("/tmp/q/"), QStringLiteral("/tmp/p/"), QStringLiteral("/tmp/r/")}));
    utils.removeSearchPath(QStringLiteral("/tmp/p"));
    utils.removeSearchPath(QStringLiteral("/tmp/r"));
    EXPECT_EQ(utils.property("searchPaths").toStringList(), QStringList{QStringLiteral("/tmp/q/")});

    const QUrl shot(QStringLiteral("appScreenshots/newScreenshot.png"));
    EXPECT_EQ(utils.getMultiPathUrl(shot), QUrl());
    EXPECT_EQ(utils.searchPaths().first(), documents());
    ASSERT_TRUE(put(documents() + QStringLiteral("appScreenshots/newScreenshot.png"), "png"));
    EXPECT_EQ(utils.getMultiPathUrl(shot), QUrl::fromLocalFile(documents() + QStringLiteral("appScreenshots/newScreenshot.png")));

    QTemporaryDir package;
    ASSERT_TRUE(put(package.path() + QStringLiteral("/img/level.png"), "png"));
    utils.addSearchPath(package.path());
    EXPECT_EQ(utils.getMultiPathUrl(QUrl(QStringLiteral("img/level.png"))),
              QUrl::fromLocalFile(package.path() + QStringLiteral("/img/level.png")));

    EXPECT_EQ(utils.getMultiPathUrl(QUrl(QStringLiteral("qrc:/qml/only.txt"))), QUrl(QStringLiteral("qrc:/qml/only.txt")));
    EXPECT_EQ(utils.getMultiPathUrl(QUrl(QStringLiteral("qrc:/qml/none.png"))), QUrl());
    EXPECT_EQ(utils.getMultiPathUrl(QUrl()), QUrl());
}

TEST(ZanthFileUtilsSearch, multiPathLookupBesideTheQmlFile)
{
    QTemporaryDir qmlDir;
    ASSERT_TRUE(put(qmlDir.path() + QStringLiteral("/img/here.png"), "png"));
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nQtObject {}", QUrl::fromLocalFile(qmlDir.path() + QStringLiteral("/Main.qml")));
    const std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object);

    ZanthFileUtils utils;
    EXPECT_EQ(utils.getMultiPathUrl(QUrl(QStringLiteral("img/here.png")), object.get()),
              QUrl::fromLocalFile(qmlDir.path() + QStringLiteral("/img/here.png")));
    // Not there yet: the URL beside the QML file, so an image bound to it appears once it is written.
    EXPECT_EQ(utils.getMultiPathUrl(QUrl(QStringLiteral("img/later.png")), object.get()),
              QUrl::fromLocalFile(qmlDir.path() + QStringLiteral("/img/later.png")));
    ASSERT_TRUE(put(documents() + QStringLiteral("img/saved.png"), "png"));
    EXPECT_EQ(utils.getMultiPathUrl(QUrl::fromLocalFile(qmlDir.path() + QStringLiteral("/img/saved.png")), object.get()),
              QUrl::fromLocalFile(documents() + QStringLiteral("img/saved.png")));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
