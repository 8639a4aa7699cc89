#include "GameNetworkHost.h"
#include "GameServer.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include <QJsonDocument>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

QVariant fromJson(const char* text)
{
    return QJsonDocument::fromJson(QByteArray("[") + text + "]").array().first().toVariant();
}

QJsonValue toJson(const QVariant& value)
{
    return QJsonValue::fromVariant(value);
}

struct MergeCase
{
    const char* name;
    const char* server;
    const char* client;
    const char* serverWins;
    const char* clientWins;
};

void PrintTo(const MergeCase& merge, std::ostream* out)
{
    *out << merge.name;
}

class WebStorageMergeTest : public ::testing::TestWithParam<MergeCase>
{
protected:
    std::unique_ptr<QObject> storage =
        GameNetworkHost::instance().create("WebStorage { gameNetworkItem: null }\n");
};

TEST_P(WebStorageMergeTest, mergesKeyByKeyAndIndexByIndex)
{
    const MergeCase merge = GetParam();
    ASSERT_TRUE(storage);
    const QVariant server = fromJson(merge.server);
    const QVariant client = fromJson(merge.client);
    EXPECT_EQ(toJson(callQml(storage.get(), "mergeClientAndServerData", {client, server})),
              toJson(fromJson(merge.serverWins)));
    EXPECT_EQ(toJson(callQml(storage.get(), "mergeClientAndServerData", {server, client})),
              toJson(fromJson(merge.clientWins)));
}

