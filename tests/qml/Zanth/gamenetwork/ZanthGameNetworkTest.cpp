#include "GameNetworkHost.h"
#include "GameServer.h"
#include "MessageLog.h"
#include "QtPrinters.h"
#include "zanthnetworkaccessmanagerfactory.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// Short enough for a test to wait for a dead network, long enough for a loaded machine's answers.
constexpr int kTransferTimeoutMs = 3000;

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
            "ZanthGameNetwork {\n    gameId: 42\n    secret: \"secret\"\n    hostingUrl: \"" + hostingUrl +
            "\"\n    errorReportingLevel: 0\n    clearAllUserDataAtStartup: " +
            (firstStart ? "true" : "false") + "\n" + properties + "}\n");
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
    EXPECT_TRUE(network->property("userInitiallyInSync").toBool());

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

// The score left once (and may have arrived): it goes again as the same packet, token and counter.
TEST_F(ZanthGameNetworkTest, offlineScoreIsStoredAndArrivesOnceAsTheSamePacketWhenTheServerReturns)
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
    EXPECT_EQ(scores[0].value("timestamp").toInt(), 3);
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
    // The packet that left before the quit goes first, before any later counter of its session.
    EXPECT_EQ(server->actions(),
              QStringList({"submit_score", "get_user_scores", "get_achievement_progress"}));
    EXPECT_EQ(server->requests[0].value("value").toInt(), 70);
    EXPECT_EQ(server->requests[0].value("timestamp").toInt(), 3);
    EXPECT_EQ(server->requests[1].value("timestamp").toInt(), 4);
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
    QObject* client = start(true, "    offlineRetryInterval: 100\n    offlineRetryMaxInterval: 400\n");
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
    EXPECT_EQ(server->actions(),
              QStringList({"login", "get_user_scores", "get_achievement_progress", "submit_score"}));
}

// The refused write is the player's: it stays stored and goes again, once, in the new session.
TEST_F(ZanthGameNetworkTest, reloginCodesCauseExactlyOneLoginThatRestartsTheCounter)
{
    for (const int code : {12, 14, 15, 100, 101, 111, 112}) {
        SCOPED_TRACE(code);
        server = std::make_unique<GameServer>(QStringLiteral("secret"));
        hostingUrl = server->hostingUrl().toUtf8();
        startSession();
        bool refused = false;
        server->answer = [code, &refused](const QJsonObject& request) -> std::optional<GameReply> {
            if (request.value("action") != "submit_score" || refused)
                return std::nullopt;
            refused = true;
            return GameReply::refusal(code);
        };
        callQml(network.get(), "reportScore", {9});
        ASSERT_TRUE(waitForRequests(8));
        ASSERT_TRUE(eventually([&] { return idle() && storedActions().isEmpty(); }));
        EXPECT_EQ(server->actions(),
                  QStringList({"login", "get_user_scores", "get_achievement_progress", "submit_score",
                               "login", "get_user_scores", "get_achievement_progress", "submit_score"}));
        EXPECT_EQ(server->requests[5].value("timestamp").toInt(), 1);
        EXPECT_EQ(server->requests[5].value("token").toString(), "token-2");
        EXPECT_EQ(server->requests[7].value("timestamp").toInt(), 3);
        EXPECT_EQ(server->requests[7].value("token").toString(), "token-2");
        EXPECT_EQ(server->acceptedWithAction("submit_score").size(), 1);
    }
}

// A write every session refuses is no session's fault: after one new login it is set aside, still
// stored, and the logins stop; the next start (here a restart that resumes the session) tries it again
// the same way, and the session that finally takes it takes it once.
TEST_F(ZanthGameNetworkTest, aWriteRefusedForEverySessionIsSetAsideAfterOneNewLoginAndStaysStored)
{
    startSession();
    bool refusing = true;
    server->answer = [&](const QJsonObject& request) -> std::optional<GameReply> {
        if (refusing && request.value("action") == "submit_score")
            return GameReply::refusal(101, "parameter value missing");
        return std::nullopt;
    };
    MessageLog log;
    callQml(network.get(), "reportScore", {9});
    ASSERT_TRUE(eventually([&] { return server->requestsWithAction("submit_score").size() == 2 && idle(); }));
    EXPECT_EQ(server->requestsWithAction("login").size(), 2);
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));
    EXPECT_TRUE(log.contains("it stays stored and goes again when the next session starts"));

    // Nothing waits on it: the next request is the next one the server sees.
    callQml(network.get(), "getLeaderboardScores", {});
    ASSERT_TRUE(eventually([&] { return server->actions().last() == "get_scores" && idle(); }));
    EXPECT_EQ(server->requestsWithAction("submit_score").size(), 2);
    EXPECT_EQ(server->requestsWithAction("login").size(), 2);

    restart();
    ASSERT_TRUE(eventually([&] { return server->requestsWithAction("submit_score").size() == 4 && idle(); }));
    EXPECT_EQ(server->requestsWithAction("login").size(), 3);
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));

    refusing = false;
    callQml(network.get(), "sync");
    ASSERT_TRUE(eventually([&] { return storedActions().isEmpty() && idle(); }));
    EXPECT_EQ(server->acceptedWithAction("submit_score").size(), 1);
    EXPECT_EQ(server->requestsWithAction("login").size(), 3);
}

// A refusal that names no session fault starts no login and sets the write aside: it stays stored, the
// requests behind it go on, and the next session start sends it again.
TEST_F(ZanthGameNetworkTest, otherRefusalsCauseNoLoginAndSetTheWriteAsideUntilTheNextSession)
{
    startSession();
    bool refusing = true;
    server->answer = [&](const QJsonObject& request) -> std::optional<GameReply> {
        if (refusing && request.value("action") == "submit_score")
            return GameReply::refusal(21, "leaderboard closed");
        return std::nullopt;
    };
    QSignalSpy errors(network.get(), SIGNAL(error(QVariant)));
    callQml(network.get(), "reportScore", {9});
    callQml(network.get(), "reportRelativeScore", {4, "coins"});
    ASSERT_TRUE(eventually([&] { return errors.size() == 1 && idle(); }));
    const QVariantMap error = errors[0][0].toMap();
    EXPECT_EQ(error.value("code").toInt(), 2);
    EXPECT_EQ(error.value("errorType").toString(), "serverResponseErrorStatus");
    EXPECT_EQ(error.value("serverResponse").toMap().value("data").toMap().value("code").toInt(), 21);
    EXPECT_EQ(server->acceptedWithAction("add_score").size(), 1);
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));
    EXPECT_EQ(server->requestsWithAction("submit_score").size(), 1);

    refusing = false;
    callQml(network.get(), "sync");
    ASSERT_TRUE(eventually([&] { return storedActions().isEmpty() && idle(); }));
    EXPECT_EQ(server->requestsWithAction("submit_score").size(), 2);
    EXPECT_EQ(server->acceptedWithAction("submit_score").size(), 1);
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

