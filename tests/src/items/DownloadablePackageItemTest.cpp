#include <gtest/gtest.h>

#include "FixtureDir.h"
#include "LoopbackHttpServer.h"
#include "MessageLog.h"
#include "QtPrinters.h"
#include "TestCertificateAuthority.h"
#include "TestFiles.h"
#include "items/downloadablepackageitem.h"
#include "packageextractor.h"
#include "qmltyperegistry.h"
#include "zanthfileutils.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>

#include <csignal>
#include <cstring>
#include <limits>
#include <memory>
#include <unistd.h>

namespace {

using Item = DownloadablePackageItem;
using Entries = QList<QPair<QByteArray, QByteArray>>;

// A zip written by Python's zipfile with the names exactly as given (folders end with "/").
QByteArray makeZip(const Entries& entries, const QByteArray& flipInside = QByteArray())
{
    FixtureDir dir;
    std::string script = "import zipfile\nwith zipfile.ZipFile('p.zip', 'w') as z:\n";
    for (const auto& [name, data] : entries)
        script += "    z.writestr(zipfile.ZipInfo(bytes.fromhex('" + name.toHex().toStdString() +
                  "').decode()), bytes.fromhex('" + data.toHex().toStdString() + "'))\n";
    if (!dir.python(script))
        ADD_FAILURE() << "python could not write the zip";
    QByteArray zip = QByteArray::fromStdString(dir.read("p.zip"));
    if (!flipInside.isEmpty())
        zip[zip.indexOf(flipInside) + flipInside.size() / 2] ^= 0x01;
    return zip;
}

const QByteArray& manyEntriesZip()
{
    static const QByteArray zip = [] {
        Entries entries;
        for (int i = 0; i < 2000; ++i)
            entries.append(
                {"levels/level" + QByteArray::number(i) + ".json", QByteArray(3000, char('a' + i % 26))});
        return makeZip(entries);
    }();
    return zip;
}

QString packagesFolder()
{
    return ZanthFileUtils::storageLocation(ZanthFileUtils::CacheLocation) + QStringLiteral("_packages/");
}

// Every path below HOME with its size, to show that nothing outside a package changed.
QStringList homeSnapshot()
{
    QStringList paths;
    QDirIterator it(QDir::homePath(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        paths.append(it.filePath() + QLatin1Char(' ') +
                     QString::number(it.fileInfo().isDir() ? 0 : it.fileInfo().size()));
    }
    paths.sort();
    return paths;
}

// A QML engine with fileUtils, making DownloadablePackage items the way a game's QML does.
class PackageScene
{
public:
    PackageScene()
    {
        QmlTypeRegistry::registerRows(QmlTypeRows::DownloadablePackage, QmlTypeRows::DownloadablePackage);
        engine.rootContext()->setContextProperty(QStringLiteral("fileUtils"), &fileUtils);
    }

    // body holds QML lines for the item.
    std::unique_ptr<Item> create(const QString& source, const QString& secret = QString(),
                                 const QByteArray& body = QByteArray())
    {
        QQmlComponent component(&engine);
        component.setData("import QtQuick 2.15\nimport Zanth 1.0\nDownloadablePackage {\n" + body + "}\n",
                          QUrl(QStringLiteral("file:///p.qml")));
        QObject* object = component.beginCreate(engine.rootContext());
        if (!object) {
            ADD_FAILURE() << component.errorString().toStdString();
            return nullptr;
        }
        object->setProperty("source", QUrl(source));
        object->setProperty("secret", secret);
        component.completeCreate();
        return std::unique_ptr<Item>(qobject_cast<Item*>(object));
    }

    QQmlEngine engine;
    ZanthFileUtils fileUtils;
};

Item::DownloadError download(Item* item)
{
    QSignalSpy finished(item, qOverload<Item::DownloadError>(&Item::downloadFinished));
    item->download();
    if (finished.isEmpty() && !finished.wait(60000))
        return Item::UnknownError;
    return finished.last().at(0).value<Item::DownloadError>();
}

std::shared_ptr<QStringList> recordSignals(Item* item)
{
    auto log = std::make_shared<QStringList>();
    QObject::connect(item, &Item::downloadStarted, [log] { log->append("started"); });
    QObject::connect(item, &Item::statusChanged,
                     [log, item] { log->append("status " + QString::number(item->status())); });
    QObject::connect(item, &Item::downloadProgressChanged,
                     [log](int p) { log->append("download " + QString::number(p)); });
    QObject::connect(item, &Item::extractionProgessChanged,
                     [log](int p) { log->append("extract " + QString::number(p)); });
    QObject::connect(item, &Item::extractFinished,
                     [log](bool ok) { log->append(ok ? "extracted true" : "extracted false"); });
    QObject::connect(item, &Item::availableChanged,
                     [log, item] { log->append(item->available() ? "available true" : "available false"); });
    QObject::connect(item, qOverload<Item::DownloadError>(&Item::downloadFinished),
                     [log](Item::DownloadError e) { log->append("finished " + QString::number(e)); });
    return log;
}

class DownloadablePackage : public ::testing::Test
{
protected:
    void serve(const QByteArray& path, const QByteArray& zip)
    {
        server.answer(path, LoopbackAnswer{200, zip, {}, false});
    }
    QString url(const QString& path) const { return server.baseUrl() + path; }

    PackageScene scene;
    LoopbackHttpServer server;
};

TEST(DownloadablePackageRequest, tokenIsSha1OfIdentifierSecretAndTimestamp)
{
    EXPECT_EQ(
        Item::requestUrl(QUrl("http://h/pkgs/world2.zip"), "pkgSecret", "com.example.embervale", 1700000000),
        "http://h/pkgs/world2.zip?token=255e3667bd2dc51e23ca4cb077d7404959aeba2c&timestamp=1700000000");
    EXPECT_EQ(Item::requestUrl(QUrl("http://h/p.zip?v=2"), "s", "i", 7),
              "http://h/p.zip?v=2?token=" +
                  QCryptographicHash::hash("i:s:7", QCryptographicHash::Sha1).toHex() + "&timestamp=7");
    EXPECT_EQ(Item::requestUrl(QUrl("http://h/p.zip"), QString(), "i", 7), "http://h/p.zip");
}

TEST(DownloadablePackageRequest, folderIsTheArchiveNameBelowTheCachePackages)
{
    EXPECT_EQ(Item::packageFolderPath("/c/", QUrl("http://h/pkgs/world2.zip")), "/c/_packages/world2");
    EXPECT_EQ(Item::packageFolderPath("/c", QUrl("http://h/pkgs/world2.ZIP")), "/c/_packages/world2.ZIP");
    for (const char* source : {"http://h/", "http://h/.zip", "http://h/..zip", "http://h/...zip",
                               "http://h/a/..", "http://h/x%00.zip"})
        EXPECT_EQ(Item::packageFolderPath("/c/", QUrl(source)), QString()) << source;
}

TEST_F(DownloadablePackage, signedRequestReachesTheServer)
{
    serve("/pkgs/world2.zip", makeZip({{"a.txt", "a"}}));
    auto signedItem = scene.create(url("/pkgs/world2.zip"), "pkgSecret");
    ASSERT_EQ(download(signedItem.get()), Item::NoError);
    const QUrlQuery query(QUrl(QString::fromUtf8(server.requests().value(0))));
    const QString stamp = query.queryItemValue("timestamp");
    EXPECT_LE(qAbs(stamp.toLongLong() - QDateTime::currentSecsSinceEpoch()), 2);
    EXPECT_EQ(query.queryItemValue("token"),
              QCryptographicHash::hash(("com.example.embervale:pkgSecret:" + stamp).toUtf8(),
                                       QCryptographicHash::Sha1)
                  .toHex());

    serve("/pkgs/plain.zip", makeZip({{"a.txt", "a"}}));
    auto plainItem = scene.create(url("/pkgs/plain.zip"));
    ASSERT_EQ(download(plainItem.get()), Item::NoError);
    EXPECT_EQ(server.requests().value(1), QByteArray("/pkgs/plain.zip"));
}

TEST_F(DownloadablePackage, successfulDownloadSignalsInOrderAndRegistersTheFolder)
{
    serve("/pkgs/levels.zip",
          makeZip({{"levels/", ""}, {"levels/one.json", "{\"id\": 1}"}, {"img.png", "png"}}));
    auto item = scene.create(url("/pkgs/levels.zip"));
    auto log = recordSignals(item.get());
    ASSERT_EQ(download(item.get()), Item::NoError);

    QStringList progress = log->filter(QRegularExpression("^download "));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last(), "download 100");
    QStringList rest = *log;
    rest.removeIf([](const QString& line) { return line.startsWith("download "); });
    EXPECT_EQ(rest,
              (QStringList{"started", "status 2", "status 3", "extract 0", "extract 0", "extract 33",
                           "extract 66", "extracted true", "status 1", "available true", "finished 0"}));
    EXPECT_EQ(log->indexOf("download 100") + 1, log->indexOf("status 3"));

    const QString folder = packagesFolder() + "levels";
    EXPECT_EQ(item->storagePath(), QUrl::fromLocalFile(folder));
    EXPECT_EQ(ZanthFileUtils::readFile(folder + "/levels/one.json"), "{\"id\": 1}");
    EXPECT_TRUE(QFile::exists(folder + "/img.png"));
    EXPECT_FALSE(QFile::exists(folder + ".zip"));
    EXPECT_FALSE(QFile::exists(PackageExtractor::temporaryFolderPath(folder)));
    EXPECT_EQ(scene.fileUtils.getMultiPathUrl(QUrl("levels/one.json")),
              QUrl::fromLocalFile(folder + "/levels/one.json"));

    item->download();
    EXPECT_EQ(item->status(), Item::Available);
    item->remove();
    EXPECT_EQ(item->status(), Item::UnAvailable);
    EXPECT_FALSE(QFile::exists(folder));
    EXPECT_TRUE(QFile::exists(packagesFolder()));
}

TEST_F(DownloadablePackage, unpackedPackageIsAvailableAtCompletionAndLeftoversGo)
{
    const QString folder = packagesFolder() + "earlier";
    writeTestFile(folder + "/a.txt", "a");
    writeTestFile(PackageExtractor::temporaryFolderPath(folder) + "/half.txt", "b");
    auto item = scene.create(url("/pkgs/earlier.zip"));
    EXPECT_EQ(item->status(), Item::Available);
    EXPECT_TRUE(item->available());
    EXPECT_TRUE(scene.fileUtils.searchPaths().contains(folder + "/"));
    EXPECT_FALSE(QFile::exists(PackageExtractor::temporaryFolderPath(folder)));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(DownloadablePackage, refusalsAndRedirectsEndWithTheirResult)
{
    const QByteArray zip = makeZip({{"a.txt", "a"}});
    struct Case
    {
        QByteArray path;
        LoopbackAnswer answer;
        Item::DownloadError error;
    };
    const QList<Case> cases{
        {"/r401.zip", {401, "no", {}, false}, Item::UnauthorizedError},
        {"/r403.zip", {403, "no", {}, false}, Item::UnauthorizedError},
        {"/r404.zip", {404, "no", {}, false}, Item::NetworkError},
        {"/r500.zip", {500, "<html>oops</html>", {}, false}, Item::NetworkError},
        {"/loop.zip", {302, "", {{"Location", "/loop2.zip"}}, false}, Item::NetworkError},
        {"/moved.zip", {302, "moved", {{"Location", "files/moved.zip"}}, false}, Item::NoError},
    };
    server.answer("/loop2.zip", {302, "", {{"Location", "/loop.zip"}}, false});
    serve("/files/moved.zip", zip);
    for (const Case& c : cases) {
        server.answer(c.path, c.answer);
        const qsizetype before = server.requests().size();
        auto item = scene.create(url(c.path));
        EXPECT_EQ(download(item.get()), c.error) << c.path.constData();
        const QString folder = packagesFolder() + QString::fromUtf8(c.path.mid(1).chopped(4));
        EXPECT_EQ(QFile::exists(folder), c.error == Item::NoError) << c.path.constData();
        EXPECT_FALSE(QFile::exists(folder + ".zip")) << c.path.constData();
        EXPECT_EQ(item->status(), c.error == Item::NoError ? Item::Available : Item::UnAvailable);
        EXPECT_LE(server.requests().size() - before, 11);
    }
}

TEST_F(DownloadablePackage, selfSignedHttpsFailsUntilTheAuthorityIsTrusted)
{
    TestCertificateAuthority authority;
    ASSERT_TRUE(authority.isValid());
    LoopbackHttpServer secure(authority.serverCertificate(), authority.serverKey());
    secure.answer("/tls.zip", {200, makeZip({{"a.txt", "a"}}), {}, false});
    auto item = scene.create(secure.baseUrl() + "/tls.zip");
    EXPECT_EQ(download(item.get()), Item::NetworkError);
    EXPECT_TRUE(secure.requests().isEmpty());
    authority.trust();
    EXPECT_EQ(download(item.get()), Item::NoError);
    EXPECT_EQ(secure.requests().size(), 1);
}

TEST_F(DownloadablePackage, cancellingAStalledDownloadLeavesNoZip)
{
    server.answer("/stalled.zip", {200, QByteArray(100000, 'z'), {}, true});
    auto item = scene.create(url("/stalled.zip"));
    item->cancelDownload();
    QTimer::singleShot(300, item.get(), &Item::cancelDownload);
    EXPECT_EQ(download(item.get()), Item::CancelledError);
    EXPECT_EQ(item->status(), Item::UnAvailable);
    EXPECT_FALSE(QFile::exists(packagesFolder() + "stalled.zip"));
    EXPECT_FALSE(QFile::exists(packagesFolder() + "stalled"));
}

TEST_F(DownloadablePackage, unusableFolderNameIsRefusedAndRemoveTouchesNothing)
{
    writeTestFile(packagesFolder() + "keep/a.txt", "a");
    MessageLog log;
    auto item =
        scene.create(url("/..zip"), QString(),
                     "property int lastError: -1\nonDownloadFinished: (error) => lastError = error\n");
    EXPECT_TRUE(item->storagePath().isEmpty());
    EXPECT_EQ(download(item.get()), Item::FilePathError);
    EXPECT_EQ(item->property("lastError").toInt(), int(Item::FilePathError));
    item->remove();
    EXPECT_TRUE(QFile::exists(packagesFolder() + "keep/a.txt"));
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(log.lines().size(), 2) << log.lines().join('\n').toStdString();
}

class MaliciousArchive : public DownloadablePackage, public ::testing::WithParamInterface<int>
{
};

TEST_P(MaliciousArchive, failsExtractionWithNothingChangedOutside)
{
    const QByteArray stored(4096, 'Z');
    const QList<Entries> archives{
        {{"ok.txt", "ok"}, {"../escaped.txt", "x"}},
        {{"ok.txt", "ok"}, {"a/../../escaped2.txt", "x"}},
        {{"ok.txt", "ok"}, {QDir::homePath().toUtf8() + "/escaped3.txt", "x"}},
        {{"ok.txt", "ok"}, {"", "x"}},
        {{"ok.txt", "ok"}, {QByteArray("d/").repeated(299) + "xx", "x"}},
        {{"ok.txt", "ok"}, {"data.bin", stored}},
    };
    const QByteArray zip = makeZip(archives.at(GetParam()), GetParam() == 5 ? stored : QByteArray());
    const QByteArray path = "/evil" + QByteArray::number(GetParam()) + ".zip";
    serve(path, zip);
    auto item = scene.create(url(QString::fromUtf8(path)));
    const QStringList before = homeSnapshot();
    MessageLog log;
    EXPECT_EQ(download(item.get()), Item::FileExtractionError);
    EXPECT_EQ(homeSnapshot(), before);
    EXPECT_EQ(item->status(), Item::UnAvailable);
    EXPECT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Archives, MaliciousArchive, ::testing::Range(0, 6));

TEST_F(DownloadablePackage, destroyingTheItemWhileExtractingCancelsAndCleansUp)
{
    serve("/many.zip", manyEntriesZip());
    auto item = scene.create(url("/many.zip"));
    QSignalSpy started(item.get(), &Item::extractionProgessChanged);
    item->download();
    ASSERT_TRUE(started.wait(60000));
    item.reset();
    EXPECT_FALSE(QFile::exists(packagesFolder() + "many.zip"));
    EXPECT_FALSE(QFile::exists(PackageExtractor::temporaryFolderPath(packagesFolder() + "many")));
}

TEST_F(DownloadablePackage, archiveInflatingPastTheLimitIsRefusedWithNothingLeft)
{
    serve("/bomb.zip", makeZip({{"small.txt", "s"}, {"zeros.bin", QByteArray(3000000, '\0')}}));
    auto item = scene.create(url("/bomb.zip"), QString(), "extractionSizeLimit: 2000000\n");
    EXPECT_EQ(item->extractionSizeLimit(), 2000000);
    QDir().mkpath(packagesFolder());
    const QStringList before = homeSnapshot();
    MessageLog log;
    EXPECT_EQ(download(item.get()), Item::FileExtractionError);
    EXPECT_EQ(homeSnapshot(), before);
    EXPECT_EQ(item->status(), Item::UnAvailable);
    ASSERT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
    EXPECT_TRUE(log.lines().first().contains("more than the limit of 2000000 bytes"))
        << log.lines().first().toStdString();

    auto defaults = scene.create(url("/other.zip"));
    EXPECT_EQ(defaults->extractionSizeLimit(), qint64(1) << 30);
    defaults->setExtractionSizeLimit(0);
    defaults->setExtractionSizeLimit(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(defaults->extractionSizeLimit(), qint64(1) << 30);
    item->setExtractionSizeLimit(4000000);
    EXPECT_EQ(download(item.get()), Item::NoError);
}

// An archive larger than the download size limit is refused by its Content-Length before a byte of it
// reaches the disk. Until set, the limit follows extractionSizeLimit, with room for the archive's headers.
TEST_F(DownloadablePackage, archivePastTheDownloadSizeLimitIsRefusedWithNothingLeft)
{
    serve("/huge.zip", QByteArray(3000000, 'z'));
    auto item = scene.create(url("/huge.zip"), QString(), "extractionSizeLimit: 2000000\n");
    EXPECT_EQ(item->downloadSizeLimit(), 2000000 + 250000 + 1048576);
    QSignalSpy limitChanges(item.get(), &Item::downloadSizeLimitChanged);
    item->setExtractionSizeLimit(1600000);
    EXPECT_EQ(item->downloadSizeLimit(), 1600000 + 200000 + 1048576);
    EXPECT_EQ(limitChanges.size(), 1);
    QDir().mkpath(packagesFolder());
    const QStringList before = homeSnapshot();
    MessageLog log;
    EXPECT_EQ(download(item.get()), Item::FileExtractionError);
    EXPECT_EQ(homeSnapshot(), before);
    EXPECT_EQ(item->status(), Item::UnAvailable);
    ASSERT_EQ(log.lines().size(), 1) << log.lines().join('\n').toStdString();
    EXPECT_TRUE(log.lines().first().contains("passes the size limit of 2848576 bytes"))
        << log.lines().first().toStdString();

    // Once set, it stays whatever the extraction limit does.
    item->setDownloadSizeLimit(5000000);
    item->setExtractionSizeLimit(10);
    EXPECT_EQ(item->downloadSizeLimit(), 5000000);
    item->setDownloadSizeLimit(0);
    EXPECT_EQ(item->downloadSizeLimit(), 5000000);
    EXPECT_EQ(limitChanges.size(), 2);
    EXPECT_EQ(scene.create(url("/other.zip"))->downloadSizeLimit(),
              (qint64(1) << 30) + (qint64(1) << 27) + 1048576);
}

// The folder's record of its source is there before the folder is put in place: no crash can leave an
// unpacked folder without its owner. A failed extraction takes the record it wrote away again.
TEST_F(DownloadablePackage, theSourceRecordIsWrittenBeforeTheFolderIsPutInPlace)
{
    serve("/owned.zip", makeZip({{"a.txt", "a"}}));
    const QString folder = packagesFolder() + "owned";
    auto item = scene.create(url("/owned.zip"));
    bool recordedWhileExtracting = false;
    bool folderWhileExtracting = true;
    QObject::connect(item.get(), &Item::statusChanged, [&] {
        if (item->status() != Item::Extracting)
            return;
        recordedWhileExtracting = QFile::exists(Item::sourceRecordPath(folder));
        folderWhileExtracting = QFile::exists(folder);
    });
    EXPECT_EQ(download(item.get()), Item::NoError);
    EXPECT_TRUE(recordedWhileExtracting);
    EXPECT_FALSE(folderWhileExtracting);
    QFile record(Item::sourceRecordPath(folder));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_EQ(record.readAll(), url("/owned.zip").toUtf8());

    serve("/broken.zip", "PK but no archive at all");
    auto broken = scene.create(url("/broken.zip"));
    EXPECT_EQ(download(broken.get()), Item::FileExtractionError);
    EXPECT_FALSE(QFile::exists(Item::sourceRecordPath(packagesFolder() + "broken")));
}

TEST_F(DownloadablePackage, sameArchiveNameFromTwoAddressesKeepsTwoPackagesApart)
{
    LoopbackHttpServer second;
    serve("/pkgs/shared.zip", makeZip({{"level.json", "first"}, {"first.txt", "1"}}));
    second.answer("/pkgs/shared.zip", LoopbackAnswer{200, makeZip({{"level.json", "second"}}), {}, false});
    const QString firstSource = url("/pkgs/shared.zip");
    const QString secondSource = second.baseUrl() + "/pkgs/shared.zip";
    const QString ownFolder =
        packagesFolder() + "shared-" +
        QCryptographicHash::hash(secondSource.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    {
        // Both at once: the second must not write into the folder the first is filling.
        auto first = scene.create(firstSource);
        auto other = scene.create(secondSource);
        QSignalSpy firstDone(first.get(), qOverload<Item::DownloadError>(&Item::downloadFinished));
        QSignalSpy storagePathChanges(other.get(), &Item::storagePathChanged);
        first->download();
        EXPECT_EQ(download(other.get()), Item::NoError);
        ASSERT_TRUE(!firstDone.isEmpty() || firstDone.wait(60000));
        EXPECT_EQ(firstDone.first().at(0).value<Item::DownloadError>(), Item::NoError);
        EXPECT_EQ(first->storagePath(), QUrl::fromLocalFile(packagesFolder() + "shared"));
        EXPECT_EQ(other->storagePath(), QUrl::fromLocalFile(ownFolder));
        EXPECT_EQ(storagePathChanges.count(), 1);
    }
    EXPECT_EQ(ZanthFileUtils::readFile(packagesFolder() + "shared/level.json"), "first");
    EXPECT_EQ(ZanthFileUtils::readFile(ownFolder + "/level.json"), "second");

    // After a restart each finds its own, whichever comes first.
    auto other = scene.create(secondSource);
    auto first = scene.create(firstSource);
    EXPECT_EQ(other->storagePath(), QUrl::fromLocalFile(ownFolder));
    EXPECT_EQ(first->storagePath(), QUrl::fromLocalFile(packagesFolder() + "shared"));
    EXPECT_TRUE(other->available());
    EXPECT_TRUE(first->available());
    first->remove();
    EXPECT_EQ(ZanthFileUtils::readFile(ownFolder + "/level.json"), "second");
    EXPECT_EQ(scene.create(secondSource)->storagePath(), QUrl::fromLocalFile(ownFolder));
}

TEST_F(DownloadablePackage, archiveNamedAsItsFolderPlusZipInstallsBesideIt)
{
    serve("/double.zip.zip", makeZip({{"a.txt", "a"}}));
    auto item = scene.create(url("/double.zip.zip"));
    EXPECT_EQ(download(item.get()), Item::NoError);
    EXPECT_EQ(ZanthFileUtils::readFile(packagesFolder() + "double.zip/a.txt"), "a");
    EXPECT_FALSE(QFile::exists(packagesFolder() + "double.zip.zip"));
}

// The child modes below run this program again, under the same HOME, as a game that is killed.
std::pair<QProcess::ExitStatus, QString> runChild(const char* mode, const QString& source)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QSignalSpy finished(&child, &QProcess::finished);
    child.start(QCoreApplication::applicationFilePath(), {mode, source});
    finished.wait(120000);
    return std::make_pair(child.exitStatus(), QString::fromUtf8(child.readAllStandardOutput()).trimmed());
}

TEST_F(DownloadablePackage, killedDownloadLeavesNoArchiveAfterARestartAndDownloadsAgain)
{
    server.answer("/big.zip", {200, QByteArray(400000, 'z'), {}, true});
    const QString archive = packagesFolder() + "big.zip";
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--download", url("/big.zip")});
        QElapsedTimer clock;
        clock.start();
        while (!(server.requests().contains("/big.zip") && QFile::exists(archive)) && clock.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_TRUE(QFile::exists(archive));
        child.kill();
        child.waitForFinished(60000);
    }

    EXPECT_EQ(runChild("--restart", url("/big.zip")).second, "status=0 available=0");
    EXPECT_FALSE(QFile::exists(archive));
    EXPECT_FALSE(QFile::exists(packagesFolder() + "big"));
    serve("/big.zip", makeZip({{"a.txt", "a"}}));
    auto item = scene.create(url("/big.zip"));
    EXPECT_EQ(download(item.get()), Item::NoError);
}

TEST_F(DownloadablePackage, killedExtractionLeavesNoPackageAfterARestart)
{
    serve("/killed.zip", manyEntriesZip());
    const QString folder = packagesFolder() + "killed";
    EXPECT_EQ(runChild("--extract-and-die", url("/killed.zip")).first, QProcess::CrashExit);
    EXPECT_TRUE(QFile::exists(PackageExtractor::temporaryFolderPath(folder)));
    EXPECT_FALSE(QFile::exists(folder));

    EXPECT_EQ(runChild("--restart", url("/killed.zip")).second, "status=0 available=0");
    EXPECT_FALSE(QFile::exists(PackageExtractor::temporaryFolderPath(folder)));
    EXPECT_FALSE(QFile::exists(folder));
}

int childMain(const char* mode, const QString& source)
{
    PackageScene scene;
    auto item = scene.create(source);
    if (std::strcmp(mode, "--download") == 0) {
        item->download();
        QTimer::singleShot(60000, [] { QCoreApplication::exit(3); });
        return QCoreApplication::exec();
    }
    if (std::strcmp(mode, "--extract-and-die") == 0) {
        QObject::connect(item.get(), &Item::extractionProgessChanged, [](int percent) {
            if (percent >= 10)
                ::kill(::getpid(), SIGKILL);
        });
        item->download();
        QTimer::singleShot(60000, [] { QCoreApplication::exit(3); });
        return QCoreApplication::exec();
    }
    std::printf("status=%d available=%d\n", int(item->status()), int(item->available()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The package request is signed with the identifier of the configuration in the working folder.
    QTemporaryDir work;
    writeTestFile(work.filePath("qml/config.json"),
                  "{ \"identifier\": \"com.example.embervale\", \"stage\": \"test\" }");
    QDir::setCurrent(work.path());
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("PackageTest"));
    if (argc == 3 && argv[1][0] == '-' && argv[1][1] == '-' && std::strncmp(argv[1], "--gtest", 7) != 0)
        return childMain(argv[1], QString::fromLocal8Bit(argv[2]));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
