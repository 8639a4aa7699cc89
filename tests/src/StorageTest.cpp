#include <gtest/gtest.h>

#include "MessageLog.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "qmlapplicationviewer.h"
#include "system.h"
#include "zanthapplication.h"
#include "zanthtranslation.h"

#include <QCoreApplication>
#include <QFile>
#include <QJSValue>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
ZanthApplication* app = nullptr;

std::unique_ptr<QObject> create(const QByteArray& body)
{
    QQmlComponent component(app->declarativeView()->engine());
    component.setData("import QtQuick 2.15\nimport Zanth 1.0\n" + body,
                      QUrl::fromLocalFile(QDir::currentPath() + "/t.qml"));
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        ADD_FAILURE() << component.errorString().toStdString();
    return object;
}

QVariant call(QObject* object, const char* method, const QVariant& a = QVariant(),
              const QVariant& b = QVariant())
{
    QVariant result;
    QMetaObject::invokeMethod(object, method, Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, a),
                              Q_ARG(QVariant, b));
    if (result.metaType() == QMetaType::fromType<QJSValue>())
        return result.value<QJSValue>().toVariant();
    return result;
}

// Runs this program again in a child mode, in a folder whose configuration names the data set.
QString runChild(const char* mode, const QString& identifier)
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath("qml/config.json"),
                  "{ \"identifier\": \"" + identifier.toUtf8() +
                      "\", \"title\": \"Storage Test\", \"stage\": \"test\" }");
    QProcess child;
    child.setWorkingDirectory(dir.path());
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
    child.waitForFinished(60000);
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

int childMain(const char* mode)
{
    int argc = 1;
    char name[] = "child";
    char* argv[] = {name, nullptr};
    ZanthApplication application(argc, argv);
    app = &application;
    application.registerDeclarativeItems();
    if (std::strcmp(mode, "--write-settings") == 0) {
        auto settings = create("Settings {}\n");
        settings->setProperty("soundEnabled", false);
        settings->setProperty("username", "ann");
        settings->setProperty("customData", QVariantMap{{"level", 3}});
        std::printf("written\n");
    } else if (std::strcmp(mode, "--read-settings") == 0) {
        auto settings = create("Settings { soundEnabled: true; username: \"default\" }\n");
        std::printf("completed=%d sound=%d music=%d user=%s level=%d\n",
                    settings->property("fullyCompleted").toBool(),
                    settings->property("soundEnabled").toBool(), settings->property("musicEnabled").toBool(),
                    qPrintable(settings->property("username").toString()),
                    settings->property("customData").toMap().value("level").toInt());
    } else if (std::strcmp(mode, "--first-start-settings-commits") == 0) {
        auto settings = create("Settings {}\n");
        // The database header counts the transactions that changed the file (bytes 24 to 27).
        QFile file(app->declarativeView()->engine()->offlineStorageDatabaseFilePath(
                       System::getConfigValue("identifier").toString() + "-settings") +
                   ".sqlite");
        QByteArray header;
        if (file.open(QIODevice::ReadOnly))
            header = file.read(28);
        const quint32 commits = header.size() == 28 ? qFromBigEndian<quint32>(header.constData() + 24) : 0;
        std::printf("completed=%d commits=%u\n", settings->property("fullyCompleted").toBool(), commits);
    } else if (std::strcmp(mode, "--ignored-settings") == 0) {
        auto settings = create(
            "Settings { ignoredPropertiesForStoring: [\"maximumHighscore\"]; maximumHighscore: 42 }\n");
        auto storage = create("Storage { databaseName: \"settings\" }\n");
        settings->setProperty("maximumHighscore", 43);
        std::printf("highscore=%s sound=%s\n",
                    qPrintable(call(storage.get(), "getValue", "maximumHighscore").toString()),
                    qPrintable(call(storage.get(), "getValue", "soundEnabled").toString()));
    }
    std::fflush(stdout);
    return 0;
}
} // namespace