TEST_F(ZanthGameNetworkTest, highscoresAreKnownAtOnceByTheLeaderboardsSortOrder)
{
    startSession();
    QSignalSpy highscores(network.get(), SIGNAL(newHighscore(QString, double)));
    callQml(network.get(), "reportScore", {50, "level1"});
    callQml(network.get(), "reportScore", {40, "level1"});
    callQml(network.get(), "reportScore", {30, "time", QVariant(), "lowest_is_best"});
    callQml(network.get(), "reportScore", {35, "time", QVariant(), "lowest_is_best"});
    callQml(network.get(), "reportScore", {20, "time", QVariant(), "lowest_is_best"});
    callQml(network.get(), "reportRelativeScore", {5, "coins"});
    callQml(network.get(), "reportRelativeScore", {7, "coins"});
    ASSERT_EQ(highscores.size(), 5);
    EXPECT_EQ(highscores[0], QVariantList({"level1", 50.0}));
    EXPECT_EQ(highscores[1], QVariantList({"time", 30.0}));
    EXPECT_EQ(highscores[2], QVariantList({"time", 20.0}));
    EXPECT_EQ(highscores[3], QVariantList({"coins", 5.0}));
    EXPECT_EQ(highscores[4], QVariantList({"coins", 12.0}));
    const QVariantMap scores = stored("userScores").toMap();
    EXPECT_EQ(scores.value("level1").toMap().value("value").toDouble(), 50);
    EXPECT_EQ(scores.value("time").toMap().value("value").toDouble(), 20);
    ASSERT_TRUE(waitForRequests(10));
    EXPECT_EQ(server->requestsWithAction("submit_score").size(), 5);
    EXPECT_EQ(server->requestsWithAction("add_score").size(), 2);
    EXPECT_EQ(server->requestsWithAction("add_score")[1].value("value").toInt(), 7);
}

TEST_F(ZanthGameNetworkTest, aStoredZeroCountsAsNoScore)
{
    startSession();
    server->answer = [](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") == "get_user_scores")
            return GameReply::success(QJsonObject{{"time", QJsonObject{{"value", 0}, {"pos", 3}}}});
        return std::nullopt;
    };
    callQml(network.get(), "sync");
    ASSERT_TRUE(eventually([&] { return server->requests.size() >= 5 && idle(); }));
    EXPECT_EQ(network->property("userHighscoreForCurrentActiveLeaderboard").toDouble(), 0);
    QSignalSpy highscores(network.get(), SIGNAL(newHighscore(QString, double)));
    callQml(network.get(), "reportScore", {90, "time", QVariant(), "lowest_is_best"});
    ASSERT_EQ(highscores.size(), 1);
    EXPECT_EQ(highscores[0][1].toDouble(), 90);
}

TEST_F(ZanthGameNetworkTest, serverScoresReplaceLocalOnesUnlessAnotherReportIsWaiting)
{
    startSession();
    server->bestScores["level1"] = 500;
    QSignalSpy inSync(network.get(), SIGNAL(userScoreInSync(QString, double)));
    QSignalSpy approved(network.get(), SIGNAL(newHighscoreAfterServerApproval(QString, double)));
    callQml(network.get(), "reportScore", {100, "level1"});
    ASSERT_TRUE(eventually([&] { return inSync.size() == 1 && idle(); }));
    EXPECT_EQ(inSync[0], QVariantList({"level1", 500.0}));
    EXPECT_TRUE(approved.isEmpty());
    EXPECT_EQ(stored("userScores").toMap().value("level1").toMap().value("value").toDouble(), 500);

    network->setProperty("currentActiveLeaderboard", "level1");
    EXPECT_EQ(network->property("userHighscoreForCurrentActiveLeaderboard").toDouble(), 500);
    callQml(network.get(), "reportScore", {600, "level1"});
    callQml(network.get(), "reportScore", {700, "level1"});
    ASSERT_TRUE(eventually([&] { return inSync.size() == 2 && idle(); }));
    EXPECT_EQ(inSync[1], QVariantList({"level1", 700.0}));
    ASSERT_EQ(approved.size(), 2);
    EXPECT_EQ(network->property("userHighscoreForCurrentActiveLeaderboard").toDouble(), 700);
}

TEST_F(ZanthGameNetworkTest, achievementCountsUpToItsTargetOnceAndThenSendsNothing)
{
    startSession();
    network.reset();
    ASSERT_TRUE(start(false, "    achievements: [ Achievement { key: \"collector\"; target: 3 } ]\n"));
    ASSERT_TRUE(waitForRequests(5));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    QSignalSpy unlocked(network.get(), SIGNAL(achievementUnlocked(QString)));
    callQml(network.get(), "incrementAchievement", {"collector", 5});
    ASSERT_EQ(unlocked.size(), 1);
    const QVariantList achievements = qmlProperty(network.get(), "userAchievements").toList();
    ASSERT_EQ(achievements.size(), 1);
    const QVariantMap entry = achievements[0].toMap();
    EXPECT_EQ(entry.value("counter").toInt(), 3);
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$")
                    .match(entry.value("awarded_at").toString())
                    .hasMatch());
    EXPECT_EQ(stored("userAchievements").toList().size(), 1);
    callQml(network.get(), "incrementAchievement", {"collector"});
    callQml(network.get(), "unlockAchievement", {"collector"});
    EXPECT_EQ(unlocked.size(), 1);

    MessageLog log;
    callQml(network.get(), "unlockAchievement", {"unknown"});
    EXPECT_TRUE(log.contains(
        "ERROR: ZTGN: unlockAchievement was called for key unknown which is not in the achievements"));
    QTest::qWait(300);
    const QList<QJsonObject> sent = server->requestsWithAction("add_achievement_progress");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].value("key").toString(), "collector");
    EXPECT_EQ(sent[0].value("amount").toInt(), 5);
}

