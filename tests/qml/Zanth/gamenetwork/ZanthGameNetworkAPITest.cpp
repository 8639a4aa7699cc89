#include "GameNetworkHost.h"
#include "GameServer.h"
#include "MessageLog.h"
#include "QtPrinters.h"
#include "TestCertificateAuthority.h"
#include "zanthnetworkaccessmanagerfactory.h"

#include <gtest/gtest.h>

namespace {

// Short enough for a test to wait for a server that never answers.
constexpr int kTransferTimeoutMs = 1000;

class ZanthGameNetworkAPITest : public ::testing::Test
{
protected:
    std::unique_ptr<GameServer> server = std::make_unique<GameServer>(QStringLiteral("secret"));
    std::unique_ptr<QObject> api;

    // The api alone, with every error and answer it reports recorded.
    QObject* createApi(const QString& hostingUrl, const QByteArray& properties = QByteArray())
    {
        api = GameNetworkHost::instance().create(
            "ZanthGameNetworkAPI {\n    gameId: 42\n    password: \"secret\"\n    hostingUrl: \"" +
                hostingUrl.toUtf8() +
                "\"\n"
                "    property var errors: []\n    property var answers: []\n"
                "    onError: function(errorData) { errors = errors.concat([errorData]) }\n"
                "    onResponseFinished: function(request, response) {\n"
                "        answers = answers.concat([{ action: request.action, status: response.status }])\n   "
                " }\n" +
                properties + "}\n",
            QUrl(QStringLiteral("qrc:/qml/Zanth/gamenetwork/ApiTest.qml")));
        return api.get();
    }
    QObject* createApi() { return createApi(server->hostingUrl()); }
    void send(const QVariantMap& request) { callQml(api.get(), "sendRequest", {request}); }
    void login() { callQml(api.get(), "authenticateLocalPlayer", {QVariantMap{{"deviceId", "device-1"}}}); }
    QVariantList errors() const { return qmlProperty(api.get(), "errors").toList(); }
    QVariantList answers() const { return qmlProperty(api.get(), "answers").toList(); }
    bool idle() const { return !api->property("waitingForResponse").toBool(); }
    bool waitForRequests(qsizetype count, int milliseconds = 5000)
    {
        return eventually([&] { return server->requests.size() >= count; }, milliseconds);
    }
};

TEST_F(ZanthGameNetworkAPITest, requestsReachTheServerEncryptedForTheCommandLineWhateverTheirText)
{
    ASSERT_TRUE(createApi());
    const QString text = QStringLiteral("Zoë ✓ + & = ? / %20 and a longer tail to fill several Base64 lines");
    for (int i = 0; i < 12; ++i)
        send({{"action", "echo"}, {"number", i}, {"text", text}});
    ASSERT_TRUE(waitForRequests(12));
    EXPECT_EQ(server->undecryptable, 0);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(server->requests[i].value("number").toInt(), i);
        EXPECT_EQ(server->requests[i].value("text").toString(), text);
    }
    const QByteArray targets = server->targets().join(' ');
    EXPECT_TRUE(server->targets().first().startsWith("/api/42?data=U2FsdGVkX1"));
    EXPECT_TRUE(targets.contains("%2B")) << "a plus sign must not reach the server raw";
    EXPECT_TRUE(targets.contains("%0A")) << "the line breaks of the Base64 text are sent encoded";
    EXPECT_FALSE(targets.contains('+'));
}

