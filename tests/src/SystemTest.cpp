#include <gtest/gtest.h>

#include "DirectorWindow.h"
#include "MessageLog.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "system.h"

#include "sprite_nodes/ZTSprite.h"
#include "textures/ZTTexture2D.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
QString folder;

QString documents()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// Runs this program again in a child mode inside a folder holding the given configuration text.
QString runChild(const char* mode, const QByteArray& config, QString* errors)
{
    QTemporaryDir dir;
    if (!config.isNull())
        writeTestFile(dir.filePath("qml/config.json"), config);
    QProcess child;
    child.setWorkingDirectory(dir.path());
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
    child.waitForFinished(30000);
    *errors = QString::fromUtf8(child.readAllStandardError());
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

int childMain(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    System system(nullptr, nullptr);
    std::printf("publish=%d log=%d orientation=%d ", system.publishBuild(), system.logOutputEnabled(),
                int(system.screenOrientation()));
    system.setLogOutputEnabled(true);
    std::printf("afterEnable=%d\n", system.logOutputEnabled());
    std::fflush(stdout);
    qWarning("a line that only shows while log output is on");
    return 0;
}
} // namespace

TEST(SystemConfigTest, configurationIsReadOnceAndAnsweredByKey)
{
    EXPECT_EQ(System::getConfigValue("versioncode").toInt(), 11);
    EXPECT_EQ(System::getConfigValue("title").toString(), "Config Test");
    writeTestFile(folder + "/qml/config.json", "{ \"title\": \"Changed\" }");
    EXPECT_EQ(System::getConfigValue("title").toString(), "Config Test");
    EXPECT_FALSE(System::getConfigValue("nope").isValid());
    EXPECT_FALSE(System::getConfigValue("ios/filesharing_enabled").isValid());
}

TEST(SystemConfigTest, orientationIsMatchedExactly)
{
    System system(nullptr, nullptr);
    // The test configuration says "Landscape" with a capital L.
    EXPECT_EQ(system.screenOrientation(), System::ScreenOrientationAuto);
}

TEST(SystemConfigTest, publishStageDropsQtMessagesForGood)
{
    QString errors;
    const QString out =
        runChild("--child", "{ \"stage\": \"publish\", \"orientation\": \"portrait\" }", &errors);
    EXPECT_EQ(out, "publish=1 log=0 orientation=0 afterEnable=0");
    EXPECT_FALSE(errors.contains("only shows while log output is on")) << errors.toStdString();
}

TEST(SystemConfigTest, debugBuildShowsQtMessagesAndWarnsOnceAboutMissingConfiguration)
{
    QString errors;
    const QString out = runChild("--child", QByteArray(), &errors);
    EXPECT_EQ(out, "publish=0 log=1 orientation=2 afterEnable=1");
    EXPECT_EQ(errors.count("WARNING: cant find config.json file"), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains("only shows while log output is on"));
}

TEST(SystemConfigTest, sensorOrientationIsReadFromConfiguration)
{
    QString errors;
    EXPECT_EQ(runChild("--child", "{ \"orientation\": \"sensorLandscape\" }", &errors),
              "publish=0 log=1 orientation=4 afterEnable=1");
}

TEST(SystemLogTest, switchingLogOutputSignalsOnlyOnChange)
{
    System system(nullptr, nullptr);
    int changes = 0;
    QObject::connect(&system, &System::logOutputEnabledChanged, [&changes] { ++changes; });
    system.setLogOutputEnabled(true);
    EXPECT_EQ(changes, 0);
    system.setLogOutputEnabled(false);
    EXPECT_FALSE(system.logOutputEnabled());
    EXPECT_EQ(changes, 1);
    system.setLogOutputEnabled(true);
    EXPECT_EQ(changes, 2);
}