TEST_F(ZanthGameNetworkTest, userNamesThatCouldPassForOtherPlayersOrOffendAreRefused)
{
    startSession();
    for (const char* name : {"", "1ann", "9", "Me (ann)", "player7", "The Player", "shithead", "Fuckface"})
        EXPECT_FALSE(callQml(network.get(), "updateUserName", {QString::fromUtf8(name)}).toBool()) << name;
    EXPECT_TRUE(callQml(network.get(), "updateUserName", {"Zoë"}).toBool());
    ASSERT_TRUE(waitForRequests(4));
    EXPECT_EQ(server->requestsWithAction("update_user").size(), 1);
    EXPECT_EQ(server->requests.last().value("screen_name").toString(), "Zoë");
    EXPECT_EQ(network->property("userName").toString(), "Zoë");
}

// An answer that names no user can't be taken for another player: nothing of the player is cleared.
TEST_F(ZanthGameNetworkTest, aUserAnswerWithoutAnIdChangesNothingOfThePlayer)
{
    startSession();
    callQml(network.get(), "reportScore", {50, "level1"});
    ASSERT_TRUE(eventually([&] { return idle(); }));
    server->answer = [](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") == "update_user")
            return GameReply::success(QJsonObject{{"name", "other"}});
        return std::nullopt;
    };
    QSignalSpy switched(network.get(), SIGNAL(userIdChangedOrAboutToChange()));
    MessageLog log;
    EXPECT_TRUE(callQml(network.get(), "updateUserName", {"Zoë"}).toBool());
    ASSERT_TRUE(eventually([&] { return server->requestsWithAction("update_user").size() == 1 && idle(); }));
    EXPECT_TRUE(log.contains("ERROR: ZTGN: the server sent no user data for update"));
    EXPECT_TRUE(switched.isEmpty());
    EXPECT_TRUE(qmlProperty(network.get(), "userScores").toMap().contains("level1"));
    EXPECT_EQ(stored("userData").toMap().value("userId").toInt(), 7);
    EXPECT_EQ(stored("userData").toMap().value("name").toString(), "Zoë");
}

TEST_F(ZanthGameNetworkTest, anotherUserAfterALoginClearsThePreviousPlayersData)
{
    startSession();
    callQml(network.get(), "reportScore", {50, "level1"});
    ASSERT_TRUE(eventually([&] { return idle(); }));
    server->userId = 8;
    QSignalSpy switched(network.get(), SIGNAL(userIdChangedOrAboutToChange()));
    callQml(network.get(), "authenticateLocalPlayer", {true});
    ASSERT_TRUE(eventually([&] { return switched.size() == 1; }));
    EXPECT_FALSE(qmlProperty(network.get(), "userScores").toMap().contains("level1"));
    EXPECT_EQ(stored("userData").toMap().value("userId").toInt(), 8);
}

TEST_F(ZanthGameNetworkTest, leaderboardPagesGrowByOnePageFromTheTop)
{
    startSession();
    server->bestScores["level1"] = 10;
    callQml(network.get(), "getLeaderboardScores", {"level1", 24, true});
    ASSERT_TRUE(eventually([&] { return server->requests.size() == 4 && idle(); }));
    QJsonObject request = server->requests.last();
    EXPECT_EQ(request.value("page").toInt(), 1);
    EXPECT_EQ(request.value("per_page").toInt(), 30);
    EXPECT_TRUE(request.value("friends_only").toBool());
    EXPECT_EQ(request.value("time_limit").toInt(), 24);
    const QVariantMap entry = qmlProperty(network.get(), "pageForRequestMetaData")
                                  .toMap()
                                  .value("get_scores")
                                  .toMap()
                                  .value("level1")
                                  .toMap()
                                  .value("true")
                                  .toMap()
                                  .value("24")
                                  .toMap();
    EXPECT_EQ(entry.value("page").toInt(), 1);
    EXPECT_EQ(entry.value("perPage").toInt(), 30);
    EXPECT_EQ(entry.value("totalCount").toInt(), 1);
    EXPECT_FALSE(entry.value("showLoadMoreButton").toBool());
    EXPECT_EQ(entry.value("pos").toInt(), 0);

    callQml(
        network.get(), "loadMore",
        {QVariantMap{
            {"action", "get_scores"}, {"leaderboard", "level1"}, {"friendsOnly", true}, {"timeLimit", 24}}});
    ASSERT_TRUE(waitForRequests(5));
    request = server->requests.last();
    EXPECT_FALSE(request.contains("page"));
    EXPECT_EQ(request.value("per_page").toInt(), 60);
}

TEST_F(ZanthGameNetworkTest, messageBoxesFollowTheErrorReportingLevel)
{
    GameNetworkHost& host = GameNetworkHost::instance();
    const qsizetype before = host.messageBoxTitles().size();
    startSession();
    network->setProperty("errorReportingLevel", 2);
    server->answer = [](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") == "submit_score")
            return GameReply::refusal(21, "leaderboard closed");
        return std::nullopt;
    };
    callQml(network.get(), "reportScore", {1});
    ASSERT_TRUE(eventually([&] { return host.messageBoxTitles().size() == before + 1; }));
    EXPECT_EQ(host.messageBoxTitles().last(), "GameNetwork Error");
    EXPECT_EQ(host.messageBoxTexts().last(),
              "An error with code 21 occured when connecting to the GameNetwork Server. "
              "Please try again later.\n\nError Message: leaderboard closed");

    closeServer();
    callQml(network.get(), "reportScore", {2});
    callQml(network.get(), "reportScore", {3});
    ASSERT_TRUE(eventually([&] { return host.messageBoxTitles().size() == before + 2 && idle(); }));
    QTest::qWait(200);
    EXPECT_EQ(host.messageBoxTitles().size(), before + 2);
    EXPECT_EQ(host.messageBoxTitles().last(), "Connection Error");

    network->setProperty("errorReportingLevel", 1);
    const QVariant unknownError =
        QVariantMap{{"code", 77}, {"serverRequest", QVariantMap{{"token", "token-1"}}}};
    QMetaObject::invokeMethod(api(), "error", Q_ARG(QVariant, unknownError));
    ASSERT_EQ(host.messageBoxTitles().size(), before + 3);
    EXPECT_EQ(host.messageBoxTitles().last(), "Unknown error code in OfflineHandler");
    EXPECT_TRUE(host.messageBoxTexts().last().contains("\"token\":\"***\""));
    EXPECT_FALSE(host.messageBoxTexts().last().contains("token-1"));
}