TEST(StorageTest, storedObjectComesBackAsACopy)
{
    auto storage = create(
        "Storage { databaseName: \"copies\"\n"
        "  function changeAndReread() { var v = getValue(\"k\"); v.a = 99; return getValue(\"k\").a }\n}\n");
    ASSERT_TRUE(storage);
    EXPECT_EQ(call(storage.get(), "setValue", "k", QVariantMap{{"a", 1}}).toInt(), 1);
    EXPECT_EQ(call(storage.get(), "getValue", "k").toMap().value("a").toInt(), 1);
    QVariant reread;
    QMetaObject::invokeMethod(storage.get(), "changeAndReread", Q_RETURN_ARG(QVariant, reread));
    EXPECT_EQ(reread.toInt(), 1);
}

TEST(StorageTest, valuesKeepTheirJsonTypes)
{
    auto writer = create("Storage { databaseName: \"types\" }\n");
    auto reader = create("Storage { databaseName: \"types\" }\n");
    call(writer.get(), "setValue", "t", "text");
    call(writer.get(), "setValue", "n", 2.5);
    call(writer.get(), "setValue", "a", QVariantList{1, "b"});
    EXPECT_EQ(call(reader.get(), "getValue", "t").typeId(), QMetaType::QString);
    EXPECT_EQ(call(reader.get(), "getValue", "n").toDouble(), 2.5);
    EXPECT_EQ(call(reader.get(), "getValue", "a").toList(), QVariantList({1, "b"}));
}

TEST(StorageTest, unknownKeyEmitsErrorTenAndSkipsTheCallback)
{
    auto storage =
        create("Storage { databaseName: \"unknown\"\n"
               "  property int errorCode: 0\n  property string requestType\n  property bool called: false\n"
               "  onStorageError: function(e) { errorCode = e.code; requestType = e.requestType }\n"
               "  function read() { return getValue(\"missing\", function() { called = true }) }\n}\n");
    ASSERT_TRUE(storage);
    QVariant result;
    QMetaObject::invokeMethod(storage.get(), "read", Q_RETURN_ARG(QVariant, result));
    EXPECT_FALSE(result.isValid());
    EXPECT_EQ(storage->property("errorCode").toInt(), 10);
    EXPECT_EQ(storage->property("requestType").toString(), "getValue");
    EXPECT_FALSE(storage->property("called").toBool());
}

TEST(StorageTest, writeIsInTheDatabaseWhenSetValueReturns)
{
    auto writer = create("Storage { databaseName: \"shared\" }\n");
    auto reader = create("Storage { databaseName: \"shared\" }\n");
    ASSERT_TRUE(writer && reader);
    call(writer.get(), "setValue", "score", 10);
    EXPECT_EQ(call(reader.get(), "getValue", "score").toInt(), 10);
    // The reader has cached the key now: a later write by the other item is not seen through it.
    call(writer.get(), "setValue", "score", 11);
    EXPECT_EQ(call(reader.get(), "getValue", "score").toInt(), 10);
    auto fresh = create("Storage { databaseName: \"shared\" }\n");
    EXPECT_EQ(call(fresh.get(), "getValue", "score").toInt(), 11);
}

TEST(StorageTest, sameValueAgainIsNotWrittenAgain)
{
    auto first = create("Storage { databaseName: \"repeat\" }\n");
    auto second = create("Storage { databaseName: \"repeat\" }\n");
    call(first.get(), "setValue", "k", 1);
    call(second.get(), "setValue", "k", 2);
    call(first.get(), "setValue", "k", 1);
    auto reader = create("Storage { databaseName: \"repeat\" }\n");
    EXPECT_EQ(call(reader.get(), "getValue", "k").toInt(), 2);
}