TEST_F(ZanthGameNetworkAPITest, requestsGoOutOneAtATimeInCallingOrderAndALoginGoesFirst)
{
    server->answer = [](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") != "first")
            return std::nullopt;
        GameReply reply = GameReply::success(QJsonObject());
        reply.delayMs = 300;
        return reply;
    };
    ASSERT_TRUE(createApi());
    send({{"action", "first"}});
    send({{"action", "second"}});
    send({{"action", "third"}});
    login();
    ASSERT_TRUE(waitForRequests(4));
    EXPECT_EQ(server->actions(), QStringList({"first", "login", "second", "third"}));
    EXPECT_GE(server->arrivals[1] - server->arrivals[0], 300);
    EXPECT_EQ(server->requests[0].value("timestamp").toInt(), 1);
    EXPECT_FALSE(server->requests[1].contains("timestamp"));
    EXPECT_EQ(server->requests[2].value("timestamp").toInt(), 1);
    EXPECT_EQ(server->requests[3].value("timestamp").toInt(), 2);
    EXPECT_FALSE(server->requests[0].contains("token"));
    EXPECT_EQ(server->requests[2].value("token").toString(), "token-1");
    EXPECT_TRUE(api->property("authenticated").toBool());
    ASSERT_TRUE(eventually([&] { return idle(); }));
    EXPECT_EQ(api->property("requestCounter").toInt(), 4);
    EXPECT_TRUE(api->property("lastRequest").toString().contains("\"third\""));
    EXPECT_FALSE(api->property("lastRequest").toString().contains("__"));
}

TEST_F(ZanthGameNetworkAPITest, ignoreTokenKeepsTheTokenOffAndPausedRequestsWait)
{
    ASSERT_TRUE(createApi());
    login();
    ASSERT_TRUE(eventually([&] { return api->property("authenticated").toBool(); }));
    api->setProperty("pauseRequests", true);
    send({{"action", "get_data"}, {"ignoreToken", true}});
    send({{"action", "get_user_data"}});
    QTest::qWait(200);
    EXPECT_EQ(server->requests.size(), 1);
    EXPECT_TRUE(api->property("waitingForResponse").toBool());
    api->setProperty("pauseRequests", false);
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_FALSE(server->requests[1].contains("token"));
    EXPECT_EQ(server->requests[2].value("token").toString(), "token-1");
}

TEST_F(ZanthGameNetworkAPITest, serviceIsReachedOverHttpsByDefault)
{
    api = GameNetworkHost::instance().create("ZanthGameNetworkAPI { gameId: 42 }\n",
                                             QUrl(QStringLiteral("qrc:/qml/Zanth/gamenetwork/ApiTest.qml")));
    ASSERT_TRUE(api);
    EXPECT_TRUE(api->property("hostingUrl").toString().startsWith("https://"));
    EXPECT_TRUE(api->property("url").toString().endsWith("/api/42?data="));
}

TEST_F(ZanthGameNetworkAPITest, packageUrlIsAnEncryptedRequestThatIsNotSent)
{
    ASSERT_TRUE(createApi());
    const QString url = callQml(api.get(), "getUrlForPackageKey", {"level-7"}).toString();
    const QString prefix = server->hostingUrl() + "42?data=";
    ASSERT_TRUE(url.startsWith(prefix)) << url.toStdString();
    QTest::qWait(200);
    EXPECT_TRUE(server->targets().isEmpty());
    const QJsonObject request = server->decrypt(url.mid(prefix.size() - 5).toLatin1());
    EXPECT_EQ(request.value("action").toString(), "get_package");
    EXPECT_EQ(request.value("key").toString(), "level-7");
}

// Later requests do not hammer a service that is gone: they are reported at once, and only the request
// that began the error goes out again, when the owner's back-off (here: retryConnection) says so.
TEST_F(ZanthGameNetworkAPITest, offlineTheFirstFailureIsReportedOnceAndOnlyARetryProbesTheConnection)
{
    const quint16 port = server->port();
    const QString hostingUrl = server->hostingUrl();
    server.reset();
    ASSERT_TRUE(createApi(hostingUrl));
    send({{"action", "first"}});
    ASSERT_TRUE(eventually([&] { return errors().size() == 1 && idle(); }));
    QVariantMap error = errors()[0].toMap();
    EXPECT_EQ(error.value("code").toInt(), 1);
    EXPECT_EQ(error.value("message").toString(), "Could not establish internet connection");
    EXPECT_TRUE(error.value("firstTimeConnectionErrorOccured").toBool());
    EXPECT_TRUE(api->property("connectionError").toBool());

    server = std::make_unique<GameServer>(QStringLiteral("secret"), port);
    for (int i = 0; i < 5; ++i)
        send({{"action", "second"}});
    ASSERT_TRUE(eventually([&] { return errors().size() == 6 && idle(); }));
    error = errors()[1].toMap();
    EXPECT_EQ(error.value("serverRequest").toMap().value("action").toString(), "second");
    EXPECT_FALSE(error.value("firstTimeConnectionErrorOccured").toBool());
    EXPECT_TRUE(api->property("connectionError").toBool());
    EXPECT_TRUE(server->targets().isEmpty());

    callQml(api.get(), "retryConnection");
    ASSERT_TRUE(eventually([&] { return !api->property("connectionError").toBool() && idle(); }));
    EXPECT_EQ(server->actions(), QStringList({"first"}));
    EXPECT_EQ(errors().size(), 6);
}