TEST(SystemPlatformTest, answersLinuxDesktop)
{
    System system(nullptr, nullptr);
    EXPECT_EQ(system.platform(), System::Linux);
    EXPECT_TRUE(system.isPlatform(System::Linux));
    EXPECT_FALSE(system.isPlatform(System::Mac));
    EXPECT_TRUE(system.desktopPlatform());
    EXPECT_TRUE(system.debugBuild());
    EXPECT_EQ(system.udid(), System::getUdid(system.macAddress()));
}

TEST(SystemPlatformTest, deviceIdUsesTheOldStringHash)
{
    EXPECT_EQ(System::getUdid(QString()), "0");
    EXPECT_EQ(System::getUdid("a"), "97");
    // ((97 << 4) + 98) = 1650
    EXPECT_EQ(System::getUdid("ab"), "1650");
    // The high nibble folds back into the low bits instead of growing past 28 bits.
    EXPECT_LT(System::getUdid("00:1a:2b:3c:4d:5e:6f:70").toULongLong(), 0x10000000ull);
}

TEST(SystemJsonTest, parseGivesTheObjectOrAnEmptyMapWithAWarning)
{
    EXPECT_EQ(System::parse("{\"a\": [1, 2], \"b\": \"x\"}").value("b").toString(), "x");
    MessageLog log;
    EXPECT_TRUE(System::parse("{\"a\": ").isEmpty());
    EXPECT_TRUE(log.contains("[System]- [WARNING]: System can't parse stringData file \"{\"a\": \""));
    EXPECT_TRUE(System::parse("[1, 2]").isEmpty());
}

TEST(SystemJsonTest, includesPickEntriesInTheirOrder)
{
    QVariantMap data{{"a", 1.0}, {"b", "x"}};
    EXPECT_EQ(System::stringifyWithBasePath(data, {"b"}), "{ \"b\" : \"x\" }");
    EXPECT_EQ(System::stringifyWithBasePath(data, {"b", "a"}), "{ \"b\" : \"x\", \"a\" : 1.0 }");
    EXPECT_EQ(System::stringifyWithBasePath(data), "{ \"a\" : 1.0, \"b\" : \"x\" }");
}

TEST(SystemJsonTest, pointTextReadsBackOnlyWithOneCommaBetweenNumbers)
{
    EXPECT_EQ(System::pointFFromString("3.5, -2"), QPointF(3.5, -2));
    EXPECT_EQ(System::pointFFromString(" 7.0 ,1000.0 "), QPointF(7, 1000));
    EXPECT_EQ(System::pointFFromString("1,2,3"), QPointF(0, 0));
    EXPECT_EQ(System::pointFFromString("a, 2"), QPointF(0, 0));
    EXPECT_EQ(System::pointFFromString("12"), QPointF(0, 0));
}

TEST(SystemJsonTest, typeNamesFollowTheVariantType)
{
    EXPECT_EQ(System::typeOfVariant(QVariant()), "null");
    EXPECT_EQ(System::typeOfVariant(QVariantList{1}), "list");
    EXPECT_EQ(System::typeOfVariant(QStringList{"a"}), "stringlist");
    EXPECT_EQ(System::typeOfVariant(QVariantMap{}), "map");
    EXPECT_EQ(System::typeOfVariant(QVariantHash{}), "hash");
    EXPECT_EQ(System::typeOfVariant(QString("a")), "string");
    EXPECT_EQ(System::typeOfVariant(QByteArray("a")), "bytearray");
    EXPECT_EQ(System::typeOfVariant(2.5), "double");
    EXPECT_EQ(System::typeOfVariant(true), "boolean");
    EXPECT_EQ(System::typeOfVariant(5), "number");
    EXPECT_EQ(System::typeOfVariant(QPointF(1, 2)), "point");
    EXPECT_EQ(System::typeOfVariant(QColor("#c2401f")), "color");
    EXPECT_EQ(System::typeOfVariant(QUrl("file:a.png")), "url");
    EXPECT_EQ(System::typeOfVariant(QVariant::fromValue<QObject*>(nullptr)), "null");
}