TEST(StorageTest, clearValueAndClearAllForgetKeys)
{
    auto storage = create("Storage { databaseName: \"clearing\" }\n");
    call(storage.get(), "setValue", "a", 1);
    call(storage.get(), "setValue", "b", 2);
    QMetaObject::invokeMethod(storage.get(), "clearValue", Q_ARG(QVariant, "a"));
    EXPECT_FALSE(call(storage.get(), "getValue", "a").isValid());
    EXPECT_EQ(call(storage.get(), "getValue", "b").toInt(), 2);
    QMetaObject::invokeMethod(storage.get(), "clearAll");
    EXPECT_FALSE(call(storage.get(), "getValue", "b").isValid());
    EXPECT_EQ(call(storage.get(), "setValue", "c", 3).toInt(), 1);
    auto reader = create("Storage { databaseName: \"clearing\" }\n");
    EXPECT_EQ(call(reader.get(), "getValue", "c").toInt(), 3);
}

// undefined, a function or an object that holds itself has no JSON text: writing it would leave NULL
// in place of the stored value and throw. It is refused, with error 11, before anything is written.
TEST(StorageTest, valueWithoutJsonTextIsRefusedWithErrorElevenAndTheStoredValueStays)
{
    auto storage =
        create("Storage { databaseName: \"refusals\"\n"
               "  property var errors: []\n  property var results: []\n"
               "  onStorageError: function(e) { errors = errors.concat([e]) }\n"
               "  function storeEach() {\n"
               "    var cycle = {}\n    cycle.self = cycle\n"
               "    var cyclicList = [1]\n    cyclicList.push(cyclicList)\n"
               "    var values = [undefined, function() { return 1 }, cycle, cyclicList]\n"
               "    for (var i = 0; i < values.length; ++i)\n"
               "      results = results.concat([setValue(\"highscore\", values[i]) === undefined])\n"
               "  }\n}\n");
    ASSERT_TRUE(storage);
    EXPECT_EQ(call(storage.get(), "setValue", "highscore", 5000).toInt(), 1);
    MessageLog log;
    ASSERT_TRUE(QMetaObject::invokeMethod(storage.get(), "storeEach"));
    EXPECT_EQ(storage->property("results").value<QJSValue>().toVariant().toList(),
              QVariantList({true, true, true, true}));
    const QVariantList errors = storage->property("errors").value<QJSValue>().toVariant().toList();
    ASSERT_EQ(errors.size(), 4);
    for (const QVariant& error : errors) {
        EXPECT_EQ(error.toMap().value("code").toInt(), 11);
        EXPECT_EQ(error.toMap().value("requestType").toString(), "setValue");
    }
    EXPECT_EQ(errors[0].toMap().value("message").toString(),
              "setValue for key 'highscore' and value 'undefined' failed");
    // The text of a list that holds itself would recurse until the stack is gone: it is only named.
    EXPECT_EQ(errors[3].toMap().value("message").toString(),
              "setValue for key 'highscore' and value '[object Array]' failed");
    EXPECT_TRUE(log.lines().filter("Error").isEmpty()) << log.lines().join('\n').toStdString();
    EXPECT_EQ(call(storage.get(), "getValue", "highscore").toInt(), 5000);
    auto fresh = create("Storage { databaseName: \"refusals\" }\n");
    EXPECT_EQ(call(fresh.get(), "getValue", "highscore").toInt(), 5000);
}