TEST_F(ZanthGameNetworkTest, scoreReportedOfflineJustBeforeTheGameQuitsArrivesAfterTheNextStart)
{
    startSession();
    network.reset();
    QString closedUrl;
    {
        GameServer gone(QStringLiteral("secret"));
        closedUrl = gone.hostingUrl();
    }
    QProcess game;
    game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    game.start(QCoreApplication::applicationFilePath(), {"--report-offline-and-quit", closedUrl});
    ASSERT_TRUE(game.waitForFinished(60000));
    EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(game.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(game.readAllStandardOutput()).trimmed(), "quit with the score kept");

    restart();
    ASSERT_TRUE(waitForRequests(6));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    QTest::qWait(200);
    const QList<QJsonObject> scores = server->requestsWithAction("submit_score");
    ASSERT_EQ(scores.size(), 1);
    EXPECT_EQ(scores[0].value("value").toInt(), 90);
    EXPECT_EQ(server->requestsWithAction("login").size(), 1);
    EXPECT_TRUE(storedActions().isEmpty());
}

TEST_F(ZanthGameNetworkTest, resumedApplicationLogsInWhenNotLoggedIn)
{
    auto window = GameNetworkHost::instance().create("QtObject {\n    signal applicationResumed\n}\n");
    GameNetworkHost::instance().engine()->rootContext()->setContextProperty("rootGameWindow", window.get());
    closeServer();
    QObject* client = start();
    ASSERT_TRUE(eventually([&] { return client->property("connectionError").toBool() && idle(); }));
    reopenServer();
    QMetaObject::invokeMethod(window.get(), "applicationResumed");
    EXPECT_TRUE(eventually([&] { return client->property("authenticated").toBool(); }));
    EXPECT_EQ(server->actions().first(), "login");
    network.reset();
    GameNetworkHost::instance().engine()->rootContext()->setContextProperty("rootGameWindow", QVariant());
}

// A silent server (the network's transfer timeout) is offline too: the score stays stored and the
// back-off sends it again, by itself, until a good answer completes it once.
TEST_F(ZanthGameNetworkTest, aSilentServerCountsAsOfflineAndTheBackOffSendsTheScoreAgain)
{
    ASSERT_TRUE(start(true, "    offlineRetryInterval: 100\n    offlineRetryMaxInterval: 400\n"));
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    QSignalSpy errors(network.get(), SIGNAL(error(QVariant)));
    QSignalSpy inSync(network.get(), SIGNAL(userScoreInSync(QString, double)));
    server->deadNetwork = true;
    callQml(network.get(), "reportScore", {60});
    ASSERT_TRUE(
        eventually([&] { return network->property("connectionError").toBool(); }, 3 * kTransferTimeoutMs));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0][0].toMap().value("code").toInt(), 1);
    EXPECT_TRUE(errors[0][0].toMap().value("firstTimeConnectionErrorOccured").toBool());
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));

    server->deadNetwork = false;
    ASSERT_TRUE(eventually([&] { return !network->property("connectionError").toBool() && idle(); },
                           3 * kTransferTimeoutMs));
    EXPECT_EQ(server->acceptedWithAction("submit_score").size(), 1);
    EXPECT_TRUE(storedActions().isEmpty());
    EXPECT_EQ(inSync.size(), 1);
    EXPECT_EQ(errors.size(), 1);
}

// Tries while offline come less and less often: 500, 1000 and 2000 ms apart at least, where a constant
// pause would send four tries in 1500 ms.
TEST_F(ZanthGameNetworkTest, whileOfflineTheFailedRequestIsTriedAgainLessAndLessOften)
{
    ASSERT_TRUE(start(true, "    offlineRetryInterval: 500\n    offlineRetryMaxInterval: 4000\n"));
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    server->garbleAnswers = true;
    callQml(network.get(), "reportScore", {60});
    ASSERT_TRUE(eventually([&] { return server->requestsWithAction("submit_score").size() >= 4; }, 15000));
    server->garbleAnswers = false;
    const QList<QJsonObject> tries = server->requestsWithAction("submit_score");
    QList<qint64> arrivals;
    for (qsizetype i = 0; i < server->requests.size(); ++i) {
        if (server->requests[i].value("action") == "submit_score")
            arrivals.append(server->arrivals[i]);
    }
    EXPECT_GE(arrivals[3] - arrivals[0], 2500);
    // The same packet each time: the service took the score once and refused the copies as already seen.
    for (const QJsonObject& sent : tries)
        EXPECT_EQ(sent.value("timestamp"), tries[0].value("timestamp"));
    ASSERT_TRUE(eventually([&] { return !network->property("connectionError").toBool() && idle(); }, 15000));
    EXPECT_EQ(server->acceptedWithAction("submit_score").size(), 1);
    EXPECT_TRUE(storedActions().isEmpty());
}