TEST(SystemJsonTest, scriptValueThatContainsItselfFailsWithOneWarning)
{
    System system(nullptr, nullptr);
    QQmlEngine engine;
    engine.globalObject().setProperty("system", engine.newQObject(&system));
    engine.setObjectOwnership(&system, QQmlEngine::CppOwnership);
    MessageLog log;
    const QJSValue results = engine.evaluate("var a = {x: 1}; a.self = a; var b = [1]; b.push(b);"
                                             "[system.stringify(a), system.stringifyWithBasePath(b), "
                                             "system.typeOf(b), system.stringify({x: [1]})]");
    ASSERT_FALSE(results.isError()) << results.toString().toStdString();
    EXPECT_EQ(results.property(0).toString(), "");
    EXPECT_EQ(results.property(1).toString(), "");
    EXPECT_EQ(results.property(2).toString(), "null");
    EXPECT_EQ(results.property(3).toString(), "{ \"x\" : [ 1.0 ] }");
    EXPECT_EQ(
        log.lines().count("System: WARNING: a value that contains itself, nests too deeply or holds too many "
                          "values can't be converted"),
        3)
        << log.lines().join('\n').toStdString();
}

// A component of QML text made as if read from the file at path, with system as context property.
std::unique_ptr<QObject> createWithSystem(QQmlEngine& engine, System& system, const QByteArray& qml,
                                          const QString& path)
{
    engine.rootContext()->setContextProperty("system", &system);
    QQmlComponent component(&engine);
    component.setData(qml, QUrl::fromLocalFile(path));
    std::unique_ptr<QObject> object(component.create());
    EXPECT_TRUE(object) << component.errorString().toStdString();
    return object;
}

TEST(SystemJsonTest, theThreeArgumentFormsTakeZeroForNoIncludesAndWriteUrlsBesideTheSource)
{
    System system(nullptr, nullptr);
    QQmlEngine engine;
    const auto object = createWithSystem(
        engine, system,
        "import QtQuick 2.15\nQtObject {\n  id: holder\n"
        "  property var data: ({ image: Qt.resolvedUrl(\"images/a.png\"), n: 2 })\n"
        "  property string whole: system.stringify(data, 0, holder)\n"
        "  property string picked: system.stringify(data, [\"n\"], holder)\n"
        "  property string pickedByName: system.stringify(data, \"n\", holder)\n"
        "  property string based: system.stringifyWithBasePath(data, 0, \"" +
            QUrl::fromLocalFile(folder + "/game/").toString().toUtf8() +
            "\")\n"
            "  property var resolved: system.jsonMapWithPropertiesResolved(data, 0, holder)\n"
            "  property var resolvedForObject: system.jsonMapForObjectWithPropertiesResolved(data, 0, "
            "holder)\n"
            "}\n",
        folder + "/game/level.qml");
    ASSERT_TRUE(object);
    EXPECT_EQ(object->property("whole").toString(), "{ \"image\" : \"images/a.png\", \"n\" : 2.0 }");
    EXPECT_EQ(object->property("picked").toString(), "{ \"n\" : 2.0 }");
    EXPECT_EQ(object->property("pickedByName").toString(), "{ \"n\" : 2.0 }") << "one name is a list of one";
    EXPECT_EQ(object->property("based").toString(), "{ \"image\" : \"images/a.png\", \"n\" : 2.0 }");
    EXPECT_TRUE(object->property("resolved").toMap().isEmpty());
    EXPECT_TRUE(object->property("resolvedForObject").toMap().isEmpty());
}