TEST_F(ZanthGameNetworkAPITest, simulatedConnectionErrorSendsNothing)
{
    ASSERT_TRUE(createApi());
    api->setProperty("simulateConnectionError", true);
    send({{"action", "first"}});
    send({{"action", "second"}});
    ASSERT_TRUE(eventually([&] { return errors().size() == 2; }));
    QTest::qWait(200);
    EXPECT_EQ(errors().size(), 2);
    EXPECT_TRUE(server->targets().isEmpty());
    EXPECT_TRUE(idle());
}

struct BadAnswer
{
    const char* name;
    std::function<GameReply(const GameServer&)> reply;
    bool isLogin;
    int extraWaitMs;
};

void PrintTo(const BadAnswer& answer, std::ostream* out)
{
    *out << answer.name;
}

class BadAnswerTest : public ZanthGameNetworkAPITest, public ::testing::WithParamInterface<BadAnswer>
{
};

// The service can't be reached or is unavailable: the request's fate is unknown and it counts as
// offline; a later request is reported without going out, and a retry sends the first again, whose good
// answer completes it, once.
TEST_P(BadAnswerTest, countsAsOfflineAndAGoodAnswerToTheRetriedRequestCompletesItOnce)
{
    const BadAnswer bad = GetParam();
    bool answered = false;
    server->answer = [&](const QJsonObject&) -> std::optional<GameReply> {
        if (answered)
            return std::nullopt;
        answered = true;
        return bad.reply(*server);
    };
    ASSERT_TRUE(createApi());
    MessageLog log;
    const QString first = bad.isLogin ? "login" : "first";
    if (bad.isLogin)
        login();
    else
        send({{"action", "first"}});
    ASSERT_TRUE(eventually([&] { return errors().size() == 1 && idle(); }, 5000 + bad.extraWaitMs));
    QVariantMap error = errors()[0].toMap();
    EXPECT_EQ(error.value("code").toInt(), 1);
    EXPECT_EQ(error.value("errorType").toString(), "connectionError");
    EXPECT_TRUE(error.value("firstTimeConnectionErrorOccured").toBool());
    EXPECT_EQ(error.value("serverRequest").toMap().value("action").toString(), first);
    EXPECT_TRUE(api->property("connectionError").toBool());
    EXPECT_FALSE(api->property("authenticated").toBool());
    EXPECT_TRUE(answers().isEmpty());

    send({{"action", "next"}});
    ASSERT_TRUE(eventually([&] { return errors().size() == 2 && idle(); }));
    error = errors()[1].toMap();
    EXPECT_EQ(error.value("serverRequest").toMap().value("action").toString(), "next");
    EXPECT_FALSE(error.value("firstTimeConnectionErrorOccured").toBool());
    EXPECT_EQ(server->actions(), QStringList({first}));

    callQml(api.get(), "retryConnection");
    ASSERT_TRUE(eventually([&] { return !api->property("connectionError").toBool() && idle(); }));
    EXPECT_EQ(server->actions(), QStringList({first, first}));
    EXPECT_EQ(errors().size(), 2);
    ASSERT_EQ(answers().size(), 1);
    EXPECT_EQ(answers()[0].toMap().value("action").toString(), first);
    EXPECT_EQ(api->property("authenticated").toBool(), bad.isLogin);
    EXPECT_EQ(log.lines().filter("onError called").size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, BadAnswerTest,
    ::testing::Values(
        BadAnswer{"garbage",
                  [](const GameServer&) { return GameReply::raw(200, "%%% not base64 at all \x01\x02"); },
                  false, 0},
        BadAnswer{"encryptedTextThatIsNoJson",
                  [](const GameServer& server) {
                      return GameReply::raw(200, server.encrypt("not json").toLatin1());
                  },
                  false, 0},
        BadAnswer{
            "encryptedJsonArray",
            [](const GameServer& server) { return GameReply::raw(200, server.encrypt("[1, 2]").toLatin1()); },
            false, 0},
        BadAnswer{"serviceUnavailable503",
                  [](const GameServer&) { return GameReply::raw(503, "<html>down for maintenance</html>"); },
                  false, 0},
        BadAnswer{"gatewayTimeout504",
                  [](const GameServer&) { return GameReply::raw(504, "<html>gateway timeout</html>"); },
                  false, 0},
        BadAnswer{"loginAnswerUnderAnotherSecret",
                  [](const GameServer& server) {
                      return GameReply::raw(
                          200, server
                                   .encrypt(R"({"status":"success","data":{"token":"t","user":{"id":1}}})",
                                            QStringLiteral("another secret"))
                                   .toLatin1());
                  },
                  true, 0},
        BadAnswer{"loginAnswerBehindABadGateway",
                  [](const GameServer&) {
                      return GameReply::raw(502, "<html><body><h1>502 Bad Gateway</h1></body></html>");
                  },
                  true, 0},
        BadAnswer{"loginAnswerWithoutUser",
                  [](const GameServer&) {
                      return GameReply::success(QJsonObject{{"token", "token-x"}});
                  },
                  true, 0},
        BadAnswer{"serverThatNeverAnswers",
                  [](const GameServer&) {
                      GameReply reply = GameReply::success(QJsonObject());
                      reply.stall = true;
                      return reply;
                  },
                  false, kTransferTimeoutMs}),
    [](const ::testing::TestParamInfo<BadAnswer>& info) { return std::string(info.param.name); });

// However often the service's answers can't be read, the request is not given up: it is retried until
// an answer can be read, and that one completes it.
TEST_F(ZanthGameNetworkAPITest, aRequestWhoseAnswersCantBeReadIsNeverGivenUp)
{
    bool readable = false;
    server->answer = [&](const QJsonObject&) -> std::optional<GameReply> {
        if (readable)
            return std::nullopt;
        return GameReply::raw(200, "<html><body>a proxy's login page</body></html>");
    };
    ASSERT_TRUE(createApi());
    send({{"action", "poison"}});
    ASSERT_TRUE(eventually([&] { return idle(); }));
    for (int retry = 0; retry < 15; ++retry) {
        callQml(api.get(), "retryConnection");
        ASSERT_TRUE(eventually([&] { return server->requests.size() == retry + 2 && idle(); }));
        ASSERT_TRUE(api->property("connectionError").toBool());
    }
    EXPECT_EQ(errors().size(), 1);
    readable = true;
    callQml(api.get(), "retryConnection");
    ASSERT_TRUE(eventually([&] { return !api->property("connectionError").toBool() && idle(); }));
    ASSERT_EQ(answers().size(), 1);
    EXPECT_EQ(answers()[0].toMap().value("action").toString(), "poison");
    EXPECT_EQ(server->requestsWithAction("poison").size(), 17);
}

// An HTTP error other than a gateway's is the service's own answer to that request: it is dispatched
// as an error answer, and the requests behind it go out at once.
TEST_F(ZanthGameNetworkAPITest, anHttpErrorAnswerIsAnErrorAnswerAndTheRequestsBehindItGoOn)
{
    server->answer = [&](const QJsonObject& request) -> std::optional<GameReply> {
        if (request.value("action") == "poison")
            return GameReply::raw(500, "<html><body>Internal Server Error</body></html>");
        return std::nullopt;
    };
    ASSERT_TRUE(createApi());
    send({{"action", "poison"}});
    send({{"action", "second"}});
    send({{"action", "third"}});
    ASSERT_TRUE(eventually([&] { return answers().size() == 3 && idle(); }));
    EXPECT_EQ(server->actions(), QStringList({"poison", "second", "third"}));
    EXPECT_EQ(answers()[0].toMap(), (QVariantMap{{"action", "poison"}, {"status", "error"}}));
    EXPECT_EQ(answers()[1].toMap().value("status").toString(), "success");
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_FALSE(api->property("connectionError").toBool());
}

TEST_F(ZanthGameNetworkAPITest, exceptionsInAnswerHandlersDoNotHoldTheQueue)
{
    ASSERT_TRUE(createApi(server->hostingUrl(),
                          "    Component.onCompleted: responseFinished.connect(function(request) {\n"
                          "        if (request.action === \"first\")\n"
                          "            throw new Error(\"handler failed\")\n"
                          "    })\n"
                          "    function sendWithFailingCallback() {\n"
                          "        sendRequest({ action: \"second\", callback: function() { throw new "
                          "Error(\"callback failed\") } })\n"
                          "    }\n"));
    send({{"action", "first"}});
    callQml(api.get(), "sendWithFailingCallback");
    send({{"action", "third"}});
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(server->actions(), QStringList({"first", "second", "third"}));
    ASSERT_TRUE(eventually([&] { return idle(); }));
}

TEST_F(ZanthGameNetworkAPITest, tokensAreMaskedInTheLog)
{
    ASSERT_TRUE(createApi());
    login();
    ASSERT_TRUE(eventually([&] { return api->property("authenticated").toBool() && idle(); }));
    const quint16 port = server->port();
    server.reset();
    MessageLog log;
    send({{"action", "first"}});
    callQml(api.get(), "authenticateLocalPlayer",
            {QVariantMap{{"deviceId", "device-1"}, {"facebookToken", "fb-secret"}}});
    ASSERT_TRUE(eventually([&] { return errors().size() == 2; }));
    const QString lines = log.lines().join('\n');
    EXPECT_TRUE(lines.contains("\"token\":\"***\""));
    EXPECT_TRUE(lines.contains("\"oauth_token\":\"***\""));
    EXPECT_FALSE(lines.contains("token-1"));
    EXPECT_FALSE(lines.contains("fb-secret"));
    server = std::make_unique<GameServer>(QStringLiteral("secret"), port);
}

TEST_F(ZanthGameNetworkAPITest, destroyingTheApiWithARequestInFlightEndsTheTransfer)
{
    server->answer = [](const QJsonObject&) -> std::optional<GameReply> {
        GameReply reply = GameReply::success(QJsonObject());
        reply.delayMs = 200;
        return reply;
    };
    ASSERT_TRUE(createApi());
    send({{"action", "first"}});
    ASSERT_TRUE(waitForRequests(1));
    api.reset();
    QTest::qWait(400);
}

// Last: trusting the test authority changes the process's default TLS configuration.
TEST_F(ZanthGameNetworkAPITest, untrustedHttpsFailsAsAConnectionErrorAndTheServerDecryptsNothing)
{
    TestCertificateAuthority authority;
    ASSERT_TRUE(authority.isValid());
    GameServer secureServer(QStringLiteral("secret"), authority.serverCertificate(), authority.serverKey());
    ASSERT_TRUE(secureServer.hostingUrl().startsWith("https://"));
    ASSERT_TRUE(createApi(secureServer.hostingUrl()));
    send({{"action", "first"}});
    ASSERT_TRUE(eventually([&] { return errors().size() == 1 && idle(); }));
    EXPECT_EQ(errors()[0].toMap().value("code").toInt(), 1);
    EXPECT_TRUE(secureServer.targets().isEmpty());
    EXPECT_TRUE(secureServer.requests.isEmpty());

    // A new server: the network keeps the first one's connection settings for a while.
    authority.trust();
    GameServer trustedServer(QStringLiteral("secret"), authority.serverCertificate(), authority.serverKey());
    ASSERT_TRUE(createApi(trustedServer.hostingUrl()));
    send({{"action", "second"}});
    ASSERT_TRUE(eventually([&] { return trustedServer.requests.size() == 1; }));
    EXPECT_EQ(trustedServer.requests[0].value("action").toString(), "second");
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ZanthNetworkAccessManagerFactory shortTimeout(kTransferTimeoutMs);
    GameNetworkHost host(argc, argv);
    host.engine()->setNetworkAccessManagerFactory(&shortTimeout);
    GameNetworkHost::setInstance(&host);
    return RUN_ALL_TESTS();
}