// As the player lives it: scores and achievements made while the network is dead, while the service
// is gone, while its answers come back garbled after it has acted, while it refuses logins, with the
// game restarted in between, reach the service exactly once each.
TEST_F(ZanthGameNetworkTest, everyScoreAndAchievementReachesTheServiceExactlyOnceThroughEveryFailure)
{
    const QByteArray game =
        "    offlineRetryInterval: 100\n    offlineRetryMaxInterval: 400\n"
        "    achievements: [ Achievement { key: \"a\" }, Achievement { key: \"b\"; target: 2 } ]\n";
    const auto offline = [&] { return network->property("connectionError").toBool(); };
    server->checkSessions = true;
    ASSERT_TRUE(start(true, game));
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));

    // A dead network: the score's transfer times out, the achievement waits behind it.
    server->deadNetwork = true;
    callQml(network.get(), "reportScore", {100, "level1"});
    callQml(network.get(), "unlockAchievement", {"a"});
    ASSERT_TRUE(eventually(offline, 3 * kTransferTimeoutMs));
    EXPECT_EQ(storedActions(), QStringList({"submit_score", "add_achievement_progress"}));

    // The service gone, the game restarted.
    server->deadNetwork = false;
    server->setReachable(false);
    restart(game);
    ASSERT_TRUE(eventually(offline));

    // The service back, but every answer garbled on its way back after the service has acted; a score
    // made meanwhile, and another restart.
    server->garbleAnswers = true;
    server->setReachable(true);
    ASSERT_TRUE(eventually([&] { return server->garbledAnswers >= 3; }));
    callQml(network.get(), "reportScore", {120, "level1"});
    restart(game);
    ASSERT_TRUE(eventually([&] { return server->garbledAnswers >= 5; }));

    // Good answers: the score the service took while garbling is recognised as taken.
    server->garbleAnswers = false;
    ASSERT_TRUE(eventually([&] { return !offline() && idle() && storedActions().isEmpty(); }));

    // Garbled answers while playing online: the score is taken, its answer lost, and it is tried again.
    server->garbleAnswers = true;
    const int garbled = server->garbledAnswers;
    callQml(network.get(), "reportScore", {140, "level1"});
    ASSERT_TRUE(eventually([&] { return server->garbledAnswers >= garbled + 3; }));
    server->garbleAnswers = false;
    ASSERT_TRUE(eventually([&] { return !offline() && idle() && storedActions().isEmpty(); }));

    // The service ends the session and refuses logins; writes made then wait, also across a restart.
    server->forgetSessions();
    bool refuseLogins = true;
    bool garbleNextLogin = false;
    server->answer = [&](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") != "login")
            return std::nullopt;
        if (refuseLogins)
            return GameReply::refusal(111, "this device is already registered for another user");
        if (std::exchange(garbleNextLogin, false))
            return GameReply::raw(200, "%%% garbled");
        return std::nullopt;
    };
    qsizetype logins = server->requestsWithAction("login").size();
    callQml(network.get(), "incrementAchievement", {"b"});
    ASSERT_TRUE(
        eventually([&] { return server->requestsWithAction("login").size() == logins + 1 && idle(); }));
    callQml(network.get(), "reportScore", {130, "level1"});
    ASSERT_TRUE(eventually([&] { return storedActions().size() == 2 && idle(); }));
    logins = server->requestsWithAction("login").size();
    restart(game);
    ASSERT_TRUE(
        eventually([&] { return server->requestsWithAction("login").size() == logins + 2 && idle(); }));

    // Logins accepted again, the first answer garbled: the login is tried again and the writes follow.
    refuseLogins = false;
    garbleNextLogin = true;
    restart(game);
    ASSERT_TRUE(eventually([&] {
        return network->property("authenticated").toBool() && !offline() && idle() &&
               storedActions().isEmpty();
    }));
    server->answer = nullptr;

    QList<double> scores;
    for (const QJsonObject& request : server->acceptedWithAction("submit_score"))
        scores.append(request.value("value").toDouble());
    EXPECT_EQ(scores, QList<double>({100, 120, 140, 130}));
    QStringList achievements;
    for (const QJsonObject& request : server->acceptedWithAction("add_achievement_progress"))
        achievements.append(request.value("key").toString());
    EXPECT_EQ(achievements, QStringList({"a", "b"}));
}

QList<double> acceptedScores(const GameServer& server)
{
    QList<double> scores;
    for (const QJsonObject& request : server.acceptedWithAction("submit_score"))
        scores.append(request.value("value").toDouble());
    return scores;
}

