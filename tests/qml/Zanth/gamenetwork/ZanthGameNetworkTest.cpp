#include "GameNetworkHost.h"
#include "GameServer.h"
#include "MessageLog.h"
#include "QtPrinters.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class ZanthGameNetworkTest : public ::testing::Test
{
protected:
    std::unique_ptr<GameServer> server = std::make_unique<GameServer>(QStringLiteral("secret"));
    QByteArray hostingUrl = server->hostingUrl().toUtf8();
    std::unique_ptr<QObject> network;

    // A first start clears what earlier tests left in the local store.
    QObject* start(bool firstStart = true, const QByteArray& properties = QByteArray())
    {
        network = GameNetworkHost::instance().create(
            "ZanthGameNetwork {\n    gameId: 42\n    secret: \"secret\"\n    hostingUrl: \"" + hostingUrl
            + "\"\n    errorReportingLevel: 0\n    clearAllUserDataAtStartup: " + (firstStart ? "true" : "false") + "\n"
            + properties + "}\n");
        return network.get();
    }
    // Destroys the client, as quitting the game does, and starts it again on the stored data.
    QObject* restart(const QByteArray& properties = QByteArray())
    {
        network.reset();
        return start(false, properties);
    }
    // The port stays the same: the server can come back where the client looks for it.
    void closeServer() { server.reset(); }
    void reopenServer()
    {
        const quint16 port = quint16(QUrl(QString::fromUtf8(hostingUrl)).port());
        server = std::make_unique<GameServer>(QStringLiteral("secret"), port);
        ASSERT_EQ(server->hostingUrl().toUtf8(), hostingUrl);
    }
    QObject* api() const { return network->property("api").value<QObject*>(); }
    bool idle() const { return !api()->property("waitingForResponse").toBool(); }
    bool waitForRequests(qsizetype count, int milliseconds = 5000)
    {
        return eventually([&] { return server && server->requests.size() >= count; }, milliseconds);
    }
    // Logged in, with the session's first reads answered.
    void startSession()
    {
        ASSERT_TRUE(start());
        ASSERT_TRUE(waitForRequests(3));
        ASSERT_TRUE(eventually([&] { return idle(); }));
    }
    // What the game network keeps under a key of its local store, read by a store of its own.
    QVariant stored(const char* key)
    {
        auto storage = GameNetworkHost::instance().create("Storage { databaseName: \"ztgn\" }\n");
        return callQml(storage.get(), "getValue", {QString::fromLatin1(key)});
    }
    QStringList storedActions()
    {
        QStringList actions;
        const QVariantList queue = stored("offlineSendingQueue").toList();
        for (const QVariant& request : queue)
            actions.append(request.toMap().value("action").toString());
        return actions;
    }
};

TEST_F(ZanthGameNetworkTest, sessionCountsRequestsFromOneAfterTheLoginAndAcrossARestart)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(server->actions(), QStringList({"login", "get_user_scores", "get_achievement_progress"}));
    EXPECT_FALSE(server->requests[0].contains("timestamp"));
    EXPECT_FALSE(server->requests[0].contains("token"));
    EXPECT_EQ(server->requests[0].value("platform").toString(), "Linux");
    EXPECT_EQ(server->requests[1].value("timestamp").toInt(), 1);
    EXPECT_EQ(server->requests[2].value("timestamp").toInt(), 2);
    EXPECT_EQ(server->requests[1].value("token").toString(), "token-1");
    ASSERT_TRUE(eventually([&] { return idle(); }));

    QSignalSpy highscores(network.get(), SIGNAL(newHighscore(QString, double)));
    server->answer = [](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") != "submit_score" || request.value("value").toInt() != 50)
            return std::nullopt;
        GameReply reply = GameReply::success(QJsonObject{{"value", 50}, {"changed", true}});
        reply.delayMs = 300;
        return reply;
    };
    callQml(network.get(), "reportScore", {50});
    callQml(network.get(), "reportScore", {40});
    ASSERT_EQ(highscores.size(), 1);
    EXPECT_EQ(highscores[0][1].toDouble(), 50);
    ASSERT_TRUE(waitForRequests(5));
    EXPECT_EQ(server->requests[3].value("timestamp").toInt(), 3);
    EXPECT_EQ(server->requests[4].value("timestamp").toInt(), 4);
    EXPECT_GE(server->arrivals[4] - server->arrivals[3], 300);
    ASSERT_TRUE(eventually([&] { return idle(); }));

    restart();
    ASSERT_TRUE(waitForRequests(6));
    EXPECT_EQ(server->requests[5].value("action").toString(), "get_user_scores");
    EXPECT_EQ(server->requests[5].value("timestamp").toInt(), 5);
    EXPECT_EQ(server->requests[5].value("token").toString(), "token-1");
    EXPECT_TRUE(server->requestsWithAction("login").size() == 1);
}