// Several values in one write: each is stored as setValue stores it, and a value without JSON text is
// refused, with the error setValue gives, while the others are still stored.
TEST(StorageTest, setValuesStoresEveryValueAndRefusesOnlyThoseWithoutJsonText)
{
    auto storage = create("Storage {\n  databaseName: \"together\"\n  property var errors: []\n"
                          "  onStorageError: function(e) { errors = errors.concat([e]) }\n"
                          "  function storeThree() { return setValues({ level: 3, name: \"ann\", "
                          "broken: undefined, flags: { sound: false } }) }\n}\n");
    ASSERT_TRUE(storage);
    QVariant result;
    ASSERT_TRUE(QMetaObject::invokeMethod(storage.get(), "storeThree", Q_RETURN_ARG(QVariant, result)));
    EXPECT_NE(result.toInt(), 1);
    const QVariantList errors = storage->property("errors").toList();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0].toMap().value("code").toInt(), 11);
    EXPECT_EQ(errors[0].toMap().value("message").toString(),
              "setValue for key 'broken' and value 'undefined' failed");
    auto reader = create("Storage { databaseName: \"together\"; cacheEnabled: false }\n");
    EXPECT_EQ(call(reader.get(), "getValue", "level").toInt(), 3);
    EXPECT_EQ(call(reader.get(), "getValue", "name").toString(), "ann");
    EXPECT_EQ(call(reader.get(), "getValue", "flags").toMap().value("sound"), QVariant(false));
    EXPECT_FALSE(call(reader.get(), "hasValue", "broken").toBool());
    auto all = create("Storage {\n  databaseName: \"together\"\n"
                      "  function storeTwo() { return setValues({ level: 4, name: \"bo\" }) }\n}\n");
    ASSERT_TRUE(QMetaObject::invokeMethod(all.get(), "storeTwo", Q_RETURN_ARG(QVariant, result)));
    EXPECT_EQ(result.toInt(), 1);
    EXPECT_EQ(call(reader.get(), "getValue", "level").toInt(), 4);
}

// A write that fails partway (a full disk, a damaged page; here a table that refuses one value) stores
// none of the values of one setValues, as it reports: the transaction is committed whatever its writes
// threw.
TEST(StorageTest, setValuesThatFailsPartwayStoresNone)
{
    auto storage =
        create("import QtQuick.LocalStorage 2.15 as Sql\n"
               "Storage {\n  databaseName: \"partway\"\n  property var errors: []\n"
               "  onStorageError: function(e) { errors = errors.concat([e.message]) }\n"
               "  function refuseOneValue() {\n"
               "    Sql.LocalStorage.openDatabaseSync(system.getConfigValue(\"identifier\") + \"-partway\", "
               "\"1.0\", \"StorageDatabase\", 100000).transaction(function(tx) {\n"
               "      tx.executeSql(\"CREATE TABLE settings(setting TEXT UNIQUE, value TEXT CHECK (value <> "
               "'\\\"refused\\\"'))\") }) }\n"
               "  function storeTwo() { return setValues({ first: 1, second: \"refused\" }) }\n}\n");
    ASSERT_TRUE(storage);
    ASSERT_TRUE(QMetaObject::invokeMethod(storage.get(), "refuseOneValue"));
    QVariant result;
    ASSERT_TRUE(QMetaObject::invokeMethod(storage.get(), "storeTwo", Q_RETURN_ARG(QVariant, result)));
    EXPECT_FALSE(result.isValid());
    EXPECT_EQ(storage->property("errors").value<QJSValue>().toVariant().toStringList(),
              (QStringList{"setValue for key 'first' and value '1' failed",
                           "setValue for key 'second' and value 'refused' failed"}));
    auto reader = create("Storage { databaseName: \"partway\"; cacheEnabled: false }\n");
    EXPECT_FALSE(call(reader.get(), "getValue", "first").isValid()) << "stored although reported not stored";
    EXPECT_EQ(call(storage.get(), "setValue", "first", 2).toInt(), 1);
    EXPECT_EQ(call(reader.get(), "getValue", "first").toInt(), 2);
}