// An outage of a minute of game time (the pauses between tries scaled down): first the gateway answers
// 502, then the service can't be reached at all, while the player scores and unlocks achievements. No
// write is given up, however many tries fail; the tries come less and less often, up to the longest
// pause; a read fails at once. When the service is back every write reaches it exactly once, in order,
// and the next outage starts again with the shortest pause.
TEST_F(ZanthGameNetworkTest, anOutageLosesNoWriteAndItsTriesBackOffUpToTheLongestPause)
{
    const QByteArray game =
        "    offlineRetryInterval: 20\n    offlineRetryMaxInterval: 640\n"
        "    achievements: [ Achievement { key: \"a\" }, Achievement { key: \"b\"; target: 3 } ]\n";
    const auto offline = [&] { return network->property("connectionError").toBool(); };
    ASSERT_TRUE(start(true, game));
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    bool gatewayDown = true;
    server->answer = [&](const QJsonObject&) -> std::optional<GameReply> {
        if (gatewayDown)
            return GameReply::raw(502, "<html><body><h1>502 Bad Gateway</h1></body></html>");
        return std::nullopt;
    };
    QSignalSpy tries(api(), SIGNAL(requestSent(QVariant)));
    QSignalSpy errors(network.get(), SIGNAL(error(QVariant)));
    const qsizetype before = server->requests.size();
    callQml(network.get(), "reportScore", {100, "level1"});
    callQml(network.get(), "unlockAchievement", {"a"});
    ASSERT_TRUE(eventually([&] { return server->requests.size() >= before + 6; }, 10000));
    callQml(network.get(), "reportScore", {150, "level1"});
    callQml(network.get(), "incrementAchievement", {"b", 1});
    const qsizetype errorsBeforeRead = errors.size();
    callQml(network.get(), "getLeaderboardScores", {});
    ASSERT_TRUE(eventually([&] { return errors.size() == errorsBeforeRead + 1; }));
    ASSERT_TRUE(eventually([&] { return server->requests.size() >= before + 12; }, 20000));
    EXPECT_TRUE(offline());
    EXPECT_EQ(storedActions(), QStringList({"submit_score", "add_achievement_progress", "submit_score",
                                            "add_achievement_progress"}));
    // Every try is the score that failed first, as the same packet.
    for (qsizetype i = before; i < server->requests.size(); ++i) {
        EXPECT_EQ(server->requests[i].value("value").toInt(), 100) << i;
        EXPECT_EQ(server->requests[i].value("timestamp"), server->requests[before].value("timestamp")) << i;
    }
    const qsizetype last = server->requests.size() - 1;
    const qint64 longestPause = server->arrivals[last] - server->arrivals[last - 1];
    EXPECT_GE(longestPause, 500);

    server->setReachable(false);
    const qsizetype triesBefore = tries.size();
    callQml(network.get(), "reportScore", {130, "level1"});
    ASSERT_TRUE(eventually([&] { return tries.size() >= triesBefore + 3; }, 10000));
    EXPECT_EQ(storedActions().size(), 5);

    gatewayDown = false;
    server->setReachable(true);
    ASSERT_TRUE(eventually([&] { return !offline() && idle() && storedActions().isEmpty(); }, 10000));
    EXPECT_EQ(acceptedScores(*server), QList<double>({100, 150, 130}));
    QStringList achievements;
    for (const QJsonObject& request : server->acceptedWithAction("add_achievement_progress"))
        achievements.append(request.value("key").toString());
    EXPECT_EQ(achievements, QStringList({"a", "b"}));

    gatewayDown = true;
    const qsizetype first = server->requests.size();
    callQml(network.get(), "reportScore", {160, "level1"});
    ASSERT_TRUE(eventually([&] { return server->requests.size() >= first + 2; }));
    // Against the longest pause measured on this machine under the same load: a late timer adds to both.
    EXPECT_LT(server->arrivals[first + 1] - server->arrivals[first], longestPause / 2);
    gatewayDown = false;
    ASSERT_TRUE(eventually([&] { return !offline() && idle() && storedActions().isEmpty(); }, 10000));
    EXPECT_EQ(acceptedScores(*server), QList<double>({100, 150, 130, 160}));
}

// The server answers one write with HTTP 500: that write is set aside, still stored, and the two writes
// behind it reach the server at once; the next start sends it again, and the server takes each once.
TEST_F(ZanthGameNetworkTest, aWriteAnsweredWithHttp500IsSetAsideAndTheTwoBehindItGoOn)
{
    startSession();
    bool failing = true;
    server->answer = [&](const QJsonObject& request) -> std::optional<GameReply> {
        if (failing && request.value("action") == "submit_score" && request.value("value").toInt() == 1)
            return GameReply::raw(500, "<html><body>Internal Server Error</body></html>");
        return std::nullopt;
    };
    QSignalSpy errors(network.get(), SIGNAL(error(QVariant)));
    callQml(network.get(), "reportScore", {1, "a"});
    callQml(network.get(), "reportScore", {2, "b"});
    callQml(network.get(), "reportRelativeScore", {3, "c"});
    ASSERT_TRUE(eventually([&] { return server->acceptedWithAction("add_score").size() == 1 && idle(); }));
    EXPECT_EQ(server->actions().mid(3), QStringList({"submit_score", "submit_score", "add_score"}));
    EXPECT_FALSE(network->property("connectionError").toBool());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0][0].toMap().value("code").toInt(), 2);
    EXPECT_EQ(
        errors[0][0].toMap().value("serverResponse").toMap().value("data").toMap().value("code").toInt(),
        500);
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));
    EXPECT_EQ(acceptedScores(*server), QList<double>({2}));

    failing = false;
    restart();
    ASSERT_TRUE(eventually([&] { return storedActions().isEmpty() && idle(); }));
    EXPECT_EQ(acceptedScores(*server), QList<double>({2, 1}));
    EXPECT_EQ(server->acceptedWithAction("add_score").size(), 1);
    EXPECT_EQ(server->requestsWithAction("submit_score").size(), 3);
}

// The server took the score but its answer was garbled; the score's second try met an HTTP 500, which
// may come before the server looks at the packet. Set aside, it goes again as the same packet, which the
// server recognises as taken.
TEST_F(ZanthGameNetworkTest, aWriteSentAgainAndAnsweredWithHttp500GoesNextTimeAsTheSamePacket)
{
    ASSERT_TRUE(start(true, "    offlineRetryInterval: 100\n    offlineRetryMaxInterval: 400\n"));
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    int tries = 0;
    GameServer* service = server.get();
    service->answer = [&tries, service](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") != "submit_score" || ++tries != 2)
            return std::nullopt;
        service->garbleAnswers = false;
        return GameReply::raw(500, "<html><body>Internal Server Error</body></html>");
    };
    service->garbleAnswers = true;
    callQml(network.get(), "reportScore", {5});
    ASSERT_TRUE(
        eventually([&] { return tries == 2 && !network->property("connectionError").toBool() && idle(); }));
    EXPECT_EQ(storedActions(), QStringList({"submit_score"}));
    callQml(network.get(), "sync");
    ASSERT_TRUE(eventually([&] { return storedActions().isEmpty() && idle(); }));
    const QList<QJsonObject> sent = server->requestsWithAction("submit_score");
    ASSERT_EQ(sent.size(), 3);
    EXPECT_EQ(sent[2].value("timestamp"), sent[0].value("timestamp"));
    EXPECT_EQ(acceptedScores(*server), QList<double>({5}));
}