TEST_F(ZanthGameNetworkTest, offlineScoreIsStoredAndArrivesOnceWithAFreshCounterWhenTheServerReturns)
{
    startSession();
    QSignalSpy errors(network.get(), SIGNAL(error(QVariant)));
    closeServer();
    callQml(network.get(), "reportScore", {60});
    ASSERT_TRUE(eventually([&] { return errors.size() == 1; }));
    QVariantMap error = errors[0][0].toMap();
    EXPECT_EQ(error.value("code").toInt(), 1);
    EXPECT_EQ(error.value("errorType").toString(), "connectionError");
    EXPECT_TRUE(error.value("firstTimeConnectionErrorOccured").toBool());
    EXPECT_TRUE(network->property("connectionError").toBool());
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));

    callQml(network.get(), "getLeaderboardScores", {});
    ASSERT_TRUE(eventually([&] { return errors.size() == 2 && idle(); }));
    error = errors[1][0].toMap();
    EXPECT_EQ(error.value("code").toInt(), 1);
    EXPECT_FALSE(error.value("firstTimeConnectionErrorOccured").toBool());
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));

    reopenServer();
    callQml(network.get(), "sync");
    ASSERT_TRUE(eventually([&] { return !network->property("connectionError").toBool() && idle(); }));
    QTest::qWait(200);
    const QList<QJsonObject> scores = server->requestsWithAction("submit_score");
    ASSERT_EQ(scores.size(), 1);
    EXPECT_EQ(scores[0].value("value").toInt(), 60);
    EXPECT_GE(scores[0].value("timestamp").toInt(), 5);
    EXPECT_EQ(scores[0].value("token").toString(), "token-1");
    EXPECT_TRUE(storedActions().isEmpty());
}

TEST_F(ZanthGameNetworkTest, offlineScoreArrivesOnceAfterAQuitAndRestart)
{
    startSession();
    closeServer();
    callQml(network.get(), "reportScore", {70});
    ASSERT_TRUE(eventually([&] { return network->property("connectionError").toBool(); }));
    network.reset();
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));

    reopenServer();
    restart();
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    QTest::qWait(200);
    EXPECT_EQ(server->actions(), QStringList({"get_user_scores", "get_achievement_progress", "submit_score"}));
    EXPECT_EQ(server->requests[2].value("value").toInt(), 70);
    EXPECT_EQ(server->requests[2].value("timestamp").toInt(), server->requests[1].value("timestamp").toInt() + 1);
    EXPECT_TRUE(storedActions().isEmpty());
}

TEST_F(ZanthGameNetworkTest, writesStillWaitingAtQuitAreSentAfterTheRestart)
{
    server->answer = [](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") != "login")
            return std::nullopt;
        GameReply reply = GameReply::success(QJsonObject());
        reply.stall = true;
        return reply;
    };
    ASSERT_TRUE(start());
    callQml(network.get(), "reportScore", {80});
    callQml(network.get(), "incrementAchievement", {"firstWin"});
    callQml(network.get(), "getLeaderboardScores", {});
    ASSERT_TRUE(waitForRequests(1));
    network.reset();
    EXPECT_EQ(storedActions(), QStringList({"submit_score", "add_achievement_progress"}));

    server->answer = nullptr;
    restart();
    ASSERT_TRUE(waitForRequests(6));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    EXPECT_EQ(server->actions(), QStringList({"login", "login", "get_user_scores", "get_achievement_progress",
                                             "submit_score", "add_achievement_progress"}));
    EXPECT_EQ(server->requests[4].value("timestamp").toInt(), 3);
    EXPECT_TRUE(storedActions().isEmpty());
}