// A key is any string: one named like a member every script object inherits (__proto__, constructor,
// toString) is stored, read and reported like any other, by setValue and setValues alike.
TEST(StorageTest, keysNamedLikeInheritedMembersAreKeysLikeAnyOther)
{
    const QByteArray storage =
        "Storage {\n  databaseName: \"names\"\n  property var errors: []\n"
        "  onStorageError: function(e) { errors = errors.concat([e.code]) }\n"
        "  function attempt(f) { try { return String(f()) } catch (e) { return 'threw ' + e } }\n"
        "  function one(key, value) { return attempt(function() { return setValue(key, value) }) }\n"
        "  function together(key, value) {\n"
        "    var map = JSON.parse('{}'); Object.defineProperty(map, key, { value: value, "
        "enumerable: true })\n"
        "    return attempt(function() { return setValues(map) }) }\n"
        "  function read(key, unused) { return attempt(function() { return JSON.stringify(getValue(key)) }) "
        "}\n"
        "  function has(key, unused) { return attempt(function() { return hasValue(key) }) }\n}\n";
    const QStringList names = {"__proto__", "constructor", "toString"};
    {
        auto fresh = create(storage);
        ASSERT_TRUE(fresh);
        for (const QString& name : names) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(call(fresh.get(), "has", name).toString(), "false");
            EXPECT_EQ(call(fresh.get(), "read", name).toString(), "undefined");
        }
        EXPECT_EQ(fresh->property("errors").value<QJSValue>().toVariant().toList(),
                  QVariantList({10, 10, 10}));
    }
    auto writer = create(storage);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(call(writer.get(), "together", name, 5).toString(), "1");
        EXPECT_EQ(call(writer.get(), "read", name).toString(), "5");
        EXPECT_EQ(call(create(storage).get(), "read", name).toString(), "5");
        EXPECT_EQ(call(writer.get(), "one", name, 6).toString(), "1");
        EXPECT_EQ(call(writer.get(), "read", name).toString(), "6");
        EXPECT_EQ(call(create(storage).get(), "read", name).toString(), "6");
    }
    EXPECT_TRUE(writer->property("errors").value<QJSValue>().toVariant().toList().isEmpty());
}

// The script's setMultiData is there for its callers and writes nothing.
TEST(StorageTest, setMultiDataOfTheScriptWritesNothing)
{
    QQmlComponent component(app->declarativeView()->engine());
    component.setData("import QtQuick 2.15\nimport \"../scripts/storage.js\" as StorageScript\n"
                      "Item {\n  id: storage\n  property string databaseName: \"multi\"\n"
                      "  property bool cacheEnabled: true\n  property bool logOutputStorageEnabled: false\n"
                      "  function writeTwo() { StorageScript.setMultiData({ a: 1, b: 2 }); "
                      "return StorageScript.getData(\"a\") === undefined }\n}\n",
                      QUrl(QStringLiteral("qrc:/qml/Zanth/core/MultiDataTest.qml")));
    std::unique_ptr<QObject> storage(component.create());
    ASSERT_TRUE(storage) << component.errorString().toStdString();
    QVariant nothingWritten;
    ASSERT_TRUE(QMetaObject::invokeMethod(storage.get(), "writeTwo", Q_RETURN_ARG(QVariant, nothingWritten)));
    EXPECT_TRUE(nothingWritten.toBool());
}

TEST(SettingsTest, valuesWrittenInOneProcessAreReadInTheNext)
{
    EXPECT_EQ(runChild("--write-settings", "com.example.settings"), "written");
    EXPECT_EQ(runChild("--read-settings", "com.example.settings"),
              "completed=1 sound=0 music=1 user=ann level=3");
}

TEST(SettingsTest, firstStartStoresTheGamesDefaults)
{
    EXPECT_EQ(runChild("--read-settings", "com.example.fresh"),
              "completed=1 sound=1 music=1 user=default level=0");
}

// A database is written to disk at each commit: a first start reads without creating anything, then
// stores all the defaults, and the table they go in, in one transaction rather than one each.
TEST(SettingsTest, firstStartCommitsTheDefaultsTogether)
{
    EXPECT_EQ(runChild("--first-start-settings-commits", "com.example.commits"), "completed=1 commits=1");
    EXPECT_EQ(runChild("--read-settings", "com.example.commits"),
              "completed=1 sound=1 music=1 user= level=0");
}