// A silent server counts as one that can't be reached: the write it is silent on may have arrived, so
// the write behind it waits, in order, and goes as soon as the server answers a try; each reaches the
// server exactly once.
TEST_F(ZanthGameNetworkTest, aSilentServerKeepsTheWritesInOrderAndTheOneBehindFollowsItsFirstAnswer)
{
    ASSERT_TRUE(start(true, "    offlineRetryInterval: 100\n    offlineRetryMaxInterval: 400\n"));
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    int silentTries = 1;
    server->answer = [&](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") != "submit_score" || request.value("value").toInt() != 1 ||
            silentTries == 0)
            return std::nullopt;
        --silentTries;
        GameReply reply = GameReply::success(QJsonObject());
        reply.stall = true;
        return reply;
    };
    callQml(network.get(), "reportScore", {1, "a"});
    callQml(network.get(), "reportScore", {2, "b"});
    ASSERT_TRUE(
        eventually([&] { return network->property("connectionError").toBool(); }, 3 * kTransferTimeoutMs));
    EXPECT_EQ(storedActions(), QStringList({"submit_score", "submit_score"}));
    ASSERT_TRUE(eventually(
        [&] { return !network->property("connectionError").toBool() && idle() && storedActions().isEmpty(); },
        3 * kTransferTimeoutMs));
    EXPECT_EQ(acceptedScores(*server), QList<double>({1, 2}));
    const QList<QJsonObject> sent = server->requestsWithAction("submit_score");
    ASSERT_EQ(sent.size(), 3);
    EXPECT_EQ(sent[0].value("timestamp"), sent[1].value("timestamp"));
}

// A score reported before the game network has started (from another item's onCompleted) waits for the
// queue the last run stored and joins it: both reach the server once, the earlier one first.
TEST_F(ZanthGameNetworkTest, aScoreReportedBeforeTheStartJoinsTheQueueTheLastRunStored)
{
    startSession();
    closeServer();
    callQml(network.get(), "reportScore", {70, "level1"});
    ASSERT_TRUE(eventually([&] { return network->property("connectionError").toBool(); }));
    network.reset();
    ASSERT_EQ(storedActions(), QStringList({"submit_score"}));

    reopenServer();
    auto game = GameNetworkHost::instance().create(
        "Item {\n    property alias gameNetwork: gameNetwork\n    property bool reportedBeforeStart: false\n"
        "    ZanthGameNetwork {\n        id: gameNetwork\n        gameId: 42\n        secret: \"secret\"\n"
        "        errorReportingLevel: 0\n        hostingUrl: \"" +
        hostingUrl +
        "\"\n    }\n"
        "    Item {\n        Component.onCompleted: {\n"
        "            reportedBeforeStart = !gameNetwork.initialized\n"
        "            gameNetwork.reportScore(80, \"level2\")\n        }\n    }\n}\n");
    ASSERT_TRUE(game);
    EXPECT_TRUE(game->property("reportedBeforeStart").toBool());
    QObject* client = game->property("gameNetwork").value<QObject*>();
    ASSERT_TRUE(eventually(
        [&] { return !client->property("waitingForResponse").toBool() && storedActions().isEmpty(); }));
    EXPECT_EQ(acceptedScores(*server), QList<double>({70, 80}));
}

QStringList namesSent(const GameServer& server)
{
    QStringList names;
    for (const QJsonObject& request : server.requestsWithAction("update_user"))
        names.append(request.value("screen_name").toString());
    return names;
}

// The server sees the player's writes in the order they were made, also those made while the request
// that ends an outage, or a login after a restart, is on its way: the last name chosen is the name.
TEST_F(ZanthGameNetworkTest, writesMadeWhileAnOutageOrALoginEndsReachTheServerInTheOrderMade)
{
    const QByteArray game = "    offlineRetryInterval: 200\n    offlineRetryMaxInterval: 400\n";
    ASSERT_TRUE(start(true, game));
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    const auto offline = [&] { return network->property("connectionError").toBool(); };
    // The answer of the first update_user (or login) that reaches the service comes late.
    QString slowAction = "update_user";
    bool answeredSlowly = false;
    const auto slowFirstAnswer = [&](const QJsonObject& request) -> std::optional<GameReply> {
        if (answeredSlowly || request.value("action") != slowAction)
            return std::nullopt;
        answeredSlowly = true;
        GameReply reply =
            slowAction == "login"
                ? GameReply::success(
                      QJsonObject{{"token", "token-9"}, {"user", QJsonObject{{"id", 7}, {"name", "ann"}}}})
                : GameReply::success(QJsonObject{{"id", 7}, {"name", request.value("screen_name")}});
        reply.delayMs = 800;
        return reply;
    };

    server->setReachable(false);
    callQml(network.get(), "updateUserName", {"Anna"});
    ASSERT_TRUE(eventually([&] { return offline() && idle(); }));
    callQml(network.get(), "updateUserName", {"Bert"});
    server->answer = slowFirstAnswer;
    server->setReachable(true);
    ASSERT_TRUE(eventually([&] { return answeredSlowly; }));
    callQml(network.get(), "updateUserName", {"Carl"});
    ASSERT_TRUE(eventually([&] { return !offline() && idle() && storedActions().isEmpty(); }));
    EXPECT_EQ(namesSent(*server), QStringList({"Anna", "Bert", "Carl"}));
    EXPECT_EQ(server->userName, "Carl");
    EXPECT_EQ(network->property("userName").toString(), "Carl");

    // A name kept offline at quit, and one made after the restart while the login is on its way.
    server->setReachable(false);
    callQml(network.get(), "updateUserName", {"Dora"});
    ASSERT_TRUE(eventually([&] { return offline() && idle(); }));
    restart(game);
    ASSERT_TRUE(eventually([&] { return offline() && idle(); }));
    slowAction = "login";
    answeredSlowly = false;
    server->setReachable(true);
    callQml(network.get(), "authenticateLocalPlayer", {true});
    ASSERT_TRUE(eventually([&] { return answeredSlowly; }));
    callQml(network.get(), "updateUserName", {"Emil"});
    ASSERT_TRUE(eventually([&] { return !offline() && idle() && storedActions().isEmpty(); }));
    EXPECT_EQ(namesSent(*server), QStringList({"Anna", "Bert", "Carl", "Dora", "Emil"}));
    EXPECT_EQ(server->userName, "Emil");
    EXPECT_EQ(network->property("userName").toString(), "Emil");
}