TEST_F(ZanthGameNetworkTest, readsAndLoginsFailingOfflineAreNotKept)
{
    closeServer();
    QObject* client = start();
    ASSERT_TRUE(client);
    QSignalSpy errors(client, SIGNAL(error(QVariant)));
    ASSERT_TRUE(eventually([&] { return client->property("connectionError").toBool(); }));
    callQml(client, "getLeaderboardScores", {});
    callQml(client, "userHighscoreForLeaderboard", {});
    ASSERT_TRUE(eventually([&] { return idle(); }));
    EXPECT_TRUE(storedActions().isEmpty());
    EXPECT_FALSE(client->property("authenticated").toBool());

    reopenServer();
    callQml(client, "reportScore", {5});
    ASSERT_TRUE(eventually([&] { return client->property("authenticated").toBool() && idle(); }));
    QTest::qWait(200);
    EXPECT_EQ(server->actions(), QStringList({"login", "get_user_scores", "get_achievement_progress", "submit_score"}));
}

TEST_F(ZanthGameNetworkTest, reloginCodesCauseExactlyOneLoginThatRestartsTheCounter)
{
    for (const int code : {12, 14, 15, 100, 101, 111, 112}) {
        SCOPED_TRACE(code);
        server = std::make_unique<GameServer>(QStringLiteral("secret"));
        hostingUrl = server->hostingUrl().toUtf8();
        startSession();
        server->answer = [code](const QJsonObject& request) -> std::optional<GameReply> {
            if (request.value("action") == "submit_score")
                return GameReply::refusal(code);
            return std::nullopt;
        };
        callQml(network.get(), "reportScore", {9});
        ASSERT_TRUE(waitForRequests(7));
        ASSERT_TRUE(eventually([&] { return idle(); }));
        QTest::qWait(100);
        EXPECT_EQ(server->actions(), QStringList({"login", "get_user_scores", "get_achievement_progress", "submit_score",
                                                 "login", "get_user_scores", "get_achievement_progress"}));
        EXPECT_EQ(server->requests[5].value("timestamp").toInt(), 1);
        EXPECT_EQ(server->requests[5].value("token").toString(), "token-2");
        EXPECT_TRUE(storedActions().isEmpty());
    }
}

TEST_F(ZanthGameNetworkTest, otherRefusalsCauseNoLoginAndAreNotResent)
{
    startSession();
    server->answer = [](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") == "submit_score")
            return GameReply::refusal(21, "leaderboard closed");
        return std::nullopt;
    };
    QSignalSpy errors(network.get(), SIGNAL(error(QVariant)));
    callQml(network.get(), "reportScore", {9});
    ASSERT_TRUE(eventually([&] { return errors.size() == 1 && idle(); }));
    const QVariantMap error = errors[0][0].toMap();
    EXPECT_EQ(error.value("code").toInt(), 2);
    EXPECT_EQ(error.value("errorType").toString(), "serverResponseErrorStatus");
    EXPECT_EQ(error.value("serverResponse").toMap().value("data").toMap().value("code").toInt(), 21);
    EXPECT_TRUE(storedActions().isEmpty());

    callQml(network.get(), "sync");
    ASSERT_TRUE(waitForRequests(6));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    QTest::qWait(100);
    EXPECT_EQ(server->requestsWithAction("submit_score").size(), 1);
    EXPECT_EQ(server->requestsWithAction("login").size(), 1);
}

TEST_F(ZanthGameNetworkTest, loginRefusedWithAReloginCodeNeverLoops)
{
    server->answer = [](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") == "login")
            return GameReply::refusal(111, "this device is already registered for another user");
        return std::nullopt;
    };
    ASSERT_TRUE(start());
    ASSERT_TRUE(waitForRequests(2));
    QTest::qWait(500);
    EXPECT_EQ(server->actions(), QStringList({"login", "login"}));
    EXPECT_FALSE(network->property("authenticated").toBool());

    server->answer = nullptr;
    callQml(network.get(), "sync");
    ASSERT_TRUE(waitForRequests(5));
    EXPECT_TRUE(eventually([&] { return network->property("authenticated").toBool(); }));
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GameNetworkHost host(argc, argv);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