TEST(SystemPoolingTest, onlyWritableUnboundPropertiesThatAreNoListsMayBeSnapshotted)
{
    System system(nullptr, nullptr);
    QQmlEngine engine;
    const auto item =
        createWithSystem(engine, system,
                         "import QtQuick 2.15\nItem {\n  id: item\n"
                         "  property real plain: 1\n  property real bound: plain * 2\n"
                         "  readonly property real fixed: 3\n  property alias boundAlias: item.bound\n"
                         "  x: 5\n  y: plain\n  opacity: plain / 2\n"
                         "  signal poked\n  function act() {}\n"
                         "  function unbind() { bound = 4; y = 7 }\n}\n",
                         folder + "/entity.qml");
    ASSERT_TRUE(item);
    const auto serializable = [&](const char* name) {
        return system.isPropertySerializableAtPooling(item.get(), name);
    };
    EXPECT_TRUE(serializable("plain"));
    EXPECT_TRUE(serializable("x"));
    EXPECT_TRUE(serializable("z"));
    EXPECT_FALSE(serializable("bound")) << "a binding of a property declared in QML";
    EXPECT_FALSE(serializable("boundAlias")) << "an alias of a bound property";
    EXPECT_FALSE(serializable("y")) << "a binding of a bindable property";
    EXPECT_FALSE(serializable("opacity")) << "a binding of a plain item property";
    EXPECT_FALSE(serializable("fixed"));
    EXPECT_FALSE(serializable("children"));
    EXPECT_FALSE(serializable("poked"));
    EXPECT_FALSE(serializable("act"));
    EXPECT_FALSE(serializable("nothingLikeThis"));
    EXPECT_FALSE(system.isPropertySerializableAtPooling(nullptr, "x"));
    // An assignment ends a binding: from then on the value is the property's own.
    QMetaObject::invokeMethod(item.get(), "unbind");
    EXPECT_TRUE(serializable("bound"));
    EXPECT_TRUE(serializable("y"));
}

TEST(SystemPauseTest, resumeRestartsOnlyPausedTimersThatStillExist)
{
    System system(nullptr, nullptr);
    QObject game;
    auto* first = new QTimer(&game);
    auto* second = new QTimer(&game);
    auto* idle = new QTimer(&game);
    first->start(1000);
    second->start(1000);
    system.pauseGameForObject(&game);
    EXPECT_TRUE(system.gamePaused());
    EXPECT_FALSE(first->isActive());
    EXPECT_FALSE(second->isActive());
    delete second;
    auto* startedWhilePaused = new QTimer(&game);
    startedWhilePaused->start(1000);
    system.resumeGameForObject(nullptr);
    EXPECT_FALSE(system.gamePaused());
    EXPECT_TRUE(first->isActive());
    EXPECT_FALSE(idle->isActive());
    EXPECT_TRUE(startedWhilePaused->isActive());
}

TEST(SystemPauseTest, qmlTimersAndAnimationsArePausedAndResumed)
{
    System system(nullptr, nullptr);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(
        "import QtQuick 2.15\nItem {\n"
        "  property alias timerRunning: timer.running\n"
        "  property alias animationPaused: animation.paused\n"
        "  Timer { id: timer; interval: 1000; running: true; repeat: true }\n"
        "  NumberAnimation on x { id: animation; from: 0; to: 100; duration: 100000; running: true }\n"
        "}\n",
        QUrl());
    std::unique_ptr<QObject> game(component.create());
    ASSERT_TRUE(game) << component.errorString().toStdString();
    system.pauseGameForObject(game.get());
    EXPECT_FALSE(game->property("timerRunning").toBool());
    EXPECT_TRUE(game->property("animationPaused").toBool());
    system.resumeGameForObject(game.get());
    EXPECT_TRUE(game->property("timerRunning").toBool());
    EXPECT_FALSE(game->property("animationPaused").toBool());
}

TEST(SystemPauseTest, animationsRunByABehaviorOrAGroupAreLeftToTheirOwnerWithoutWarnings)
{
    System system(nullptr, nullptr);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQuick 2.15\nItem {\n"
                      "  property alias groupPaused: group.paused\n"
                      "  Behavior on x { NumberAnimation { duration: 100000 } }\n"
                      "  SequentialAnimation { id: group; running: true\n"
                      "    NumberAnimation { target: parent; property: \"y\"; to: 100; duration: 100000 } }\n"
                      "  Component.onCompleted: x = 50\n"
                      "}\n",
                      QUrl());
    std::unique_ptr<QObject> game(component.create());
    ASSERT_TRUE(game) << component.errorString().toStdString();
    MessageLog log;
    system.pauseGameForObject(game.get());
    EXPECT_TRUE(game->property("groupPaused").toBool());
    system.resumeGameForObject(game.get());
    EXPECT_FALSE(game->property("groupPaused").toBool());
    EXPECT_TRUE(log.lines().isEmpty()) << log.lines().join("\n").toStdString();
}