// A request the game gave data that holds itself has no JSON text and can never leave: it is refused
// with one line, and does not sit in flight holding back every later request.
TEST_F(ZanthGameNetworkTest, aRequestWithoutJsonTextIsRefusedAndTheOthersGoOn)
{
    startSession();
    auto game = GameNetworkHost::instance().create(
        "QtObject {\n  function report(network) {\n    var data = { level: 1 }\n    data.self = data\n"
        "    network.reportScore(5, \"a\", undefined, undefined, data)\n  }\n}\n");
    MessageLog log;
    QMetaObject::invokeMethod(game.get(), "report", Q_ARG(QVariant, QVariant::fromValue(network.get())));
    callQml(network.get(), "reportScore", {6, "b"});
    ASSERT_TRUE(eventually([&] { return server->acceptedWithAction("submit_score").size() == 1 && idle(); }));
    EXPECT_EQ(acceptedScores(*server), QList<double>({6}));
    EXPECT_TRUE(storedActions().isEmpty());
    EXPECT_EQ(
        log.lines().filter("ERROR: ZanthGameNetworkAPI: the submit_score request has no JSON text").size(), 1)
        << log.lines().join('\n').toStdString();
}

// Past its limit the store keeps its newest writes, with one error line for each one it drops.
TEST_F(ZanthGameNetworkTest, pastItsLimitTheOfflineStoreKeepsItsNewestWrites)
{
    const QByteArray game = "    offlineSendingQueueLimit: 3\n    offlineRetryInterval: 100000\n";
    ASSERT_TRUE(start(true, game));
    ASSERT_TRUE(waitForRequests(3));
    ASSERT_TRUE(eventually([&] { return idle(); }));
    closeServer();
    MessageLog log;
    for (int score = 1; score <= 5; ++score)
        callQml(network.get(), "reportScore", {score, "level" + QString::number(score)});
    ASSERT_TRUE(eventually([&] { return idle(); }));
    QList<int> kept;
    for (const QVariant& request : stored("offlineSendingQueue").toList())
        kept.append(request.toMap().value("value").toInt());
    EXPECT_EQ(kept, QList<int>({3, 4, 5}));
    EXPECT_EQ(log.lines().filter("(offlineSendingQueueLimit), the oldest was dropped").size(), 2);

    network.reset();
    reopenServer();
    restart(game);
    ASSERT_TRUE(eventually([&] { return storedActions().isEmpty() && idle(); }));
    EXPECT_EQ(acceptedScores(*server), QList<double>({3, 4, 5}));
}

// Facebook needs the plug-in of a mobile platform. On a desktop each Facebook call of a game reports an
// error and changes nothing: no request, the stored player and offline queue as they were, and a
// plug-in object, even when one is there, untouched.
TEST_F(ZanthGameNetworkTest, facebookCallsOnADesktopReportAnErrorAndChangeNothing)
{
    GameNetworkHost& host = GameNetworkHost::instance();
    auto facebook =
        host.create("QtObject {\n    property var calls: []\n    property string accessToken: \"fb\"\n"
                    "    function openSession() { calls = calls.concat([\"openSession\"]) }\n"
                    "    function closeSession() { calls = calls.concat([\"closeSession\"]) }\n"
                    "    function getGraphRequest(path) { calls = calls.concat([\"get\"]) }\n"
                    "    function postGraphRequest(path) { calls = calls.concat([\"post\"]) }\n}\n");
    host.engine()->rootContext()->setContextProperty("facebook", facebook.get());
    startSession();
    callQml(network.get(), "reportScore", {50, "level1"});
    ASSERT_TRUE(eventually([&] { return idle(); }));
    const QVariant userData = stored("userData");
    const QVariant scores = stored("userScores");
    QSignalSpy errors(network.get(), SIGNAL(facebookConnectionError(QVariant)));
    QSignalSpy switched(network.get(), SIGNAL(userIdChangedOrAboutToChange()));
    MessageLog log;

    callQml(network.get(), "connectFacebookUser");
    callQml(network.get(), "disconnectFacebookUser", {true, true});
    callQml(network.get(), "deleteFacebookData");
    ASSERT_EQ(errors.size(), 3);
    const char* calls[] = {"connectFacebookUser", "disconnectFacebookUser", "deleteFacebookData"};
    for (int i = 0; i < 3; ++i) {
        const QVariantMap error = errors[i][0].toMap();
        EXPECT_EQ(error.value("errorId").toString(), "notAvailableOnThisPlatform");
        EXPECT_EQ(error.value("message").toString(),
                  QString::fromLatin1(calls[i]) + " is not available on desktop platforms");
        EXPECT_TRUE(log.contains(QStringLiteral("ERROR: ZTGN: Facebook: ") + calls[i]));
    }
    EXPECT_TRUE(switched.isEmpty());
    EXPECT_TRUE(qmlProperty(facebook.get(), "calls").toList().isEmpty());
    EXPECT_EQ(stored("userData"), userData);
    EXPECT_EQ(stored("userScores"), scores);
    EXPECT_TRUE(storedActions().isEmpty());
    EXPECT_EQ(network->property("userName").toString(), "ann");

    // Nothing went out: the next request is the next one the server sees.
    const qsizetype sent = server->requests.size();
    callQml(network.get(), "getLeaderboardScores", {});
    ASSERT_TRUE(waitForRequests(sent + 1));
    EXPECT_EQ(server->requests.last().value("action").toString(), "get_scores");
    network.reset();
    host.engine()->rootContext()->setContextProperty("facebook", QVariant());
}

// A game that logs a score while its server is gone and quits at once.
int reportOfflineAndQuit(int argc, char** argv)
{
    GameNetworkHost host(argc, argv);
    auto network =
        host.create("ZanthGameNetwork {\n    gameId: 42\n    secret: \"secret\"\n    errorReportingLevel: 0\n"
                    "    hostingUrl: \"" +
                    QByteArray(argv[2]) + "\"\n}\n");
    if (!network || !eventually([&] { return network->property("authenticated").toBool(); }))
        return 1;
    callQml(network.get(), "reportScore", {90});
    std::printf("quit with the score kept\n");
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--report-offline-and-quit") == 0)
        return reportOfflineAndQuit(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ZanthNetworkAccessManagerFactory shortTimeout(kTransferTimeoutMs);
    GameNetworkHost host(argc, argv);
    host.engine()->setNetworkAccessManagerFactory(&shortTimeout);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