TEST(SettingsTest, ignoredPropertyIsNeitherLoadedNorStored)
{
    EXPECT_EQ(runChild("--ignored-settings", "com.example.ignored"), "highscore= sound=true");
}

TEST(SettingsTest, customDataSetToUndefinedIsRefusedAndTheStoredDataStays)
{
    auto settings = create("Settings {\n  property int errorCode: 0\n"
                           "  onStorageError: function(e) { errorCode = e.code }\n"
                           "  function forget() { customData = undefined }\n}\n");
    ASSERT_TRUE(settings);
    settings->setProperty("customData", QVariantMap{{"level", 7}});
    ASSERT_TRUE(QMetaObject::invokeMethod(settings.get(), "forget"));
    EXPECT_EQ(settings->property("errorCode").toInt(), 11);
    auto storage = create("Storage { databaseName: \"settings\" }\n");
    EXPECT_EQ(call(storage.get(), "getValue", "customData").toMap().value("level").toInt(), 7);
}

// A stored value its property can't hold (another type, from an older version or a damaged store) is
// left as it is; the settings after it still load, and the player's later changes are still stored.
TEST(SettingsTest, aStoredValueThePropertyCantHoldLeavesTheOtherSettingsLoadedAndStored)
{
    auto storage = create("Storage { databaseName: \"settings\" }\n");
    call(storage.get(), "setValue", "maximumHighscore", "many");
    call(storage.get(), "setValue", "username", "ann");
    MessageLog log;
    auto settings = create("Settings {}\n");
    ASSERT_TRUE(settings);
    EXPECT_TRUE(settings->property("fullyCompleted").toBool());
    EXPECT_EQ(settings->property("maximumHighscore").toInt(), 0);
    EXPECT_EQ(settings->property("username").toString(), "ann");
    EXPECT_EQ(
        log.lines().filter("ERROR: Settings: the stored value of maximumHighscore can't be taken").size(), 1)
        << log.lines().join('\n').toStdString();
    settings->setProperty("musicEnabled", false);
    auto reader = create("Storage { databaseName: \"settings\" }\n");
    EXPECT_EQ(call(reader.get(), "getValue", "musicEnabled").toBool(), false);
    EXPECT_EQ(call(reader.get(), "getValue", "maximumHighscore").toString(), "many");
    settings->setProperty("maximumHighscore", 12);
    auto later = create("Storage { databaseName: \"settings\" }\n");
    EXPECT_EQ(call(later.get(), "getValue", "maximumHighscore").toInt(), 12);
    for (const char* key : {"maximumHighscore", "username", "musicEnabled"})
        QMetaObject::invokeMethod(reader.get(), "clearValue", Q_ARG(QVariant, QString::fromLatin1(key)));
}

TEST(SettingsTest, languageWithoutTranslationFileFallsBackToTheActiveLanguage)
{
    auto settings = create("Settings {}\n");
    ASSERT_TRUE(settings);
    const QString active = settings->property("language").toString();
    EXPECT_FALSE(active.isEmpty());
    settings->setProperty("language", "xx_XX");
    EXPECT_EQ(settings->property("language").toString(), active);
}

int main(int argc, char** argv)
{
    if (argc > 1 && std::strncmp(argv[1], "--", 2) == 0 && std::strstr(argv[1], "settings"))
        return childMain(argv[1]);
    QTemporaryDir dir;
    writeTestFile(
        dir.filePath("qml/config.json"),
        "{ \"identifier\": \"com.example.storage\", \"title\": \"Storage Test\", \"stage\": \"test\" }");
    QDir::setCurrent(dir.path());
    testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        ZanthApplication application(argc, argv);
        app = &application;
        application.registerDeclarativeItems();
        ZanthTranslation translation;
        application.declarativeView()->rootContext()->setContextProperty("translation", &translation);
        result = RUN_ALL_TESTS();
    }
    return result;
}