// A 200 x 100 window whose pixel (x, y), counted from the top left, has red x and green y.
class SystemScreenshotTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::vector<unsigned char> pixels(256 * 128 * 4, 0);
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 200; ++x) {
                unsigned char* p = &pixels[(y * 256 + x) * 4];
                p[0] = static_cast<unsigned char>(x);
                p[1] = static_cast<unsigned char>(y);
                p[3] = 255;
            }
        }
        auto* texture = new zanth2d::ZTTexture2D();
        texture->initWithData(pixels.data(), zanth2d::kZTTexture2DPixelFormat_RGBA8888, 256, 128,
                              zanth2d::ZTSize(200, 100));
        texture->setAliasTexParameters();
        zanth2d::ZTSprite* sprite = zanth2d::ZTSprite::spriteWithTexture(texture);
        texture->release();
        sprite->setAnchorPoint(zanth2d::ZTPointZero);
        zanth2d::ZTScene* scene = zanth2d::ZTScene::node();
        scene->addChild(sprite);
        window.show(scene);
    }
    DirectorWindow window{200, 100};
    System system{nullptr, nullptr};
};

TEST_F(SystemScreenshotTest, writesTheRectangleBelowDocumentsCreatingFolders)
{
    system.captureScreenshot("shots/a.png", 10, 20, 100, 50);
    QImage shot(documents() + "/shots/a.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(100, 50));
    EXPECT_EQ(shot.pixel(0, 0), qRgb(10, 20, 0));
    EXPECT_EQ(shot.pixel(99, 49), qRgb(109, 69, 0));
}

TEST_F(SystemScreenshotTest, rectangleCrossingTheWindowEdgeIsClipped)
{
    system.captureScreenshot("edge.png", 150, 50, 100, 100);
    QImage shot(documents() + "/edge.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(50, 50));
    EXPECT_EQ(shot.pixel(49, 49), qRgb(199, 99, 0));
}

TEST_F(SystemScreenshotTest, rectangleOutsideTheWindowWritesNothing)
{
    system.captureScreenshot("outside.png", 200, 0, 10, 10);
    EXPECT_FALSE(QFile::exists(documents() + "/outside.png"));
    system.captureScreenshot("far.png", 1e30f, 1e30f, 1e30f, 1e30f);
    EXPECT_FALSE(QFile::exists(documents() + "/far.png"));
}

TEST_F(SystemScreenshotTest, badRequestsWarnAndWriteNothing)
{
    MessageLog log;
    system.captureScreenshot("", 0, 0, 10, 10);
    EXPECT_TRUE(log.contains("[WARNING] screenshot - No filename specified!"));
    system.captureScreenshot("neg.png", -1, 0, 10, 10);
    system.captureScreenshot("zero.png", 0, 0, 0, 10);
    EXPECT_EQ(log.lines().count("[WARNING] wrong dimension!"), 2);
    system.captureScreenshot("noending", 0, 0, 10, 10);
    EXPECT_TRUE(log.contains("[WARNING] No ending specified!"));
    EXPECT_FALSE(QFile::exists(documents() + "/neg.png"));
    EXPECT_FALSE(QFile::exists(documents() + "/noending"));
}

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return childMain(argc, argv);
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    folder = dir.path();
    writeTestFile(folder + "/qml/config.json",
                  "{ \"title\": \"Config Test\", \"stage\": \"test\", \"orientation\": \"Landscape\","
                  " \"versioncode\": 11 }");
    QDir::setCurrent(folder);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
