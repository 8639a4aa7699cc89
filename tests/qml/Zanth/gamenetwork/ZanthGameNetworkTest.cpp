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
    GameServer server{QStringLiteral("secret")};
    std::unique_ptr<QObject> network;

    // A first start clears what earlier tests left in the local store.
    QObject* start(bool firstStart = true, const QByteArray& properties = QByteArray())
    {
        network = GameNetworkHost::instance().create(
            "ZanthGameNetwork {\n    gameId: 42\n    secret: \"secret\"\n    hostingUrl: \"" + server.hostingUrl().toUtf8()
            + "\"\n    errorReportingLevel: 0\n    clearAllUserDataAtStartup: " + (firstStart ? "true" : "false") + "\n"
            + properties + "}\n");
        return network.get();
    }
    QObject* restart(const QByteArray& properties = QByteArray())
    {
        network.reset();
        return start(false, properties);
    }
    QObject* api() const { return network->property("api").value<QObject*>(); }
    bool idle() const { return !api()->property("waitingForResponse").toBool(); }
    bool waitForRequests(qsizetype count, int milliseconds = 5000)
    {
        return eventually([&] { return server.requests.size() >= count; }, milliseconds);
    }
    // Logged in, with the session's first reads answered.
    void startSession()
    {
        ASSERT_TRUE(start());
        ASSERT_TRUE(waitForRequests(3));
        ASSERT_TRUE(eventually([&] { return idle(); }));
    }
};

TEST_F(ZanthGameNetworkTest, sessionCountsRequestsFromOneAfterTheLoginAndAcrossARestart)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(server.actions(), QStringList({"login", "get_user_scores", "get_achievement_progress"}));
    EXPECT_FALSE(server.requests[0].contains("timestamp"));
    EXPECT_FALSE(server.requests[0].contains("token"));
    EXPECT_EQ(server.requests[0].value("platform").toString(), "Linux");
    EXPECT_EQ(server.requests[1].value("timestamp").toInt(), 1);
    EXPECT_EQ(server.requests[2].value("timestamp").toInt(), 2);
    EXPECT_EQ(server.requests[1].value("token").toString(), "token-1");
    ASSERT_TRUE(eventually([&] { return idle(); }));

    QSignalSpy highscores(network.get(), SIGNAL(newHighscore(QString, double)));
    server.answer = [](const QJsonObject& request) -> std::optional<GameReply> {
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
    EXPECT_EQ(server.requests[3].value("timestamp").toInt(), 3);
    EXPECT_EQ(server.requests[4].value("timestamp").toInt(), 4);
    EXPECT_GE(server.arrivals[4] - server.arrivals[3], 300);
    ASSERT_TRUE(eventually([&] { return idle(); }));

    restart();
    ASSERT_TRUE(waitForRequests(6));
    EXPECT_EQ(server.requests[5].value("action").toString(), "get_user_scores");
    EXPECT_EQ(server.requests[5].value("timestamp").toInt(), 5);
    EXPECT_EQ(server.requests[5].value("token").toString(), "token-1");
    EXPECT_TRUE(server.requestsWithAction("login").size() == 1);
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    GameNetworkHost host(argc, argv);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