INSTANTIATE_TEST_SUITE_P(
    Values, WebStorageMergeTest,
    ::testing::Values(MergeCase{"numbers", "10", "20", "10", "20"},
                      MergeCase{"maps", R"({"key1":"value2","key3":3,"boolKey1":false})",
                                R"({"key1":"value1","key2":2,"boolKey1":true})",
                                R"({"key1":"value2","key2":2,"boolKey1":false,"key3":3})",
                                R"({"key1":"value1","key2":2,"boolKey1":true,"key3":3})"},
                      MergeCase{"arrays", R"([1,2,{"inArrayServerKey":"hi"}])",
                                R"([3,4,5,6,7,{"inArrayClientKey":"myClient"}])",
                                R"([1,2,{"inArrayServerKey":"hi"},6,7,{"inArrayClientKey":"myClient"}])",
                                R"([3,4,5,6,7,{"inArrayClientKey":"myClient"}])"},
                      MergeCase{"arraysInMaps", R"({"key1":"value2","key3":3,"array1":[1,2,3,4]})",
                                R"({"key1":"value1","key2":2,"array1":[5,6]})",
                                R"({"key1":"value2","key2":2,"array1":[1,2,3,4],"key3":3})",
                                R"({"key1":"value1","key2":2,"array1":[5,6,3,4],"key3":3})"},
                      MergeCase{"booleans", "true", "false", "true", "false"},
                      MergeCase{"nothingOnOneSide", "null", R"({"a":1})", R"(null)", R"({"a":1})"}),
    [](const ::testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

class WebStorageTest : public ::testing::Test
{
protected:
    std::unique_ptr<GameServer> server = std::make_unique<GameServer>(QStringLiteral("secret"));
    QByteArray hostingUrl = server->hostingUrl().toUtf8();
    std::unique_ptr<QObject> game;

    QObject* start(bool firstStart = true, const QByteArray& storageProperties = QByteArray())
    {
        game = GameNetworkHost::instance().create(
            "Item {\n    property alias network: gameNetwork\n    property alias storage: webStorage\n"
            "    ZanthGameNetwork {\n        id: gameNetwork\n        gameId: 42\n        secret: "
            "\"secret\"\n"
            "        hostingUrl: \"" +
            hostingUrl +
            "\"\n        errorReportingLevel: 0\n"
            "        clearAllUserDataAtStartup: " +
            (firstStart ? "true" : "false") +
            "\n    }\n"
            "    WebStorage {\n        id: webStorage\n        databaseName: \"saves\"\n" +
            storageProperties + "    }\n}\n");
        return game.get();
    }
    QObject* network() const { return game->property("network").value<QObject*>(); }
    QObject* storage() const { return game->property("storage").value<QObject*>(); }
    QObject* api() const { return network()->property("api").value<QObject*>(); }
    bool settled() const
    {
        return storage()->property("inServerSync").toBool() &&
               !api()->property("waitingForResponse").toBool();
    }
    void startSynced(const QByteArray& storageProperties = QByteArray())
    {
        ASSERT_TRUE(start(true, storageProperties));
        ASSERT_TRUE(
            eventually([&] { return storage()->property("initiallyInServerSync").toBool() && settled(); }));
    }
    QList<QJsonObject> writesOf(const QString& key) const
    {
        QList<QJsonObject> writes;
        for (const QJsonObject& request : server->requestsWithAction("set_user_data")) {
            if (request.value("key").toString() == key)
                writes.append(request);
        }
        return writes;
    }
    void reopenServer()
    {
        server = std::make_unique<GameServer>(QStringLiteral("secret"),
                                              quint16(QUrl(QString::fromUtf8(hostingUrl)).port()));
    }
};

TEST_F(WebStorageTest, valueIsStoredAtOnceAndSentOnceWhenSetTwiceAfterTheSync)
{
    startSynced();
    QSignalSpy written(storage(), SIGNAL(writeValueFinished(QVariant)));
    callQml(storage(), "setValue", {"level", QVariantMap{{"stars", 3}}});
    EXPECT_EQ(callQml(storage(), "getValue", {"level"}).toMap().value("stars").toInt(), 3);
    ASSERT_TRUE(eventually([&] { return written.size() >= 1 && settled(); }));
    EXPECT_EQ(written[0][0].toMap().value("key").toString(), "level");
    callQml(storage(), "setValue", {"level", QVariantMap{{"stars", 3}}});
    QTest::qWait(300);
    ASSERT_EQ(writesOf("saves_level").size(), 1);
    EXPECT_EQ(writesOf("saves_level")[0].value("value").toString(), "{\"stars\":3}");
    EXPECT_EQ(server->storedData.value("saves____allKeys").value("value").toString().contains("saves_level"),
              true);
    const QVariantMap meta = callQml(storage(), "getMetaValue", {"level"}).toMap();
    EXPECT_TRUE(meta.value("inServerSync").toBool());
    EXPECT_EQ(meta.value("updatedAt").toString(),
              server->storedData.value("saves_level").value("updated_at").toString());

    callQml(storage(), "setValue", {"level", QVariantMap{{"stars", 2}}});
    ASSERT_TRUE(eventually([&] { return writesOf("saves_level").size() == 2 && settled(); }));
    EXPECT_EQ(writesOf("saves_level")[1].value("client_updated_at").toString(),
              meta.value("updatedAt").toString());
}

TEST_F(WebStorageTest, userResolvedConflictWritesNothing)
{
    startSynced("        dataConflictStrategy: \"userResolve\"\n");
    server->storedData["saves_level"] =
        QJsonObject{{"value", "\"server\""}, {"updated_at", "2023-11-14T22:00:00Z"}};
    QSignalSpy conflicts(storage(), SIGNAL(writeConflict(QVariant)));
    callQml(storage(), "setValue", {"level", "client"});
    ASSERT_TRUE(eventually([&] { return conflicts.size() == 1 && settled(); }));
    const QVariantMap conflict = conflicts[0][0].toMap();
    EXPECT_EQ(conflict.value("key").toString(), "level");
    EXPECT_EQ(conflict.value("clientValue").toString(), "client");
    EXPECT_EQ(conflict.value("serverValue").toString(), "server");
    EXPECT_EQ(conflict.value("usedDataConflictStrategy").toString(), "userResolve");
    QTest::qWait(300);
    EXPECT_EQ(writesOf("saves_level").size(), 1);
    EXPECT_EQ(server->storedData.value("saves_level").value("value").toString(), "\"server\"");
    EXPECT_EQ(callQml(storage(), "getValue", {"level"}).toString(), "client");
}

TEST_F(WebStorageTest, conflictingWriteIsMergedWithTheServersValueAndWrittenBack)
{
    startSynced();
    server->storedData["saves_level"] =
        QJsonObject{{"value", "{\"a\":1,\"b\":2}"}, {"updated_at", "2023-11-14T22:00:00Z"}};
    QSignalSpy conflicts(storage(), SIGNAL(writeConflict(QVariant)));
    callQml(storage(), "setValue", {"level", QVariantMap{{"a", 5}, {"c", 3}}});
    ASSERT_TRUE(eventually(
        [&] { return conflicts.size() == 1 && writesOf("saves_level").size() == 2 && settled(); }));
    const QVariantMap merged{{"a", 1}, {"b", 2}, {"c", 3}};
    EXPECT_EQ(conflicts[0][0].toMap().value("value").toMap(), merged);
    EXPECT_EQ(callQml(storage(), "getValue", {"level"}).toMap(), merged);
    EXPECT_EQ(
        QJsonDocument::fromJson(server->storedData.value("saves_level").value("value").toString().toUtf8())
            .toVariant()
            .toMap(),
        merged);
    EXPECT_TRUE(callQml(storage(), "getMetaValue", {"level"}).toMap().value("inServerSync").toBool());
}

TEST_F(WebStorageTest, serverOverwriteKeepsTheServersValueWithoutWritingBack)
{
    startSynced("        dataConflictStrategy: \"serverDataOverwritesClientData\"\n");
    server->storedData["saves_level"] = QJsonObject{{"value", "7"}, {"updated_at", "2023-11-14T22:00:00Z"}};
    callQml(storage(), "setValue", {"level", 9});
    ASSERT_TRUE(
        eventually([&] { return callQml(storage(), "getValue", {"level"}).toInt() == 7 && settled(); }));
    QTest::qWait(300);
    EXPECT_EQ(writesOf("saves_level").size(), 1);
    EXPECT_TRUE(callQml(storage(), "getMetaValue", {"level"}).toMap().value("inServerSync").toBool());
}

TEST_F(WebStorageTest, keysWrittenElsewhereAreReadAtTheSync)
{
    server->storedData["saves_level"] =
        QJsonObject{{"value", "{\"stars\":2}"}, {"updated_at", "2023-11-14T22:00:01Z"}};
    server->storedData["saves____allKeys"] =
        QJsonObject{{"value", "{\"saves_level\":{\"updatedAt\":\"2023-11-14T22:00:01Z\"}}"},
                    {"updated_at", "2023-11-14T22:00:02Z"}};
    ASSERT_TRUE(start());
    QSignalSpy read(storage(), SIGNAL(readValueFinished(QVariant)));
    ASSERT_TRUE(
        eventually([&] { return storage()->property("initiallyInServerSync").toBool() && settled(); }));
    EXPECT_EQ(callQml(storage(), "getValue", {"level"}).toMap().value("stars").toInt(), 2);
    EXPECT_EQ(callQml(storage(), "getAllKeysLocal").toMap().keys(), QStringList({"saves_level"}));
    bool reported = false;
    for (const QList<QVariant>& signal : std::as_const(read))
        reported = reported || signal[0].toMap().value("key") == "level";
    EXPECT_TRUE(reported);
    EXPECT_TRUE(writesOf("saves_level").isEmpty());
}

TEST_F(WebStorageTest, clearedValueIsSentAsDeletedAndForgottenLocally)
{
    startSynced();
    callQml(storage(), "setValue", {"level", 4});
    ASSERT_TRUE(eventually([&] { return settled(); }));
    QSignalSpy cleared(storage(), SIGNAL(clearValueFinished(QVariant)));
    callQml(storage(), "clearValue", {"level"});
    EXPECT_FALSE(callQml(storage(), "getValue", {"level"}).isValid());
    ASSERT_TRUE(eventually([&] { return cleared.size() == 1 && settled(); }));
    EXPECT_EQ(writesOf("saves_level").last().value("value").toString(), "_deleted_");
    EXPECT_FALSE(callQml(storage(), "getAllKeysLocal").toMap().contains("saves_level"));
    EXPECT_FALSE(callQml(storage(), "getValue", {"level"}).isValid());
}

TEST_F(WebStorageTest, writeLostOfflineIsSentOnceWhenTheConnectionReturnsWithoutALogin)
{
    startSynced();
    network()->setProperty("offlineRetryInterval", 100);
    server.reset();
    callQml(network(), "reportScore", {1});
    ASSERT_TRUE(eventually([&] { return network()->property("connectionError").toBool(); }));
    callQml(storage(), "setValue", {"level", 5});
    ASSERT_TRUE(eventually([&] { return !api()->property("waitingForResponse").toBool(); }));
    reopenServer();
    ASSERT_TRUE(eventually([&] { return !network()->property("connectionError").toBool() && settled(); }));
    QTest::qWait(300);
    EXPECT_EQ(writesOf("saves_level").size(), 1);
    EXPECT_TRUE(server->requestsWithAction("login").isEmpty());
    EXPECT_EQ(server->requestsWithAction("submit_score").size(), 1);
}

TEST_F(WebStorageTest, writesNotAnsweredAtQuitAreSentAfterTheRestart)
{
    startSynced();
    server.reset();
    callQml(storage(), "setValue", {"level", 6});
    ASSERT_TRUE(eventually([&] { return network()->property("connectionError").toBool(); }));
    game.reset();
    reopenServer();
    MessageLog log;
    ASSERT_TRUE(start(false));
    ASSERT_TRUE(eventually([&] { return writesOf("saves_level").size() == 1 && settled(); }));
    EXPECT_EQ(writesOf("saves_level")[0].value("value").toString(), "6");
    EXPECT_EQ(callQml(storage(), "getValue", {"level"}).toInt(), 6);
}

// undefined, a function or an object that holds itself has no JSON text: written, it would wipe the
// value here and on the server, and a list holding itself would stop every later write. Each is refused
// with one line; the value stays on both sides and the next write goes as usual.
TEST_F(WebStorageTest, aValueWithoutJsonTextIsRefusedAndTheValueStaysHereAndOnTheServer)
{
    startSynced();
    callQml(storage(), "setValue", {"level", 5000});
    ASSERT_TRUE(eventually([&] { return writesOf("saves_level").size() == 1 && settled(); }));
    auto script = GameNetworkHost::instance().create(
        "QtObject {\n  function writeEach(storage) {\n    var cycle = {}\n    cycle.self = cycle\n"
        "    var cyclicList = [1]\n    cyclicList.push(cyclicList)\n"
        "    var values = [undefined, function() { return 1 }, cycle, cyclicList]\n"
        "    for (var i = 0; i < values.length; ++i)\n      storage.setValue(\"level\", values[i])\n"
        "    return true\n  }\n}\n");
    MessageLog log;
    QVariant finished;
    QMetaObject::invokeMethod(script.get(), "writeEach", Q_RETURN_ARG(QVariant, finished),
                              Q_ARG(QVariant, QVariant::fromValue(storage())));
    EXPECT_TRUE(finished.toBool());
    EXPECT_EQ(log.lines().filter("ERROR: WebStorage: the value for level has no JSON text").size(), 4)
        << log.lines().join('\n').toStdString();
    EXPECT_EQ(callQml(storage(), "getValue", {"level"}).toInt(), 5000);
    callQml(storage(), "setValue", {"coins", 3});
    ASSERT_TRUE(eventually([&] { return writesOf("saves_coins").size() == 1 && settled(); }));
    EXPECT_EQ(writesOf("saves_level").size(), 1);
    EXPECT_EQ(server->storedData.value("saves_level").value("value").toString(), "5000");

    game.reset();
    ASSERT_TRUE(start(false));
    EXPECT_EQ(callQml(storage(), "getValue", {"level"}).toInt(), 5000);
    EXPECT_EQ(callQml(storage(), "getValue", {"coins"}).toInt(), 3);
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GameNetworkHost host(argc, argv);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
